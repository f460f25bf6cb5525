// Tools > Execute in a real document window: the record's title, the text
// control, the changed flag, linked files opening as documents.
#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <sys/stat.h>

namespace {

FrmDoc *executeOn(AppFixture &app, const QByteArray &text)
{
    FrmDoc *doc = app.newDocument();
    doc->textControl()->setText(QByteArrayView(text));
    app.record(doc->slot()).Changed = false;
    AppFixture::trigger(doc, QStringLiteral("mnuToolsExecute"));
    doc->refreshTick();
    return doc;
}

QString notFound(const QString &path)
{
    return "Link File: " + path + "\r\nNot Found";
}

} // namespace

class TstTagCommand : public QObject
{
    Q_OBJECT
private slots:
    void executeFillsTheDocument()
    {
        ScriptedPrompts prompts;
        prompts.answerInput(QStringLiteral("Ann"));
        AppFixture app;
        FrmDoc *doc = executeOn(app, "<QPLTITLE>My Page</QPLTITLE>\r\nHi <QPLPROMPT>Name</QPLPROMPT>!\r\n"
                                     "<QPLMESSAGE>Done, <QPLPROMPT>Name</QPLPROMPT></QPLMESSAGE>");
        QCOMPARE(doc->textControl()->text(),
                 QByteArray("<QPLTITLE>My Page</QPLTITLE>\r\nHi Ann!\r\n<QPLMESSAGE>Done, Ann</QPLMESSAGE>"));
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("My Page"));
        QCOMPARE(doc->caption(), QStringLiteral("My Page"));
        QVERIFY2(app.record(doc->slot()).Changed, "an answered prompt changes the document");
        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(prompts.asked[0].caption, QStringLiteral("Fields Name"));
        QCOMPARE(prompts.asked[0].initial, QStringLiteral("Name"));
        QCOMPARE(prompts.asked[1].text, QStringLiteral("My Page: \r\nDone, Ann"));
        QCOMPARE(prompts.asked[1].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(prompts.asked[1].buttons, platform::Buttons::Ok);
        QCOMPARE(prompts.asked[1].icon, platform::Icon::None);
    }

    void titlesAndMessagesChangeNoText()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QByteArray text = "<QPLTITLE></QPLTITLE><QPLMESSAGE>Hello</QPLMESSAGE><QPLPROMPT>f</QPLPROMPT>";
        FrmDoc *doc = executeOn(app, text); // the prompt is cancelled
        QCOMPARE(doc->textControl()->text(), text);
        QVERIFY2(!app.record(doc->slot()).Changed, "nothing changed the text");
        QCOMPARE(doc->caption(), QString());
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral(": \r\nHello"));
    }

    void links()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString linked = app.writeFile(QStringLiteral("linked.txt"), "one\r\ntwo\r\n");
        const QString folder = app.path(QStringLiteral("folder"));
        const QString fifo = app.path(QStringLiteral("fifo"));
        QDir().mkpath(folder);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QByteArray text;
        for (const QString &path : {linked, folder, fifo, linked + ".gone"})
            text += "<QPLLINK>" + path.toLatin1() + "</QPLLINK>";
        FrmDoc *doc = executeOn(app, text);

        const int slot = doc->slot();
        FrmDoc *opened = app.doc(slot + 1);
        QVERIFY2(opened && opened->isVisible(), "the linked file opens in a new window");
        QCOMPARE(app.record(slot + 1).Path, linked);
        QCOMPARE(opened->textControl()->text(), QByteArray("one\r\ntwo"));
        QCOMPARE(int(DocumentRegistry::instance().slotsWithWindows().size()), 2);
        QCOMPARE(prompts.messages().size(), 3);
        QCOMPARE(prompts.messages()[0].text, notFound(folder));
        QCOMPARE(prompts.messages()[1].text, notFound(fifo));
        QCOMPARE(prompts.messages()[2].text, notFound(linked + ".gone"));
        QCOMPARE(doc->textControl()->text(), text);
    }

    void unkeptCharactersAreReportedAsTheControlDoes()
    {
        ScriptedPrompts prompts;
        prompts.answerInput(QStringLiteral("\u03a9mega"));
        AppFixture app;
        FrmDoc *doc = executeOn(app, "<QPLPROMPT>f</QPLPROMPT>");
        QCOMPARE(doc->textControl()->text(), QByteArray("?mega"));
        QCOMPARE(prompts.messages().size(), 1);
        const ScriptedPrompts::Asked fromPass = prompts.messages()[0];
        prompts.clear();
        TextControl().setText(QStringLiteral("\u03a9"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(fromPass.text, prompts.messages()[0].text);
        QCOMPARE(fromPass.icon, prompts.messages()[0].icon);
    }
};

QP_TEST_MAIN(TstTagCommand)
#include "tst_tagcommand.moc"
