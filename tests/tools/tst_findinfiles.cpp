#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "projects/modprojectlist.h"
#include "projects/projectlist.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/filesearch.h"
#include "tools/findjob.h"
#include "tools/frmfindinfiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QPushButton>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

using namespace tools;

namespace {

template <typename T = QWidget> T *part(QWidget *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Found
{
    FindJob::Stats stats;
    std::vector<FileHits> files;
    QString error;
    const FileHits *file(const QString &name) const
    {
        for (const FileHits &f : files)
            if (f.path.endsWith(QLatin1Char('/') + name))
                return &f;
        return nullptr;
    }
};

Found search(const QString &folder, FindOptions options, const QString &patterns = QStringLiteral("*"),
             int maxLines = FindJob::DefaultMaxLines)
{
    FindJob job;
    FindJob::Request r;
    r.options = options;
    r.folder = folder;
    r.patterns = patterns;
    r.maxLines = maxLines;
    Found out;
    if (!job.start(r, &out.error))
        return out;
    job.wait();
    out.stats = job.stats();
    out.files = job.takeResults();
    return out;
}

FindOptions text(const QString &t, bool matchCase = false, bool wholeWord = false, bool regex = false)
{
    return FindOptions{t, matchCase, wholeWord, regex};
}

} // namespace

class TstFindInFiles : public QObject
{
    Q_OBJECT

private slots:
    void everySkipReasonIsCountedAndNothingHangs()
    {
        QTemporaryDir dir;
        const QString d = dir.path();
        put(d + "/a.txt", "one needle\n");
        put(d + "/sub/b.c", "x\r\nNEEDLE and needle\r\n");
        put(d + "/bin.dat", QByteArray("needle\0", 7));
        put(d + "/.hidden/c.txt", "needle\n");
        put(d + "/.git/d.txt", "needle\n");
        put(d + QStringLiteral("/odd\nname \"q\".txt"), "needle\n");
        put(d + "/" + QFile::decodeName("bad\xff.txt"), "needle\n");
        QFile::link(QStringLiteral("/proc/self/mem"), d + "/unreadable.txt"); // reads fail, even for root
        QCOMPARE(::mkfifo(QFile::encodeName(d + "/fifo").constData(), 0600), 0);
        QLocalServer socket;
        QVERIFY(socket.listen(d + "/socket"));
        QFile::link(d + "/loop1", d + "/loop2");
        QFile::link(d + "/loop2", d + "/loop1");
        QFile::link(d + "/missing", d + "/dangling");
        QFile::link(d, d + "/sub/up"); // a link to a folder is not followed
        QFile::link(d + "/a.txt", d + "/alias.txt");
        { // a sparse 10 GB file of NULs is binary at once
            QFile sparse(d + "/sparse.img");
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(10LL << 30));
        }

        const Found f = search(d, text("needle"));
        QCOMPARE(f.error, QString());
        QStringList names;
        for (const FileHits &h : f.files)
            names << QFileInfo(h.path).fileName();
        names.sort();
        QCOMPARE(names, (QStringList{"a.txt", "alias.txt", "b.c", QFile::decodeName("bad\xff.txt"),
                                     QStringLiteral("odd\nname \"q\".txt")}));
        QCOMPARE(f.file("b.c")->matches, 2);
        QCOMPARE(f.file("b.c")->lines.size(), size_t(1));
        QCOMPARE(f.stats.searched, 5);
        QCOMPARE(f.stats.matched, 5);
        QCOMPARE(skippedText(f.stats),
                 QStringLiteral("Skipped 8: 2 binary, 1 unreadable, 2 FIFOs, sockets or devices, "
                                "3 broken or looping links"));
        QVERIFY(f.stats.finished && !f.stats.stopped);
    }

    void patternsAndOptions_data()
    {
        QTest::addColumn<FindOptions>("options");
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<int>("lines");
        QTest::newRow("ignores case") << text("hello") << "*" << 4;
        QTest::newRow("match case") << text("Hello", true) << "*" << 2;
        QTest::newRow("whole word") << text("hello", false, true) << "*" << 2;
        QTest::newRow("patterns") << text("hello") << " *.HTML ; *.css" << 3;
        QTest::newRow("regex") << text("^h.l+o$", false, false, true) << "*" << 1;
        QTest::newRow("regex whole word") << text("hel+o", false, true, true) << "*" << 2;
    }
    void patternsAndOptions()
    {
        QFETCH(FindOptions, options);
        QFETCH(QString, patterns);
        QFETCH(int, lines);
        QTemporaryDir dir;
        put(dir.path() + "/a.html", "Hello there\nhelloworld\n");
        put(dir.path() + "/b.css", "say HELLO_ \n");
        put(dir.path() + "/c.txt", "Hello\n");
        const Found f = search(dir.path(), options, patterns);
        QCOMPARE(f.error, QString());
        QCOMPARE(f.stats.lines, lines);
    }

