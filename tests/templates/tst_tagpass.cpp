// The tag pass over a plain buffer: the documented examples, the order of the
// tags, and text that is not well formed.
#include "fakehost.h"
#include "testfiles.h"
#include "testmain.h"

using templates::RunTagPass;

namespace {
QString ask(const QString &field)
{
    return "input|Fields " + field + '|' + field;
}
QString msg(const QString &text)
{
    return "message|" + text;
}
} // namespace

class TstTagPass : public QObject
{
    Q_OBJECT
private slots:
    void pass_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("answers"); // input box answers; "@path" names an existing file
        QTest::addColumn<QByteArray>("result");   // "" when the text stays as it was
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("transcript");
        const QString u = QStringLiteral("Untitled");
        const QByteArray same;
        const QByteArray twice = "<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>";

        QTest::newRow("no tags") << QByteArray("a <B>b</B>\r\n") << QStringList() << same << u
                                 << QStringList();
        QTest::newRow("lower case") << QByteArray("<qplprompt>x</qplprompt>") << QStringList() << same << u
                                    << QStringList();
        QTest::newRow("asked once") << twice << QStringList{"Ann"} << QByteArray("Ann and Ann") << u
                                    << QStringList{ask("Name")};
        QTest::newRow("empty answer asks again")
            << twice << QStringList{"", "Ann"} << QByteArray("Ann and Ann") << u
            << QStringList{ask("Name"), ask("Name")};
        QTest::newRow("pre-filled kept")
            << twice << QStringList{"Name"} << QByteArray("Name and Name") << u << QStringList{ask("Name")};
        QTest::newRow("nested") << QByteArray("<QPLPROMPT>a<QPLPROMPT>b</QPLPROMPT></QPLPROMPT>")
                                << QStringList{"X"} << QByteArray("X</QPLPROMPT>") << u
                                << QStringList{ask("a<QPLPROMPT>b")};
        QTest::newRow("two lines") << QByteArray("<QPLPROMPT>1\r\n2</QPLPROMPT>|<QPLPROMPT>1\n2</QPLPROMPT>")
                                   << QStringList{"Z", "W"} << QByteArray("Z|W") << u
                                   << QStringList{ask("1\r\n2"), ask("1\n2")};
        QTest::newRow("empty field") << QByteArray("[<QPLPROMPT></QPLPROMPT>]") << QStringList{"v"}
                                     << QByteArray("[v]") << u << QStringList{ask("")};
        QTest::newRow("empty title") << QByteArray("<QPLTITLE></QPLTITLE>") << QStringList() << same << ""
                                     << QStringList();
        QTest::newRow("later title wins") << QByteArray("<QPLTITLE>1</QPLTITLE><QPLTITLE>2</QPLTITLE>")
                                          << QStringList() << same << "2" << QStringList();
        QTest::newRow("title before prompts")
            << QByteArray("<QPLTITLE><QPLPROMPT>N</QPLPROMPT></QPLTITLE>") << QStringList{"Bo"}
            << QByteArray("<QPLTITLE>Bo</QPLTITLE>") << "<QPLPROMPT>N</QPLPROMPT>" << QStringList{ask("N")};
        QTest::newRow("unclosed title, closed one") << QByteArray("<QPLTITLE>a <QPLTITLE>b</QPLTITLE>")
                                                    << QStringList() << same << "b" << QStringList();
        QTest::newRow("beyond 32767") << QByteArray(40000, 'x') + "<QPLTITLE>Far</QPLTITLE>" << QStringList()
                                      << same << "Far" << QStringList();
        QTest::newRow("message") << QByteArray("<QPLMESSAGE>Hello</QPLMESSAGE>") << QStringList() << same << u
                                 << QStringList{msg("Untitled: \r\nHello")};
        QTest::newRow("message after title and prompts")
            << QByteArray("<QPLMESSAGE>Hi <QPLPROMPT>N</QPLPROMPT></QPLMESSAGE><QPLTITLE>T</QPLTITLE>")
            << QStringList{"Bo"} << QByteArray("<QPLMESSAGE>Hi Bo</QPLMESSAGE><QPLTITLE>T</QPLTITLE>") << "T"
            << QStringList{ask("N"), msg("T: \r\nHi Bo")};
        QTest::newRow("adjacent, empty")
            << QByteArray("<QPLMESSAGE>a</QPLMESSAGE><QPLMESSAGE></QPLMESSAGE>") << QStringList() << same << u
            << QStringList{msg("Untitled: \r\na"), msg("Untitled: \r\n")};
        QTest::newRow("links after messages, missing one")
            << QByteArray("<QPLLINK>/no.txt</QPLLINK><QPLLINK>/a</QPLLINK><QPLMESSAGE>m</QPLMESSAGE>")
            << QStringList{"@/a"} << same << u
            << QStringList{msg("Untitled: \r\nm"), msg("Link File: /no.txt\r\nNot Found"), "open|/a"};
        QTest::newRow("opening alone")
            << QByteArray("<QPLTITLE>a<QPLMESSAGE>m") << QStringList() << same << u << QStringList();
        QTest::newRow("closing alone") << QByteArray("a</QPLTITLE></QPLMESSAGE>x<QPLMESSAGE>")
                                       << QStringList() << same << u << QStringList();
        QTest::newRow("longer names") << QByteArray("<QPLTITLES>x</QPLTITLES><QPLTITLE >y</QPLTITLE >")
                                      << QStringList() << same << u << QStringList();
    }

    void pass()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, answers);
        QFETCH(QByteArray, result);
        QFETCH(QString, title);
        QFETCH(QStringList, transcript);
        FakeHost host(text);
        for (const QString &a : answers) {
            if (a.startsWith('@'))
                host.files << a.mid(1);
            else
                host.answers << a;
        }
        RunTagPass(host);
        QCOMPARE(host.transcript, transcript);
        QCOMPARE(host.doc, result.isEmpty() ? text : result);
        QCOMPARE(host.docTitle, title);
        QVERIFY2(host.answers.isEmpty(), "every scripted answer is used");
    }

    void promptWording()
    {
        FakeHost host("<QPLPROMPT>Company Name</QPLPROMPT>");
        host.answers << QStringLiteral("Acme");
        RunTagPass(host);
        QCOMPARE(host.prompts,
                 QStringList{"You've been requested to provide information for any field(s) with quote "
                             "{Company Name}\r\n Please enter a data to replace all fields with"});
        QCOMPARE(host.doc, QByteArray("Acme"));
    }

    void bytesAndCharacters()
    {
        const QByteArray all = everyByte();
        FakeHost host(all + "<QPLPROMPT>f</QPLPROMPT>" + all + "<QPLPROMPT>g</QPLPROMPT>");
        host.answers << QStringLiteral("\u00e9\u00ff") << QStringLiteral("a\u03a9\U0001F600");
        RunTagPass(host);
        QCOMPARE(host.doc, all + "\xe9\xff" + all + "a??");
        QCOMPARE(host.transcript.constLast(), msg(templates::replacedCharactersNotice(2)));
        QCOMPARE(host.icons, QList<platform::Icon>{platform::Icon::Exclamation});
    }

    void readsOnlyAfterWritesAndStopsWhenTheDocumentGoes()
    {
        FakeHost host("<QPLTITLE>t</QPLTITLE><QPLPROMPT>f</QPLPROMPT><QPLMESSAGE>1</QPLMESSAGE>"
                      "<QPLMESSAGE>2</QPLMESSAGE><QPLLINK>/a</QPLLINK>");
        host.files << QStringLiteral("/a");
        host.aliveForMessages = 1;
        RunTagPass(host); // the prompt is cancelled
        QCOMPARE(host.transcript, (QStringList{ask("f"), msg("t: \r\n1")}));
        QCOMPARE(host.reads, 1);
        QCOMPARE(host.writes, 0);
    }

    void longTextWithManyTags()
    {
        // Over 10 MB: thousands of closed messages, then thousands of titles all
        // closed by one tag at the end, with messages and prompts never closed.
        QByteArray text;
        const QByteArray filler(1000, 'z');
        for (int i = 0; i < 2500; ++i)
            text += "<QPLMESSAGE>m</QPLMESSAGE>" + filler;
        for (int i = 0; i < 2500; ++i)
            text += "<QPLTITLE>" + filler + "<QPLMESSAGE>" + filler + "<QPLPROMPT>" + filler;
        text += "</QPLTITLE>";
        QVERIFY(text.size() > 10000000);
        FakeHost host(text);
        RunTagPass(host);
        const QString last = QString::fromLatin1(filler + "<QPLMESSAGE>" + filler + "<QPLPROMPT>" + filler);
        QCOMPARE(host.transcript.size(), 2500);
        QCOMPARE(host.transcript.constLast(), msg(last + ": \r\nm"));
        QCOMPARE(host.docTitle, last);
        QCOMPARE(host.titleWrites, 1);
        QCOMPARE(host.reads, 1);
        QCOMPARE(host.doc, text);
    }

    void hugeContentIsCutInBoxes()
    {
        const QByteArray big(1 << 20, 'b');
        FakeHost host("<QPLPROMPT>" + big + "</QPLPROMPT><QPLMESSAGE>" + big + "</QPLMESSAGE><QPLLINK>" +
                      big + "</QPLLINK>");
        host.docTitle = QString::fromLatin1(big);
        host.answers << QString::fromLatin1(big); // the field itself, accepted unchanged
        RunTagPass(host);
        const QString cut = QString(templates::BoxTextLimit, 'b') + "...";
        QCOMPARE(host.transcript,
                 (QStringList{"input|Fields " + cut + '|' + QString::fromLatin1(big),
                              msg(cut + ": \r\n" + cut), msg("Link File: " + cut + "\r\nNot Found")}));
        QCOMPARE(host.prompts[0].section('{', 1).section('}', 0, 0), cut);
        QCOMPARE(host.doc, big + "<QPLMESSAGE>" + big + "</QPLMESSAGE><QPLLINK>" + big + "</QPLLINK>");
    }

    void tagName_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("tag") << QByteArray("<QPLTITLE>") << QByteArray("QPLTITLE");
        QTest::newRow("text around") << QByteArray("><a>b>") << QByteArray("a");
        QTest::newRow("no '<'") << QByteArray("abc>") << QByteArray("");
        QTest::newRow("no '>'") << QByteArray("<abc") << QByteArray("abc");
    }

    void tagName()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QByteArray, name);
        QCOMPARE(templates::TagName(tag), name);
    }
};

QP_TEST_MAIN(TstTagPass)
#include "tst_tagpass.moc"
