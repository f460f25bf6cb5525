#!/usr/bin/env bash
# Runs one fuzz target for a bounded time:
#   run-fuzzer.sh <program> <seconds> <seed folder> <work folder> [libFuzzer options]
# The committed seeds are only read; new inputs go to <work>/corpus, and an
# input that crashes the target is kept in <work> (crash-*, timeout-*, ...).
set -euo pipefail
bin=$1 secs=$2 seeds=$3 work=$4
shift 4
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$work/corpus"
# Targets may change folder, so every path handed to them is absolute.
bin=$(realpath "$bin") seeds=$(realpath "$seeds") work=$(realpath "$work")
# A settings value can hold a serialized Qt object whose size field asks for
# gigabytes; Qt copes when such a request fails (as it does on a real machine),
# so requests beyond 2 GB fail here too instead of counting as a crash.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:max_allocation_size_mb=2048}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
rc=0
"$bin" -max_total_time="$secs" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$work/" "$@" "$work/corpus" "$seeds" >"$work/log" 2>&1 || rc=$?
[ $rc -eq 0 ] || cat "$work/log"
execs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log" | tail -1)
corpus=$(grep -E 'DONE +cov' "$work/log" | tail -1 | sed -n 's/.*corp: \([^ ]*\).*/\1/p')
echo "$(basename "$bin"): ${execs:-?} executions/s, corpus ${corpus:-?} (inputs/bytes), exit $rc"
exit $rc
