#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How a document's text is held and written: the line end that Enter types
// and incoming text is given, and the encoding of its bytes. The classic
// format (CR LF, Latin-1) is what documents have always been; LF and UTF-8
// keep the files of this platform as they are.
enum class LineEnd { CrLf, Lf };
enum class Encoding { Latin1, Utf8, Utf8Bom };

struct TextFormat
{
    LineEnd lineEnd = LineEnd::CrLf;
    Encoding encoding = Encoding::Latin1;
    // A file in an encoding the editor cannot show (UTF-16, UTF-32) is held
    // byte by byte: read without line rules, and saved with nothing added.
    bool verbatim = false;

    static TextFormat classic() { return TextFormat(); }
    bool isClassic() const { return *this == classic(); }
    bool isUtf8() const { return encoding != Encoding::Latin1; }
    bool hasBom() const { return encoding == Encoding::Utf8Bom; }
    QByteArrayView lineEndBytes() const { return lineEnd == LineEnd::Lf ? QByteArrayView("\n") : "\r\n"; }

    // As the status bar shows it: "CR LF  Latin-1", "LF  UTF-8".
    QString label() const;
    static QString lineEndName(LineEnd e);
    static QString encodingName(Encoding e);

    // A short text for files that keep a format ("crlf latin1", "lf utf-8-bom
    // verbatim"); fromKey takes only what key() writes.
    QByteArray key() const;
    static bool fromKey(QByteArrayView key, TextFormat *out);

    friend bool operator==(const TextFormat &a, const TextFormat &b)
    {
        return a.lineEnd == b.lineEnd && a.encoding == b.encoding && a.verbatim == b.verbatim;
    }
    friend bool operator!=(const TextFormat &a, const TextFormat &b) { return !(a == b); }
};
