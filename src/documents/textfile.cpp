#include "documents/textfile.h"

#include "platform/textcodec.h"

#include <cstring>

namespace {

const QByteArrayView kBom("\xEF\xBB\xBF", 3);

// Marks of encodings that take two or four bytes a character. UTF-32 LE
// comes before UTF-16 LE, whose mark it starts with.
struct ForeignMark
{
    QByteArrayView bytes;
    const char *name;
};
const ForeignMark kForeignMarks[] = {
    {QByteArrayView("\xFF\xFE\x00\x00", 4), "UTF-32 LE"},
    {QByteArrayView("\x00\x00\xFE\xFF", 4), "UTF-32 BE"},
    {QByteArrayView("\xFF\xFE", 2), "UTF-16 LE"},
    {QByteArrayView("\xFE\xFF", 2), "UTF-16 BE"},
};

bool contains(QByteArrayView bytes, char c)
{
    return !bytes.isEmpty() && std::memchr(bytes.data(), c, size_t(bytes.size())) != nullptr;
}

QByteArray classicText(QByteArray bytes, qsizetype *loneCrs)
{
    // The last line's end is not part of the text; a lone CR there comes
    // back as CR LF too, when Save adds the final line end.
    qsizetype n = bytes.size();
    bool loneAtEnd = false;
    if (n >= 2 && bytes[n - 2] == '\r' && bytes[n - 1] == '\n') {
        n -= 2;
    } else if (n >= 1 && bytes[n - 1] == '\r') {
        n -= 1;
        loneAtEnd = true;
    }

    // Count lone CRs: each becomes CR LF.
    qsizetype lone = 0;
    const char *p = bytes.constData();
    const char *end = p + n;
    for (const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(n))); cr;
         cr = static_cast<const char *>(std::memchr(cr + 1, '\r', size_t(end - cr - 1)))) {
        if (cr + 1 == end || cr[1] != '\n')
            ++lone;
        if (cr + 1 == end)
            break;
    }
    if (loneCrs)
        *loneCrs = lone + (loneAtEnd ? 1 : 0);
    if (lone == 0) {
        bytes.truncate(n);
        return bytes;
    }

    QByteArray out(n + lone, Qt::Uninitialized);
    char *dst = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        *dst++ = c;
        if (c == '\r' && (i + 1 == n || p[i + 1] != '\n'))
            *dst++ = '\n';
    }
    return out;
}

} // namespace

// The rules:
// - Line end: LF when the file holds at least one LF and no CR at all,
//   otherwise CR LF with the classic reading.
// - Encoding: UTF-8 with BOM when the file starts with the mark and the rest
//   is valid UTF-8; UTF-8 when the whole file is valid UTF-8 with a byte of
//   128 or more; an ASCII file is UTF-8 when its line end is LF (text on this
//   platform is UTF-8) and otherwise takes the encoding of new documents
//   (without a mark, which the file does not have); everything else is
//   Latin-1, whose bytes always come back as they were.
// - A file with a UTF-16 or UTF-32 mark is Latin-1, held byte by byte (and
//   byte by byte still when reopened with another encoding).
// - An empty file takes the whole format of new documents.
QString foreignMarkOf(QByteArrayView start)
{
    for (const ForeignMark &m : kForeignMarks)
        if (start.startsWith(m.bytes))
            return QString::fromLatin1(m.name);
    return QString();
}

DetectedFormat decideFormat(const FileFacts &facts, const TextFormat &forNew, std::optional<Encoding> forced)
{
    DetectedFormat out;
    if (facts.empty && !forced) {
        out.format = forNew;
        out.format.verbatim = false;
        return out;
    }
    TextFormat &f = out.format;
    f.lineEnd = facts.hasLf && !facts.hasCr ? LineEnd::Lf : LineEnd::CrLf;

    // Such a file stays byte by byte whatever it is reopened as: the line
    // rules would break its two- or four-byte characters.
    if (!facts.foreignMark.isEmpty()) {
        f.encoding = forced ? *forced : Encoding::Latin1;
        f.verbatim = true;
        if (!forced)
            out.foreignEncoding = facts.foreignMark;
        return out;
    }
    if (forced) {
        f.encoding = *forced == Encoding::Latin1 ? Encoding::Latin1
                     : facts.marked              ? Encoding::Utf8Bom
                                                 : Encoding::Utf8;
        return out;
    }
    if (facts.marked && facts.validUtf8)
        f.encoding = Encoding::Utf8Bom;
    else if (!facts.validUtf8)
        f.encoding = Encoding::Latin1;
    else if (facts.high || f.lineEnd == LineEnd::Lf)
        f.encoding = Encoding::Utf8;
    else
        f.encoding = forNew.encoding == Encoding::Latin1 ? Encoding::Latin1 : Encoding::Utf8;
    // An LF file's text is its bytes (less the mark), so their count holds.
    if (f.isUtf8() && f.lineEnd == LineEnd::Lf)
        out.characters = facts.characters;
    return out;
}

