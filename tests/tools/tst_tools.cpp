// The tools from their cores to their windows, and the fetch under URL Snip against a local server.
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/blanks.h"
#include "platform/fetchpolicy.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"
#include "platform/urlfetch.h"
#include "projects/modprojectlist.h"
#include "projects/projectlist.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/filescan.h"
#include "tools/findjob.h"
#include "tools/frmfindinfiles.h"
#include "tools/frmquick.h"
#include "tools/frmsnip.h"
#include "tools/frmurlsnip.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTreeView>

#include <sys/stat.h>

using namespace tools;
using Lines = QList<QByteArray>;

namespace {

// CR LF or a lone CR ends a line, and in an LF stream a lone LF too. In UTF-8
// only ASCII and Latin-1 letters are ever given in both cases here.
Lines reference(QByteArray data, QStringView search, LineEnd lineEnd, bool utf8)
{
    data.replace("\r\n", "\r");
    if (lineEnd == LineEnd::Lf)
        data.replace('\n', '\r');
    const QString needle = platform::trimBlanks(search).toLower();
    Lines out;
    for (const QByteArray &line : data.split('\r'))
        if (!line.isEmpty() &&
            (utf8 ? QString::fromUtf8(line) : QString::fromLatin1(line)).toLower().contains(needle))
            out << platform::trimBlanks(line);
    return out;
}

Lines scanInPieces(const QByteArray &data, QStringView search, qsizetype piece, bool utf8, LineEnd lineEnd,
                   qsizetype maxLineBytes = LineScanner::DefaultMaxLineBytes)
{
    LineScanner s(search.toString(), maxLineBytes);
    s.setUtf8(utf8);
    s.setLineEnd(lineEnd);
    for (qsizetype i = 0; i < data.size(); i += piece)
        s.feed(QByteArrayView(data).sliced(i, qMin(piece, data.size() - i)));
    s.finish();
    return s.takeLines();
}

// 40 lines, some very short, some past the windows the scanner looks for line
// ends in; mostly ended by LF. The characters may hold line ends of their own.
QString randomText(quint32 seed, const QStringList &chars)
{
    QRandomGenerator rng(seed);
    QString text;
    for (int line = 0; line < 40; ++line) {
        const int n = rng.bounded(3) == 0 ? rng.bounded(4) : rng.bounded(3000);
        for (int i = 0; i < n; ++i)
            text += chars[rng.bounded(int(chars.size()))];
        const int end = rng.bounded(8);
        text += end == 0 ? u"\r\n" : end == 1 ? u"\r" : u"\n";
    }
    return text;
}

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
    QMap<QString, FileHits> files; // by file name
    QString error;
};

Found search(const QString &folder, FindOptions options, const QString &patterns = QStringLiteral("*"))
{
    FindJob job;
    Found out;
    if (!job.start({options, folder, patterns, false, {}, FindJob::DefaultMaxLines, 0}, &out.error))
        return out;
    job.wait();
    out.stats = job.stats();
    for (FileHits &h : job.takeResults())
        out.files.insert(QFileInfo(h.path).fileName(), std::move(h));
    return out;
}

// One file searched for "needle" in pieces; `between` runs before each.
FileSearcher::Outcome searchFile(
    const QString &path, FileHits *hits, qint64 whole, qint64 piece, qint64 longest,
    std::function<bool()> between = [] { return true; })
{
    FindMatcher m;
    QString error;
    m.compile({"needle"}, &error);
    std::atomic<bool> stop{false};
    FileSearcher s(m, &stop, std::move(between));
    s.setSizes(whole, piece, longest);
    return s.search(QFile::encodeName(path), hits);
}

QStringList rows(QAbstractItemView *view)
{
    QStringList out;
    for (int i = 0; i < view->model()->rowCount(); ++i)
        out << view->model()->index(i, 0).data().toString();
    return out;
}

void click(QWidget *w, const char *button)
{
    QTest::mouseClick(part<QPushButton>(w, button), Qt::LeftButton);
}
TextControl *snipBox()
{
    return part<TextControl>(FrmSnip::instance(), "txtSnip");
}

