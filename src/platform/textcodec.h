#pragma once

#include "platform/textformat.h"

#include <QByteArray>
#include <QString>

// Turning text into a document's bytes and back, by the document's format.
// Each runs in one pass over its input; none keeps a second copy of it.
namespace textcodec {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF and
// no sequence cut at the end. *hasHigh tells whether any byte was 128 or
// more, *characters (when valid) how many characters the bytes hold.
bool isValidUtf8(QByteArrayView bytes, bool *hasHigh = nullptr, qsizetype *characters = nullptr);

// The same check over a text that comes in pieces split anywhere, even
// inside a character.
class Utf8Check
{
public:
    void feed(QByteArrayView piece);
    // The end of the text: a character cut there makes it invalid.
    void finish();
    bool valid() const { return m_valid; }
    bool hasHigh() const { return m_high; }
    qsizetype characters() const { return m_characters; }

private:
    bool m_valid = true;
    bool m_high = false;
    qsizetype m_characters = 0;
    QByteArray m_carry; // the start of a character the next piece completes
};

// Characters in document bytes: in UTF-8 a sequence of several bytes counts
// once; CR and LF count one each.
qsizetype countCharacters(QByteArrayView bytes, Encoding encoding);

QString decode(QByteArrayView bytes, Encoding encoding);

// Unicode text into bytes of the encoding. Latin-1 cannot hold every
// character: those it cannot become "?", counted in *replaced.
QByteArray encode(QStringView text, Encoding encoding, int *replaced = nullptr);

// The same text in another encoding; line breaks stay as they are. Latin-1
// cannot hold every character: those become "?", counted in *replaced.
QByteArray reencode(QByteArrayView bytes, Encoding from, Encoding to, int *replaced = nullptr);

// Every line break (CR LF, a lone CR, a lone LF) made `eol`.
QByteArray unifyLineEnds(QByteArrayView bytes, QByteArrayView eol);

// Text coming into a document: encoded, and (except in the classic format,
// which takes text as it comes) its line breaks made the document's own.
QByteArray toDocument(QStringView text, const TextFormat &format, int *replaced = nullptr);

// The bytes of one character, by its code point.
QByteArray encodeCharacter(char32_t code, Encoding encoding);

// Whether a byte of UTF-8 text continues a character begun before it.
inline bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// What the user is told when characters could not be held.
QString replacedNotice(int count);

} // namespace textcodec
