#!/usr/bin/env bash
# Builds and runs the benchmarks (kept out of the test run), then the whole-program
# figures of scripts/measure-app.sh, measure-huge.sh and measure-find.sh: ./bench.sh [benchmark filter]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/deps.sh" bench
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DQP_BUILD_TESTS=ON >/dev/null
cmake --build "$here/build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
for b in "$here"/build/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" ${1:+--benchmark_filter="$1"}
done

# The whole-program figures (launch, memory, idle CPU) on a real X server,
# then those of huge files (skipped with QP_SKIP_HUGE=1: they take minutes).
"$here/scripts/measure-app.sh"
[ "${QP_SKIP_HUGE:-}" = 1 ] || "$here/scripts/measure-huge.sh"
# Find in Files over the kernel source beside rg and grep (QP_SKIP_FIND=1 skips it).
[ "${QP_SKIP_FIND:-}" = 1 ] || "$here/scripts/measure-find.sh" "$here/build"