const QByteArray FileBytes("one\r\ntw\xe9\0\r\nlone\nLF\r\n", 20);

// "Connection: close" and, unless the body ends at the close, a Content-Length.
QByteArray response(const QByteArray &status, const QByteArray &headers, const QByteArray &body,
                    bool toClose = false)
{
    const QByteArray length = toClose ? "" : "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return "HTTP/1.1 " + status + "\r\n" + headers + length + "Connection: close\r\n\r\n" + body;
}

// Fixed answers by path on 127.0.0.1, for the fetch tests; nothing here reaches any other address.
struct HttpServer : QTcpServer
{
    struct Route
    {
        QByteArray response;  // status line to body; unknown paths get a 404
        int sendFirst = -1;   // >= 0: sends only so many bytes, then the rest one by one
        int dripMs = 1 << 30; // every so many ms (by default never within a test)
    };
    QHash<QByteArray, Route> routes;
    QList<QByteArray> requests; // the paths asked for, in order
    std::function<void()> onRequest = [] {};

    HttpServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
        });
    }
    QString url(const char *p) const { return QString("http://127.0.0.1:%1%2").arg(serverPort()).arg(p); }
    void serve(QTcpSocket *s)
    {
        if (s->property("served").toBool() || !s->peek(1 << 16).contains("\r\n\r\n"))
            return;
        s->setProperty("served", true);
        requests << s->readLine().split(' ').value(1);
        onRequest();
        const Route r = routes.value(requests.last(), Route{response("404 Not Found", "", "no such page")});
        s->write(r.sendFirst < 0 ? r.response : r.response.left(r.sendFirst));
        if (r.sendFirst < 0)
            return s->disconnectFromHost();
        auto *drip = new QTimer(s); // never past the end: the deadline comes long before
        drip->callOnTimeout(s, [s, p = r.sendFirst, b = r.response]() mutable { s->write(b.mid(p++, 1)); });
        drip->start(r.dripMs);
    }
};

} // namespace

class TstTools : public QObject
{
    Q_OBJECT

private slots:
    // The times sign is no capital, and × and ÷ differ by the bit that makes É é;
    // a CR, or a character beyond Latin-1 in Latin-1, matches nothing. The third text has long lines.
    void theLineScanner()
    {
        const QList<std::tuple<quint32, QString, bool, QString>> texts{
            {17, QString("a|A|b|B| |\r|\n|\r\n|\t|É|é|×|÷|x|X|?|") + QChar(0), false,
             "|a|ab|b\nx|é x|AbBa|÷|×|a\r|a€"},
            {23, "a|A|b|B| |\r|\n|\t|é|É|×|÷|ж|€|x|X", true, "|é|É x|AbBa|÷|×|ж€|a\r"},
            {29, "a|A|b|B| |\t|É|é|×|÷|x|X|?", false, "|a|ab|é x|AbBaB|×|a\n|\r"}};
        for (const auto &[seed, chars, utf8, searches] : texts) {
            const QString text = randomText(seed, chars.split(QLatin1Char('|')));
            const QByteArray data = utf8 ? text.toUtf8() : text.toLatin1();
            for (const QString &s : searches.split(QLatin1Char('|')))
                for (LineEnd lineEnd : {LineEnd::Lf, LineEnd::CrLf}) {
                    const Lines expected = reference(data, s, lineEnd, utf8);
                    for (qsizetype piece : {1, 2, 3, 64, 511, 512, 513, 4096, 100000})
                        QVERIFY2(
                            scanInPieces(data, s, piece, utf8, lineEnd) == expected,
                            qPrintable(QString("%1 %2 %3 %4").arg(seed).arg(s).arg(piece).arg(int(lineEnd))));
                }
        }

        // A line without an end is held cut; a cut UTF-8 line keeps whole characters.
        LineScanner cut(QStringLiteral("needle"), 8);
        cut.setLineEnd(LineEnd::Lf);
        for (int i = 0; i < 1000; ++i) {
            cut.feed(QByteArray(1000, 'a'));
            QVERIFY2(cut.heldBytes() <= 8 + 5, qPrintable(QString::number(cut.heldBytes())));
        }
        cut.feed("NEEDLE\r");
        cut.feed("\n needle\n");
        cut.finish();
        QCOMPARE(cut.takeLines() << QByteArray::number(cut.cutLines()), (Lines{"aaaaaaaa", "needle", "1"}));
        for (qsizetype piece : {1, 8})
            QCOMPARE(scanInPieces("ééé\r\n", u"é", piece, true, LineEnd::CrLf, 5), Lines{"éé"});
    }

