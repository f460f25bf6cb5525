// A program folder that cannot be written (an installed program): the work folder and
// installed templates go to the user's data folder, and the New Document dialog offers
// the templates of both folders. Driven through start-up and the real dialogs.
#include "app/mdimain.h"
#include "app/startup.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/apphelpers.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "templates/frmnew.h"
#include "templates/frmtemplates.h"
#include "templates/templatelibrary.h"
#include "testmain.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace templates;

namespace {

const QString NoTemplates = "There are no installed templates, please visit our website: "
                            "https://example.org/quillpad to download the template";

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path));
}

QStringList listed(QWidget *parent, const char *list)
{
    QStringList out;
    for (const auto *item : parent->findChild<QListWidget *>(list)->findItems("*", Qt::MatchWildcard))
        out << item->text();
    return out;
}

void clickItem(QWidget *parent, const char *list, const QString &text)
{
    auto *widget = parent->findChild<QListWidget *>(list);
    const auto found = widget->findItems(text, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable("no entry " + text));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(found[0]).center());
}

} // namespace

class TstTemplateFolders : public QObject
{
    Q_OBJECT

    static QString inApp(const QString &name) { return platform::AppFolder() + name; }
    static QString inData(const QString &name) { return platform::dataFolder() + name; }
    static QString preview(FrmNew *dlg) { return dlg->findChild<QLabel *>("lblPreview")->text(); }
    static void click(QWidget *parent, const char *button)
    {
        QTest::mouseClick(parent->findChild<QPushButton *>(button), Qt::LeftButton);
    }
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
    }
    void cleanupTestCase() { platform::setFolderWritableCheck(nullptr); }

    void workFolder_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("before"); // in the program folder: "" nothing, "dir" or "file"
        QTest::addColumn<bool>("toData");    // the folder is made in the user's data folder
        QTest::newRow("writable program folder") << true << "" << false;
        QTest::newRow("writable, folder already there") << true << "dir" << false;
        QTest::newRow("read-only program folder") << false << "" << true;
        QTest::newRow("read-only, folder there but not writable") << false << "dir" << true;
        QTest::newRow("writable, a file in the way") << true << "file" << true;
    }
    // Start-up makes the work folder where it can be written; what was there stays.
    void workFolder()
    {
        QFETCH(bool, writable);
        QFETCH(QString, before);
        QFETCH(bool, toData);
        ScriptedPrompts prompts;
        if (before == "dir")
            writeBytes(inApp("tempfile/keep.txt"), "kept");
        if (before == "file")
            writeBytes(inApp("tempfile"), "a file");
        if (!writable)
            programFolderReadOnly();
        delete Startup(QString());
        QCOMPARE(platform::ownFolder("tempfile"), toData ? inData("tempfile") : inApp("tempfile"));
        QVERIFY2(QFileInfo(platform::ownFolder("tempfile")).isDir(), "the work folder is there");
        QCOMPARE(QFileInfo(inData("tempfile")).isDir(), toData);
        if (before == "dir")
            QCOMPARE(AppFixture::readFile(inApp("tempfile/keep.txt")), QByteArray("kept"));
        else if (before == "file")
            QCOMPARE(AppFixture::readFile(inApp("tempfile")), QByteArray("a file"));
        else
            QCOMPARE(QFileInfo::exists(inApp("tempfile")), !toData);
        QVERIFY2(prompts.asked.isEmpty(), "start-up asks nothing");
    }

    void missingFolders_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("shipped"); // a shipped "templates" folder beside the program
        QTest::addColumn<bool>("toData");  // the dialog makes the template folder in the data folder
        QTest::newRow("writable, none shipped") << true << false << false;
        QTest::newRow("read-only, shipped ones") << false << true << true;
        QTest::newRow("read-only, none shipped") << false << false << true;
    }
    // The message comes only when no template folder at all was there.
    void missingFolders()
    {
        QFETCH(bool, writable);
        QFETCH(bool, shipped);
        QFETCH(bool, toData);
        ScriptedPrompts prompts;
        if (shipped)
            writeBytes(inApp("templates/Shipped.QPT"), "shipped");
        if (!writable)
            programFolderReadOnly();
        AppFixture app;
        app.triggerFrame("mnuTemplates");
        FrmNew *dlg = FrmNew::instance();
        QVERIFY2(dlg && dlg->isVisible(), "the dialog shows");
        QStringList messages;
        for (const auto &m : prompts.messages())
            messages << m.text;
        QCOMPARE(messages, shipped ? QStringList() : QStringList{NoTemplates});
        QCOMPARE(templateFolder(), toData ? inData("templates") : inApp("templates"));
        QVERIFY2(QFileInfo(templateFolder()).isDir(), "the template folder is made");
        QCOMPARE(QFileInfo::exists(inApp("templates")), !toData || shipped);
        QCOMPARE(listed(dlg, "File1"), shipped ? QStringList{"Shipped.QPT"} : QStringList());
        dlg->close();
    }

    // Both folders are listed. Importing through the Install Template dialog writes
    // into the user's folder only, and the user's copy then stands in for the shipped one.
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
        FrmNew *dlg = FrmNew::instance();
        QCOMPARE(listed(dlg, "File1"), (QStringList{"mine.qpt", "Shipped.QPT"}));
        clickItem(dlg, "File1", "Shipped.QPT");
        QCOMPARE(preview(dlg), "shipped\n");
        click(dlg, "Command1");
        QCOMPARE(app.current()->textControl()->text(), QByteArray("shipped\r\n"));

        app.triggerFrame("mnuTemplates");
        dlg = FrmNew::instance();
        QTimer::singleShot(0, [&] {
            auto *installer = qobject_cast<FrmTemplates *>(QApplication::activeModalWidget());
            if (!installer)
                return;
            installer->goToFolder(source.path());
            for (const char *name : {"New One.qpt", "Shipped.QPT"}) {
                clickItem(installer, "fleTemplates", name);
                click(installer, "Command1");
            }
            click(installer, "Command3");
            installer->close();
        });
        click(dlg, "Command2");
        QCOMPARE(entries(inData("templates")), (QStringList{"New_One.qpt", "Shipped.QPT", "mine.qpt"}));
        QCOMPARE(entries(inApp("templates")), QStringList{"Shipped.QPT"});
        QCOMPARE(AppFixture::readFile(inApp("templates/Shipped.QPT")), QByteArray("shipped\r\n"));
        QCOMPARE(listed(dlg, "File1"), (QStringList{"mine.qpt", "New_One.qpt", "Shipped.QPT"}));
        clickItem(dlg, "File1", "Shipped.QPT");
        QCOMPARE(preview(dlg), "replaced");
        click(dlg, "Command1");
        QCOMPARE(app.current()->textControl()->text(), QByteArray("replaced"));
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
        // A writable program folder is the user's folder too: it is listed once.
        platform::setFolderWritableCheck(nullptr);
        QCOMPARE(templateFolders(), (QStringList{inApp("templates")}));
    }
};

QP_TEST_MAIN(TstTemplateFolders)
#include "tst_templatefolders.moc"
