// The New Document and Install Template dialogs, driven through their widgets
// inside a running frame.
#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "templates/commands.h"
#include "templates/folderlist.h"
#include "templates/frmnew.h"
#include "templates/frmtemplates.h"
#include "templates/templatelibrary.h"
#include "testfiles.h"
#include "testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cerrno>

using templates::FrmNew;
using templates::FrmTemplates;

namespace {

QStringList texts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

template <typename T = QPushButton> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

void click(QWidget *parent, const char *button)
{
    QTest::mouseClick(child(parent, button), Qt::LeftButton);
}

void clickItem(QListWidget *list, const QString &text, bool twice = false)
{
    // Folder entries are indented; an empty entry is matched exactly.
    const QList<QListWidgetItem *> found =
        list->findItems(text, text.isEmpty() ? Qt::MatchExactly : Qt::MatchEndsWith);
    QVERIFY2(found.size() == 1, qPrintable("no entry " + text));
    const QPoint at = list->visualItemRect(found[0]).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QString inFolder(const QString &name)
{
    return templates::TemplateFolder() + '/' + name;
}

// The New Document dialog with one template chosen (none for "").
FrmNew *openWith(const QString &name)
{
    templates::ShowTemplateDialog();
    FrmNew *dlg = FrmNew::instance();
    if (dlg && !name.isEmpty())
        clickItem(child<QListWidget>(dlg, "File1"), name);
    return dlg;
}

} // namespace

class TstTemplateDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QDir(templates::TemplateFolder()).removeRecursively();
        QDir().mkpath(templates::TemplateFolder());
    }

    void missingFolderFromBothMenus()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QDir(templates::TemplateFolder()).removeRecursively();
        app.triggerFrame(QStringLiteral("mnuTemplates"));
        FrmNew *dlg = FrmNew::instance();
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("New Document"));
        QVERIFY2(dlg->isVisible() && !dlg->isModal(), "shown, not modal");
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("There are no installed templates, please visit our website: "
                                "https://example.org/quillpad to download the template"));
        QVERIFY2(QFileInfo(templates::TemplateFolder()).isDir(), "the folder is made");
        QCOMPARE(child<QListWidget>(dlg, "File1")->count(), 0);
        QCOMPARE(child<QLabel>(dlg, "lblPreview")->text(), QString());

        // From a document window the same dialog comes forward; the folder is
        // there now, so nothing is said.
        AppFixture::trigger(app.newDocument(), QStringLiteral("mnuNewTemplate"));
        QCOMPARE(FrmNew::instance(), dlg);
        QCOMPARE(app.frame()->findChildren<FrmNew *>().size(), 1);
        QCOMPARE(prompts.asked.size(), 1);
        const QStringList captions = {child(dlg, "Command1")->text(), child(dlg, "Command4")->text(),
                                      child(dlg, "Command2")->text(), child(dlg, "Command3")->text()};
        QCOMPARE(captions, (QStringList{"&Create", "&Blank", "&Import", "C&ancel"}));
    }

    void listAndPreview()
    {
        writeBytes(inFolder(QStringLiteral("a.qpt")), QByteArray(70, 'a') + "b");
        writeBytes(inFolder(QStringLiteral("B.QPT")), "<html>\r\n<b>x</b>\rend");
        writeBytes(inFolder(QStringLiteral("c.Qpt")), "c");
        writeBytes(inFolder(QStringLiteral("notes.txt")), "not listed");
        QDir().mkpath(inFolder(QStringLiteral("folder.QPT")));
        AppFixture app;
        FrmNew *dlg = openWith(QStringLiteral("a.qpt"));
        auto *label = child<QLabel>(dlg, "lblPreview");
        QCOMPARE(texts(child<QListWidget>(dlg, "File1")), (QStringList{"a.qpt", "B.QPT", "c.Qpt"}));
        QCOMPARE(label->text(), QString(70, 'a'));
        clickItem(child<QListWidget>(dlg, "File1"), QStringLiteral("B.QPT"));
        QCOMPARE(label->text(), QStringLiteral("<html>\n<b>x</b>\nend"));
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    void createWritesTheTemplateAsItIs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("how"); // 0 Create, 1 double-click, 2 Enter
        QTest::newRow("every byte, Create") << everyByte() + "<QPLTITLE>t</QPLTITLE>\r\n\r\n" << 0;
        QTest::newRow("empty, double-click") << QByteArray() << 1;
        QTest::newRow("Enter in the list") << QByteArray("text") << 2;
    }

    void createWritesTheTemplateAsItIs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, how);
        ScriptedPrompts prompts;
        writeBytes(inFolder(QStringLiteral("my t.qpt")), bytes);
        AppFixture app;
        FrmDoc *first = app.newDocument();
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        clickItem(child<QListWidget>(dlg, "File1"), QStringLiteral("my t.qpt"), how == 1);
        if (how == 0)
            click(dlg, "Command1");
        else if (how == 2)
            QTest::keyClick(child<QListWidget>(dlg, "File1"), Qt::Key_Return);

        FrmDoc *doc = app.current();
        QVERIFY(doc && doc != first);
        QCOMPARE(int(DocumentRegistry::instance().slotsWithWindows().size()), 2);
        QCOMPARE(doc->textControl()->text(), bytes);
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("Untitled"));
        QCOMPARE(app.record(doc->slot()).Path, QString());
        QCOMPARE(app.record(doc->slot()).Changed, !bytes.isEmpty());
        QVERIFY2(!dlg->isVisible(), "the dialog closes");
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void readQuestion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("dialogStays");
        const QString tail = QStringLiteral("> There was an error in reading your file\r\n");
        QTest::newRow("nothing chosen, abort")
            << "" << int(platform::Answer::Abort)
            << "21" + tail + "Is a directory\r\nWould would you like to do" << QByteArray() << true;
        QTest::newRow("nothing chosen, ignore")
            << "" << int(platform::Answer::Ignore)
            << "21" + tail + "Is a directory\r\nWould would you like to do" << QByteArray() << false;
        QTest::newRow("read fails, retry")
            << "t.qpt" << int(platform::Answer::Retry)
            << "5" + tail + "Input/output error\r\nWould would you like to do" << QByteArray("text") << false;
    }

    void readQuestion()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(QByteArray, text);
        QFETCH(bool, dialogStays);
        ScriptedPrompts prompts;
        prompts.answer(platform::Answer(answer));
        writeBytes(inFolder(QStringLiteral("t.qpt")), "text");
        AppFixture app;
        FrmNew *dlg = openWith(name);
        if (!name.isEmpty())
            platform::injectFileFault(platform::FileStep::Read, EIO);
        click(dlg, "Command1");

        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, question);
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::AbortRetryIgnore);
        QVERIFY2(app.current() && app.current()->isVisible(), "the new window stays");
        QCOMPARE(app.current()->textControl()->text(), text);
        QCOMPARE(dlg->isVisible(), dialogStays);
    }

    void blankAndCancel()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        click(openWith(QString()), "Command3");
        QVERIFY2(!app.current(), "Cancel makes no document");
        FrmNew *dlg = openWith(QString());
        QVERIFY(dlg && dlg->isVisible());
        click(dlg, "Command4");
        QVERIFY(app.current());
        QCOMPARE(app.record(app.current()->slot()).Title, QStringLiteral("Untitled"));
        QVERIFY2(!app.record(app.current()->slot()).Changed, "a blank document is unchanged");
        QVERIFY(!dlg->isVisible());
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void importShowsTheInstallerModal()
    {
        ScriptedPrompts prompts;
        QTemporaryDir source;
        writeBytes(source.path() + "/My Letter.QPT", "Dear <QPLPROMPT>Name</QPLPROMPT>");
        writeBytes(inFolder(QStringLiteral("old.qpt")), "old");
        AppFixture app;
        FrmNew *dlg = openWith(QStringLiteral("old.qpt"));
        bool sawModal = false;
        QTimer::singleShot(0, [&] {
            auto *installer = qobject_cast<FrmTemplates *>(QApplication::activeModalWidget());
            QVERIFY(installer);
            sawModal = installer->windowTitle() == QLatin1String("Install Template");
            installer->goToFolder(source.path());
            clickItem(child<QListWidget>(installer, "fleTemplates"), QStringLiteral("My Letter.QPT"));
            click(installer, "Command1");
            click(installer, "Command3");
        });
        click(dlg, "Command2");
        QVERIFY2(sawModal, "the installer is shown modal");
        QCOMPARE(texts(child<QListWidget>(dlg, "File1")), (QStringList{"My_Letter.QPT", "old.qpt"}));
        QCOMPARE(child<QListWidget>(dlg, "File1")->currentItem()->text(), QStringLiteral("old.qpt"));
        QCOMPARE(readBytes(inFolder(QStringLiteral("My_Letter.QPT"))),
                 QByteArray("Dear <QPLPROMPT>Name</QPLPROMPT>"));
    }

    void installerLists()
    {
        ScriptedPrompts prompts;
        QTemporaryDir source;
        for (const char *name : {"/My Template.qpt", "/b.QPT", "/c.txt", "/sub/d.qpt"})
            QDir().mkpath(QFileInfo(source.path() + name).path()), writeBytes(source.path() + name, "x");
        FrmTemplates dlg;
        dlg.show();
        dlg.goToFolder(source.path());
        auto *drives = child<QComboBox>(&dlg, "drvTemplates");
        auto *dirs = child<templates::FolderList>(&dlg, "DirTemplates");
        auto *files = child<QListWidget>(&dlg, "fleTemplates");
        auto *path = child<QLineEdit>(&dlg, "txtTemplates");
        QCOMPARE(drives->currentText(), templates::DriveOf(source.path()));
        QCOMPARE(texts(files), (QStringList{"b.QPT", "My Template.qpt"}));
        clickItem(files, QStringLiteral("My Template.qpt"));
        QCOMPARE(path->text(), source.path() + "/My Template.qpt");

        clickItem(dirs, QStringLiteral("sub"), true);
        QCOMPARE(dirs->path(), source.path() + "/sub");
        QCOMPARE(texts(files), QStringList{"d.qpt"});

        drives->setCurrentIndex(drives->findText(QStringLiteral("/")));
        emit drives->activated(drives->currentIndex());
        QCOMPARE(dirs->path(), QStringLiteral("/"));

        // The install list: add (an empty text too), Delete, Clear.
        const QStringList captions = {child(&dlg, "Command1")->text(), child(&dlg, "Command2")->text(),
                                      child(&dlg, "Command4")->text(), child(&dlg, "Command3")->text()};
        QCOMPARE(captions, (QStringList{"&add", "Delete", "&Clear", "&Import"}));
        click(&dlg, "Command2");
        QCOMPARE(prompts.beeps(), 1);
        path->clear();
        QTest::keyClicks(path, QStringLiteral("/x/one.qpt"));
        click(&dlg, "Command1");
        QCOMPARE(path->text(), QString());
        click(&dlg, "Command1");
        path->setText(QStringLiteral("/x/two.qpt"));
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(dlg.installList(), (QStringList{"/x/one.qpt", "", "/x/two.qpt"}));
        clickItem(child<QListWidget>(&dlg, "lstTemplates"), QString());
        click(&dlg, "Command2");
        QCOMPARE(dlg.installList(), (QStringList{"/x/one.qpt", "/x/two.qpt"}));
        click(&dlg, "Command2");
        QCOMPARE(prompts.beeps(), 2);
        click(&dlg, "Command4");
        QCOMPARE(dlg.installList(), QStringList());
        dlg.close();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(prompts.asked.size(), 2);
    }

    void install_data()
    {
        QTest::addColumn<QString>("fault"); // "", "write" or "folder"
        QTest::newRow("blanks and overwrite") << "";
        QTest::newRow("write fails") << "write";
        QTest::newRow("folder in the way") << "folder";
    }

    void install()
    {
        QFETCH(QString, fault);
        ScriptedPrompts prompts;
        QTemporaryDir source;
        writeBytes(source.path() + "/a b c.qpt", everyByte());
        writeBytes(source.path() + "/keep.qpt", "new");
        if (fault == QLatin1String("folder"))
            QDir().mkpath(inFolder(QStringLiteral("keep.qpt")));
        else
            writeBytes(inFolder(QStringLiteral("keep.qpt")), "old and longer");
        const QMap<QString, QByteArray> before = snapshot(templates::TemplateFolder());
        FrmTemplates dlg;
        dlg.show();
        for (const char *name : {"/keep.qpt", "/a b c.qpt"}) {
            child<QLineEdit>(&dlg, "txtTemplates")->setText(source.path() + name);
            click(&dlg, "Command1");
        }
        if (fault == QLatin1String("write"))
            platform::injectFileFault(platform::FileStep::Write, ENOSPC);
        click(&dlg, "Command3");

        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY2(!dlg.isVisible(), "Import closes the dialog");
        QCOMPARE(readBytes(inFolder(QStringLiteral("a_b_c.qpt"))), everyByte());
        QMap<QString, QByteArray> after = snapshot(templates::TemplateFolder());
        after.remove(QStringLiteral("a_b_c.qpt"));
        if (fault.isEmpty()) {
            QCOMPARE(after.value(QStringLiteral("keep.qpt")), QByteArray("new"));
            QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
            return;
        }
        QCOMPARE(after, before);
        QCOMPARE(prompts.messages().size(), 1);
        const QString expected = "The template could not be installed:\r\n" + source.path() + "/keep.qpt\r\n";
        QVERIFY2(prompts.messages()[0].text.startsWith(expected), qPrintable(prompts.messages()[0].text));
        QCOMPARE(prompts.messages()[0].icon, platform::Icon::Exclamation);
    }
};

QP_TEST_MAIN(TstTemplateDialogs)
#include "tst_templatedialogs.moc"
