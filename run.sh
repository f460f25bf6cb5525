#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it: ./run.sh [file]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/deps.sh" run
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DQP_BUILD_TESTS=OFF >/dev/null
cmake --build "$here/build" --target quillpad -j"$(nproc)"
exec "$here/build/src/app/quillpad" "$@"
