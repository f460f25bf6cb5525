#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

class TstDocumentWindows : public QObject
{
    Q_OBJECT
private slots:
    void newDocumentsTakeSlots()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *a = app.newDocument();
        QVERIFY(a);
        QCOMPARE(a->slot(), 1);
        FrmDoc *b = app.newDocument();
        QCOMPARE(b->slot(), 2);
        QCOMPARE(app.record(2).Title, QStringLiteral("Untitled"));
    }
};

QP_TEST_MAIN(TstDocumentWindows)
#include "tst_documentwindows.moc"
