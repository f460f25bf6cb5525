#!/usr/bin/env bash
# Find in Files over the Linux kernel source (Debian's linux-source, unpacked
# into a scratch folder), side by side with ripgrep and grep -r -F, warm page
# cache: ./scripts/measure-find.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
. "$here/scripts/measurelib.sh"
scratch qp-find
export QT_QPA_PLATFORM=offscreen

tarball=$(ls /usr/src/linux-source-*.tar.xz 2>/dev/null | sort -V | tail -n 1 || true)
if [ -n "$tarball" ]; then
  tar -xf "$tarball" -C "$work"
  tree=$(ls -d "$work"/linux-source-* | head -n 1)
else
  # No kernel source to be had: a generated tree of a similar size.
  echo "linux-source is not installed; searching a generated tree instead"
  tree=$work/tree
  python3 - "$tree" <<'PY'
import os, random, sys
random.seed(1)
words = ["static", "int", "return", "struct", "void", "lock", "dev", "priv", "spin_lock_irqsave(&priv->lock, flags);"]
for d in range(800):
    os.makedirs(f"{sys.argv[1]}/d{d}", exist_ok=True)
    for f in range(100):
        lines = [" ".join(random.choice(words[:-1]) for _ in range(9)) for _ in range(440)]
        if random.random() < 0.004: lines[7] = words[-1]
        open(f"{sys.argv[1]}/d{d}/f{f}.c", "w").write("\n".join(lines) + "\n")
PY
fi
fixed='spin_lock_irqsave(&priv->lock'
regex='ktime_get_\w+_ts64'
bytes=$(du -sb "$tree" | cut -f1)
files=$(find "$tree" -type f | wc -l)
echo "corpus: $tree, $files files, $bytes bytes"
cat $(find "$tree" -type f) >/dev/null 2>&1 || true # warm the page cache

best() { # best of three wall times of a command, in seconds
  local b=999999999 s e
  for _ in 1 2 3; do
    s=$(now_us); "$@" >/dev/null 2>&1 || true; e=$(now_us)
    [ $((e - s)) -lt "$b" ] && b=$((e - s))
  done
  awk -v us="$b" -v by="$bytes" 'BEGIN { printf "%.3f s (%.2f GB/s)", us / 1e6, by / us / 1e3 }'
}
echo "rg -F (fixed, match case):          $(best rg -F -n --no-ignore "$fixed" "$tree")"
echo "grep -r -F (fixed, match case):     $(best grep -r -F -n "$fixed" "$tree")"
echo "rg -F -i (fixed, ignoring case):    $(best rg -F -i -n --no-ignore "$fixed" "$tree")"
echo "rg (regex):                         $(best rg -n --no-ignore "$regex" "$tree")"
echo "grep -r -E (regex):                 $(best grep -r -E -n 'ktime_get_[[:alnum:]_]+_ts64' "$tree")"
echo "lines: rg $(rg -F --no-ignore -c "$fixed" "$tree" | awk -F: '{ s += $NF } END { print s }'), grep $(grep -r -F "$fixed" "$tree" | wc -l)"
"$build/bench/measure_findinfiles" "$tree" "$fixed" "$regex" | awk -v by="$bytes" '
  /^core/ { match($0, /: [0-9.]+ s/); t = substr($0, RSTART + 2, RLENGTH - 4); printf "%s (%.2f GB/s)\n", $0, by / t / 1e9; next }
  { print }'
if [ -n "${QP_SHOT:-}" ]; then
  # A screenshot of the window with the kernel's results, under a fresh X server.
  QP_MEASURE_INNER=1 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" bash -c \
    "\"$build/bench/measure_findinfiles\" \"$tree\" \"$fixed\" \"$regex\" window-shot \"$QP_SHOT\""
fi
