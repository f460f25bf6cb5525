# Sanitized builds, each in its own build folder:
#  QP_SANITIZE  the whole program and its tests under AddressSanitizer and
#               UndefinedBehaviorSanitizer (./test.sh --sanitize, in build-asan);
#  QP_FUZZ      the libFuzzer targets of fuzz/ and only the libraries they need,
#               built with clang (scripts/build-fuzz.sh, in build-fuzz).
option(QP_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QP_FUZZ "Build the fuzz targets (clang only); nothing else is built" OFF)

if(QP_SANITIZE OR QP_FUZZ)
  # Undefined behaviour stops the program, so no report scrolls by unnoticed.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g1)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QP_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QP_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Coverage feedback for the fuzzer everywhere; the fuzzer's main only in the targets.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
