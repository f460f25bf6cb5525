#include "inserts/casetransforms.h"

#include <QChar>

#include <array>

namespace inserts {

namespace {

using Table = std::array<unsigned char, 256>;

// Case tables for the 256 Latin-1 characters, from the character database's
// one-to-one mappings; a mapping that leaves Latin-1 maps to the character itself.
Table makeTable(char32_t (*map)(char32_t))
{
    Table t{};
    for (int c = 0; c < 256; ++c) {
        const char32_t m = map(char32_t(c));
        t[c] = static_cast<unsigned char>(m < 256 ? m : char32_t(c));
    }
    return t;
}

const Table &upperTable()
{
    static const Table t = makeTable([](char32_t c) { return QChar::toUpper(c); });
    return t;
}

const Table &lowerTable()
{
    static const Table t = makeTable([](char32_t c) { return QChar::toLower(c); });
    return t;
}

const std::array<bool, 256> &wordTable()
{
    static const std::array<bool, 256> t = [] {
        std::array<bool, 256> w{};
        for (int c = 0; c < 256; ++c)
            w[c] = QChar::isLetterOrNumber(char32_t(c));
        return w;
    }();
    return t;
}

// The character at i, a surrogate pair taken whole; *size receives how many
// UTF-16 units it takes.
char32_t codeAt(QStringView text, qsizetype i, qsizetype *size)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *size = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *size = 1;
    return c.unicode();
}

// The character that ends right before i (> 0).
char32_t codeBefore(QStringView text, qsizetype i)
{
    if (i >= 2 && text[i - 1].isLowSurrogate() && text[i - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[i - 2], text[i - 1]);
    return text[i - 1].unicode();
}

bool isMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

QByteArray mapped(QByteArrayView text, const Table &table)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    const auto *src = reinterpret_cast<const unsigned char *>(text.data());
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        dst[i] = char(table[src[i]]);
    return out;
}

} // namespace

bool isBlank(QByteArrayView text)
{
    for (char c : text)
        if (c != ' ')
            return false;
    return true;
}

QByteArray toUpperCase(QByteArrayView text)
{
    return mapped(text, upperTable());
}

QByteArray toLowerCase(QByteArrayView text)
{
    return mapped(text, lowerTable());
}

QByteArray toProperCase(QByteArrayView text)
{
    const Table &upper = upperTable();
    const Table &lower = lowerTable();
    const std::array<bool, 256> &inWord = wordTable();
    const auto *src = reinterpret_cast<const unsigned char *>(text.data());
    const qsizetype n = text.size();
    QByteArray out(n, Qt::Uninitialized);
    char *dst = out.data();
    bool wordGoing = false;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = src[i];
        if (inWord[c]) {
            dst[i] = char(wordGoing ? lower[c] : upper[c]);
            wordGoing = true;
            continue;
        }
        dst[i] = char(c);
        // An apostrophe between two letters keeps the word going.
        wordGoing = c == '\'' && wordGoing && i + 1 < n && QChar::isLetter(char32_t(src[i - 1])) &&
                    QChar::isLetter(char32_t(src[i + 1]));
    }
    return out;
}

QString toUpperCase(QStringView text)
{
    return text.toString().toUpper();
}

QString toLowerCase(QStringView text)
{
    return text.toString().toLower();
}

QString toProperCase(QStringView text)
{
    const qsizetype n = text.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        qsizetype size = 0;
        if (!QChar::isLetterOrNumber(codeAt(text, i, &size))) {
            out += text.sliced(i, size);
            i += size;
            continue;
        }
        qsizetype end = i + size;
        while (end < n) {
            qsizetype step = 0;
            const char32_t c = codeAt(text, end, &step);
            // An accent written as a mark of its own belongs to the letter before it.
            if (QChar::isLetterOrNumber(c) || isMark(c)) {
                end += step;
                continue;
            }
            // An apostrophe between two letters keeps the word going.
            qsizetype next = 0;
            if ((c == '\'' || c == 0x2019) && end + step < n && QChar::isLetter(codeBefore(text, end)) &&
                QChar::isLetter(codeAt(text, end + step, &next))) {
                end += step;
                continue;
            }
            break;
        }
        // Full mappings, so the first letter may become several ("ß" is "SS").
        out += text.sliced(i, size).toString().toUpper();
        out += text.sliced(i + size, end - i - size).toString().toLower();
        i = end;
    }
    return out;
}

} // namespace inserts
