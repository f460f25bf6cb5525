#pragma once

// Character mode's key table: 93 ordinary keys that type characters of the
// upper half of Latin-1 instead ("c" types 169, the copyright sign).
namespace charactermode {

constexpr int TableSize = 93;

struct KeyReplacement
{
    char key;
    int code; // Latin-1 code, equal to the Unicode code point
};

// The table in its fixed order.
const KeyReplacement *table();

// The replacement of a typed code, or 0 when the table has no entry for it.
int replacement(int code);

// What typing code inserts while character mode is on: the table's
// replacement, space and Enter as they are, and 0 (nothing) for every other
// code, Backspace and Tab among them.
int translate(int code);

// The typing hook of a window's text control: translate() while the mode is
// on, every code unchanged while it is off.
int typedCode(bool modeOn, int code);

} // namespace charactermode
