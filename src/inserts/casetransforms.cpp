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

QByteArray toUpperCase(QByteArrayView text) { return mapped(text, upperTable()); }

QByteArray toLowerCase(QByteArrayView text) { return mapped(text, lowerTable()); }

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
        wordGoing = c == '\'' && wordGoing && i + 1 < n && QChar::isLetter(char32_t(src[i - 1]))
                    && QChar::isLetter(char32_t(src[i + 1]));
    }
    return out;
}

} // namespace inserts
