#!/usr/bin/env bash
# Installs what is missing, builds everything (benchmarks included) and runs every test.
# The test run also fuzzes each reader for a short while (fuzz targets built with clang
# in build-fuzz; longer runs: ./fuzz.sh).
# ./test.sh --sanitize: the same tests built with AddressSanitizer and UBSan in build-asan.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/deps.sh" test
build=build
extra=(-DQP_SANITIZE=OFF -DQP_FUZZ_BUILD_DIR="$here/build-fuzz")
if [ "${1:-}" = --sanitize ]; then
  shift
  build=build-asan
  extra=(-DQP_SANITIZE=ON -DQP_FUZZ_BUILD_DIR=)
  export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1
  export LSAN_OPTIONS=suppressions=$here/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
else
  "$here/scripts/build-fuzz.sh"
fi
cmake -S "$here" -B "$here/$build" -DCMAKE_BUILD_TYPE=Release -DQP_BUILD_TESTS=ON "${extra[@]}" >/dev/null
cmake --build "$here/$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$here/$build"
ctest --output-on-failure -j"$(nproc)" "$@"
