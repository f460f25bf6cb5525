#include "editor/findengine.h"
#include "editor/gotoline.h"
#include "editor/languages.h"
#include "testmain.h"

#include <cstring>

using findengine::Options;
using languages::Language;

namespace {

// Options written as letters: c match case, w whole word, n no wrap around.
Options opts(const char *flags)
{
    Options o;
    o.matchCase = strchr(flags, 'c');
    o.wholeWord = strchr(flags, 'w');
    o.wrapAround = !strchr(flags, 'n');
    return o;
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
        const QList<std::pair<const char *, const char *>> rows = {
            {"/w/index.html", "HTML"},      {"/w/INDEX.HTM", "HTML"},       {"/w/page.shtml", "HTML"},
            {"/w/page.asp", "HTML"},        {"/w/Letter.QPT", "HTML"},      {"/w/data.xml", "XML"},
            {"/w/pic.svg", "XML"},          {"/w/site.css", "CSS"},         {"/w/main.cpp", "C++"},
            {"/w/MAIN.CPP", "C++"},         {"/w/util.c", "C++"},           {"/w/util.h", "C++"},
            {"/w/App.java", "Java"},        {"/w/app.js", "JavaScript"},    {"/w/index.php", "PHP"},
            {"/w/INDEX.PHP", "PHP"},        {"/w/tool.pl", "Perl"},         {"/w/Mod.pm", "Perl"},
            {"/w/setup.ini", "INI"},        {"/w/driver.inf", "INI"},       {"/w/notes.txt", "Plain"},
            {"/w/form.frm", "Plain"},       {"/w/archive.tar.gz", "Plain"}, {"/w/Makefile", "Plain"},
            {"/w/.ini", "Plain"},           {"/w/trailing.", "Plain"},      {"", "Plain"},
            {"/w/dir.html/notes", "Plain"}, {"  /w/spaced.css  ", "CSS"},
        };
        for (const auto &[path, language] : rows)
            QTest::newRow(path[0] ? path : "untitled")
                << QString::fromLatin1(path) << QString::fromLatin1(language);
    }
    void languageByExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, language);
        QCOMPARE(languages::languageName(languages::languageForPath(path)), language);
    }

    void findNext_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("pos");
        QTest::addColumn<bool>("wrapped");
        QTest::newRow("plain") << QByteArray("one two one") << QByteArray("one") << "" << 1 << 8 << false;
        QTest::newRow("wraps to the start")
            << QByteArray("one two one") << QByteArray("one") << "" << 9 << 0 << true;
        QTest::newRow("no wrap: not found")
            << QByteArray("one two one") << QByteArray("one") << "n" << 9 << -1 << false;
        QTest::newRow("case folded") << QByteArray("a Word") << QByteArray("WORD") << "" << 0 << 2 << false;
        QTest::newRow("latin-1 folded")
            << QByteArray("caf\xc9!") << QByteArray("caf\xe9") << "" << 0 << 0 << false;
        QTest::newRow("latin-1 case kept")
            << QByteArray("caf\xc9!") << QByteArray("caf\xe9") << "c" << 0 << -1 << false;
        QTest::newRow("whole word: _ is a word byte")
            << QByteArray("a_cat cat_") << QByteArray("cat") << "w" << 0 << -1 << false;
        QTest::newRow("whole word: accented letter")
            << QByteArray("\xe9t\xe9 t\xe9") << QByteArray("t\xe9") << "w" << 0 << 4 << false;
        QTest::newRow("whole word: edge not a word")
            << QByteArray("x<b>") << QByteArray("<b") << "w" << 0 << 1 << false;
        QTest::newRow("across CR LF")
            << QByteArray("ab\r\ncd") << QByteArray("b\r\nc") << "" << 0 << 1 << false;
        QTest::newRow("NUL in text") << QByteArray("a\0b\0c", 5) << QByteArray("c") << "" << 0 << 4 << false;
        QTest::newRow("empty needle") << QByteArray("ab") << QByteArray() << "" << 0 << -1 << false;
        QTest::newRow("from past the end")
            << QByteArray("ab ab") << QByteArray("ab") << "" << 99 << 0 << true;
    }
    void findNext()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QString, flags);
        QFETCH(int, from);
        const findengine::Match m = findengine::findNext(text, needle, from, opts(qPrintable(flags)));
        QTEST(int(m.pos), "pos");
        QTEST(m.wrapped, "wrapped");
    }

    void findPrevious_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("pos");
        QTest::addColumn<bool>("wrapped");
        QTest::newRow("the one before") << QByteArray("one two one") << "" << 8 << 0 << false;
        QTest::newRow("ending at before") << QByteArray("one two one") << "" << 11 << 8 << false;
        QTest::newRow("wraps to the end") << QByteArray("one two one") << "" << 2 << 8 << true;
        QTest::newRow("no wrap") << QByteArray("one two one") << "n" << 2 << -1 << false;
        QTest::newRow("whole word") << QByteArray("one bones") << "w" << 9 << 0 << false;
        QTest::newRow("case") << QByteArray("One one") << "c" << 3 << 4 << true;
    }
    void findPrevious()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, flags);
        QFETCH(int, before);
        const findengine::Match m = findengine::findPrevious(text, "one", before, opts(qPrintable(flags)));
        QTEST(int(m.pos), "pos");
        QTEST(m.wrapped, "wrapped");
    }

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("longer") << QByteArray("a-b-c") << QByteArray("-") << QByteArray("--") << "" << 5
                                << QByteArray("a--b--c") << 2 << 7;
        QTest::newRow("shorter, caret inside a match")
            << QByteArray("xx abc abc") << QByteArray("abc") << QByteArray("Z") << "" << 8
            << QByteArray("xx Z Z") << 2 << 5;
        QTest::newRow("caret before all") << QByteArray("ab ab") << QByteArray("ab") << QByteArray("") << ""
                                          << 0 << QByteArray(" ") << 2 << 0;
        QTest::newRow("not overlapping") << QByteArray("aaaa") << QByteArray("aa") << QByteArray("b") << ""
                                         << 0 << QByteArray("bb") << 2 << 0;
        QTest::newRow("replacement holds the needle")
            << QByteArray("a a") << QByteArray("a") << QByteArray("aa") << "" << 0 << QByteArray("aa aa") << 2
            << 0;
        QTest::newRow("CR LF and latin-1 kept")
            << QByteArray("caf\xe9\r\nCAF\xc9\r\n\xff") << QByteArray("caf\xe9") << QByteArray("th\xe9") << ""
            << 0 << QByteArray("th\xe9\r\nth\xe9\r\n\xff") << 2 << 0;
        QTest::newRow("none") << QByteArray("abc") << QByteArray("x") << QByteArray("y") << "" << 1
                              << QByteArray("abc") << 0 << 1;
    }
    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(QByteArray, replacement);
        QFETCH(QString, flags);
        QFETCH(int, caret);
        const findengine::Replaced r =
            findengine::replaceAll(text, needle, replacement, opts(qPrintable(flags)), caret);
        QByteArray result = text;
        if (r.count > 0)
            result.replace(r.start, r.length, r.bytes);
        QTEST(result, "result");
        QTEST(int(r.count), "count");
        QTEST(int(r.caret), "caretAfter");
        // Only the span from the first match to the end of the last one is handed back.
        if (r.count > 0) {
            QVERIFY2(findengine::matchesAt(text, r.start, needle, opts(qPrintable(flags))),
                     "starts at a match");
            QVERIFY2(findengine::matchesAt(text, r.start + r.length - needle.size(), needle,
                                           opts(qPrintable(flags))),
                     "ends at a match");
        }
    }

    void lineNumbers_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("line");
        QTest::newRow("first") << "1" << 1;
        QTest::newRow("last") << "10" << 10;
        QTest::newRow("spaces around") << "  7 " << 7;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("past the end") << "11" << 0;
        QTest::newRow("negative") << "-3" << 0;
        QTest::newRow("plus sign") << "+3" << 0;
        QTest::newRow("letters") << "3a" << 0;
        QTest::newRow("decimal") << "2.0" << 0;
        QTest::newRow("huge") << "99999999999999999999999" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("arabic-indic digit") << QString(QChar(0x0663)) << 0;
    }
    void lineNumbers()
    {
        QFETCH(QString, input);
        QTEST(gotoline::parseLineNumber(input, 10), "line");
    }
};

QP_TEST_MAIN(TstFindEngine)
#include "tst_findengine.moc"
