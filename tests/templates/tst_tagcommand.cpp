// Tools > Execute in a real document window: the record's title, the text
// control, the changed flag, linked files opening as documents.
#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/documentregistry.h"
#include "editor/frmdoc.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "templates/frmnew.h"
#include "templates/tagpass.h"
#include "templates/templatelibrary.h"
#include "testmain.h"

#include <QListWidget>
#include <QPushButton>

#include <sys/stat.h>

namespace {

FrmDoc *documentWith(AppFixture &app, const QByteArray &text)
{
    FrmDoc *doc = app.newDocument();
    doc->textControl()->setText(QByteArrayView(text));
    app.record(doc->slot()).Changed = false;
    return doc;
}

void execute(FrmDoc *doc) { AppFixture::trigger(doc, QStringLiteral("mnuToolsExecute")); }

QString notFound(const QString &path) { return QStringLiteral("Link File: ") + path + QStringLiteral("\r\nNot Found"); }

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
        FrmDoc *doc = documentWith(app, "<QPLTITLE>My Page</QPLTITLE>\r\nHi <QPLPROMPT>Name</QPLPROMPT>!\r\n"
                                        "<QPLMESSAGE>Done, <QPLPROMPT>Name</QPLPROMPT></QPLMESSAGE>");
        execute(doc);

