#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "projects/frmproject.h"
#include "projects/modprojectlist.h"
#include "projects/projectlist.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QTreeWidget>

using namespace projects;

namespace {

int rowsShown()
{
    FrmProject *w = FrmProject::instance();
    QTreeWidget *list = w ? w->findChild<QTreeWidget *>(QStringLiteral("prjList")) : nullptr;
    return list ? list->topLevelItemCount() : -1;
}

} // namespace

// The menu entries that lead to the project list stay hidden, yet they work.
class TstProjectMenus : public QObject
{
    Q_OBJECT

    AppFixture *m_app = nullptr;
    ScriptedPrompts *m_prompts = nullptr;

private slots:
    void init()
    {
        m_prompts = new ScriptedPrompts;
        m_app = new AppFixture;
        projectList().clear();
    }
    void cleanup()
    {
        QVERIFY2(m_prompts->unexpected.isEmpty(), qPrintable(m_prompts->unexpected.join(QLatin1Char(','))));
        delete m_app;
        QVERIFY2(!FrmProject::instance(), "the project window goes with the frame");
        delete m_prompts;
        projectList().clear();
    }

    void entriesStayHidden()
    {
        FrmDoc *doc = m_app->newDocument();
        QVERIFY(!doc->action(QStringLiteral("mnuFileAddtoProject"))->isVisible());
        QVERIFY(!doc->action(QStringLiteral("mnuToolsProjectList"))->isVisible());
        QVERIFY(!m_app->frame()->frameAction(QStringLiteral("mnuPL"))->isVisible());
    }

    void addUnsavedDocument()
    {
        FrmDoc *doc = m_app->newDocument();
        AppFixture::trigger(doc, QStringLiteral("mnuFileAddtoProject"));
        QCOMPARE(m_prompts->messages().size(), 1);
        const ScriptedPrompts::Asked msg = m_prompts->messages().constFirst();
        QCOMPARE(msg.text, QStringLiteral("You must save this file first"));
        QCOMPARE(msg.caption, QStringLiteral("Quillpad Basic"));
        QVERIFY(msg.buttons == platform::Buttons::Ok);
        QCOMPARE(gFileCount(), 0);
    }

    void addSavedDocumentLoadsWindowHidden()
    {
        const QString path = m_app->writeFile(QStringLiteral("saved.txt"), "text\r\n");
        fileops::OpenFile(path);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        QCOMPARE(gFileCount(), 1);
        QCOMPARE(gFiles(1).FileName(), path);
        QVERIFY2(FrmProject::instance(), "the window is loaded to take the rows");
        QVERIFY2(!FrmProject::instance()->isVisible(), "the window is not shown");
        QCOMPARE(rowsShown(), 1);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuToolsProjectList"));
        QVERIFY(FrmProject::instance()->isVisible());
        QCOMPARE(rowsShown(), 1);
        QCOMPARE(m_prompts->asked.size(), 0);
    }

    void addDeletedDocumentDoesNothing()
    {
        const QString path = m_app->writeFile(QStringLiteral("gone.txt"), "text\r\n");
        fileops::OpenFile(path);
        QFile::remove(path);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        QCOMPARE(gFileCount(), 0);
        QCOMPARE(m_prompts->asked.size(), 0);
        QVERIFY2(!FrmProject::instance(), "nothing loads the window");
    }

    void addWhileClosedShowsOnNextShow()
    {
        const QString a = m_app->writeFile(QStringLiteral("a.txt"), "a"), b = m_app->writeFile(QStringLiteral("b.txt"), "b");
        fileops::OpenFile(a);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuToolsProjectList"));
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        FrmProject::instance()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!FrmProject::instance());
        fileops::OpenFile(b);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        QVERIFY(!FrmProject::instance()->isVisible());
        m_app->triggerFrame(QStringLiteral("mnuPL"));
        QVERIFY(FrmProject::instance()->isVisible());
        QCOMPARE(rowsShown(), 2);
    }

    void frameEntryShowsOneWindow()
    {
        m_app->triggerFrame(QStringLiteral("mnuPL"));
        FrmProject *first = FrmProject::instance();
        QVERIFY(first && first->isVisible());
        m_app->triggerFrame(QStringLiteral("mnuPL"));
        QCOMPARE(FrmProject::instance(), first);
        QCOMPARE(m_app->frame()->findChildren<FrmProject *>().size(), 1);
    }
};

QP_TEST_MAIN(TstProjectMenus)
#include "tst_projectmenus.moc"