    void eachFileInItsOwnEncoding()
    {
        QTemporaryDir dir;
        put(dir.path() + "/u.txt", "x\ncaf\xc3\xa9 CAF\xc3\x89\n"); // UTF-8
        put(dir.path() + "/l.txt", "x\r\n\tcaf\xe9 CAF\xc9\r\n");   // Latin-1
        put(dir.path() + "/bom.txt", "\xef\xbb\xbf"
                                     "caf\xc3\xa9\n"); // the mark is no part of a line
        const Found f = search(dir.path(), text(QStringLiteral("café")));
        QCOMPARE(f.stats.lines, 3);
        const LineHit &u = f.file("u.txt")->lines.front();
        QCOMPARE(u.line, 2);
        QCOMPARE(u.matches, 2);
        QCOMPARE(u.shown, QStringLiteral("café CAFÉ"));
        QCOMPARE(u.spans, (QList<QPair<int, int>>{{0, 4}, {5, 4}}));
        QCOMPARE(f.file("u.txt")->encoding, TextEncoding::Utf8);
        const LineHit &l = f.file("l.txt")->lines.front();
        QCOMPARE(l.shown, QStringLiteral(" café CAFÉ"));
        QCOMPARE(f.file("l.txt")->encoding, TextEncoding::Latin1);
        QCOMPARE(l.byteColumn, 1);
        QCOMPARE(l.byteLength, 4);
        QCOMPARE(f.file("bom.txt")->lines.front().byteColumn, 0);

        // An ASCII text: a Latin-1 line that happens to hold valid UTF-8 still reads as Latin-1.
        put(dir.path() + "/l.txt", "\xc3\xa9 x1\n\xff\n");
        const Found g = search(dir.path(), text("x1"));
        QCOMPARE(g.file("l.txt")->lines.front().shown, QStringLiteral("Ã© x1"));
        QCOMPARE(g.file("l.txt")->lines.front().charColumn, 3);
    }

