#!/usr/bin/env bash
# Installs what is missing, builds everything (benchmarks included) and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/deps.sh" test
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DQP_BUILD_TESTS=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure -j"$(nproc)" "$@"
