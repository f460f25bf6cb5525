#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz (the main build stays g++).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$here" -B "$here/build-fuzz" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
  -DQP_FUZZ=ON -DQP_BUILD_TESTS=OFF >/dev/null
cmake --build "$here/build-fuzz" -j"$(nproc)"
