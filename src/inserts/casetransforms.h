#pragma once

#include <QByteArray>

// Letter case changes of document text. The text is Latin-1 bytes and keeps
// its length: a letter whose other case is not a single Latin-1 character
// (sharp s, y with diaeresis, micro sign) stays as it is.
namespace inserts {

// Empty, or spaces only; tabs and line breaks count as text.
bool isBlank(QByteArrayView text);

QByteArray toUpperCase(QByteArrayView text);
QByteArray toLowerCase(QByteArrayView text);

// The first letter of every word upper case, the rest of it lower case. A word
// is a run of letters and digits (Latin-1 ones included); an apostrophe
// between two letters belongs to the word, so "don't" becomes "Don't". A word
// that starts with a digit keeps its letters lower case ("4th").
QByteArray toProperCase(QByteArrayView text);

} // namespace inserts
