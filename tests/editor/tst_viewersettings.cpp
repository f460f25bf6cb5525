#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "editor/frmviewsettings.h"
#include "editor/viewertable.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString stored(const QString &key)
{
    return platform::settings().read(viewers::settingsAppName(), QStringLiteral("settings"), key);
}

void store(const QString &key, const QString &value)
{
    platform::settings().write(viewers::settingsAppName(), QStringLiteral("settings"), key, value);
}

void storeEntry(int i, const QString &path, const QString &title)
{
    store(QStringLiteral("path") + QString::number(i), path);
    store(QStringLiteral("title") + QString::number(i), title);
}

template <typename T>
T *child(QWidget *w, const QString &name)
{
    T *c = w ? w->findChild<T *>(name) : nullptr;
    if (!c)
        qWarning("no child %s", qPrintable(name));
    return c;
}

} // namespace

class TstViewerSettings : public QObject
{
    Q_OBJECT

private:
    static FrmViewSettings *openDialogFromFrame(AppFixture &app)
    {
        app.triggerFrame(QStringLiteral("mnuViewSettings"));
        return FrmViewSettings::instance();
    }
    static void click(QWidget *dialog, const QString &button)
    {
        QPushButton *b = child<QPushButton>(dialog, button);
        QVERIFY2(b, qPrintable(button));
        QTest::mouseClick(b, Qt::LeftButton);
    }

private slots:
    void init()
    {
        // The table is one for the whole program: start every test from nothing stored.
        for (int i = 0; i < viewers::Count; ++i)
            storeEntry(i, QString(), QString());
        viewers::LoadViewerSettings();
    }

    void cleanup() { delete FrmViewSettings::instance(); }

    void storedUnderTheExecutableName()
    {
        QCOMPARE(viewers::settingsAppName(), QStringLiteral("tst_viewersettings"));
        storeEntry(0, QStringLiteral("/usr/bin/firefox"), QStringLiteral("Firefox"));
        storeEntry(2, QStringLiteral("lynx -dump"), QStringLiteral("Lynx"));
        viewers::LoadViewerSettings();
        QCOMPARE(viewers::entry(0).path, QStringLiteral("/usr/bin/firefox"));
        QCOMPARE(viewers::entry(0).title, QStringLiteral("Firefox"));
        QCOMPARE(viewers::entry(1).path, QString());
        QCOMPARE(viewers::entry(1).title, QString());
        QCOMPARE(viewers::entry(2).path, QStringLiteral("lynx -dump"));
        QCOMPARE(viewers::entry(2).title, QStringLiteral("Lynx"));
        const QByteArray ini = AppFixture::readFile(platform::settingsFilePath(QStringLiteral("tst_viewersettings")));
        QVERIFY2(ini.contains("[settings]") && ini.contains("path0=/usr/bin/firefox") && ini.contains("title2=Lynx"),
                 ini.constData());
    }

