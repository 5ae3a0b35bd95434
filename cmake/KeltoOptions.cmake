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
if(NOT KELTO_SANITIZE AND NOT KELTO_TSAN AND NOT KELTO_FUZZ)
  # The hardening Debian builds its packages with; the plain build is the one packaged.
  target_compile_options(kelto_options INTERFACE -fstack-protector-strong
    $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  target_link_options(kelto_options INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
find_package(Threads REQUIRED)
