# One interface target carries the warning and sanitizer flags; every Kestrel target links it.
add_library(kestrel_compiler_config INTERFACE)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(kestrel_compiler_config INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual -Wformat=2)
  if(KESTREL_WERROR)
    target_compile_options(kestrel_compiler_config INTERFACE -Werror)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports impossible overlaps inside std::string concatenation at -O3 (GCC bug 105329).
    target_compile_options(kestrel_compiler_config INTERFACE -Wno-restrict)
  endif()
  if(KESTREL_SANITIZE)
    target_compile_options(kestrel_compiler_config INTERFACE
      -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(kestrel_compiler_config INTERFACE -fsanitize=address,undefined)
  endif()
  if(KESTREL_BUILD_FUZZ)
    # The libraries need coverage instrumentation too, or a fuzzer sees only its entry point.
    target_compile_options(kestrel_compiler_config INTERFACE -fsanitize=fuzzer-no-link)
  endif()
elseif(MSVC)
  target_compile_options(kestrel_compiler_config INTERFACE /W4 /permissive-)
  if(KESTREL_WERROR)
    target_compile_options(kestrel_compiler_config INTERFACE /WX)
  endif()
endif()

# Fuzz targets get libFuzzer on top of the sanitizers.
function(kestrel_fuzz_target name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE kestrel_compiler_config)
endfunction()
