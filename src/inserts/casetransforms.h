#pragma once

#include <QByteArray>
#include <QString>

// Letter case changes of document text. Latin-1 text is changed as bytes and
// keeps its length: a letter whose other case is not a single Latin-1
// character (sharp s, y with diaeresis, micro sign) stays as it is. Unicode
// text follows Unicode's full case rules and may change its length ("ß"
// upper case is "SS").
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

QString toUpperCase(QStringView text);
QString toLowerCase(QStringView text);
// As for Latin-1, by character (a surrogate pair is one): a word is a run of
// letters and digits, combining marks after one of them included; the
// apostrophe between two letters may also be the typographic one (U+2019).
// A word's first letter takes its full upper case mapping.
QString toProperCase(QStringView text);

} // namespace inserts
