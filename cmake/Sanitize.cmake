# SPIRELO_SANITIZE: AddressSanitizer + UndefinedBehaviorSanitizer over everything built here.
# Undefined behaviour stops the program (no recovery), so a test that meets it fails.
option(SPIRELO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# libFuzzer comes with clang; other compilers build no fuzz targets (tests/fuzz).
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
check_cxx_source_compiles("
#include <cstddef>
#include <cstdint>
extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }"
  SPIRELO_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)

if(SPIRELO_SANITIZE)
  set(spirelo_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${spirelo_san})
  add_link_options(${spirelo_san})
  # Coverage for the fuzz targets, in the code they reach as well as in their own.
  if(SPIRELO_HAVE_LIBFUZZER)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()
