#include "editor/findengine.h"
#include "editor/languages.h"
#include "testmain.h"

using findengine::Options;

namespace {

// Options written as letters: c match case, w whole word, n no wrap around, u UTF-8.
Options opts(const QString &flags)
{
    Options o;
    o.matchCase = flags.contains(QLatin1Char('c'));
    o.wholeWord = flags.contains(QLatin1Char('w'));
    o.wrapAround = !flags.contains(QLatin1Char('n'));
    o.utf8 = flags.contains(QLatin1Char('u'));
    return o;
}

// The bytes of a literal, NULs included.
template <size_t N> QByteArray b(const char (&s)[N])
{
    return QByteArray(s, N - 1);
}

} // namespace

class TstFindEngine : public QObject
{
    Q_OBJECT
private slots:
    void languageByExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("language");
        const QString rows =
            "index.html|HTML;INDEX.HTM|HTML;page.shtml|HTML;Letter.QPT|HTML;data.xml|XML;"
            "pic.svg|XML;site.css|CSS;main.cpp|C++;util.h|C++;App.java|Java;app.js|JavaScript;"
            "index.php|PHP;tool.pl|Perl;setup.ini|INI;notes.txt|Plain;archive.tar.gz|Plain;"
            "Makefile|Plain;.ini|Plain;trailing.|Plain;|Plain;/w/dir.html/notes|Plain;"
            "  /w/spaced.css  |CSS";
        for (const QString &row : rows.split(QLatin1Char(';'))) {
            const QStringList cells = row.split(QLatin1Char('|'));
            QTest::newRow(qPrintable(row)) << cells[0] << cells[1];
        }
    }
    void languageByExtension()
    {
        QFETCH(QString, path);
        QTEST(languages::languageName(languages::languageForPath(path)), "language");
    }

    // Flag b searches backwards from `from`: the last match ending at or
    // before it. Found: "pos,length", with " wrapped" when found round the end.
    // Text and needles in UTF-8 (this file's own encoding) unless escaped.
    void find_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("found");
        QTest::newRow("plain") << b("one two one") << b("one") << "" << 1 << "8,3";
        QTest::newRow("wraps to the start") << b("one two one") << b("one") << "" << 9 << "0,3 wrapped";
        QTest::newRow("no wrap: not found") << b("one two one") << b("one") << "n" << 9 << "-";
        QTest::newRow("latin-1 folded") << b("CAF\xc9!") << b("caf\xe9") << "" << 0 << "0,4";
        QTest::newRow("latin-1 case kept") << b("caf\xc9!") << b("caf\xe9") << "c" << 0 << "-";
        QTest::newRow("latin-1 sees bytes") << b("ébat bat") << b("bat") << "w" << 0 << "2,3";
        QTest::newRow("word: _ is a word byte") << b("a_cat cat_") << b("cat") << "w" << 0 << "-";
        QTest::newRow("word: accented letter") << b("\xe9t\xe9 t\xe9") << b("t\xe9") << "w" << 0 << "4,2";
        QTest::newRow("word: edge not a word") << b("x<b>") << b("<b") << "w" << 0 << "1,2";
        QTest::newRow("across CR LF") << b("ab\r\ncd") << b("b\r\nc") << "" << 0 << "1,4";
        QTest::newRow("NUL in text") << b("a\0b\0c") << b("c") << "" << 0 << "4,1";
        QTest::newRow("empty needle") << b("ab") << QByteArray() << "" << 0 << "-";
        QTest::newRow("from past the end") << b("ab ab") << b("ab") << "" << 99 << "0,2 wrapped";
        QTest::newRow("back: the one before") << b("one two one") << b("one") << "b" << 8 << "0,3";
        QTest::newRow("back: ending at from") << b("one two one") << b("one") << "b" << 11 << "8,3";
        QTest::newRow("back: wraps to the end") << b("one two one") << b("one") << "b" << 2 << "8,3 wrapped";
        QTest::newRow("back: no wrap") << b("one two one") << b("one") << "bn" << 2 << "-";
        QTest::newRow("back: whole word") << b("one bones") << b("one") << "bw" << 9 << "0,3";
        QTest::newRow("back: case") << b("One one") << b("one") << "bc" << 3 << "4,3 wrapped";
        QTest::newRow("é finds É") << b("x Été") << b("été") << "u" << 0 << "2,5";
        QTest::newRow("match case keeps them apart") << b("Été été") << b("été") << "uc" << 0 << "6,5";
        QTest::newRow("cyrillic") << b("ПРИВЕТ мир") << b("привет") << "u" << 0 << "0,12";
        QTest::newRow("four bytes folded") << b("x𐐀") << b("𐐨") << "u" << 0 << "1,4"; // U+10400, U+10428
        QTest::newRow("kelvin sign is k") << b("5 \u212a") << b("k") << "u" << 0 << "2,3";
        QTest::newRow("not a tail byte") << b("é") << b("\xa9") << "u" << 0 << "-";
        QTest::newRow("not a lead byte") << b("é") << b("\xc3") << "uc" << 0 << "-";
        QTest::newRow("word: letter before") << b("ébat bat") << b("bat") << "uw" << 0 << "6,3";
        QTest::newRow("word: letter after") << b("batж bat") << b("bat") << "uw" << 0 << "6,3";
        QTest::newRow("word: 4-byte letter") << b("𐐨bat") << b("bat") << "uw" << 0 << "-";
        QTest::newRow("word: not a letter") << b("€bat") << b("bat") << "uw" << 0 << "3,3";
        QTest::newRow("back: over a longer fold") << b("k \u212a") << b("K") << "ub" << 5 << "2,3";
        QTest::newRow("back: ends past before") << b("k \u212a") << b("K") << "ubn" << 4 << "0,1";
    }
    void find()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QString, flags);
        QFETCH(int, from);
        const findengine::Match m = flags.contains(QLatin1Char('b'))
                                        ? findengine::findPrevious(text, needle, from, opts(flags))
                                        : findengine::findNext(text, needle, from, opts(flags));
        QTEST(m.found() ? QStringLiteral("%1,%2%3").arg(m.pos).arg(m.length).arg(m.wrapped ? " wrapped" : "")
                        : QStringLiteral("-"),
              "found");
        qsizetype length = -1;
        QVERIFY2(!m.found() ||
                     (findengine::matchesAt(text, m.pos, needle, opts(flags), &length) && length == m.length),
                 "matchesAt agrees on the length");
    }

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("longer") << b("a-b-c") << b("-") << b("--") << 5 << b("a--b--c") << 2 << 7;
        QTest::newRow("caret in a match")
            << b("xx abc abc") << b("abc") << b("Z") << 8 << b("xx Z Z") << 2 << 5;
        QTest::newRow("caret before all") << b("ab ab") << b("ab") << b("") << 0 << b(" ") << 2 << 0;
        QTest::newRow("not overlapping") << b("aaaa") << b("aa") << b("b") << 0 << b("bb") << 2 << 0;
        QTest::newRow("holds the needle") << b("a a") << b("a") << b("aa") << 0 << b("aa aa") << 2 << 0;
        QTest::newRow("none") << b("abc") << b("x") << b("y") << 1 << b("abc") << 0 << 1;
    }
    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QByteArray, replacement);
        QFETCH(int, caret);
        const findengine::Replaced r = findengine::replaceAll(text, needle, replacement, Options(), caret);
        QTEST(QByteArray(text).replace(r.start, r.length, r.bytes), "result");
        QTEST(int(r.count), "count");
        QTEST(int(r.caret), "caretAfter");
        // Only the span from the first match to the end of the last one is handed back.
        QVERIFY2(!r.count ||
                     (findengine::matchesAt(text, r.start, needle, Options()) &&
                      findengine::matchesAt(text, r.start + r.length - needle.size(), needle, Options())),
                 "the span starts and ends at a match");
    }

    // Folded forms of other lengths: ẞ (3 bytes) and ß (2) fold alike, "SS" is no simple fold of them.
    void replaceAllByCharacters()
    {
        const QByteArray text = "Straße STRAẞE STRASSE жЖ";
        const findengine::Replaced r = findengine::replaceAll(text, "ß", "ss", opts("u"), text.size());
        QCOMPARE(QByteArray(text).replace(r.start, r.length, r.bytes),
                 QByteArray("Strasse STRAssE STRASSE жЖ"));
        // Eleven bytes from the ß to the end of the ẞ.
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(r.count).arg(r.caret).arg(r.length),
                 QStringLiteral("2 %1 11").arg(text.size() - 1));
        // A caret inside the second letter goes to the start of its replacement.
        const findengine::Replaced z = findengine::replaceAll("жЖ", "Ж", "z", opts("u"), 3);
        QCOMPARE(z.bytes + "|" + QByteArray::number(z.caret), "zz|1");
    }
};

QP_TEST_MAIN(TstFindEngine)
#include "tst_findengine.moc"