DetectedFormat detectFormat(QByteArrayView bytes, const TextFormat &forNew, std::optional<Encoding> forced)
{
    FileFacts facts;
    facts.empty = bytes.isEmpty();
    facts.hasLf = contains(bytes, '\n');
    facts.hasCr = contains(bytes, '\r');
    facts.foreignMark = foreignMarkOf(bytes);
    facts.marked = bytes.startsWith(kBom);
    // Only what follows a mark decides; the mark itself is valid UTF-8.
    if (facts.foreignMark.isEmpty() && !forced)
        facts.validUtf8 = textcodec::isValidUtf8(facts.marked ? bytes.sliced(kBom.size()) : bytes,
                                                 &facts.high, &facts.characters);
    return decideFormat(facts, forNew, forced);
}

QByteArray textFromFileBytes(QByteArray bytes, const TextFormat &format, qsizetype *loneCrs)
{
    if (loneCrs)
        *loneCrs = 0;
    if (format.hasBom() && bytes.startsWith(kBom))
        bytes.remove(0, kBom.size());
    if (format.verbatim || format.lineEnd == LineEnd::Lf)
        return bytes;
    return classicText(std::move(bytes), loneCrs);
}

FileFrame fileFrame(const TextFormat &format, QByteArrayView text, bool binary)
{
    FileFrame frame;
    if (format.hasBom())
        frame.prefix = kBom;
    if (binary || format.verbatim)
        return frame;
    if (format.lineEnd == LineEnd::CrLf)
        frame.ending = QByteArrayView("\r\n");
    else if (!text.isEmpty() && !text.endsWith('\n'))
        frame.ending = QByteArrayView("\n");
    return frame;
}

namespace {

// The last line break (CR or LF) in [from, to), or -1.
qsizetype lastBreak(const char *p, qsizetype from, qsizetype to)
{
    const void *lf = memrchr(p + from, '\n', size_t(to - from));
    const qsizetype afterLf = lf ? static_cast<const char *>(lf) - p + 1 : from;
    const void *cr = memrchr(p + afterLf, '\r', size_t(to - afterLf));
    return cr ? static_cast<const char *>(cr) - p : lf ? afterLf - 1 : -1;
}

// The first line break (CR or LF) in [from, to), or -1.
qsizetype firstBreak(const char *p, qsizetype from, qsizetype to)
{
    const void *lf = memchr(p + from, '\n', size_t(to - from));
    const qsizetype lfAt = lf ? static_cast<const char *>(lf) - p : to;
    const void *cr = memchr(p + from, '\r', size_t(lfAt - from));
    return cr ? static_cast<const char *>(cr) - p : lf ? lfAt : -1;
}

} // namespace

void LongLineWatch::feed(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const qsizetype n = bytes.size();
    // Each step looks at the stretch the line in progress would need to be
    // long; only its last break matters, so short lines cost one backward
    // search per stretch, not one per line.
    // A line that reached the length ends at the first break after it; the
    // lines between that and the last break of a stretch are shorter.
    for (qsizetype i = 0; i < n;) {
        if (m_run >= m_length) {
            const qsizetype br = firstBreak(p, i, n);
            if (br < 0) {
                m_run += n - i;
                return;
            }
            m_longest = qMax(m_longest, m_run + (br - i));
            m_run = 0;
            i = br + 1;
            continue;
        }
        const qsizetype need = m_length - m_run;
        const qsizetype to = qMin(n, i + need);
        const qsizetype br = lastBreak(p, i, to);
        if (br < 0) {
            m_run += to - i;
            m_found = m_found || m_run >= m_length;
        } else {
            m_run = to - br - 1;
        }
        i = to;
    }
}

QString decodeFileText(QByteArrayView bytes)
{
    if (bytes.startsWith(kBom) && textcodec::isValidUtf8(bytes.sliced(kBom.size())))
        return textcodec::decode(bytes.sliced(kBom.size()), Encoding::Utf8);
    return textcodec::decode(bytes, textcodec::isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Latin1);
}
