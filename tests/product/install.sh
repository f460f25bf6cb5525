#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the installed tree, and
# starts the installed program through its link in bin/ with a file: it must
# run from the prefix (its work folder appears beside the real executable) and
# open the file (which goes to the recent list) and keep running until stopped.
# Usage: install.sh <cmake> <build folder> <source folder>
set -uo pipefail

cmake=$1
build=$2
source=$3
limit=20 # seconds the program may take to start

work=$(mktemp -d "${TMPDIR:-/tmp}/quillpad-install.XXXXXX")
prefix=$work/prefix
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "FAIL: $*"
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install failed"; }

# Every file and link, and nothing else.
expected="f lib/quillpad/quillpad
f lib/quillpad/templates/CPP_Console_Program.QPT
f lib/quillpad/templates/CSS_Style_Sheet.QPT
f lib/quillpad/templates/HTML_Page.QPT
f share/applications/quillpad.desktop
f share/icons/hicolor/128x128/apps/quillpad.png
f share/icons/hicolor/16x16/apps/quillpad.png
f share/icons/hicolor/32x32/apps/quillpad.png
f share/icons/hicolor/48x48/apps/quillpad.png
f share/icons/hicolor/64x64/apps/quillpad.png
f share/icons/hicolor/scalable/apps/quillpad.svg
l bin/quillpad -> ../lib/quillpad/quillpad"
found=$(cd "$prefix" && find . ! -type d \( -type l -printf 'l %P -> %l\n' -o -printf '%y %P\n' \) | LC_ALL=C sort)
if [ "$found" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$found")
    fail "the installed tree differs (< expected, > found)"
fi

[ -x "$prefix/lib/quillpad/quillpad" ] || fail "the program is not executable"
for t in "$source"/src/templates/starter/*.QPT; do
    cmp -s "$t" "$prefix/lib/quillpad/templates/$(basename "$t")" || fail "$(basename "$t") differs from its source"
done
if command -v readelf >/dev/null && readelf -d "$prefix/lib/quillpad/quillpad" | grep -qE 'RPATH|RUNPATH'; then
    fail "the installed program still points at build folders: $(readelf -d "$prefix/lib/quillpad/quillpad" | grep -E 'RPATH|RUNPATH')"
fi

desktop=$prefix/share/applications/quillpad.desktop
for line in 'Exec=quillpad %f' 'Icon=quillpad' 'Type=Application' \
    'MimeType=text/plain;text/html;text/css;text/x-csrc;text/x-chdr;text/x-c++src;text/x-c++hdr;'; do
    grep -qxF "$line" "$desktop" || fail "the desktop entry lacks the line: $line"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
fi
for size in 16 32 48 64 128; do
    head -c 8 "$prefix/share/icons/hicolor/${size}x$size/apps/quillpad.png" | grep -q PNG || fail "icon $size is no PNG"
done

# The work folder ships empty. Taken away, it comes back at start-up beside
# the real program, not beside the link.
[ -d "$prefix/lib/quillpad/tempfile" ] && [ -z "$(ls -A "$prefix/lib/quillpad/tempfile")" ] ||
    fail "no empty work folder installed"
rmdir "$prefix/lib/quillpad/tempfile"

# The installed program, started through the link with a file to open, from
# another folder, with private settings and data.
mkdir -p "$work/home/config" "$work/home/data" "$work/home/runtime"
chmod 700 "$work/home/runtime"
printf 'one\r\ntwo\r\n' >"$work/home/start.txt"
(
    cd "$work/home" &&
    exec env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
        XDG_RUNTIME_DIR="$work/home/runtime" "$prefix/bin/quillpad" "$work/home/start.txt"
) >"$work/app.log" 2>&1 &
app_pid=$!
deadline=$((SECONDS + limit))
recent="RecentItem1=$work/home/start.txt"
until [ -d "$prefix/lib/quillpad/tempfile" ] && grep -qxF "$recent" "$work/home/config/Quillpad Basic.ini" 2>/dev/null; do
    if ! kill -0 "$app_pid" 2>/dev/null; then
        wait "$app_pid"
        echo "exit status $?"; cat "$work/app.log"
        app_pid=
        fail "the installed program ended at start-up"
    fi
    [ $SECONDS -lt $deadline ] ||
        fail "within $limit s the installed program did not both make its work folder beside itself and open $work/home/start.txt"
    sleep 0.1
done
[ -e "$prefix/bin/tempfile" ] && fail "the work folder went beside the link, not the program"
kill -0 "$app_pid" 2>/dev/null || fail "the installed program ended at start-up"
echo "PASS: installed tree and start-up from $prefix/bin/quillpad"
