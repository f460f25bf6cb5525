// The tag pass over a plain buffer, Tools > Execute in a real window, and the New Document
// and Install Template dialogs driven through their widgets inside a running frame. A
// program folder that cannot be written (an installed program) sends the work folder and
// installed templates to the user's data folder, and the dialog offers both folders.
#include "app/mdimain.h"
#include "app/startup.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/apphelpers.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "templates/commands.h"
#include "templates/frmnew.h"
#include "templates/frmtemplates.h"
#include "templates/tagpass.h"
#include "templates/templatelibrary.h"
#include "testmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cerrno>
#include <numeric>

using namespace templates;

namespace {

// Input boxes answered from a script; every box and opened file goes into a transcript
// ("input|prompt|title|initial", "message|text" or "warning|text", "open|path"). Paths
// under "/is/" are regular files; a message with "[gone]" closes the document.
struct FakeHost : TagHost
{
    explicit FakeHost(const QByteArray &text) : doc(text) {}
    QByteArray doc;
    QString docTitle = QStringLiteral("Untitled");
    QStringList answers, transcript;
    int writes = 0;
    bool gone = false;

    QByteArray text() const override { return doc; }
    void setText(QByteArrayView text) override { doc = text.toByteArray(), ++writes; }
    quint64 textVersion() const override { return quint64(writes); }
    QString title() const override { return docTitle; }
    void setTitle(const QString &title) override { docTitle = title; }
    void message(const QString &text, platform::Icon icon) override
    {
        transcript << (icon == platform::Icon::Exclamation ? "warning|" : "message|") + text;
        gone = text.contains("[gone]");
    }
    QString inputBox(const QString &prompt, const QString &title, const QString &initial) override
    {
        transcript << "input|" + prompt + '|' + title + '|' + initial;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    bool fileExists(const QString &path) const override { return path.startsWith("/is/"); }
    void openFile(const QString &path) override { transcript << "open|" + path; }
    bool isAlive() const override { return !gone; }
};

// The box asking for a field, its name shown as given (cut for long ones).
QString ask(const QString &field, const QString &shown = QString())
{
    const QString name = shown.isNull() ? field : shown;
    return "input|You've been requested to provide information for any field(s) with quote {" + name +
           "}\r\n Please enter a data to replace all fields with|Fields " + name + '|' + field;
}
const auto msg = [](const QString &text) { return "message|" + text; };

QByteArray everyByte()
{
    QByteArray all(256, 0);
    std::iota(all.begin(), all.end(), char(0));
    return all;
}

const auto inFolder = [](const QString &name) { return templateFolder() + '/' + name; };

using testsupport::writeBytes;

// The texts of a list's entries, in their order.
QStringList listed(QWidget *parent, const char *list)
{
    QStringList out;
    for (const auto *item : parent->findChild<QListWidget *>(list)->findItems("*", Qt::MatchWildcard))
        out << item->text();
    return out;
}

// Folder entries are indented; an empty entry is matched exactly.
void clickItem(QWidget *parent, const char *list, const QString &text, bool twice = false)
{
    auto *widget = parent->findChild<QListWidget *>(list);
    const auto found = widget->findItems(text, text.isEmpty() ? Qt::MatchExactly : Qt::MatchEndsWith);
    QVERIFY2(found.size() == 1, qPrintable("no entry " + text));
    const QPoint at = widget->visualItemRect(found[0]).center();
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, at);
}

// The New Document dialog with one template chosen (none for "").
FrmNew *openWith(const QString &name)
{
    ShowTemplateDialog();
    if (!name.isEmpty())
        clickItem(FrmNew::instance(), "File1", name);
    return FrmNew::instance();
}

} // namespace

class TstTemplates : public QObject
{
    Q_OBJECT

