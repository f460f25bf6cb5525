#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ file drifts from the project's .clang-format.
# Usage: scripts/check-format.sh [clang-format binary]
set -uo pipefail
cd "$(dirname "$0")/.."
tool=${1:-clang-format}
if ! command -v "$tool" >/dev/null; then
  echo "$tool is not installed (scripts/deps.sh test installs it)" >&2
  exit 1
fi
# Outside a git checkout (a source tarball) there is no list of tracked files: check what is there.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h' 2>/dev/null)
fi
# One run over all files; its complaints name each file that drifts.
out=$("$tool" --dry-run -Werror "${files[@]}" 2>&1)
if [ $? -ne 0 ]; then
  mapfile -t drifted < <(printf '%s\n' "$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
  echo "${#drifted[@]} of ${#files[@]} files differ from .clang-format (fix: clang-format -i FILE):"
  printf '  %s\n' "${drifted[@]}"
  [ ${#drifted[@]} -eq 0 ] && printf '%s\n' "$out" | head -20
  exit 1
fi
echo "All ${#files[@]} files follow .clang-format."
