#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "projects/frmproject.h"
#include "projects/modprojectlist.h"
#include "projects/projectlist.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <cerrno>

using namespace projects;
using platform::Answer;

namespace {

FrmProject *window() { return FrmProject::instance(); }

template <typename T> T *control(const char *name)
{
    T *c = window() ? window()->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!c)
        QTest::qFail(qPrintable(QStringLiteral("no control ") + QLatin1String(name)), __FILE__, __LINE__);
    return c;
}

QPushButton *button(int index)
{
    for (QPushButton *b : window()->findChildren<QPushButton *>(QStringLiteral("cmdAction")))
        if (b->property("index").toInt() == index)
            return b;
    return nullptr;
}

QTreeWidget *list() { return control<QTreeWidget>("prjList"); }

QStringList column(int c)
{
    QStringList out;
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        out << list()->topLevelItem(i)->text(c);
    return out;
}

void selectRow(int row)
{
    QTreeWidgetItem *item = list()->topLevelItem(row);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(item).center());
}

void doubleClickRow(int row)
{
    QTreeWidgetItem *item = list()->topLevelItem(row);
    const QPoint at = list()->visualItemRect(item).center();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TstFrmProject : public QObject
{
    Q_OBJECT

    AppFixture *m_app = nullptr;
    ScriptedPrompts *m_prompts = nullptr;

    // Adds files through the Add File button.
    void addThroughButton(const QStringList &paths)
    {
        for (const QString &p : paths) {
            m_prompts->answerFile(p);
            button(0)->click();
        }
    }

private slots:
    void init()
    {
        m_prompts = new ScriptedPrompts;
        m_app = new AppFixture;
        projectList().clear();
        FrmProject::showWindow();
    }
    void cleanup()
    {
        QVERIFY2(m_prompts->unexpected.isEmpty(), qPrintable(m_prompts->unexpected.join(QLatin1Char(','))));
        delete m_app;
        delete m_prompts;
        projectList().clear();
    }

    void looksAsDesigned()
    {
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Project List"));
        QCOMPARE(window()->minimumSize(), window()->maximumSize());
        const QStringList texts{control<QLabel>("lblProjectName")->text(), control<QLabel>("Label1")->text(),
                                control<QLabel>("Label2")->text(), control<QGroupBox>("fraUrlInfo")->title(),
                                control<QCheckBox>("chkUploadonSave")->text(), control<QLabel>("lblStatus")->text()};
        QCOMPARE(texts, (QStringList{"Project Name", "Mode:", "Url:", "Network Settings", "Upload On Save", ""}));
        QCOMPARE(column(0), QStringList());
        QTreeWidgetItem *head = list()->headerItem();
        QCOMPARE((QStringList{head->text(0), head->text(1), head->text(2)}),
                 (QStringList{"FileTitle", "FilePath", "Date Created"}));
        QCOMPARE(list()->columnWidth(0), list()->columnWidth(1));
        QCOMPARE(list()->columnWidth(1), list()->columnWidth(2));
        const QStringList captions{"&Add File", "&Drop File", "Do&wnload", "&Save", "&Close", "&Open"};
        const QStringList tags{"AddFile", "DropFile", "DeleteFile", "SaveFile", "ExtractFile", "OpenFile"};
        for (int i = 0; i < 6; ++i) {
            QVERIFY2(button(i), qPrintable(QString::number(i)));
            QCOMPARE(button(i)->text(), captions[i]);
            QCOMPARE(button(i)->property("tag").toString(), tags[i]);
        }
    }

    void modeBoxEnablesNetworkSettings()
    {
        QComboBox *mode = control<QComboBox>("cboPrjMode");
        QGroupBox *frame = control<QGroupBox>("fraUrlInfo");
        QCOMPARE(mode->count(), 3);
        QCOMPARE(mode->itemText(0), QStringLiteral("Drive"));
        QCOMPARE(mode->itemText(1), QStringLiteral("Local"));
        QCOMPARE(mode->itemText(2), QStringLiteral("Network"));
        QCOMPARE(mode->currentText(), QStringLiteral("Drive"));
        QVERIFY2(!frame->isEnabled(), "Drive leaves the network settings disabled");
        QTest::keyClick(mode, Qt::Key_Down);
        QCOMPARE(mode->currentText(), QStringLiteral("Local"));
        QVERIFY(frame->isEnabled());
        QVERIFY(control<QCheckBox>("chkUploadonSave")->isEnabled());
        QTest::keyClick(mode, Qt::Key_Down);
        QCOMPARE(mode->currentText(), QStringLiteral("Network"));
        QVERIFY(frame->isEnabled());
        QTest::keyClick(mode, Qt::Key_Home);
        QCOMPARE(mode->currentText(), QStringLiteral("Drive"));
        QVERIFY(!frame->isEnabled());
        QVERIFY(!control<QLineEdit>("txtUrl")->isEnabled());
    }

    void addFile()
    {
        const QString a = m_app->writeFile(QStringLiteral("index.htm"), "<html>");
        addThroughButton({a});
        const ScriptedPrompts::Asked &asked = m_prompts->asked.constLast();
        QVERIFY(asked.kind == ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(asked.filters, QStringList());
        QCOMPARE(asked.flags, 0);
        QCOMPARE(column(0), QStringList{"index.htm"});
        QCOMPARE(column(1), QStringList{QFileInfo(a).path()});
        QVERIFY2(!column(2).constFirst().isEmpty(), "a listed file shows its date");
        addThroughButton({QString(), m_app->path(QStringLiteral("missing.txt"))});
        QCOMPARE(gFileCount(), 1);
        QCOMPARE(list()->topLevelItemCount(), 1);
    }

    void dropFile()
    {
        const QString a = m_app->writeFile("a.txt", "a"), b = m_app->writeFile("b.txt", "b"),
                      c = m_app->writeFile("c.txt", "c");
        addThroughButton({a, b, c});
        button(1)->click(); // nothing selected
        QCOMPARE(gFileCount(), 3);
        selectRow(0);
        const qsizetype asked = m_prompts->asked.size();
        button(2)->click(); // Download and Close carry no action
        button(4)->click();
        QCOMPARE(m_prompts->asked.size(), asked);
        QCOMPARE(list()->topLevelItemCount(), 3);
        button(1)->click();
        QCOMPARE(column(0), (QStringList{"b.txt", "c.txt"}));
        QCOMPARE(gFiles(1).FileName(), b);
        selectRow(1);
        button(1)->click();
        QCOMPARE(column(0), QStringList{"b.txt"});
    }

    void saveAndOpen()
    {
        const QString a = m_app->writeFile("a.txt", "a"), b = m_app->writeFile("b.txt", "b");
        addThroughButton({a, b});
        const QString project = m_app->path(QStringLiteral("work.QPP"));
        m_prompts->answerFile(project);
        button(3)->click();
        QVERIFY(m_prompts->asked.constLast().kind == ScriptedPrompts::Kind::SaveFile);
        QCOMPARE(m_prompts->asked.constLast().filters, QStringList{"Quillpad Project (*.QPP)"});
        QCOMPARE(m_prompts->asked.constLast().flags, 0);
        QCOMPARE(AppFixture::readFile(project),
                 "Quillpad Basic:1.0\r\nFile: " + a.toUtf8() + "\r\nFile: " + b.toUtf8() + "\r\n");
        QCOMPARE(control<QLineEdit>("txtProjectName")->text(), project);

        selectRow(0);
        button(1)->click();
        QFile::remove(b);
        m_prompts->answerFile(project);
        button(5)->click();
        QVERIFY(m_prompts->asked.constLast().kind == ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(m_prompts->asked.constLast().filters, QStringList{"Quillpad Project (*QPP)"});
        QCOMPARE(column(0), QStringList{"a.txt"});
        QCOMPARE(control<QLabel>("lblStatus")->text(), b + QStringLiteral(" Couldn't be found. \r\n"));
        QCOMPARE(control<QLineEdit>("txtProjectName")->text(), project);
        QCOMPARE(m_prompts->messages().size(), 0);

        m_prompts->answerFile(QString()); // cancelled dialogs change nothing
        button(3)->click();
        m_prompts->answerFile(QString());
        button(5)->click();
        QCOMPARE(column(0), QStringList{"a.txt"});
        QCOMPARE(m_prompts->messages().size(), 0);
    }

    void failuresAreReported()
    {
        addThroughButton({m_app->writeFile("a.txt", "a")});
        const QString project = m_app->path(QStringLiteral("kept.QPP"));
        m_prompts->answerFile(project);
        button(3)->click();
        m_prompts->answerFile(m_app->path(QStringLiteral("other.QPP")));
        platform::injectFileFault(platform::FileStep::Write, ENOSPC);
        button(3)->click();
        m_prompts->answerFile(m_app->path(QStringLiteral("nowhere.QPP")));
        button(5)->click();
        const QList<ScriptedPrompts::Asked> msgs = m_prompts->messages();
        QCOMPARE(msgs.size(), 2);
        QCOMPARE(msgs[0].text, "There was an error in saving your project: \r\n" + QString::fromLocal8Bit(strerror(ENOSPC)));
        QCOMPARE(msgs[0].caption, QStringLiteral("Quillpad Basic"));
        QVERIFY(msgs[0].buttons == platform::Buttons::Ok);
        QCOMPARE(msgs[1].text, "There was an error in loading your project: \r\n" + QString::fromLocal8Bit(strerror(ENOENT)));
        QVERIFY(!QFile::exists(m_app->path(QStringLiteral("other.QPP"))));
        QCOMPARE(control<QLineEdit>("txtProjectName")->text(), project);
        QCOMPARE(column(0), QStringList{"a.txt"});
    }

    void doubleClickOpensTheListedFile()
    {
        // A backslash is an ordinary character in a name here.
        const QString a = m_app->writeFile("one.txt", "first\r\n"),
                      b = m_app->writeFile(QStringLiteral("odd\\name.txt"), "second\r\n");
        addThroughButton({a, b});
        QCOMPARE(column(0), (QStringList{"one.txt", "name.txt"}));
        list()->clearSelection();
        window()->OpenSelectedFile();
        QCOMPARE(DocumentRegistry::instance().docCount(), 0);
        doubleClickRow(1);
        FrmDoc *doc = m_app->current();
        QVERIFY2(doc, "the double-click opens a document window");
        QCOMPARE(m_app->record(doc->slot()).Path, b);
        QCOMPARE(doc->textControl()->text(), QByteArray("second"));
        doubleClickRow(0);
        QCOMPARE(m_app->record(m_app->current()->slot()).Path, a);
        QCOMPARE(m_prompts->messages().size(), 0);
    }

    void reopenedWindowStartsEmpty()
    {
        const QString a = m_app->writeFile("a.txt", "a"), b = m_app->writeFile("b.txt", "b");
        addThroughButton({a});
        m_prompts->answerFile(m_app->path(QStringLiteral("p.QPP")));
        button(3)->click();
        QTest::keyClick(control<QComboBox>("cboPrjMode"), Qt::Key_End);
        window()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(!window(), "closing destroys the window");
        QCOMPARE(gFileCount(), 1);
        FrmProject::showWindow();
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(control<QLineEdit>("txtProjectName")->text(), QString());
        QCOMPARE(control<QComboBox>("cboPrjMode")->currentText(), QStringLiteral("Drive"));
        addThroughButton({b});
        QCOMPARE(column(0), (QStringList{"a.txt", "b.txt"}));
    }

    void refusedAdds()
    {
        addThroughButton({m_app->writeFile(QStringLiteral("blank at end "), "x")});
        QCOMPARE(m_prompts->messages().size(), 1);
        QCOMPARE(m_prompts->messages().constFirst().text,
                 QStringLiteral("The name of this file cannot be kept in a project: \r\n")
                     + m_app->path(QStringLiteral("blank at end ")));
        QCOMPARE(gFileCount(), 0);

        const QString a = m_app->writeFile("a.txt", "a");
        while (gFileCount() < ProjectList::MaxEntries)
            projectList().add(a);
        m_prompts->clear();
        addThroughButton({a});
        QCOMPARE(m_prompts->messages().size(), 1);
        QCOMPARE(m_prompts->messages().constFirst().text,
                 QStringLiteral("A project can hold no more than 32767 files."));
        QCOMPARE(gFileCount(), ProjectList::MaxEntries);
    }
};

QP_TEST_MAIN(TstFrmProject)
#include "tst_frmproject.moc"
