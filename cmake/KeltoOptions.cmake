# Every kelto target links kelto_options; compile options live here and nowhere else.
add_library(kelto_options INTERFACE)
target_compile_options(kelto_options INTERFACE -Wall -Wextra -Wpedantic)
if(KELTO_WERROR)
  target_compile_options(kelto_options INTERFACE -Werror)
endif()
if(KELTO_SANITIZE)
  target_compile_options(kelto_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
    # GCC 12 reports false maybe-uninitialized warnings inside the standard library when the
    # sanitizers instrument it; the plain build keeps the warning.
    $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
  target_link_options(kelto_options INTERFACE -fsanitize=address,undefined)
endif()
if(KELTO_TSAN)
  target_compile_options(kelto_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(kelto_options INTERFACE -fsanitize=thread)
endif()
if(KELTO_FUZZ)
  target_compile_options(kelto_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(kelto_options INTERFACE -fsanitize=address,undefined)
endif()
find_package(Threads REQUIRED)