    void regularExpressionErrors_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("message");
        QTest::newRow("open group")
            << "ab(c"
            << "The regular expression cannot be used: missing closing parenthesis, at "
               "character 5.";
        QTest::newRow("bad repeat") << "x*+*"
                                    << "The regular expression cannot be used: quantifier does not follow a "
                                       "repeatable item, at character 4.";
    }
    void regularExpressionErrors()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QCOMPARE(search(dir.path(), text(pattern, false, false, true)).error, message);
    }

    void aPathologicalPatternStopsWithAMessage()
    {
        QTemporaryDir dir;
        put(dir.path() + "/a.txt", "fine\n" + QByteArray(40, 'a') + "!\n");
        const Found f = search(dir.path(), text("(a+)+$", false, false, true));
        QCOMPARE(f.stats.problem,
                 QStringLiteral("The regular expression needs too much work on line 2 of \"%1\"; "
                                "the search stopped there. A simpler pattern will do.")
                     .arg(dir.path() + "/a.txt"));
        QVERIFY(f.stats.stopped);
    }

    void aMillionMatchesAreCapped()
    {
        QTemporaryDir dir;
        put(dir.path() + "/many.txt", QByteArray("match\n").repeated(1000000));
        const Found f = search(dir.path(), text("match"));
        QCOMPARE(f.stats.lines, FindJob::DefaultMaxLines);
        QVERIFY(f.stats.capped);
        QCOMPARE(f.stats.problem,
                 QStringLiteral("Only the first 100,000 lines are listed; the search stopped there."));
        QCOMPARE(f.files.front().lines.back().line, FindJob::DefaultMaxLines);
    }

    void piecesFindWhatTheWholeFileFinds()
    {
        // Lines that cross pieces, a CR LF split between two, lone CRs, and
        // a line longer than the longest a piece carries.
        QTemporaryDir dir;
        const QByteArray bytes = "ab needle\r\nx\rneedle y\n" + QByteArray(40, 'z') + "needle\r\n" +
                                 QByteArray(7, 'q') + "\r\nlast needle";
        put(dir.path() + "/f.txt", bytes);
        FindMatcher m;
        QString error;
        QVERIFY(m.compile(text("needle"), &error));
        std::atomic<bool> stop{false};
        const auto lines = [&](qint64 whole, qint64 piece, qint64 longest) {
            FileSearcher s(m, &stop, [] { return true; });
            s.setSizes(whole, piece, longest);
            FileHits hits;
            s.search(QFile::encodeName(dir.path() + "/f.txt"), &hits);
            QList<qint64> out;
            for (const LineHit &h : hits.lines)
                out << h.line << h.byteColumn;
            return out;
        };
        const QList<qint64> whole = lines(1 << 20, 1 << 20, 1 << 20);
        QCOMPARE(whole, (QList<qint64>{1, 3, 3, 0, 4, 40, 6, 5}));
        for (qint64 piece : {5, 10, 11, 16})
            QCOMPARE(lines(8, piece, 64), whole);
    }

    // A folder removed while the walk runs, and a file gone or grown
    // between being found and being read: counted or searched as they are
    // now, never a crash.
    void theTreeChangingUnderneath()
    {
        QTemporaryDir dir;
        put(dir.path() + "/a/f.txt", "needle\n");
        put(dir.path() + "/b/f.txt", "needle\n");
        QStringList found;
        std::array<int, SkipReasonCount> skipped{};
        FolderWalk(QStringLiteral("*"))
            .walk(
                QFile::encodeName(dir.path()),
                [&](QByteArray &&path) {
                    found << QFile::decodeName(path);
                    if (found.size() == 1) // the other folder goes before the walk reaches it
                        QDir(dir.path() + (found[0].contains("/a/") ? "/b" : "/a")).removeRecursively();
                },
                [&](SkipReason r) { ++skipped[size_t(r)]; }, nullptr);
        QCOMPARE(found.size(), 1);
        QCOMPARE(skipped[size_t(SkipReason::Gone)], 1);

        FindMatcher m;
        QString error;
        QVERIFY(m.compile(text("needle"), &error));
        std::atomic<bool> stop{false};
        FileSearcher s(m, &stop, [] { return true; });
        s.setSizes(8, 8, 64);
        FileHits hits;
        const FileSearcher::Outcome gone = s.search(QFile::encodeName(dir.path() + "/none.txt"), &hits);
        QVERIFY2(gone.result == FileSearcher::Result::Skipped && gone.reason == SkipReason::Gone,
                 "a file gone");
        // A file that grows while it is read in pieces: what is there when read is searched.
        const QString growing = found[0];
        FileSearcher grower(m, &stop, [&] {
            QFile f(growing);
            if (f.size() < 200 && f.open(QIODevice::Append))
                f.write("more needle\n");
            return true;
        });
        grower.setSizes(8, 8, 64);
        FileHits grown;
        QVERIFY(grower.search(QFile::encodeName(growing), &grown).result == FileSearcher::Result::Searched);
        QVERIFY2(grown.lines.size() >= 1 && grown.lines[0].line == 1, "the first line is found");
    }

    void theWindowFindsOpensAndSteps()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString a = app.writeFile(QStringLiteral("a.txt"), "first\r\nthe Needle, needle\r\n");
        app.writeFile(QStringLiteral("b.txt"), "x\nno\n\tcaf\xc3\xa9 needle\n");
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("a needle here"));
        doc->textControl()->setSelStart(2);
        doc->textControl()->setSelLength(6);
        app.record(doc->slot()).Path = app.path(QStringLiteral("untitled.txt"));
        AppFixture::trigger(doc, QStringLiteral("mnuFindInFiles"));
        FrmFindInFiles *w = FrmFindInFiles::instance();
        QVERIFY(w);
        QCOMPARE(part<QLineEdit>(w, "txtFind")->text(), QStringLiteral("needle"));
        QCOMPARE(part<QLineEdit>(w, "txtFolder")->text(), QFileInfo(a).absolutePath());
        part<QLineEdit>(w, "txtPatterns")->setText(QStringLiteral("*.txt"));
        QTest::mouseClick(part<QPushButton>(w, "cmdFind"), Qt::LeftButton);
        auto *tree = part<QTreeView>(w, "treeResults");
        QTRY_VERIFY(!w->isSearching());
        QTRY_COMPARE(tree->model()->rowCount(), 4);
        QStringList rows;
        for (int i = 0; i < 4; ++i)
            rows << tree->model()->index(i, 0).data().toString();
        rows.sort();
        QCOMPARE(rows, (QStringList{"    2: the Needle, needle", "    3: café needle", a + " (2 matches)",
                                    app.path("b.txt") + " (1 match)"}));
        QTRY_VERIFY2(
            part<QLabel>(w, "lblSummary")->text().startsWith("2 files searched, 2 matched, 2 lines in "),
            qPrintable(part<QLabel>(w, "lblSummary")->text()));

        // Enter on a line opens its file with the first match selected.
        const int aLine = tree->model()->index(0, 0).data().toString().startsWith(a) ? 1 : 3;
        tree->setCurrentIndex(tree->model()->index(aLine, 0));
        QTest::keyClick(tree, Qt::Key_Return);
        FrmDoc *opened = app.current();
        QVERIFY(opened != doc);
        QCOMPARE(app.record(opened->slot()).Path, a);
        QCOMPARE(opened->textControl()->selectedText(), QByteArray("Needle"));
        QCOMPARE(opened->textControl()->selStart(), 11);
        // F8 in the document goes on to the next line row, in whichever file
        // came second; at the end of the list it beeps.
        int bLine = 0;
        for (int i = 0; i < 4; ++i)
            if (tree->model()->index(i, 0).data().toString().contains(QStringLiteral("café")))
                bLine = i;
        AppFixture::trigger(opened, QStringLiteral("mnuEditNextResult"));
        if (bLine > aLine) {
            QCOMPARE(app.record(app.current()->slot()).Path, app.path("b.txt"));
            QCOMPARE(app.current()->textControl()->selStart(), 12);
            QCOMPARE(app.current()->textControl()->selectedText(), QByteArray("needle"));
        } else {
            QCOMPARE(prompts.beeps(), 1);
        }
        const int docs = int(DocumentRegistry::instance().slotsWithWindows().size());
        tree->setCurrentIndex(tree->model()->index(aLine, 0));
        QTest::keyClick(tree, Qt::Key_Return); // already open: brought forward, not opened twice
        QCOMPARE(int(DocumentRegistry::instance().slotsWithWindows().size()), docs);
        QCOMPARE(app.current(), opened);

        part<QLineEdit>(w, "txtFind")->clear();
        QTest::mouseClick(part<QPushButton>(w, "cmdFind"), Qt::LeftButton);
        QCOMPARE(prompts.messages().last().text, QStringLiteral("Type the text to find."));
        w->close();
    }

    void stopEndsTheListingAtOnce()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        for (int i = 0; i < 400; ++i)
            app.writeFile(QStringLiteral("f%1.txt").arg(i), QByteArray("hit\n").repeated(50));
        app.triggerFrame(QStringLiteral("mnuToolsFindInFiles"));
        FrmFindInFiles *w = FrmFindInFiles::instance();
        part<QLineEdit>(w, "txtFind")->setText(QStringLiteral("hit"));
        part<QLineEdit>(w, "txtFolder")->setText(app.path(QString()));
        QTest::mouseClick(part<QPushButton>(w, "cmdFind"), Qt::LeftButton);
        QTest::mouseClick(part<QPushButton>(w, "cmdStop"), Qt::LeftButton);
        QVERIFY(!w->isSearching());
        QVERIFY(!part<QPushButton>(w, "cmdStop")->isEnabled());
        auto *tree = part<QTreeView>(w, "treeResults");
        const int shown = tree->model()->rowCount();
        w->job()->wait();
        QTest::qWait(50);
        QCOMPARE(tree->model()->rowCount(), shown);
        QVERIFY(part<QLabel>(w, "lblSummary")->text().contains(" (stopped)"));
        w->close();
    }

    void theProjectListInsteadOfAFolder()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString a = app.writeFile(QStringLiteral("a.txt"), "word\n");
        app.writeFile(QStringLiteral("b.txt"), "word\n");
        projects::projectList().clear();
        projects::projectList().add(a);
        app.triggerFrame(QStringLiteral("mnuToolsFindInFiles"));
        FrmFindInFiles *w = FrmFindInFiles::instance();
        part<QLineEdit>(w, "txtFind")->setText(QStringLiteral("word"));
        part<QCheckBox>(w, "chkProjectList")->setChecked(true);
        QVERIFY(!part<QLineEdit>(w, "txtFolder")->isEnabled());
        QTest::mouseClick(part<QPushButton>(w, "cmdFind"), Qt::LeftButton);
        auto *tree = part<QTreeView>(w, "treeResults");
        QTRY_COMPARE(tree->model()->rowCount(), 2);
        QCOMPARE(tree->model()->index(0, 0).data().toString(), a + " (1 match)");
        projects::projectList().clear();
        w->close();
    }
};

QP_TEST_MAIN(TstFindInFiles)
#include "tst_findinfiles.moc"
