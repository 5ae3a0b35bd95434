# kelto_layer(NAME [PUBLIC deps...] [PRIVATE deps...])
# One static library per layer folder, built from every source file in that folder.
function(kelto_layer name)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_library(kelto_${name} STATIC ${sources})
  target_include_directories(kelto_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(kelto_${name} PUBLIC kelto_options ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# kelto_layer_tests(LAYER [deps...])
# One GoogleTest program per layer from every *Test.cpp in tests/<layer>.
function(kelto_layer_tests layer)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(kelto_${layer}_tests ${sources})
  target_link_libraries(kelto_${layer}_tests PRIVATE kelto_${layer} kelto_test_support ${ARGN}
    GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(kelto_${layer}_tests
    PROPERTIES LABELS ${layer}
    DISCOVERY_TIMEOUT 60)
endfunction()