    // The file's start decides its encoding and its line end, whatever comes later; then whole folders.
    void filesAndFolders()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("f.txt");
        // a name, the bytes, the piece size, then the encoding, the line end and the lines with "x"
        const QList<std::tuple<QString, QByteArray, int, QString>> cases{
            {"latin-1", "caf\xe9 x\r\nCAF\xc9 x", 1024, "latin-1|CR LF|café x|CAFÉ x"},
            {"utf-8, cut by the piece", "a\xc3\xa9 x\r\n\xc3\x89 x", 2, "utf-8|CR LF|aé x|É x"},
            {"cut by the file's end", "a x\xc3\xa9\xc3", 1024, "latin-1|CR LF|a xÃ©Ã"},
            {"invalid later: shown as latin-1", "abcd\r\n\xc3\xa9\xe9 x", 4, "utf-8|CR LF|Ã©é x"},
            {"CR LF only after the first piece", "a x\nbb x\r\nc x", 4, "utf-8|LF|a x|bb x|c x"},
            {"no line end in the first piece", "a x b x\nc x\r\nd x", 4, "utf-8|CR LF|a x b x\nc x|d x"},
            {"a CR in the first piece", "a x\r\nb x\nc x", 1024, "utf-8|CR LF|a x|b x\nc x"},
            {"UTF-8 with its mark", "\xef\xbb\xbf\xc3\xa9 x\nb x\n", 1024, "utf-8|LF|é x|b x"}};
        for (const auto &[name, bytes, piece, expected] : cases) {
            put(path, bytes);
            FileScan scan(QStringLiteral("x"), piece);
            platform::FileError err;
            QVERIFY(scan.open(path, &err));
            while (!scan.atEnd())
                QVERIFY(scan.step(&err));
            const LineScanner &sc = scan.scanner();
            QStringList shown{name, sc.isUtf8() ? "utf-8" : "latin-1",
                              sc.lineEnd() == LineEnd::Lf ? "LF" : "CR LF"};
            for (const QByteArray &line : scan.scanner().takeLines())
                shown << sc.lineText(line);
            QCOMPARE(shown.join(QLatin1Char('|')), name + "|" + expected);
        }