        QCOMPARE(doc->textControl()->text(),
                 QByteArray("<QPLTITLE>My Page</QPLTITLE>\r\nHi Ann!\r\n<QPLMESSAGE>Done, Ann</QPLMESSAGE>"));
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("My Page"));
        doc->refreshCaption();
        QCOMPARE(doc->caption(), QStringLiteral("My Page"));
        QVERIFY2(app.record(doc->slot()).Changed, "an answered prompt changes the document");

        QCOMPARE(prompts.asked.size(), 2);
        QCOMPARE(prompts.asked[0].kind, ScriptedPrompts::Kind::Input);
        QCOMPARE(prompts.asked[0].caption, QStringLiteral("Fields Name"));
        QCOMPARE(prompts.asked[0].initial, QStringLiteral("Name"));
        QCOMPARE(prompts.asked[1].text, QStringLiteral("My Page: \r\nDone, Ann"));
        QCOMPARE(prompts.asked[1].caption, QStringLiteral("Quillpad Basic"));
        QCOMPARE(prompts.asked[1].buttons, platform::Buttons::Ok);
        QCOMPARE(prompts.asked[1].icon, platform::Icon::None);
        QVERIFY2(prompts.unexpected.isEmpty(), qPrintable(prompts.unexpected.join(QLatin1Char('\n'))));
    }

    void titlesAndMessagesChangeNoText()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QByteArray text = "<QPLTITLE></QPLTITLE><QPLMESSAGE>Hello</QPLMESSAGE><QPLPROMPT>f</QPLPROMPT>";
        FrmDoc *doc = documentWith(app, text);
        execute(doc); // the prompt is cancelled
        QCOMPARE(doc->textControl()->text(), text);
        QVERIFY2(!app.record(doc->slot()).Changed, "nothing changed the text");
        QCOMPARE(app.record(doc->slot()).Title, QString());
        doc->refreshCaption();
        QCOMPARE(doc->caption(), QString());
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral(": \r\nHello"));
    }

    void runsAgainOnEachExecute()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = documentWith(app, "<QPLMESSAGE>Hello</QPLMESSAGE>");
        execute(doc);
        execute(doc);
        QCOMPARE(prompts.messages().size(), 2);
        QCOMPARE(prompts.messages()[1].text, QStringLiteral("Untitled: \r\nHello"));
    }

    void linkOpensADocument()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString linked = app.writeFile(QStringLiteral("linked.txt"), "one\r\ntwo\r\n");
        FrmDoc *doc = documentWith(app, "<QPLLINK>" + linked.toLatin1() + "</QPLLINK><QPLLINK>"
                                            + linked.toLatin1() + ".gone</QPLLINK>");
        const int slot = doc->slot();
        execute(doc);

        FrmDoc *opened = app.doc(slot + 1);
        QVERIFY2(opened && opened->isVisible(), "the linked file opens in a new window");
        QCOMPARE(app.record(slot + 1).Path, linked);
        QCOMPARE(app.record(slot + 1).Title, linked);
        QCOMPARE(opened->textControl()->text(), QByteArray("one\r\ntwo"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, notFound(linked + QStringLiteral(".gone")));
        QCOMPARE(app.record(slot).Title, QStringLiteral("Untitled"));
        QVERIFY2(!app.doc(slot + 2), "one window per existing link");
    }

    void linkToSomethingElseIsMissing()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const QString folder = app.path(QStringLiteral("folder"));
        QDir().mkpath(folder);
        const QString fifo = app.path(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        FrmDoc *doc = documentWith(app, "<QPLLINK>" + folder.toLatin1() + "</QPLLINK><QPLLINK>" + fifo.toLatin1()
                                            + "</QPLLINK><QPLLINK></QPLLINK>");
        execute(doc);
        QCOMPARE(prompts.messages().size(), 3);
        QCOMPARE(prompts.messages()[0].text, notFound(folder));
        QCOMPARE(prompts.messages()[1].text, notFound(fifo));
        QCOMPARE(prompts.messages()[2].text, notFound(QString()));
        QCOMPARE(int(DocumentRegistry::instance().slotsWithWindows().size()), 1);
    }

    void unkeptCharactersAreReportedAsTheControlDoes()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = documentWith(app, "<QPLPROMPT>f</QPLPROMPT>");
        prompts.answerInput(QStringLiteral("\u03a9mega"));
        execute(doc);
        QCOMPARE(doc->textControl()->text(), QByteArray("?mega"));
        QCOMPARE(prompts.messages().size(), 1);
        const ScriptedPrompts::Asked fromPass = prompts.messages()[0];

        prompts.clear();
        TextControl control;
        control.setText(QStringLiteral("\u03a9"));
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(fromPass.text, prompts.messages()[0].text);
        QCOMPARE(fromPass.icon, prompts.messages()[0].icon);
        QCOMPARE(fromPass.caption, prompts.messages()[0].caption);
    }

    void starterTemplateEndToEnd()
    {
        ScriptedPrompts prompts;
        QDir().mkpath(templates::TemplateFolder());
        QFile::remove(templates::TemplateFolder() + QStringLiteral("/CPP_Console_Program.QPT"));
        QVERIFY(QFile::copy(QStringLiteral(QP_STARTER_SOURCE "/CPP_Console_Program.QPT"),
                            templates::TemplateFolder() + QStringLiteral("/CPP_Console_Program.QPT")));
        AppFixture app;
        FrmDoc *first = app.newDocument();
        AppFixture::trigger(first, QStringLiteral("mnuNewTemplate"));
        templates::FrmNew *dlg = templates::FrmNew::instance();
        QVERIFY(dlg);
        auto *files = dlg->findChild<QListWidget *>(QStringLiteral("File1"));
        const QList<QListWidgetItem *> found = files->findItems(QStringLiteral("CPP_Console_Program.QPT"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        files->setCurrentItem(found[0]);
        QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        FrmDoc *doc = app.current();
        QVERIFY(doc && doc != first);
        QVERIFY2(doc->textControl()->text().contains("<QPLPROMPT>Program Name</QPLPROMPT>"), "tags stay as text");

        prompts.answerInput(QStringLiteral("hello"));
        prompts.answerInput(QStringLiteral("Greets the user"));
        prompts.answerInput(QStringLiteral("Ann Author"));
        execute(doc);
        const QByteArray text = doc->textControl()->text();
        QVERIFY2(text.contains("// hello: Greets the user\r\n// Copyright (C) Ann Author\r\n"), text.constData());
        QVERIFY2(text.contains("std::cout << \"hello\" << std::endl;"), text.constData());
        QVERIFY2(text.contains("#include <iostream>\r\n"), "other angle brackets are left alone");
        QCOMPARE(app.record(doc->slot()).Title, QStringLiteral("New C++ Program"));
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY(prompts.messages()[0].text.startsWith(QStringLiteral("New C++ Program: \r\nSave the program")));
    }
};

QP_TEST_MAIN(TstTagCommand)
#include "tst_tagcommand.moc"
