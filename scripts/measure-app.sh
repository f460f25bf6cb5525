#!/usr/bin/env bash
# Whole-program figures, each beside its floor, on a real X server (Xvfb)
# when there is one, offscreen otherwise:
#  - launch to idle and resident memory of build/src/app/quillpad started with
#    a 50 MB file of 80-byte CR LF lines, against build/bench/qp_floor_editor
#    (a bare Scintilla widget given the same file), runs taking turns;
#  - idle CPU of that one-document program over 10 s;
#  - idle CPU with ten documents open (build/bench/bench_idle).
# "Idle" means the process used under 1% of a core over the last 500 ms.
# Usage: scripts/measure-app.sh [runs]    (build first: ./test.sh or ./bench.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QP_BUILD_DIR:-$here/build}
app=$build/src/app/quillpad
floor=$build/bench/qp_floor_editor
idle_bench=$build/bench/bench_idle
runs=${1:-5}

for p in "$app" "$floor" "$idle_bench"; do
  [ -x "$p" ] || { echo "missing $p: build first (./bench.sh)" >&2; exit 1; }
done

. "$here/scripts/measurelib.sh"
under_x "$0" "$@"
scratch qp-measure

file=$work/big-crlf.txt
awk 'BEGIN {
  for (c = 32; c < 127; c++) s = s sprintf("%c", c); s = s s
  for (i = 0; i < 655360; i++) printf "%s\r\n", substr(s, i % 95 + 1, 78)
}' > "$file"

echo "== whole program ($QT_QPA_PLATFORM), $(nproc) cores, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
app_t=() app_m=() floor_t=() floor_m=()
declare -A idle_pct=()
for ((r = 1; r <= runs; r++)); do
  # Taking turns at going first, so neither always meets a warmer cache.
  for which in $( ((r % 2)) && echo "app floor" || echo "floor app"); do
    if [ "$which" = app ]; then
      launch "$app"
      app_t+=("$launch_ms") app_m+=("$rss_mb")
    else
      launch "$floor"
      floor_t+=("$launch_ms") floor_m+=("$rss_mb")
    fi
    if [ -z "${idle_pct[$which]:-}" ]; then
      # Idle CPU over 10 s, after 2 s for the first timer rounds to pass.
      sleep 2
      c0=$(cpu_ns "$pid") w0=$(now_us)
      sleep 10
      c1=$(cpu_ns "$pid") w1=$(now_us)
      idle_pct[$which]=$(awk -v c=$((c1 - c0)) -v w=$((w1 - w0)) 'BEGIN { printf "%.3f", c / (w * 1000) * 100 }')
    fi
    stop
    printf '  run %d %-5s launch to idle %5d ms, resident %4d MB\n' "$r" "$which" "$launch_ms" "$rss_mb"
  done
done

at=$(printf '%s\n' "${app_t[@]}" | median) am=$(printf '%s\n' "${app_m[@]}" | median)
ft=$(printf '%s\n' "${floor_t[@]}" | median) fm=$(printf '%s\n' "${floor_m[@]}" | median)
verdict() { awk -v v="$1" -v lim="$2" 'BEGIN { print (v < lim) ? "met" : "MISSED" }'; }
echo "quillpad, 50 MB file (median of $runs):"
echo "  launch to idle  ${at} ms   (floor ${ft} ms, ratio $(awk -v a="$at" -v f="$ft" 'BEGIN { printf "%.2f", a / f }'))"
echo "  resident memory ${am} MB   (floor ${fm} MB; target < 150 MB: $(verdict "$am" 150))"
echo "  idle CPU over 10 s ${idle_pct[app]}% of one core (floor ${idle_pct[floor]}%; target < 0.5%: $(verdict "${idle_pct[app]}" 0.5))"
echo "== ten documents idle ($QT_QPA_PLATFORM)"
"$idle_bench" 2>&1 | grep -E "^BM_|Load Average" || true
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
