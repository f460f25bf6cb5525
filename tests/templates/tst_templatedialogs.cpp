// The New Document and Install Template dialogs, driven through their widgets
// inside a running frame.
#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/apphelpers.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "templates/commands.h"
#include "templates/folderlist.h"
#include "templates/frmnew.h"
#include "templates/frmtemplates.h"
#include "templates/templatelibrary.h"
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

QByteArray everyByte()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    return all;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList texts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *w = parent ? parent->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!w)
        qWarning("no child %s", name);
    return w;
}

void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(QStringLiteral("no entry ") + text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
}

// A double-click as the user makes it: a click, then the second press.
void doubleClick(QAbstractItemView *view, const QRect &rect)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
}

void click(QWidget *parent, const char *button) { QTest::mouseClick(child<QPushButton>(parent, button), Qt::LeftButton); }

const QString NoTemplates = QStringLiteral("There are no installed templates, please visit our website: "
                                           "https://example.org/quillpad to download the template");

} // namespace

class TstTemplateDialogs : public QObject
{
    Q_OBJECT

    QString folder() const { return templates::TemplateFolder(); }
    QString inFolder(const QString &name) const { return folder() + QLatin1Char('/') + name; }

private slots:
    void init()
    {
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder());
    }

    void missingFolderIsMadeAndReported()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QDir(folder()).removeRecursively();
        app.triggerFrame(QStringLiteral("mnuTemplates"));
        FrmNew *dlg = FrmNew::instance();
        QVERIFY(dlg);
        QCOMPARE(dlg->objectName(), QStringLiteral("frmNew"));
        QCOMPARE(dlg->windowTitle(), QStringLiteral("New Document"));
        QVERIFY2(dlg->isVisible() && !dlg->isModal(), "shown, not modal");
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, NoTemplates);
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::Ok);
        QVERIFY2(QFileInfo(folder()).isDir(), "the folder is made");
        QCOMPARE(child<QListWidget>(dlg, "File1")->count(), 0);

        // From a document window: the same dialog comes forward, nothing asked.
        FrmDoc *doc = app.newDocument();
        AppFixture::trigger(doc, QStringLiteral("mnuNewTemplate"));
        QCOMPARE(FrmNew::instance(), dlg);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(app.frame()->findChildren<FrmNew *>().size(), 1);
    }

    void emptyFolderSaysNothing()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        templates::ShowTemplateDialog();
        QVERIFY(FrmNew::instance());
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked for an empty folder");
        QCOMPARE(child<QListWidget>(FrmNew::instance(), "File1")->count(), 0);
        QCOMPARE(child<QLabel>(FrmNew::instance(), "lblPreview")->text(), QString());
    }

    void buttonsAndCaptions()
    {
        AppFixture app;
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        QCOMPARE(child<QPushButton>(dlg, "Command1")->text(), QStringLiteral("&Create"));
        QCOMPARE(child<QPushButton>(dlg, "Command4")->text(), QStringLiteral("&Blank"));
        QCOMPARE(child<QPushButton>(dlg, "Command2")->text(), QStringLiteral("&Import"));
        QCOMPARE(child<QPushButton>(dlg, "Command3")->text(), QStringLiteral("C&ancel"));
    }

    void listAndPreview_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("preview");
        QTest::newRow("70 whole") << "a.qpt" << QString(70, QLatin1Char('a'));
        QTest::newRow("71 cut") << "B.QPT" << QString(70, QLatin1Char('b'));
        QTest::newRow("markup shown as text") << "c.Qpt" << "<html>\n<b>x</b>\nend";
        QTest::newRow("empty") << "d.qpt" << "";
    }

    void listAndPreview()
    {
        QFETCH(QString, name);
        QFETCH(QString, preview);
        writeBytes(inFolder(QStringLiteral("a.qpt")), QByteArray(70, 'a'));
        writeBytes(inFolder(QStringLiteral("B.QPT")), QByteArray(70, 'b') + "c");
        writeBytes(inFolder(QStringLiteral("c.Qpt")), "<html>\r\n<b>x</b>\rend");
        writeBytes(inFolder(QStringLiteral("d.qpt")), QByteArray());
        writeBytes(inFolder(QStringLiteral("notes.txt")), "not listed");
        AppFixture app;
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        auto *files = child<QListWidget>(dlg, "File1");
        auto *label = child<QLabel>(dlg, "lblPreview");
        QCOMPARE(texts(files), (QStringList{"a.qpt", "B.QPT", "c.Qpt", "d.qpt"}));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        clickItem(files, QStringLiteral("a.qpt"));
        clickItem(files, name);
        QCOMPARE(label->text(), preview);
    }

    void createWritesTheTemplateAsItIs()
    {
        ScriptedPrompts prompts;
        const QByteArray bytes = everyByte() + "<QPLTITLE>t</QPLTITLE>\r\n\r\n";
        writeBytes(inFolder(QStringLiteral("all bytes.qpt")), bytes);
        AppFixture app;
        FrmDoc *first = app.newDocument();
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        clickItem(child<QListWidget>(dlg, "File1"), QStringLiteral("all bytes.qpt"));
        click(dlg, "Command1");

        FrmDoc *doc = app.current();
        QVERIFY(doc && doc != first);
        QCOMPARE(doc->textControl()->text(), bytes);
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("Untitled"));
        QCOMPARE(app.record(doc->slot()).Path, QString());
        QVERIFY2(app.record(doc->slot()).Changed, "a document from a template counts as changed");
        QVERIFY2(!dlg->isVisible(), "the dialog closes");
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void doubleClickCreates()
    {
        writeBytes(inFolder(QStringLiteral("t.qpt")), "text");
        AppFixture app;
        templates::ShowTemplateDialog();
        auto *files = child<QListWidget>(FrmNew::instance(), "File1");
        const QRect r = files->visualItemRect(files->item(0));
        doubleClick(files, r);
        QVERIFY(app.current());
        QCOMPARE(app.current()->textControl()->text(), QByteArray("text"));
    }

    void zeroByteTemplate()
    {
        ScriptedPrompts prompts;
        writeBytes(inFolder(QStringLiteral("empty.qpt")), QByteArray());
        AppFixture app;
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        clickItem(child<QListWidget>(dlg, "File1"), QStringLiteral("empty.qpt"));
        QCOMPARE(child<QLabel>(dlg, "lblPreview")->text(), QString());
        click(dlg, "Command1");
        QVERIFY(app.current());
        QCOMPARE(app.current()->textControl()->text(), QByteArray());
        QCOMPARE(app.record(app.current()->slot()).Title, QStringLiteral("Untitled"));
        QVERIFY2(!dlg->isVisible(), "the dialog closes");
    }

    void createWithNothingChosen_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("dialogStays");
        QTest::newRow("abort") << int(platform::Answer::Abort) << true;
        QTest::newRow("ignore") << int(platform::Answer::Ignore) << false;
    }

    void createWithNothingChosen()
    {
        QFETCH(int, answer);
        QFETCH(bool, dialogStays);
        ScriptedPrompts prompts;
        prompts.answer(platform::Answer(answer));
        writeBytes(inFolder(QStringLiteral("t.qpt")), "text");
        AppFixture app;
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        click(dlg, "Command1");

        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("21> There was an error in reading your file\r\n"
                                                            "Is a directory\r\nWould would you like to do"));
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::AbortRetryIgnore);
        FrmDoc *doc = app.current();
        QVERIFY2(doc && doc->isVisible(), "the new window stays");
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("Untitled"));
        QCOMPARE(doc->textControl()->text(), QByteArray());
        QCOMPARE(dlg->isVisible(), dialogStays);
    }

    void readFailureThenRetry()
    {
        ScriptedPrompts prompts;
        prompts.answer(platform::Answer::Retry);
        writeBytes(inFolder(QStringLiteral("t.qpt")), "line one\r\nline two");
        AppFixture app;
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        clickItem(child<QListWidget>(dlg, "File1"), QStringLiteral("t.qpt"));
        platform::injectFileFault(platform::FileStep::Read, EIO);
        click(dlg, "Command1");
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.startsWith(QStringLiteral("5> There was an error in reading your file\r\n")),
                 qPrintable(prompts.messages()[0].text));
        QCOMPARE(app.current()->textControl()->text(), QByteArray("line one\r\nline two"));
        QVERIFY(!dlg->isVisible());
    }

    void blankAndCancel()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        templates::ShowTemplateDialog();
        click(FrmNew::instance(), "Command3");
        QVERIFY2(!app.current(), "Cancel makes no document");
        QVERIFY(!FrmNew::instance() || !FrmNew::instance()->isVisible());

        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        QVERIFY(dlg && dlg->isVisible());
        click(dlg, "Command4");
        FrmDoc *doc = app.current();
        QVERIFY(doc);
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("Untitled"));
        QVERIFY2(!app.record(doc->slot()).Changed, "a blank document is unchanged");
        QCOMPARE(doc->textControl()->text(), QByteArray());
        QVERIFY(!dlg->isVisible());
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void importThroughTheNewDocumentDialog()
    {
        ScriptedPrompts prompts;
        QTemporaryDir source;
        writeBytes(source.path() + QStringLiteral("/My Letter.QPT"), "Dear <QPLPROMPT>Name</QPLPROMPT>");
        writeBytes(inFolder(QStringLiteral("old.qpt")), "old");
        AppFixture app;
        templates::ShowTemplateDialog();
        FrmNew *dlg = FrmNew::instance();
        clickItem(child<QListWidget>(dlg, "File1"), QStringLiteral("old.qpt"));

        bool sawModal = false;
        QTimer::singleShot(0, [&] {
            auto *installer = qobject_cast<FrmTemplates *>(QApplication::activeModalWidget());
            if (!installer)
                installer = dlg->findChild<FrmTemplates *>();
            QVERIFY(installer);
            sawModal = installer->isModal() && installer->isVisible();
            QCOMPARE(installer->windowTitle(), QStringLiteral("Install Template"));
            installer->goToFolder(source.path());
            clickItem(child<QListWidget>(installer, "fleTemplates"), QStringLiteral("My Letter.QPT"));
            click(installer, "Command1");
            click(installer, "Command3");
        });
        click(dlg, "Command2");

        QVERIFY2(sawModal, "the installer is shown modal");
        QCOMPARE(texts(child<QListWidget>(dlg, "File1")), (QStringList{"My_Letter.QPT", "old.qpt"}));
        QCOMPARE(readBytes(inFolder(QStringLiteral("My_Letter.QPT"))), QByteArray("Dear <QPLPROMPT>Name</QPLPROMPT>"));
        QCOMPARE(child<QListWidget>(dlg, "File1")->currentItem()->text(), QStringLiteral("old.qpt"));
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void installerLists()
    {
        QTemporaryDir source;
        writeBytes(source.path() + QStringLiteral("/My Template.qpt"), "mine");
        writeBytes(source.path() + QStringLiteral("/b.QPT"), "b");
        writeBytes(source.path() + QStringLiteral("/c.txt"), "c");
        QDir(source.path()).mkdir(QStringLiteral("sub"));
        writeBytes(source.path() + QStringLiteral("/sub/d.qpt"), "d");
        FrmTemplates dlg;
        dlg.show();
        dlg.goToFolder(source.path());

        auto *drives = child<QComboBox>(&dlg, "drvTemplates");
        auto *dirs = child<templates::FolderList>(&dlg, "DirTemplates");
        auto *files = child<QListWidget>(&dlg, "fleTemplates");
        auto *path = child<QLineEdit>(&dlg, "txtTemplates");
        QVERIFY2(drives->findText(QStringLiteral("/")) >= 0, "the root is offered");
        QCOMPARE(drives->currentText(), templates::DriveOf(source.path()));
        QCOMPARE(dirs->path(), source.path());
        QCOMPARE(texts(files), (QStringList{"b.QPT", "My Template.qpt"}));
        QCOMPARE(path->text(), QString());

        clickItem(files, QStringLiteral("My Template.qpt"));
        QCOMPARE(path->text(), source.path() + QStringLiteral("/My Template.qpt"));

        // Double-click on a subfolder goes into it; its own way back is listed above it.
        const QList<QListWidgetItem *> sub = dirs->findItems(QStringLiteral("sub"), Qt::MatchEndsWith);
        QCOMPARE(sub.size(), 1);
        doubleClick(dirs, dirs->visualItemRect(sub[0]));
        QCOMPARE(dirs->path(), source.path() + QStringLiteral("/sub"));
        QCOMPARE(texts(files), QStringList{"d.qpt"});
        clickItem(files, QStringLiteral("d.qpt"));
        QCOMPARE(path->text(), source.path() + QStringLiteral("/sub/d.qpt"));

        // A drive goes to its root.
        drives->setCurrentIndex(drives->findText(QStringLiteral("/")));
        emit drives->activated(drives->currentIndex());
        QCOMPARE(dirs->path(), QStringLiteral("/"));
        QCOMPARE(templates::FolderList::entryPath(dirs->item(0)), QStringLiteral("/"));
    }

    void installerListButtons()
    {
        ScriptedPrompts prompts;
        FrmTemplates dlg;
        dlg.show();
        auto *path = child<QLineEdit>(&dlg, "txtTemplates");
        auto *entries = child<QListWidget>(&dlg, "lstTemplates");
        QCOMPARE(child<QPushButton>(&dlg, "Command1")->text(), QStringLiteral("&add"));
        QCOMPARE(child<QPushButton>(&dlg, "Command2")->text(), QStringLiteral("Delete"));
        QCOMPARE(child<QPushButton>(&dlg, "Command4")->text(), QStringLiteral("&Clear"));
        QCOMPARE(child<QPushButton>(&dlg, "Command3")->text(), QStringLiteral("&Import"));

        click(&dlg, "Command2");
        QCOMPARE(prompts.beeps(), 1);

        QTest::keyClicks(path, QStringLiteral("/x/one.qpt"));
        click(&dlg, "Command1");
        QCOMPARE(path->text(), QString());
        click(&dlg, "Command1"); // an empty entry is added too
        path->setText(QStringLiteral("/x/two.qpt"));
        QTest::keyClick(path, Qt::Key_Return);
        QCOMPARE(dlg.installList(), (QStringList{"/x/one.qpt", "", "/x/two.qpt"}));

        clickItem(entries, QString());
        click(&dlg, "Command2");
        QCOMPARE(dlg.installList(), (QStringList{"/x/one.qpt", "/x/two.qpt"}));
        click(&dlg, "Command2"); // nothing selected any more
        QCOMPARE(prompts.beeps(), 2);
        QCOMPARE(dlg.installList().size(), 2);

        click(&dlg, "Command4");
        QCOMPARE(dlg.installList(), QStringList());
        QVERIFY2(prompts.messages().isEmpty(), "no message");
    }

    void installWithBlanksAndOverwrite()
    {
        ScriptedPrompts prompts;
        QTemporaryDir source;
        writeBytes(source.path() + QStringLiteral("/a b c.qpt"), everyByte());
        writeBytes(source.path() + QStringLiteral("/keep.qpt"), "new");
        writeBytes(inFolder(QStringLiteral("keep.qpt")), "old and longer");
        FrmTemplates dlg;
        dlg.show();
        auto *path = child<QLineEdit>(&dlg, "txtTemplates");
        for (const char *name : {"/a b c.qpt", "/keep.qpt"}) {
            path->setText(source.path() + QLatin1String(name));
            click(&dlg, "Command1");
        }
        click(&dlg, "Command3");
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY2(!dlg.isVisible(), "Import closes the dialog");
        QCOMPARE(readBytes(inFolder(QStringLiteral("a_b_c.qpt"))), everyByte());
        QCOMPARE(readBytes(inFolder(QStringLiteral("keep.qpt"))), QByteArray("new"));
        QVERIFY2(prompts.asked.isEmpty(), "nothing is asked");
    }

    void failedCopyIsReported_data()
    {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::newRow("write fails") << false;
        QTest::newRow("folder in the way") << true;
    }

    void failedCopyIsReported()
    {
        QFETCH(bool, folderInTheWay);
        ScriptedPrompts prompts;
        QTemporaryDir source;
        const QString entry = source.path() + QStringLiteral("/keep.qpt");
        writeBytes(entry, "new");
        if (folderInTheWay)
            QDir(folder()).mkdir(QStringLiteral("keep.qpt"));
        else
            writeBytes(inFolder(QStringLiteral("keep.qpt")), "old");
        const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        FrmTemplates dlg;
        dlg.show();
        child<QLineEdit>(&dlg, "txtTemplates")->setText(entry);
        click(&dlg, "Command1");
        if (!folderInTheWay)
            platform::injectFileFault(platform::FileStep::Write, ENOSPC);
        click(&dlg, "Command3");

        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.startsWith(QStringLiteral("The template could not be installed:\r\n") + entry
                                                       + QStringLiteral("\r\n")),
                 qPrintable(prompts.messages()[0].text));
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        if (!folderInTheWay)
            QCOMPARE(readBytes(inFolder(QStringLiteral("keep.qpt"))), QByteArray("old"));
        QVERIFY2(!dlg.isVisible(), "the dialog closes all the same");
    }

    void closeBoxCopiesNothing()
    {
        QTemporaryDir source;
        writeBytes(source.path() + QStringLiteral("/a.qpt"), "a");
        FrmTemplates dlg;
        dlg.show();
        child<QLineEdit>(&dlg, "txtTemplates")->setText(source.path() + QStringLiteral("/a.qpt"));
        click(&dlg, "Command1");
        dlg.close();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY2(!QFileInfo::exists(inFolder(QStringLiteral("a.qpt"))), "nothing copied");
    }
};

QP_TEST_MAIN(TstTemplateDialogs)
#include "tst_templatedialogs.moc"
