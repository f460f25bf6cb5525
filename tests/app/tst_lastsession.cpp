// The last session: a clean exit with the preference on keeps the documents
// with files, in order, with caret and scroll; the next start without file
// arguments opens them again, after recovery, and names in one message what
// is gone. A list full of junk never blocks the start.

#include "app/mdimain.h"
#include "app/startup.h"
#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/lastsession.h"
#include "editor/frmdoc.h"
#include "editor/preferences.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "windowtest.h"

#include <sys/stat.h>

using lastsession::Entry;
using Sci = QsciScintillaBase;

namespace {

void setReopen(bool on)
{
    preferences::Preferences p = preferences::Preferences::defaults();
    p.reopenSession = on;
    preferences::setCurrent(p);
}

// Ends a frame made by Startup, as the fixture ends its own.
void endStart(MdiMain *frame)
{
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot : reg.slotsWithWindows())
        reg.record(slot).InUse = false;
    delete frame;
    QApplication::processEvents();
    reg.reset();
}

QStringList titles()
{
    QStringList out;
    DocumentRegistry &reg = DocumentRegistry::instance();
    for (int slot = 1; slot <= reg.docCount(); ++slot)
        if (reg.record(slot).InUse)
            out << QFileInfo(reg.record(slot).Title).fileName();
    return out;
}

// Files that outlive the fixture, as a user's files outlive a session.
QString keep(const QString &name, const QByteArray &bytes = QByteArray())
{
    QDir().mkpath(testsupport::root() + QStringLiteral("/files"));
    const QString path = testsupport::root() + QStringLiteral("/files/") + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

long sci(int slot, unsigned msg)
{
    return DocumentRegistry::instance().window(slot)->textControl()->SendScintilla(msg);
}

} // namespace

class TstLastSession : public WindowTest
{
    Q_OBJECT
private slots:
    void cleanExitKeepsTheSessionAndAStartReopensIt()
    {
        setReopen(true);
        QByteArray lines;
        for (int i = 0; i < 300; ++i)
            lines += "line " + QByteArray::number(i) + "\r\n";
        const QString a = keep(QStringLiteral("a.txt"), lines),
                      b = keep(QStringLiteral("b.html"), "<p>b</p>\r\n");
        fileops::OpenFile(b);
        m_app->newDocument(); // no file: not kept
        fileops::OpenFile(a);
        m_app->current()->textControl()->SendScintilla(Sci::SCI_GOTOPOS, 1300UL);
        m_app->current()->textControl()->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 120UL);
        QVERIFY(m_app->frame()->close());
        QCOMPARE(lastsession::read(), (QList<Entry>{{b, 0, 0}, {a, 1300, 120}}));

        m_app.reset();
        MdiMain *frame = Startup(QString());
        QCOMPARE(titles(), QStringList({"b.html", "a.txt"}));
        QCOMPARE((QList<long>{sci(2, Sci::SCI_GETCURRENTPOS), sci(2, Sci::SCI_GETFIRSTVISIBLELINE)}),
                 (QList<long>{1300, 120}));
        QVERIFY2(m_prompts->asked.isEmpty(), "nothing to say when everything came back");
        endStart(frame);

        // A file argument wins: the session waits for another start.
        frame = Startup(keep(QStringLiteral("c.txt")));
        QCOMPARE(titles(), QStringList({"c.txt"}));
        endStart(frame);

        // With the preference off, an exit keeps nothing and a start opens nothing.
        setReopen(false);
        frame = Startup(QString());
        QVERIFY(titles().isEmpty());
        QVERIFY(frame->close());
        endStart(frame);
        QVERIFY(lastsession::read().isEmpty());
    }

    // 10,000 entries: gone files, a folder, a FIFO, repeats, two real files.
    void junkInTheListNeverBlocksTheStart()
    {
        setReopen(true);
        const QString real1 = keep(QStringLiteral("real1.txt"), "one");
        const QString real2 = keep(QStringLiteral("real2.txt"), "two");
        const QString folder = QFileInfo(real1).absolutePath();
        const QString fifo = folder + QStringLiteral("/pipe");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QList<Entry> entries = {{folder, 0, 0}, {fifo, 0, 0}};
        for (int i = 0; i < 9996; ++i)
            entries << Entry{i % 2 ? real1 : folder + QStringLiteral("/gone%1.txt").arg(i), 5, 7};
        entries << Entry{real2, 99, 99} << Entry{fifo, 0, 0};
        lastsession::write(entries);
        m_app.reset();

        MdiMain *frame = Startup(QString());
        QCOMPARE(titles(), QStringList({"real1.txt", "real2.txt"}));
        QCOMPARE(sci(2, Sci::SCI_GETCURRENTPOS), 3); // past the end: at the end
        QCOMPARE(m_prompts->messageTexts().size(), 1);
        const QString text = m_prompts->messageTexts()[0];
        QVERIFY2(text.startsWith("These documents of the last session could not be reopened:\r\n\r\n" +
                                 folder + "\r\n" + fifo + "\r\n"),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r\n... and %1 more").arg(4998 + 2 - 20)),
                 qPrintable(text.right(40)));
        QCOMPARE(lastsession::read().size(), entries.size()); // nothing lost before a clean exit
        endStart(frame);
        lastsession::write({});
    }

    void sortingOut()
    {
        const QString f = m_app->writeFile(QStringLiteral("f.txt"), "f");
        const QString g = m_app->writeFile(QStringLiteral("g.txt"), "g");
        const QString h = m_app->writeFile(QStringLiteral("h.txt"), "h");
        // Recovery brought g back already; only one more fits.
        const lastsession::Sorted s =
            lastsession::sortOut({{f, 1, 1}, {g, 0, 0}, {f, 2, 2}, {h, 0, 0}}, QStringList{g}, 1);
        QCOMPARE(s.open, QList<Entry>({{f, 1, 1}}));
        QCOMPARE(s.skipped, QStringList{h});
        QVERIFY(lastsession::decode(QStringLiteral("not json")).isEmpty());
        QCOMPARE(lastsession::decode(lastsession::encode({{f, 3, 4}})), QList<Entry>({{f, 3, 4}}));
    }
};

QP_TEST_MAIN(TstLastSession)
#include "tst_lastsession.moc"