        // Every reason to pass a file over is counted, and nothing hangs.
        const QString d = dir.path() + "/skips";
        put(d + "/a.txt", "one needle\n");
        put(d + "/sub/b.c", "x\r\nNEEDLE and needle\r\n");
        put(d + "/bin.dat", QByteArray("needle\0", 7));
        put(d + "/.hidden/c.txt", "needle\n");
        put(d + "/odd\nname \"q\".txt", "needle\n");
        put(d + "/" + QFile::decodeName("bad\xff.txt"), "needle\n");
        QFile::link("/proc/self/mem", d + "/unreadable.txt"); // reads fail, even for root
        QCOMPARE(::mkfifo(QFile::encodeName(d + "/fifo").constData(), 0600), 0);
        QLocalServer socket;
        QVERIFY(socket.listen(d + "/socket"));
        for (const QString link : {"loop1 loop2", "loop2 loop1", "missing dangling", "a.txt alias.txt"})
            QFile::link(d + "/" + link.section(' ', 0, 0), d + "/" + link.section(' ', 1));
        QFile::link(d, d + "/sub/up");   // a link to a folder is not followed
        QFile sparse(d + "/sparse.img"); // a sparse 10 GB file of NULs is binary at once
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(10LL << 30));

        const Found f = search(d, {"needle"});
        QCOMPARE(f.files.keys(), (QStringList{"a.txt", "alias.txt", "b.c", QFile::decodeName("bad\xff.txt"),
                                              "odd\nname \"q\".txt"}));
        QCOMPARE(skippedText(f.stats), "Skipped 8: 2 binary, 1 unreadable, 2 FIFOs, sockets or devices, "
                                       "3 broken or looping links");
        QVERIFY(f.stats.finished && !f.stats.stopped);

        // Patterns and options, each file in its own encoding, and the problems that stop a search.
        const QString e = dir.path() + "/find";
        put(e + "/a.html", "Hello there\nhelloworld\n");
        put(e + "/b.css", "say HELLO_ \n");
        put(e + "/c.txt", "Hello\n");
        // ignoring case, matching case, whole words, the fourth by patterns, a regex, a regex of whole words
        using O = FindOptions;
        QList<int> lines;
        for (const O &o : {O{"hello"}, O{"Hello", true}, O{"hello", false, true}, O{"hello"},
                           O{"^h.l+o$", false, false, true}, O{"hel+o", false, true, true}})
            lines << int(search(e, o, lines.size() == 3 ? " *.HTML ; *.css" : "*").stats.lines);
        QCOMPARE(lines, (QList<int>{4, 2, 2, 3, 1, 2}));

        put(e + "/u.txt", "x\ncaf\xc3\xa9 CAF\xc3\x89\n"); // UTF-8
        put(e + "/l.txt", "x\r\n\tcaf\xe9 CAF\xc9\r\n");   // Latin-1
        put(e + "/bom.txt", QByteArray("\xef\xbb\xbf") + "caf\xc3\xa9\n");
        const Found c = search(e, {QStringLiteral("café")});
        QCOMPARE(c.files["u.txt"].lines.front().spans, (QList<QPair<int, int>>{{0, 4}, {5, 4}}));
        const LineHit l = c.files["l.txt"].lines.front();
        QCOMPARE(l.shown + (c.files["l.txt"].encoding == TextEncoding::Latin1 ? " latin-1" : " utf-8"),
                 " café CAFÉ latin-1");
        // the lines found, the Latin-1 match's byte column and length, column 0 after the mark
        QCOMPARE((QList<qint64>{c.stats.lines, l.byteColumn, l.byteLength,
                                c.files["bom.txt"].lines[0].byteColumn}),
                 (QList<qint64>{3, 1, 4, 0}));

        // An ASCII text: a Latin-1 line that happens to hold valid UTF-8 still reads as Latin-1.
        put(e + "/l.txt", "\xc3\xa9 x1\n\xff\n");
        const LineHit g = search(e, {"x1"}).files["l.txt"].lines.front();
        QCOMPARE(g.shown + " at " + QString::number(g.charColumn), "Ã© x1 at 3");

        QCOMPARE(search(e, {"ab(c", false, false, true}).error,
                 "The regular expression cannot be used: missing closing parenthesis, at character 5.");
        put(e + "/a.txt", "fine\n" + QByteArray(40, 'a') + "!\n");
        const Found p = search(e, {"(a+)+$", false, false, true});
        QCOMPARE(p.stats.stopped ? p.stats.problem : "not stopped",
                 "The regular expression needs too much work on line 2 of \"" + e +
                     "/a.txt\"; the search stopped there. A simpler pattern will do.");

        put(e + "/many.txt", QByteArray("match\n").repeated(1000000));
        const Found m = search(e, {"match"});
        QCOMPARE(m.stats.capped ? m.stats.problem : "not capped",
                 "Only the first 100,000 lines are listed; the search stopped there.");
        QCOMPARE(m.files.first().lines.back().line, FindJob::DefaultMaxLines);

        // Read whole, then in pieces: lines across pieces, a CR LF split, lone CRs, a long line.
        const QString w = dir.path() + "/walk", a = w + "/a/f.txt";
        put(a, "ab needle\r\nx\rneedle y\n" + QByteArray(40, 'z') + "needle\r\n" + QByteArray(7, 'q') +
                   "\r\nlast needle");
        for (qint64 piece : {1 << 20, 5, 10, 11, 16}) {
            FileHits hits;
            searchFile(a, &hits, piece > 16 ? piece : 8, piece, piece > 16 ? piece : 64);
            QList<qint64> got;
            for (const LineHit &h : hits.lines)
                got << h.line << h.byteColumn;
            QCOMPARE(got, (QList<qint64>{1, 3, 3, 0, 4, 40, 6, 5}));
        }

        // A folder removed while the walk runs, and a file gone or grown between
        // being found and being read: counted or searched as they are now.
        put(a, "needle\n"); // in place of the one above
        put(w + "/b/f.txt", "needle\n");
        QStringList found;
        int gone = 0;
        const auto onFile = [&](QByteArray &&path) {
            found << QFile::decodeName(path);
            if (found.size() == 1) // the other folder goes before the walk reaches it
                QDir(w + (found[0].contains("/a/") ? "/b" : "/a")).removeRecursively();
        };
        const auto onSkip = [&](SkipReason r) { gone += r == SkipReason::Gone; };
        FolderWalk(QStringLiteral("*")).walk(QFile::encodeName(w), onFile, onSkip, nullptr);
        QCOMPARE((QList<int>{int(found.size()), gone}), (QList<int>{1, 1}));

        FileHits hits;
        const auto missing = searchFile(w + "/none.txt", &hits, 8, 8, 64);
        QVERIFY(missing.result == FileSearcher::Result::Skipped && missing.reason == SkipReason::Gone);
        // A file that grows while it is read in pieces: what is there when read is searched.
        const auto grow = [&] {
            QFile f(found[0]);
            if (f.size() < 200 && f.open(QIODevice::Append))
                f.write("more needle\n");
            return true;
        };
        QVERIFY(searchFile(found[0], &hits, 8, 8, 64, grow).result == FileSearcher::Result::Searched);
        QVERIFY2(hits.lines.size() >= 1 && hits.lines[0].line == 1, "the first line is found");
    }

    void theWindows()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString a = app.writeFile("a.txt", "first\r\nthe Needle, needle\r\n");
        app.writeFile("b.txt", "x\nno\n\tcaf\xc3\xa9 needle\n");
        FrmDoc *doc = app.newDocument();
        doc->textControl()->setText(QByteArrayView("a needle here"));
        doc->textControl()->setSelStart(2);
        doc->textControl()->setSelLength(6);
        app.record(doc->slot()).Path = app.path("untitled.txt");
        AppFixture::trigger(doc, "mnuFindInFiles");
        FrmFindInFiles *w = FrmFindInFiles::instance();
        QCOMPARE(part<QLineEdit>(w, "txtFind")->text(), "needle");
        QCOMPARE(part<QLineEdit>(w, "txtFolder")->text(), QFileInfo(a).absolutePath());
        part<QLineEdit>(w, "txtPatterns")->setText("*.txt");
        click(w, "cmdFind");
        auto *tree = part<QTreeView>(w, "treeResults");
        QTRY_VERIFY(!w->isSearching() && tree->model()->rowCount() == 4);
        QStringList sorted = rows(tree);
        sorted.sort();
        QCOMPARE(sorted, (QStringList{"    2: the Needle, needle", "    3: café needle", a + " (2 matches)",
                                      app.path("b.txt") + " (1 match)"}));
        const auto summary = [w] { return part<QLabel>(w, "lblSummary")->text(); };
        QTRY_VERIFY2(summary().startsWith("2 files searched, 2 matched, 2 lines in "), qPrintable(summary()));

        // Enter on a line opens its file with the first match selected; F8 goes on to the
        // next line row, in whichever file came second, or beeps at the end.
        const auto where = [&] {
            const TextControl *t = app.current()->textControl();
            return app.record(app.current()->slot()).Path + " " + QString::number(t->selStart()) + " " +
                   t->selectedString();
        };
        const int aLine = rows(tree)[0].startsWith(a) ? 1 : 3;
        tree->setCurrentIndex(tree->model()->index(aLine, 0));
        QTest::keyClick(tree, Qt::Key_Return);
        FrmDoc *opened = app.current();
        QCOMPARE(where(), a + " 11 Needle");
        AppFixture::trigger(opened, "mnuEditNextResult");
        if (aLine == 1)
            QCOMPARE(where(), app.path("b.txt") + " 12 needle");
        else
            QCOMPARE(prompts.beeps(), 1);
        tree->setCurrentIndex(tree->model()->index(aLine, 0));
        QTest::keyClick(tree, Qt::Key_Return); // already open: brought forward, not opened twice
        QCOMPARE(app.current(), opened);

        // Stop ends the listing at once.
        for (int i = 0; i < 400; ++i)
            app.writeFile(QStringLiteral("f%1.txt").arg(i), QByteArray("needle\n").repeated(50));
        click(w, "cmdFind");
        click(w, "cmdStop");
        QVERIFY(!w->isSearching() && !part<QPushButton>(w, "cmdStop")->isEnabled());
        const int shown = tree->model()->rowCount();
        w->job()->wait();
        QTest::qWait(50);
        QCOMPARE(tree->model()->rowCount(), shown);
        QVERIFY(summary().contains(" (stopped)"));

        // The project list instead of the folder.
        projects::projectList().add(a);
        part<QCheckBox>(w, "chkProjectList")->setChecked(true);
        QVERIFY(!part<QLineEdit>(w, "txtFolder")->isEnabled());
        click(w, "cmdFind");
        QTRY_COMPARE(rows(tree), (QStringList{a + " (2 matches)", "    2: the Needle, needle"}));
        part<QLineEdit>(w, "txtFind")->clear();
        click(w, "cmdFind");
        QCOMPARE(prompts.messages().last().text, "Type the text to find.");
        projects::projectList().clear();
        w->close();

        // Snip: a file's text into the box, from there into the document.
        prompts.clear();
        FrmDoc *into = app.newDocument(), *other = app.newDocument();
        into->textControl()->setText(QByteArrayView("Hello World"));
        into->textControl()->setSelStart(6);
        AppFixture::trigger(other, "mnuToolsSnip");
        AppFixture::trigger(into, "mnuToolsSnip"); // re-targets the open tool
        const QString one = app.writeFile("a.txt", FileBytes), two = app.writeFile("b.txt", "second");
        emit snipBox()->filesDropped({one, two});
        QCOMPARE(prompts.messageTexts(), QStringList{"You can only drop one file into the snip tool"});
        QCOMPARE(snipBox()->length(), 0);
        emit snipBox()->filesDropped({two});
        QCOMPARE(snipBox()->text(), QByteArray("second"));
        prompts.answerFile(one);
        click(FrmSnip::instance(), "Command1"); // replaces, never appends
        QCOMPARE(snipBox()->text(), FileBytes);
        prompts.answerFile(two);
        prompts.answer(platform::Answer::Abort);
        platform::injectFileFault(platform::FileStep::Read, EACCES, 1);
        click(FrmSnip::instance(), "Command1");
        QCOMPARE(QString::fromLatin1(snipBox()->text()) + "|" + prompts.messages().last().text,
                 QString::fromLatin1(FileBytes) + "|There was an error in reading your file\r\n" +
                     platform::errorFromErrno(EACCES).description + "\r\nWould would you like to do");

        snipBox()->setSelStart(5);
        snipBox()->setSelLength(7);
        click(FrmSnip::instance(), "Command2");
        QCOMPARE(into->textControl()->text() + "|" + QByteArray::number(into->textControl()->selStart()),
                 QByteArray("Hello tw\xe9\0\r\nlWorld|13", 21));
        QTRY_VERIFY2(!FrmSnip::instance(), "Grab closes the tool");

        // Closed meanwhile, and its slot taken by a new document: nobody gets the text.
        const int slot = other->slot();
        AppFixture::trigger(other, "mnuToolsSnip");
        AppFixture::trigger(other, "mnuFileClose");
        FrmDoc *fresh = app.newDocument();
        QCOMPARE(fresh->slot(), slot);
        snipBox()->setText(QByteArrayView("stray"));
        snipBox()->selectAllText();
        click(FrmSnip::instance(), "Command2");
        QTRY_VERIFY2(!FrmSnip::instance(), "the tool closes");
        QCOMPARE(fresh->textControl()->length(), 0);

        // Quick Search: the lines holding a text, in a file the user picks.
        prompts.clear();
        app.triggerFrame("mnuToolsQuickSearch");
        QPointer<FrmQuick> q = FrmQuick::instance();
        AppFixture::trigger(app.newDocument(), "mnuToolsQuickSearch");
        QCOMPARE(FrmQuick::instance(), q); // one window, whichever menu opens it
        QListWidget *list = part<QListWidget>(q, "List1");
        const auto start = [&](const char *s) {
            part<QLineEdit>(q, "Text1")->setText(s);
            click(q, "Command1");
        };
        prompts.answerFile(app.writeFile("f.txt", "<BODY>\r\n  body text\r\nnone\r\n   \r\n"));
        prompts.answerFile(QString());
        start(" Body ");
        QTRY_VERIFY(!q->isScanning());
        QCOMPARE(rows(list), (QStringList{"<BODY>", "body text"}));
        start("none");
        QVERIFY2(list->count() == 0 && !q->isScanning(), "a cancelled dialog leaves the list empty");

        // In slices: progress shows; a read failure midway keeps the lines found so far.
        q->setPieceBytes(10);
        for (int i = 0; i < 2; ++i) // one scan fails, the next starts again
            prompts.answerFile(app.writeFile("g.txt", QByteArray("hit\r\n").repeated(100)));
        start("hit");
        q->scanSlice(); // the slices are called here, not by the clock
        QVERIFY(q->isScanning() && part(q, "prgScan")->isVisible() && !part(q, "Command1")->isEnabled());
        QCOMPARE(part<QProgressBar>(q, "prgScan")->value(), 320); // 160 of 500 bytes, in thousandths
        const int before = list->count();
        QVERIFY2(before > 10 && before < 100, qPrintable(QString::number(before)));
        prompts.answer(platform::Answer::Abort);
        platform::injectFileFault(platform::FileStep::Read, EIO, 1000);
        q->scanSlice();
        QVERIFY(!q->isScanning() && !part(q, "prgScan")->isVisible() && part(q, "Command1")->isEnabled());
        QCOMPARE((QList<qsizetype>{list->count(), prompts.messages().size()}), (QList<qsizetype>{before, 1}));

        platform::clearFileFaults();
        start("hit");
        q->scanSlice();
        q->close();
        QTRY_VERIFY2(!q, "the window goes, its scan with it");

        // URL Snip: a page loaded into the box, from there into the document.
        prompts.clear();
        HttpServer server;
        server.routes = {{"/one",
                          {response("200 OK", "Content-Type: text/html; charset=\"utf-8\"\r\n",
                                    "<p>caf\xc3\xa9 \xe2\x82\xac</p>")}},
                         {"/hold", {QByteArray(), 0}}};
        FrmDoc *page = app.newDocument();
        AppFixture::trigger(page, "mnuToolsUrlSnip");
        QPointer<tools::FrmUrlSnip> u = tools::FrmUrlSnip::instance();
        TextControl *box = part<TextControl>(u, "txtUrl");
        // The state line as the transfer starts, as a failure is reported and after each load.
        QString states = part<QLabel>(u, "Label3")->text();
        const auto note = [&] { states += u ? " " + part<QLabel>(u, "Label3")->text() : QString(); };
        server.onRequest = note;
        const auto load = [&](const char *path) {
            part<QLineEdit>(u, "txtAddress")->setText(server.url(path));
            click(u, "Command1");
            note();
        };
        load("/one");
        // The box holds any character; the size counts characters.
        QCOMPARE(box->textString() + " | " + part<QLabel>(u, "lblSize")->text(), "<p>café €</p> | 13 Bytes");
        prompts.onAsk = [&](const ScriptedPrompts::Asked &) { note(); };
        load("/missing");
        QCOMPARE(states, "Idle Working Idle Working Idle Idle");
        // A Latin-1 document takes what it can hold, the rest as "?", and says so.
        box->setText(QStringLiteral("fetched caf\u00e9 \u20ac"));
        box->selectAllText();
        click(u, "Command2");
        QCOMPARE(page->textControl()->text(), QByteArray("fetched caf\xe9 ?"));
        QCOMPARE(prompts.messageTexts(),
                 (QStringList{"The address could not be loaded.\r\nThe server answered 404 Not Found.",
                              textcodec::replacedNotice(1)}));
        QTRY_VERIFY(!u);

        // Closed while a transfer runs: it stops, quietly (no new message).
        AppFixture::trigger(page, "mnuToolsUrlSnip");
        u = tools::FrmUrlSnip::instance();
        server.onRequest = [&] {
            u->Load(); // refused while one runs
            u->close();
        };
        load("/hold");
        QCOMPARE((QList<qsizetype>{server.requests.size(), prompts.beeps(), prompts.messages().size()}),
                 (QList<qsizetype>{3, 1, 2}));
        QTRY_VERIFY2(!u, "the window goes once its transfer has stopped");
    }

    void fetches()
    {
        // address ("/...": on the test server), the text or "!" and why it failed, requests seen
        const QList<std::tuple<QString, QString, int>> cases{
            {"/empty", "", 1},
            {"/missing", "!The server answered 404 Not Found.", 1},
            {"/tofile", "!The server redirected to an address that is not http or https.", 1},
            {"/latin1", QString::fromLatin1("caf\xe9\x80"), 1},
            {"/loop", "!The server redirected more than 5 times.", 6},
            {"/big", "!The page is larger than 1000 bytes and was not loaded.", 1},
            {"/drip", "!The transfer took too long and was stopped.", 1},
            {"/silent", "!The server did not answer.", 1},
            {"/quiet", "!The server stopped sending data.", 1},
            {"ftp://127.0.0.1/", "!Only http and https addresses can be loaded.", 0},
            {"http:///body", "!The address is not valid.", 0}};
        const QByteArray body = response("200 OK", "", "hello\r\nworld");
        const QByteArray drip = response("200 OK", "", QByteArray(900, 'd'));
        for (const auto &[path, result, requests] : cases) {
            HttpServer s; // one per address: a late retry of the one before is not counted here
            s.routes = {
                {"/empty", {response("200 OK", "", "")}},
                {"/latin1",
                 {response("200 OK", "Content-Type: text/plain; charset=ISO-8859-1\r\n", "caf\xe9\x80")}},
                {"/loop", {response("302 Found", "Location: /loop\r\n", "")}},
                {"/big", {response("200 OK", "", QByteArray(1001, 'x'), true)}},
                {"/tofile", {response("302 Found", "Location: file:///etc/passwd\r\n", "")}},
                {"/drip", {drip, int(drip.size()) - 900, 20}}, // the head at once, then the body
                {"/silent", {QByteArray(), 0}},
                {"/quiet", {body, int(body.size()) - 5}}};
            platform::UrlFetch fetch;
            fetch.setMaxBytes(1000);
            // The drip (every 20 ms) never trips the idle limit; only the deadline ends it.
            fetch.setIdleTimeoutMs(500);
            fetch.setDeadlineMs(1500);
            const auto r = fetch.fetch(path.startsWith(QLatin1Char('/')) ? s.url(qPrintable(path)) : path);
            const QString got = r.ok ? r.text : "!" + r.error;
            QCOMPARE(path + " " + got + " " + QString::number(s.requests.size()),
                     path + " " + result + " " + QString::number(requests));
        }

        QUrl to;
        QString why;
        QVERIFY(!fetchpolicy::redirectAllowed(QUrl("https://a.org/"), "http://a.org/", 0, 5, &to, &why));
        QCOMPARE(why, "The server redirected from a secure (https) address to an insecure (http) one.");
    }
};

QP_TEST_MAIN(TstTools)
#include "tst_tools.moc"
