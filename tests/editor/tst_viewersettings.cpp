#include "appfixture.h"
#include "editor/frmdoc.h"
#include "editor/frmviewsettings.h"
#include "editor/viewertable.h"
#include "platform/settingsstore.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString stored(const QString &key) { return platform::settings().read(viewers::settingsAppName(), "settings", key); }

// Stores entries 0, 1, ... as path, title, path, title, ... and loads the table from them.
void storeEntries(const QStringList &values)
{
    for (int i = 0; i < viewers::Count * 2; ++i)
        platform::settings().write(viewers::settingsAppName(), "settings",
                                   QString(i % 2 ? "title%1" : "path%1").arg(i / 2), values.value(i));
    viewers::LoadViewerSettings();
}

QLineEdit *box(QWidget *dialog, const QString &name) { return dialog->findChild<QLineEdit *>(name); }

void click(QWidget *d, const QString &name) { QTest::mouseClick(d->findChild<QPushButton *>(name), Qt::LeftButton); }

FrmViewSettings *openFromFrame(AppFixture &app)
{
    app.triggerFrame("mnuViewSettings");
    return FrmViewSettings::instance();
}

QAction *viewEntry(FrmDoc *doc, int i) { return doc->action("mnuViewProgram", i); }

} // namespace

class TstViewerSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { storeEntries({}); } // the table is one for the whole program
    void cleanup() { delete FrmViewSettings::instance(); }

    void entryCaptions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("nothing") << "" << "" << "[UNSET]" << false;
        QTest::newRow("title without path") << "" << "Browser" << "Browser" << true;
        QTest::newRow("blank title") << "/usr/bin/lynx" << "   " << "[UNSET]" << false;
        QTest::newRow("title kept as stored") << "x" << " Lynx  " << " Lynx  " << true;
        QTest::newRow("ampersand shows as itself") << "x" << "Tom & Jerry" << "Tom && Jerry" << true;
    }
    void entryCaptions()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(bool, enabled);
        storeEntries({"", "", path, title});
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QCOMPARE(viewEntry(doc, 1)->text(), shown);
        QCOMPARE(viewEntry(doc, 1)->isEnabled(), enabled);
        QCOMPARE(viewEntry(doc, 0)->text() + viewEntry(doc, 2)->text(), "[UNSET][UNSET]");
    }

    void dialogShowsTheTableEachTimeAndNeverMindKeepsIt()
    {
        storeEntries({"/usr/bin/firefox", "Firefox", "", "", "lynx", "Lynx"});
        ScriptedPrompts prompts;
        AppFixture app;
        AppFixture::trigger(app.newDocument(), "mnuSetViewer");
        FrmViewSettings *dlg = FrmViewSettings::instance();
        QVERIFY2(dlg && dlg->isVisible(), "Set Viewers did not show the dialog");
        QStringList captions{dlg->findChild<QGroupBox *>("fraViewSettings")->title()}, expected{"View Settings"};
        for (QWidget *w : dlg->findChildren<QWidget *>()) {
            if (auto *label = qobject_cast<QLabel *>(w))
                captions << label->text();
            else if (auto *button = qobject_cast<QPushButton *>(w))
                captions << button->text();
        }
        for (int n = 1; n <= viewers::Count; ++n)
            expected << QStringLiteral("External Program &%1").arg(n) << "..." << "Title";
        QCOMPARE(captions, expected << "&Save and Apply" << "&Never Mind");
        QCOMPARE(box(dlg, "txtProgram1")->text() + box(dlg, "txtTitle3")->text(), "/usr/bin/firefoxLynx");

        // Shown again while open: the same dialog, refilled from the table.
        box(dlg, "txtTitle1")->setText("Not applied");
        QCOMPARE(openFromFrame(app), dlg);
        QCOMPARE(box(dlg, "txtTitle1")->text(), "Firefox");
        QCOMPARE(dlg->windowModality(), Qt::NonModal); // the user goes on working in the document meanwhile

        // Browse fills its own row, trimmed, and a cancelled one leaves it as it was.
        prompts.answerFile("  /usr/bin/chosen viewer ");
        prompts.answerFile("");
        click(dlg, "cmdBrowse2");
        click(dlg, "cmdBrowse2");
        QCOMPARE(box(dlg, "txtProgram2")->text(), "/usr/bin/chosen viewer");
        QCOMPARE(prompts.asked.value(0).filters, QStringList({"Applications (.exe) (*.exe *.com)", "All (*)"}));
        box(dlg, "txtProgram1")->setText("new");
        click(dlg, "cmdCancel");
        QVERIFY2(!dlg->isVisible(), "Never Mind left the dialog open");
        QCOMPARE(viewers::entry(0).path, "/usr/bin/firefox");
        QCOMPARE(viewers::entry(1).path + stored("path1"), "");
    }

    void saveAndApplyStoresTrimmedRowsAndCloses()
    {
        storeEntries({"", "", "/opt/old viewer", "Old", "lynx", "Lynx"});
        // Changed behind the program's back: Apply writes the table's values back.
        platform::settings().write(viewers::settingsAppName(), "settings", "path1", "stale");
        ScriptedPrompts prompts;
        AppFixture app;
        FrmViewSettings *dlg = openFromFrame(app);
        QTest::keyClicks(box(dlg, "txtProgram1"), "  /usr/bin/my browser  ");
        QTest::keyClicks(box(dlg, "txtTitle1"), " My Browser ");
        // A row left blank keeps its entry; a row with one box filled replaces it.
        box(dlg, "txtProgram2")->setText("   ");
        box(dlg, "txtTitle2")->clear();
        box(dlg, "txtProgram3")->clear();
        box(dlg, "txtTitle3")->setText("Only a title");
        click(dlg, "cmdApply");

        QVERIFY2(!dlg->isVisible(), "Save and Apply left the dialog open");
        const QStringList expected{"/usr/bin/my browser", "My Browser", "/opt/old viewer", "Old", "", "Only a title"};
        QStringList inTable, inStore;
        for (int i = 0; i < viewers::Count; ++i) {
            inTable << viewers::entry(i).path << viewers::entry(i).title;
            inStore << stored(QStringLiteral("path%1").arg(i)) << stored(QStringLiteral("title%1").arg(i));
        }
        QCOMPARE(inTable, expected);
        QCOMPARE(inStore, expected);
        const QByteArray ini = AppFixture::readFile(platform::settingsFilePath("tst_viewersettings"));
        QVERIFY2(ini.contains("[settings]\n") && ini.contains("path0=/usr/bin/my browser\n"), ini.constData());
        QCOMPARE(viewEntry(app.newDocument(), 0)->text(), "My Browser");
    }
};

QP_TEST_MAIN(TstViewerSettings)
#include "tst_viewersettings.moc"
