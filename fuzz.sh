#!/usr/bin/env bash
# Longer fuzz runs than the test run's: ./fuzz.sh [seconds per target] [target]
# Targets: openfile tagpass projectfile settings charmode journal (all when none is named).
# What each run finds stays in build-fuzz/runs/<target>/corpus for the next run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
secs=${1:-600}
targets=${2:-openfile tagpass projectfile settings charmode journal}
"$here/scripts/deps.sh" test
"$here/scripts/build-fuzz.sh"
rc=0
for t in $targets; do
  "$here/fuzz/run-fuzzer.sh" "$here/build-fuzz/fuzz/fuzz_$t" "$secs" "$here/fuzz/corpus/$t" \
    "$here/build-fuzz/runs/$t" || rc=1
done
exit $rc
