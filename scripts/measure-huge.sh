#!/usr/bin/env bash
# Huge files, whole program against its floor (build/bench/qp_floor_editor, a
# bare Scintilla widget given the same file), on a real X server (Xvfb) when
# there is one: launch to idle and resident memory for
#  - 1 GB of 80-byte CR LF lines (a big log),
#  - 20 MB on one line (a minified script).
# Needs about 1.1 GB of free disk in $TMPDIR and 3 GB of memory.
# Usage: scripts/measure-huge.sh    (build first: ./bench.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QP_BUILD_DIR:-$here/build}
app=$build/src/app/quillpad
floor=$build/bench/qp_floor_editor
for p in "$app" "$floor"; do
  [ -x "$p" ] || { echo "missing $p: build first (./bench.sh)" >&2; exit 1; }
done

. "$here/scripts/measurelib.sh"
under_x "$0" "$@"
scratch qp-huge
QP_IDLE_LIMIT_US=180000000 # the floor takes long over one long line

log=$work/big-1g.txt
awk 'BEGIN {
  for (c = 32; c < 127; c++) s = s sprintf("%c", c); s = s s
  for (i = 0; i < 13421772; i++) printf "%s\r\n", substr(s, i % 95 + 1, 78)
}' > "$log"
line=$work/one-line.txt
head -c 20000000 /dev/zero | tr '\0' a > "$line"
sync # nothing left to write back while the programs read

echo "== huge files ($QT_QPA_PLATFORM), $(nproc) cores, load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for file in "$log" "$line"; do
  size_mb=$(( $(stat -c %s "$file") / 1048576 ))
  for which in app floor; do
    prog=$app
    [ "$which" = floor ] && prog=$floor
    launch "$prog"
    stop
    printf '  %-12s %5d MB  %-5s launch to idle %6d ms, resident %5d MB (%.2f x the file)\n' \
      "$(basename "$file")" "$size_mb" "$which" "$launch_ms" "$rss_mb" \
      "$(awk -v r="$rss_mb" -v s="$size_mb" 'BEGIN { print r / s }')"
  done
done