    static void click(QWidget *parent, const char *name)
    {
        QTest::mouseClick(parent->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    static QString inApp(const QString &name) { return platform::AppFolder() + name; }
    static QString inData(const QString &name) { return platform::dataFolder() + name; }
    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
    // The program folder refuses writes, as an installed one does; folders below it too.
    static void programFolderReadOnly()
    {
        platform::setFolderWritableCheck(
            [](const QString &folder) { return !(folder + '/').startsWith(platform::AppFolder()); });
    }

private slots:
    void init()
    {
        platform::setFolderWritableCheck(nullptr);
        for (const char *name : {"templates", "tempfile"}) {
            QDir(inApp(name)).removeRecursively(), QFile::remove(inApp(name));
            QDir(inData(name)).removeRecursively();
        }
        QDir().mkpath(templateFolder());
    }
    void cleanupTestCase() { platform::setFolderWritableCheck(nullptr); }

    void pass_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QByteArray>("result"); // "" when the text stays as it was
        QTest::addColumn<QStringList>("transcript");
        const auto row = [](const char *name, const QByteArray &text, const QStringList &answers = {},
                            const QByteArray &result = {}, const QStringList &transcript = {}) {
            QTest::newRow(name) << text << answers << result << transcript;
        };
        const QByteArray twice = "<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>";
        row("lower case", "<qplprompt>x</qplprompt>");
        row("unclosed", "<QPLTITLE>a<QPLMESSAGE>m");
        row("closing alone", "a</QPLTITLE></QPLMESSAGE>x<QPLMESSAGE>");
        row("beyond 32767", QByteArray(40000, 'x') + "<QPLTITLE>Far</QPLTITLE>", {}, {}, {"title|Far"});
        row("later title wins", "<QPLTITLE>a <QPLTITLE>b</QPLTITLE>", {}, {}, {"title|b"});
        row("asked once", twice, {"Ann"}, "Ann and Ann", {ask("Name")});
        row("empty answer asks again", twice, {"", "Ann"}, "Ann and Ann", {ask("Name"), ask("Name")});
        row("nested", "<QPLPROMPT>a<QPLPROMPT>b</QPLPROMPT></QPLPROMPT>", {"X"}, "X</QPLPROMPT>",
            {ask("a<QPLPROMPT>b")});
        row("title before prompts", "<QPLTITLE><QPLPROMPT>N</QPLPROMPT></QPLTITLE>", {"Bo"},
            "<QPLTITLE>Bo</QPLTITLE>", {ask("N"), "title|<QPLPROMPT>N</QPLPROMPT>"});
        row("message after title and prompts",
            "<QPLMESSAGE>Hi <QPLPROMPT>N</QPLPROMPT></QPLMESSAGE><QPLTITLE>T</QPLTITLE>", {"Bo"},
            "<QPLMESSAGE>Hi Bo</QPLMESSAGE><QPLTITLE>T</QPLTITLE>",
            {ask("N"), msg("T: \r\nHi Bo"), "title|T"});
        row("links after messages, missing one",
            "<QPLLINK>/no.txt</QPLLINK><QPLLINK>/is/a</QPLLINK><QPLMESSAGE>m</QPLMESSAGE>", {}, {},
            {msg("Untitled: \r\nm"), msg("Link File: /no.txt\r\nNot Found"), "open|/is/a"});
        const QByteArray big(1 << 20, 'b'),
            rest = "<QPLMESSAGE>" + big + "</QPLMESSAGE><QPLLINK>" + big + "</QPLLINK>";
        const QString cut = QString(4000, 'b') + "...", bigText = QString::fromLatin1(big);
        row("huge contents cut in boxes",
            "<QPLTITLE>" + big + "</QPLTITLE><QPLPROMPT>" + big + "</QPLPROMPT>" + rest, {bigText},
            "<QPLTITLE>" + big + "</QPLTITLE>" + big + rest,
            {ask(bigText, cut), msg(cut + ": \r\n" + cut), msg("Link File: " + cut + "\r\nNot Found"),
             "title|" + bigText});
        row("document goes at a message",
            "<QPLMESSAGE>[gone]</QPLMESSAGE><QPLMESSAGE>2</QPLMESSAGE><QPLLINK>/is/a</QPLLINK>", {}, {},
            {msg("Untitled: \r\n[gone]")});
        const QByteArray all = everyByte();
        row("every byte kept, characters outside Latin-1 replaced and told",
            all + "<QPLPROMPT>Company Name</QPLPROMPT>" + all + "<QPLPROMPT>g</QPLPROMPT>",
            {"\u00e9\u00ff", "a\u03a9\U0001F600"}, all + "\xe9\xff" + all + "a??",
            {ask("Company Name"), ask("g"),
             "warning|2 character(s) outside the Latin-1 set could not be kept and "
             "were replaced by \"?\"."});
    }

    void pass()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, answers);
        QFETCH(QByteArray, result);
        FakeHost host(text);
        host.answers = answers;
        RunTagPass(host);
        if (host.docTitle != "Untitled")
            host.transcript << "title|" + host.docTitle;
        QTEST(host.transcript, "transcript");
        QCOMPARE(host.doc, result.isEmpty() ? text : result);
    }

    // The starter templates ship as written: CR LF lines, every field asked, a titled message.
    void starterTemplates()
    {
        for (const char *name : {"HTML_Page.QPT", "CSS_Style_Sheet.QPT", "CPP_Console_Program.QPT"}) {
            const QByteArray shipped = AppFixture::readFile(QStringLiteral(QP_STARTER_BUILD "/") + name);
            QCOMPARE(AppFixture::readFile(QStringLiteral(QP_STARTER_SOURCE "/") + name), shipped);
            QCOMPARE(2 * shipped.count("\r\n"), shipped.count('\n') + shipped.count('\r'));
            FakeHost host(shipped);
            host.answers = QStringList(9, "v");
            RunTagPass(host);
            QVERIFY2(!host.doc.contains("QPLPROMPT") && host.transcript.constLast().startsWith(msg("New ")),
                     name);
        }
    }

    void executeFillsTheDocument()
    {
        ScriptedPrompts prompts;
        prompts.answerInput("Ann");
        AppFixture app;
        const QString linked = app.writeFile("linked.txt", "one\r\ntwo\r\n");
        const auto executeOn = [&](const QByteArray &text) {
            FrmDoc *doc = app.newDocument();
            doc->textControl()->setText(QByteArrayView(text)), app.record(doc->slot()).Changed = false;
            AppFixture::trigger(doc, "mnuToolsExecute");
            return doc->refreshTick(), doc;
        };
        const QString folder = app.path("folder");
        QDir().mkpath(folder);
        QByteArray text =
            "<QPLTITLE>My Page</QPLTITLE>Hi <QPLPROMPT>Name</QPLPROMPT>!<QPLMESSAGE>Done</QPLMESSAGE>";
        for (const QString &path : {linked, folder})
            text += "<QPLLINK>" + path.toLatin1() + "</QPLLINK>";
        FrmDoc *doc = executeOn(text);
        QCOMPARE(doc->textControl()->text(), text.replace("<QPLPROMPT>Name</QPLPROMPT>", "Ann"));
        const DocumentRecord &r = app.record(doc->slot());
        QVERIFY2(r.Title == "My Page" && doc->caption() == "My Page" && r.Changed, "titled, changed");
        QStringList said;
        for (const auto &q : prompts.asked.mid(1))
            said << q.caption + '|' + q.text;
        QCOMPARE(said, (QStringList{"Quillpad Basic|My Page: \r\nDone",
                                    "Quillpad Basic|Link File: " + folder + "\r\nNot Found"}));
        FrmDoc *opened = app.doc(doc->slot() + 1);
        QVERIFY2(opened && opened->isVisible(), "the linked file opens in a new window");
        QCOMPARE(app.record(opened->slot()).Path + '|' + opened->textControl()->text(),
                 linked + "|one\r\ntwo");
        // A cancelled prompt and an empty title change nothing.
        const QByteArray cancelled = "<QPLTITLE></QPLTITLE><QPLPROMPT>f</QPLPROMPT>";
        doc = executeOn(cancelled);
        QCOMPARE(doc->textControl()->text(), cancelled);
        QVERIFY2(!app.record(doc->slot()).Changed && doc->caption().isEmpty(), "unchanged, empty caption");
    }

    // The list, the preview of up to 70 bytes (a long line is cut at the preview's edge: the
    // dialog keeps its width), and new documents from Create, a double-click and Blank.
    void listPreviewAndCreate()
    {
        ScriptedPrompts prompts;
        const QByteArray bytes = everyByte() + "<QPLTITLE>t</QPLTITLE>\r\n\r\n";
        writeBytes(inFolder("a.qpt"), QByteArray(70, 'a') + "b");
        writeBytes(inFolder("B.QPT"), "<html>\r\n<b>x</b>\rend");
        writeBytes(inFolder("c.Qpt"), QByteArray(69, 'c') + "d");
        writeBytes(inFolder("long.qpt"), QByteArray(300, 'x') + "\r\nsecond line\r\n"); // no place to break
        writeBytes(inFolder("my t.qpt"), bytes);
        writeBytes(inFolder("notes.txt"), "not listed");
        QDir().mkpath(inFolder("folder.QPT"));
        AppFixture app;
        FrmNew *dlg = openWith("B.QPT");
        auto *label = dlg->findChild<QLabel *>("lblPreview");
        QCOMPARE(listed(dlg, "File1"), (QStringList{"a.qpt", "B.QPT", "c.Qpt", "long.qpt", "my t.qpt"}));
        QVERIFY2(label->text() == "<html>\n<b>x</b>\nend" && label->textFormat() == Qt::PlainText,
                 qPrintable(label->text()));
        QApplication::processEvents();
        const int width = dlg->width(), shown = label->geometry().width();
        clickItem(dlg, "File1", "long.qpt");
        QApplication::processEvents();
        QCOMPARE(std::pair(dlg->width(), label->geometry().width()), std::pair(width, shown));
        clickItem(dlg, "File1", "a.qpt");
        QCOMPARE(label->text(), QString(70, 'a'));
        const auto made = [&] { // a new Untitled with the text, changed unless empty; the dialog closed
            const DocumentRecord &r = app.record(app.current()->slot());
            const QByteArray state =
                r.Path.isEmpty() && !dlg->isVisible() ? (r.Changed ? "|changed|" : "||") : "|not new|";
            return r.Title.toLatin1() + state + app.current()->textControl()->text();
        };
        click(openWith("my t.qpt"), "Command1");
        QCOMPARE(made(), "Untitled|changed|" + bytes);
        clickItem(openWith(QString()), "File1", "c.Qpt", true);
        QCOMPARE(made(), "Untitled|changed|" + QByteArray(69, 'c') + "d");
        click(openWith("my t.qpt"), "Command4");
        QCOMPARE(made(), QByteArray("Untitled||"));
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    // Import shows the installer modal: its file and folder lists and the
    // install list (Delete with nothing chosen beeps); the list is read again after.
    void importThroughTheInstaller()
    {
        ScriptedPrompts prompts;
        QTemporaryDir source;
        for (const char *name : {"/My Letter.QPT", "/b.qpt", "/c.txt", "/sub/d.qpt"})
            writeBytes(source.path() + name, "Dear");
        writeBytes(inFolder("old.qpt"), "old");
        AppFixture app;
        FrmNew *dlg = openWith("old.qpt");
        const auto steps = [&](FrmTemplates *installer) {
            installer->goToFolder(source.path());
            QCOMPARE(listed(installer, "fleTemplates"), (QStringList{"b.qpt", "My Letter.QPT"}));
            click(installer, "Command2");
            QCOMPARE(prompts.beeps(), 1);
            clickItem(installer, "fleTemplates", "b.qpt");
            click(installer, "Command1");
            click(installer, "Command4");
            clickItem(installer, "fleTemplates", "My Letter.QPT");
            QTest::keyClick(installer->findChild<QLineEdit *>("txtTemplates"), Qt::Key_Return);
            clickItem(installer, "DirTemplates", "sub", true);
            clickItem(installer, "fleTemplates", "d.qpt");
            click(installer, "Command1");
            clickItem(installer, "lstTemplates", "d.qpt");
            click(installer, "Command2"); // taken off the list again
            QCOMPARE(installer->installList(), QStringList{source.path() + "/My Letter.QPT"});
            click(installer, "Command3");
        };
        QTimer::singleShot(0, [&] {
            if (auto *installer = qobject_cast<FrmTemplates *>(QApplication::activeModalWidget()))
                steps(installer), installer->close(); // closed after a failed step too
        });
        click(dlg, "Command2");
        QCOMPARE(listed(dlg, "File1"), (QStringList{"My_Letter.QPT", "old.qpt"}));
        QCOMPARE(dlg->selectedName(), "old.qpt");
        QCOMPARE(AppFixture::readFile(inFolder("My_Letter.QPT")), QByteArray("Dear"));
        QCOMPARE(installedName("C:\\T\\a b.QPT"), "a_b.QPT");
    }

    void install_data()
    {
        QTest::addColumn<QString>("fault");
        for (const char *fault : {"", "missing source", "write", "commit", "folder in the way"})
            QTest::newRow(*fault ? fault : "blanks and overwrite") << QString(fault);
    }

    // Each entry is copied on its own; a failed one is told and leaves the folder as it was.
    void install()
    {
        QFETCH(QString, fault);
        ScriptedPrompts prompts;
        QTemporaryDir source;
        writeBytes(source.path() + "/a b c.qpt", everyByte());
        if (fault != "missing source")
            writeBytes(source.path() + "/keep.qpt", "new");
        const QString keep = inFolder("keep.qpt");
        fault == "folder in the way" ? void(QDir().mkpath(keep)) : void(writeBytes(keep, "old and longer"));
        if (fault == "write" || fault == "commit")
            platform::injectFileFault(
                fault == "write" ? platform::FileStep::Write : platform::FileStep::Commit, ENOSPC);
        installTemplates({source.path() + "/keep.qpt", "", source.path() + "/a b c.qpt"}, templateFolder());
        QCOMPARE(AppFixture::readFile(inFolder("a_b_c.qpt")), everyByte());
        QCOMPARE(QDir(templateFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"a_b_c.qpt", "keep.qpt"}));
        QCOMPARE(QFileInfo(keep).isDir() ? "<dir>" : AppFixture::readFile(keep),
                 fault == "folder in the way" ? "<dir>"
                 : fault.isEmpty()            ? "new"
                                              : "old and longer");
        QCOMPARE(prompts.messages().size(), int(!fault.isEmpty()));
        const QString told = "The template could not be installed:\r\n" + source.path() + "/keep.qpt\r\n";
        for (const auto &m : prompts.messages())
            QVERIFY2(m.icon == platform::Icon::Exclamation && m.text.startsWith(told), qPrintable(m.text));
    }
    // Start-up makes the work folder where it can be written; what was there stays.
    void workFolder_data()
    {
        QTest::addColumn<QString>("flags"); // "dir" or "file" there before; toData: made in the data folder
        QTest::newRow("writable program folder") << "writable";
        QTest::newRow("writable, folder already there") << "writable dir";
        QTest::newRow("read-only program folder") << "toData";
        QTest::newRow("read-only, folder there but not writable") << "dir toData";
        QTest::newRow("writable, a file in the way") << "writable file toData";
    }
    void workFolder()
    {
        QFETCH(QString, flags);
        const bool writable = flags.contains("writable"), toData = flags.contains("toData");
        const QString before = flags.contains("dir") ? "dir" : flags.contains("file") ? "file" : "";
        ScriptedPrompts prompts;
        const QString there = inApp(before == "dir" ? "tempfile/keep.txt" : "tempfile");
        if (!before.isEmpty())
            writeBytes(there, before.toLatin1());
        if (!writable)
            programFolderReadOnly();
        delete Startup(QString());
        QCOMPARE(platform::ownFolder("tempfile"), toData ? inData("tempfile") : inApp("tempfile"));
        QVERIFY2(QFileInfo(platform::ownFolder("tempfile")).isDir(), "the work folder is there");
        QCOMPARE(QFileInfo(inData("tempfile")).isDir(), toData);
        if (before.isEmpty())
            QCOMPARE(QFileInfo::exists(inApp("tempfile")), !toData);
        else
            QCOMPARE(AppFixture::readFile(there), before.toLatin1()); // what was there stays
        QVERIFY2(prompts.asked.isEmpty(), "start-up asks nothing");
    }

    void missingFolders_data()
    {
        QTest::addColumn<QString>("flags"); // "shipped": a "templates" folder beside the program
        QTest::newRow("writable, none shipped") << "writable";
        QTest::newRow("read-only, shipped ones") << "shipped";
        QTest::newRow("read-only, none shipped") << "";
    }
    // The message comes only when no template folder at all was there.
    void missingFolders()
    {
        QFETCH(QString, flags);
        const bool writable = flags.contains("writable"), shipped = flags.contains("shipped");
        ScriptedPrompts prompts;
        QDir(templateFolder()).removeRecursively();
        if (shipped)
            writeBytes(inApp("templates/Shipped.QPT"), "shipped");
        if (!writable)
            programFolderReadOnly();
        AppFixture app;
        FrmDoc *doc = writable ? nullptr : app.newDocument();
        doc ? AppFixture::trigger(doc, "mnuNewTemplate") : app.triggerFrame("mnuTemplates");
        FrmNew *dlg = FrmNew::instance();
        QVERIFY2(dlg && dlg->isVisible() && !dlg->isModal(), "shown, not modal");
        QCOMPARE(prompts.messageTexts().join(""),
                 shipped ? ""
                         : "There are no installed templates, please visit our website: "
                           "https://example.org/quillpad to download the template");
        QCOMPARE(templateFolder(), writable ? inApp("templates") : inData("templates"));
        QVERIFY2(QFileInfo(templateFolder()).isDir(), "the template folder is made");
        QCOMPARE(QFileInfo::exists(inApp("templates")), writable || shipped);
        QCOMPARE(listed(dlg, "File1"), shipped ? QStringList{"Shipped.QPT"} : QStringList());
        click(dlg, "Command3");
        QVERIFY2(!dlg->isVisible() && app.current() == doc, "Cancel makes no document");
    }

    // Both folders are listed. Imports go into the user's folder only, and the user's
    // copy then stands in for the shipped one.
    void bothFoldersListedAndImportsGoToTheUsersOne()
    {
        ScriptedPrompts prompts;
        QTemporaryDir source;
        writeBytes(source.path() + "/Shipped.QPT", "replaced");
        writeBytes(source.path() + "/New One.qpt", "new");
        writeBytes(inApp("templates/Shipped.QPT"), "shipped\r\n");
        writeBytes(inData("templates/mine.qpt"), "mine");
        programFolderReadOnly();
        AppFixture app;
        app.triggerFrame("mnuTemplates");
        const auto create = [&](FrmNew *dlg) { // the preview of Shipped.QPT and the document made
            clickItem(dlg, "File1", "Shipped.QPT");
            const QString shown = dlg->findChild<QLabel *>("lblPreview")->text();
            click(dlg, "Command1");
            return shown + '|' + app.current()->textControl()->text();
        };
        QCOMPARE(listed(FrmNew::instance(), "File1"), (QStringList{"mine.qpt", "Shipped.QPT"}));
        QCOMPARE(create(FrmNew::instance()), "shipped\n|shipped\r\n");

        installTemplates({source.path() + "/New One.qpt", source.path() + "/Shipped.QPT"}, templateFolder());
        FrmNew *dlg = openWith(QString());
        QCOMPARE(entries(inData("templates")), (QStringList{"New_One.qpt", "Shipped.QPT", "mine.qpt"}));
        QCOMPARE(entries(inApp("templates")), QStringList{"Shipped.QPT"});
        QCOMPARE(AppFixture::readFile(inApp("templates/Shipped.QPT")), QByteArray("shipped\r\n"));
        QCOMPARE(listed(dlg, "File1"), (QStringList{"mine.qpt", "New_One.qpt", "Shipped.QPT"}));
        QCOMPARE(create(dlg), "replaced|replaced");
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
        // A writable program folder is the user's folder too: it is listed once.
        platform::setFolderWritableCheck(nullptr);
        QCOMPARE(templateFolders(), (QStringList{inApp("templates")}));
    }
};

QP_TEST_MAIN(TstTemplates)
#include "tst_templates.moc"
