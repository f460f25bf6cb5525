#!/usr/bin/env bash
# One editing session with the real program on a private X server, driven by
# X key events the way a user types them: a document from a template through
# File > New, typing, Insert > HTML > Bold Text on a selection, Tools > Execute
# answering its question, Save As through the file dialog, closing, reopening
# from the recent list under File > Open, and the saved file's exact bytes;
# then an LF shell script edited and saved that still runs, and a UTF-8 page.
#
# Usage: session.sh <program> <screenshot folder>
# Leaves one screenshot per step in the screenshot folder. Exits 77 (skipped)
# only when no X server can be started here.
set -uo pipefail

program=$1
shots=$2
skip=77
limit=15 # seconds any one wait may take

if ! command -v Xvfb >/dev/null; then
    echo "SKIP: Xvfb is not installed, so no X server can be started (scripts/deps.sh test installs it)"
    exit $skip
fi
for tool in xdotool import; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is missing (scripts/deps.sh test installs it)"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillpad-e2e.XXXXXX")
xvfb_pid=
app_pid=
step=0

cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

mkdir -p "$shots"
rm -f "$shots"/*.png

# The server picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
deadline=$((SECONDS + limit))
until grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        echo "SKIP: Xvfb could not start here:"
        sed 's/^/  /' "$work/xvfb.log" | tail -5
        xvfb_pid=
        exit $skip
    fi
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"

# To stderr, as it may run inside $(...).
fail() {
    {
        echo "FAIL: $*"
        shot failure
        echo "--- program output"
        cat "$work/app.log" 2>/dev/null
    } >&2
    exit 1
}

# Screenshot of the whole screen as NN-name.png; a moment first, so the last
# step is painted.
shot() {
    step=$((step + 1))
    xdotool sleep 0.2
    import -window root "$shots/$(printf %02d $step)-$1.png" 2>/dev/null || echo "note: no screenshot for $1"
}

# Waits for a visible top-level window whose title is exactly $1; prints its id.
wait_window() {
    local id
    id=$(timeout $limit xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] || fail "no window \"$1\" within $limit s"
    echo "$id"
}

wait_gone() {
    local deadline=$((SECONDS + limit))
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || fail "window \"$1\" still open after $limit s"
        sleep 0.1
    done
}

# Gives the window the keyboard and sends it keys, one by one.
keys() {
    local win=$1
    shift
    xdotool windowfocus --sync "$win" || fail "could not focus window $win"
    xdotool key --delay 60 "$@"
}

typed() {
    xdotool windowfocus --sync "$1" || fail "could not focus window $1"
    xdotool type --delay 30 "$2"
}

# Waits until the file holds exactly the bytes of the printf format $2.
wait_bytes() {
    local file=$1 deadline=$((SECONDS + limit))
    printf "$2" >"$work/expected"
    until cmp -s "$file" "$work/expected"; do
        if [ $SECONDS -ge $deadline ]; then
            echo "expected:"; od -c "$work/expected"
            echo "found:"; od -c "$file" 2>&1
            fail "$file does not hold the expected bytes"
        fi
        sleep 0.1
    done
}

# A program folder of its own (the program finds its templates beside its
# executable), private settings and data, and a documents folder to save in.
mkdir -p "$work/app/templates" "$work/config" "$work/data" "$work/runtime" "$work/docs"
chmod 700 "$work/runtime"
cp "$program" "$work/app/quillpad" || fail "cannot copy $program"
printf '<QPLTITLE>Greeting Note</QPLTITLE>\r\nDear <QPLPROMPT>Name</QPLPROMPT>,\r\n' >"$work/app/templates/Greeting.QPT"

(
    cd "$work/docs" &&
    unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME &&
    exec env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        XDG_RUNTIME_DIR="$work/runtime" "$work/app/quillpad"
) >"$work/app.log" 2>&1 &
app_pid=$!

frame=$(wait_window "Quillpad Basic") || exit 1
shot started

# File > New > New from Template (the third row of the submenu, after a divider).
keys "$frame" alt+f n Down Return
dialog=$(wait_window "New Document") || exit 1
keys "$dialog" space
shot new-document-dialog
keys "$dialog" Return
wait_gone "New Document"
shot from-template

# Type a line under the template's text and select its last word.
keys "$frame" ctrl+End
typed "$frame" "Hello world"
keys "$frame" shift+ctrl+Left
shot typed-and-selected

# Insert > HTML > Bold Text. "&Selection" and "In&sert" share their access
# key, so the Insert menu is reached from Tools, one menu to its right.
keys "$frame" alt+t Left h
shot insert-html-menu
keys "$frame" b
shot bold-text

# Tools > Execute: the title is set and the field asked for.
keys "$frame" alt+t e
box=$(wait_window "Fields Name") || exit 1
shot execute-asks
typed "$box" "Ann"
keys "$box" Return
wait_gone "Fields Name"
shot executed

# File > Save As through the file dialog, which starts in the documents folder.
keys "$frame" alt+f a
save=$(wait_window "Save As") || exit 1
typed "$save" "note.txt"
shot save-as-dialog
keys "$save" Return
wait_gone "Save As"
wait_bytes "$work/docs/note.txt" '<QPLTITLE>Greeting Note</QPLTITLE>\r\nDear Ann,\r\nHello <B>world</B>\r\n'
shot saved

# File > Close: the document is saved, so nothing is asked.
keys "$frame" alt+f c
shot closed

# A blank document, then File > Open > the first recent file.
keys "$frame" ctrl+n
shot blank-document
keys "$frame" alt+f o
shot recent-list
keys "$frame" Down Return
shot reopened

# A new last line and File > Save (Ctrl+S) into the reopened file.
keys "$frame" ctrl+End Return
typed "$frame" "Bye"
keys "$frame" ctrl+s
wait_bytes "$work/docs/note.txt" '<QPLTITLE>Greeting Note</QPLTITLE>\r\nDear Ann,\r\nHello <B>world</B>\r\nBye\r\n'
shot saved-again

# A shell script with LF line ends, opened through File > Open: lines typed
# into it end in LF too, so after Ctrl+S it still runs.
printf '#!/bin/sh\necho hello\n' >"$work/docs/script.sh"
printf '<p>Caf\303\251 cr\303\250me</p>\n<p>Voil\303\240 \342\200\224 20 \342\202\254</p>\n' >"$work/docs/page.html"
open_file() {
    keys "$frame" ctrl+o
    local dialog
    dialog=$(wait_window "Open") || exit 1
    keys "$dialog" ctrl+a
    typed "$dialog" "$1"
    keys "$dialog" Return
    wait_gone "Open"
}
open_file script.sh
keys "$frame" ctrl+End
typed "$frame" "echo e"
keys "$frame" Return
typed "$frame" "exit 0"
keys "$frame" ctrl+s
wait_bytes "$work/docs/script.sh" '#!/bin/sh\necho hello\necho e\nexit 0\n'
shot lf-script-saved
ran=$(sh "$work/docs/script.sh" 2>&1) || fail "the saved script failed: $ran"
[ "$ran" = "$(printf 'hello\ne')" ] || fail "the saved script printed: $ran"

# A UTF-8 page shows its characters, and the status bar its format.
open_file page.html
shot utf8-page

kill -0 "$app_pid" 2>/dev/null || fail "the program ended by itself"
echo "PASS: session of $step steps; screenshots in $shots"