    void newWindowShowsUnsetEntries()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        for (int i = 0; i < viewers::Count; ++i) {
            QAction *a = doc->action(QStringLiteral("mnuViewProgram"), i);
            QVERIFY(a);
            QCOMPARE(a->text(), QStringLiteral("[UNSET]"));
            QVERIFY2(!a->isEnabled(), qPrintable(QStringLiteral("entry %1 enabled").arg(i)));
        }
    }

    void entryCaptions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("nothing") << QString() << QString() << QStringLiteral("[UNSET]") << false;
        QTest::newRow("title without path") << QString() << QStringLiteral("Browser") << QStringLiteral("Browser") << true;
        QTest::newRow("path without title") << QStringLiteral("/usr/bin/lynx") << QString() << QStringLiteral("[UNSET]")
                                            << false;
        QTest::newRow("blank title") << QStringLiteral("/usr/bin/lynx") << QStringLiteral("   ")
                                     << QStringLiteral("[UNSET]") << false;
        QTest::newRow("title kept as stored") << QStringLiteral("x") << QStringLiteral(" Lynx  ")
                                              << QStringLiteral(" Lynx  ") << true;
        QTest::newRow("ampersand shows as itself") << QStringLiteral("x") << QStringLiteral("Tom & Jerry")
                                                   << QStringLiteral("Tom && Jerry") << true;
    }
    void entryCaptions()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(bool, enabled);
        storeEntry(1, path, title);
        viewers::LoadViewerSettings();
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QAction *a = doc->action(QStringLiteral("mnuViewProgram"), 1);
        QCOMPARE(a->text(), shown);
        QCOMPARE(a->isEnabled(), enabled);
        QCOMPARE(doc->action(QStringLiteral("mnuViewProgram"), 0)->text(), QStringLiteral("[UNSET]"));
        QCOMPARE(doc->action(QStringLiteral("mnuViewProgram"), 2)->text(), QStringLiteral("[UNSET]"));
    }

    void dialogLooksAsExpected()
    {
        storeEntry(0, QStringLiteral("/usr/bin/firefox"), QStringLiteral("Firefox"));
        storeEntry(2, QStringLiteral("lynx"), QStringLiteral("Lynx"));
        viewers::LoadViewerSettings();
        ScriptedPrompts prompts;
        AppFixture app;
        FrmViewSettings *dlg = openDialogFromFrame(app);
        QVERIFY2(dlg && dlg->isVisible(), "the frame's View settings did not show the dialog");
        QCOMPARE(dlg->objectName(), QStringLiteral("frmViewSettings"));
        QCOMPARE(dlg->windowTitle(), QString());
        QCOMPARE(dlg->windowModality(), Qt::NonModal);
        QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
        QCOMPARE(child<QGroupBox>(dlg, QStringLiteral("fraViewSettings"))->title(), QStringLiteral("View Settings"));
        for (int n = 1; n <= 3; ++n) {
            const QString s = QString::number(n);
            QCOMPARE(child<QLabel>(dlg, QStringLiteral("lblExternal") + s)->text(), QStringLiteral("External Program &") + s);
            QCOMPARE(child<QPushButton>(dlg, QStringLiteral("cmdBrowse") + s)->text(), QStringLiteral("..."));
            QVERIFY(child<QLineEdit>(dlg, QStringLiteral("txtProgram") + s));
            QVERIFY(child<QLineEdit>(dlg, QStringLiteral("txtTitle") + s));
        }
        const QList<QLabel *> titles = dlg->findChildren<QLabel *>(QStringLiteral("lblTitle"));
        QCOMPARE(titles.size(), 3);
        for (QLabel *l : titles)
            QCOMPARE(l->text(), QStringLiteral("Title"));
        QCOMPARE(child<QPushButton>(dlg, QStringLiteral("cmdApply"))->text(), QStringLiteral("&Save and Apply"));
        QCOMPARE(child<QPushButton>(dlg, QStringLiteral("cmdCancel"))->text(), QStringLiteral("&Never Mind"));

        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtProgram1"))->text(), QStringLiteral("/usr/bin/firefox"));
        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtTitle1"))->text(), QStringLiteral("Firefox"));
        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtProgram2"))->text(), QString());
        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtTitle3"))->text(), QStringLiteral("Lynx"));
        QVERIFY2(prompts.asked.isEmpty(), "showing the dialog asked something");
    }

    void oneDialogRefilledOnEveryShow()
    {
        storeEntry(0, QStringLiteral("/usr/bin/firefox"), QStringLiteral("Firefox"));
        viewers::LoadViewerSettings();
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        AppFixture::trigger(doc, QStringLiteral("mnuSetViewer"));
        FrmViewSettings *dlg = FrmViewSettings::instance();
        QVERIFY2(dlg && dlg->isVisible(), "Set Viewers did not show the dialog");
        QLineEdit *title = child<QLineEdit>(dlg, QStringLiteral("txtTitle1"));
        title->clear();
        QTest::keyClicks(title, QStringLiteral("Not applied"));

        FrmViewSettings *again = openDialogFromFrame(app);
        QCOMPARE(again, dlg);
        QCOMPARE(title->text(), QStringLiteral("Firefox"));
        QCOMPARE(stored(QStringLiteral("title0")), QStringLiteral("Firefox"));
        // The user goes on working in the document meanwhile.
        QTest::keyClicks(doc->textControl(), QStringLiteral("ok"));
        QCOMPARE(doc->textControl()->text(), QByteArray("ok"));
    }

    void applyStoresTrimmedValuesAndCloses()
    {
        storeEntry(1, QStringLiteral("/opt/old viewer"), QStringLiteral("Old"));
        storeEntry(2, QStringLiteral("lynx"), QStringLiteral("Lynx"));
        viewers::LoadViewerSettings();
        // Changed behind the program's back: Apply must write the table's values back.
        storeEntry(2, QStringLiteral("stale"), QStringLiteral("Stale"));
        ScriptedPrompts prompts;
        AppFixture app;
        FrmViewSettings *dlg = openDialogFromFrame(app);
        QVERIFY(dlg);
        QTest::keyClicks(child<QLineEdit>(dlg, QStringLiteral("txtProgram1")), QStringLiteral("  /usr/bin/my browser  "));
        QTest::keyClicks(child<QLineEdit>(dlg, QStringLiteral("txtTitle1")), QStringLiteral(" My Browser "));
        // Row 2 emptied completely: it keeps its entry.
        child<QLineEdit>(dlg, QStringLiteral("txtProgram2"))->setText(QStringLiteral("   "));
        child<QLineEdit>(dlg, QStringLiteral("txtTitle2"))->clear();
        click(dlg, QStringLiteral("cmdApply"));

        QVERIFY2(!dlg->isVisible(), "Save and Apply left the dialog open");
        QCOMPARE(viewers::entry(0).path, QStringLiteral("/usr/bin/my browser"));
        QCOMPARE(viewers::entry(0).title, QStringLiteral("My Browser"));
        QCOMPARE(viewers::entry(1).path, QStringLiteral("/opt/old viewer"));
        QCOMPARE(viewers::entry(1).title, QStringLiteral("Old"));
        QCOMPARE(stored(QStringLiteral("path0")), QStringLiteral("/usr/bin/my browser"));
        QCOMPARE(stored(QStringLiteral("title0")), QStringLiteral("My Browser"));
        QCOMPARE(stored(QStringLiteral("path1")), QStringLiteral("/opt/old viewer"));
        QCOMPARE(stored(QStringLiteral("title1")), QStringLiteral("Old"));
        QCOMPARE(stored(QStringLiteral("path2")), QStringLiteral("lynx"));
        QCOMPARE(stored(QStringLiteral("title2")), QStringLiteral("Lynx"));
    }

    void applyRowWithOnlyOneBox_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("title");
        QTest::newRow("title only") << QString() << QStringLiteral("Preview");
        QTest::newRow("program only") << QStringLiteral("/usr/bin/x") << QString();
    }
    void applyRowWithOnlyOneBox()
    {
        QFETCH(QString, program);
        QFETCH(QString, title);
        storeEntry(0, QStringLiteral("old"), QStringLiteral("Old"));
        viewers::LoadViewerSettings();
        ScriptedPrompts prompts;
        AppFixture app;
        FrmViewSettings *dlg = openDialogFromFrame(app);
        child<QLineEdit>(dlg, QStringLiteral("txtProgram1"))->setText(program);
        child<QLineEdit>(dlg, QStringLiteral("txtTitle1"))->setText(title);
        click(dlg, QStringLiteral("cmdApply"));
        QCOMPARE(viewers::entry(0).path, program);
        QCOMPARE(viewers::entry(0).title, title);
        QCOMPARE(stored(QStringLiteral("path0")), program);
        QCOMPARE(stored(QStringLiteral("title0")), title);
    }

    void neverMindChangesNothing()
    {
        storeEntry(0, QStringLiteral("old"), QStringLiteral("Old"));
        viewers::LoadViewerSettings();
        ScriptedPrompts prompts;
        AppFixture app;
        FrmViewSettings *dlg = openDialogFromFrame(app);
        child<QLineEdit>(dlg, QStringLiteral("txtProgram1"))->setText(QStringLiteral("new"));
        child<QLineEdit>(dlg, QStringLiteral("txtTitle2"))->setText(QStringLiteral("New"));
        click(dlg, QStringLiteral("cmdCancel"));
        QVERIFY2(!dlg->isVisible(), "Never Mind left the dialog open");
        QCOMPARE(viewers::entry(0).path, QStringLiteral("old"));
        QCOMPARE(viewers::entry(1).title, QString());
        QCOMPARE(stored(QStringLiteral("path0")), QStringLiteral("old"));
        QCOMPARE(stored(QStringLiteral("title1")), QString());
    }

    void browseFillsItsOwnRow()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmViewSettings *dlg = openDialogFromFrame(app);
        QLineEdit *program2 = child<QLineEdit>(dlg, QStringLiteral("txtProgram2"));
        program2->setText(QStringLiteral("typed"));

        prompts.answerFile(QStringLiteral("  /usr/bin/chosen viewer "));
        click(dlg, QStringLiteral("cmdBrowse2"));
        QCOMPARE(program2->text(), QStringLiteral("/usr/bin/chosen viewer"));
        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtProgram1"))->text(), QString());
        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtProgram3"))->text(), QString());
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.asked[0].kind, ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(prompts.asked[0].filters,
                 QStringList({QStringLiteral("Applications (.exe) (*.exe *.com)"), QStringLiteral("All (*)")}));
        QCOMPARE(prompts.asked[0].flags, 0);

        // A cancelled browse leaves the box as it was.
        prompts.answerFile(QString());
        click(dlg, QStringLiteral("cmdBrowse2"));
        QCOMPARE(program2->text(), QStringLiteral("/usr/bin/chosen viewer"));
        prompts.answerFile(QStringLiteral("   "));
        click(dlg, QStringLiteral("cmdBrowse2"));
        QCOMPARE(program2->text(), QStringLiteral("/usr/bin/chosen viewer"));

        prompts.answerFile(QStringLiteral("/usr/bin/third"));
        click(dlg, QStringLiteral("cmdBrowse3"));
        QCOMPARE(child<QLineEdit>(dlg, QStringLiteral("txtProgram3"))->text(), QStringLiteral("/usr/bin/third"));
        QVERIFY2(prompts.unexpected.isEmpty(), qPrintable(prompts.unexpected.join(QLatin1Char('|'))));
    }

    void openWindowsKeepTheirEntriesUntilRebuilt()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *before = app.newDocument();
        FrmViewSettings *dlg = openDialogFromFrame(app);
        child<QLineEdit>(dlg, QStringLiteral("txtProgram1"))->setText(QStringLiteral("/usr/bin/x"));
        child<QLineEdit>(dlg, QStringLiteral("txtTitle1"))->setText(QStringLiteral("Preview"));
        click(dlg, QStringLiteral("cmdApply"));

        QAction *old = before->action(QStringLiteral("mnuViewProgram"), 0);
        QCOMPARE(old->text(), QStringLiteral("[UNSET]"));
        QVERIFY(!old->isEnabled());

        FrmDoc *after = app.newDocument();
        QCOMPARE(after->action(QStringLiteral("mnuViewProgram"), 0)->text(), QStringLiteral("Preview"));
        QVERIFY(after->action(QStringLiteral("mnuViewProgram"), 0)->isEnabled());

        // The first window's own Save As rebuilds its menus.
        prompts.answerFile(app.path(QStringLiteral("saved.txt")));
        AppFixture::trigger(before, QStringLiteral("mnuFileSaveAs"));
        QCOMPARE(old->text(), QStringLiteral("Preview"));
        QVERIFY(old->isEnabled());
    }
};

QP_TEST_MAIN(TstViewerSettings)
#include "tst_viewersettings.moc"
