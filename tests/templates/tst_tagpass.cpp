// The tag pass over a plain buffer: the documented examples, the order of the
// tags, and text that is not well formed.
#include "fakehost.h"
#include "templates/tagpass.h"
#include "testmain.h"

using templates::RunTagPass;

namespace {

const QString Untitled = QStringLiteral("Untitled");

QString ask(const QString &field) { return QStringLiteral("input|Fields ") + field + QLatin1Char('|') + field; }
QString msg(const QString &text) { return QStringLiteral("message|") + text; }

QByteArray everyByte()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    return all;
}

} // namespace

class TstTagPass : public QObject
{
    Q_OBJECT
private slots:
    void pass_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("transcript");

        const QStringList none;
        QTest::newRow("no tags") << QByteArray("plain <B>bold</B> text\r\n") << none << none
                                 << QByteArray("plain <B>bold</B> text\r\n") << Untitled << none;
        QTest::newRow("lower case is text") << QByteArray("<qplprompt>x</qplprompt>") << none << none
                                            << QByteArray("<qplprompt>x</qplprompt>") << Untitled << none;
        QTest::newRow("field asked once")
            << QByteArray("<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>")
            << QStringList{"Ann"} << none << QByteArray("Ann and Ann") << Untitled << QStringList{ask("Name")};
        QTest::newRow("empty answer asks again")
            << QByteArray("<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>")
            << QStringList{"", "Ann"} << none << QByteArray("Ann and Ann") << Untitled
            << QStringList{ask("Name"), ask("Name")};
        QTest::newRow("every answer empty")
            << QByteArray("<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>") << QStringList{"", ""}
            << none << QByteArray("<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>") << Untitled
            << QStringList{ask("Name"), ask("Name")};
        QTest::newRow("pre-filled value kept")
            << QByteArray("<QPLPROMPT>Name</QPLPROMPT> and <QPLPROMPT>Name</QPLPROMPT>") << QStringList{"Name"}
            << none << QByteArray("Name and Name") << Untitled << QStringList{ask("Name")};
        QTest::newRow("distinct fields in order")
            << QByteArray("<QPLPROMPT>A</QPLPROMPT><QPLPROMPT>B</QPLPROMPT>-<QPLPROMPT>A</QPLPROMPT>")
            << QStringList{"x", "y"} << none << QByteArray("xy-x") << Untitled << QStringList{ask("A"), ask("B")};
        QTest::newRow("nested elements")
            << QByteArray("<QPLPROMPT>a<QPLPROMPT>b</QPLPROMPT></QPLPROMPT>") << QStringList{"X"} << none
            << QByteArray("X</QPLPROMPT>") << Untitled << QStringList{ask("a<QPLPROMPT>b")};
        QTest::newRow("field over two lines")
            << QByteArray("<QPLPROMPT>One\r\nTwo</QPLPROMPT>|<QPLPROMPT>One\nTwo</QPLPROMPT>")
            << QStringList{"Z", "W"} << none << QByteArray("Z|W") << Untitled
            << QStringList{ask("One\r\nTwo"), ask("One\nTwo")};
        QTest::newRow("empty field")
            << QByteArray("[<QPLPROMPT></QPLPROMPT>]") << QStringList{"v"} << none << QByteArray("[v]") << Untitled
            << QStringList{ask("")};
        QTest::newRow("answer holding its own element")
            << QByteArray("<QPLPROMPT>N</QPLPROMPT>") << QStringList{"<QPLPROMPT>N</QPLPROMPT>"} << none
            << QByteArray("<QPLPROMPT>N</QPLPROMPT>") << Untitled << QStringList{ask("N")};
        QTest::newRow("answer making an element before the scan")
            << QByteArray("<QPLPROMPT>A</QPLPROMPT>") << QStringList{"<QPLPROMPT>B</QPLPROMPT>"} << none
            << QByteArray("<QPLPROMPT>B</QPLPROMPT>") << Untitled << QStringList{ask("A")};

        QTest::newRow("empty title") << QByteArray("<QPLTITLE></QPLTITLE>") << none << none
                                     << QByteArray("<QPLTITLE></QPLTITLE>") << QString("") << none;
        QTest::newRow("later title wins") << QByteArray("<QPLTITLE>One</QPLTITLE>\r\n<QPLTITLE>Two</QPLTITLE>")
                                          << none << none
                                          << QByteArray("<QPLTITLE>One</QPLTITLE>\r\n<QPLTITLE>Two</QPLTITLE>")
                                          << QString("Two") << none;
        QTest::newRow("title takes prompt markup literally")
            << QByteArray("<QPLTITLE><QPLPROMPT>N</QPLPROMPT></QPLTITLE>") << QStringList{"Bo"} << none
            << QByteArray("<QPLTITLE>Bo</QPLTITLE>") << QString("<QPLPROMPT>N</QPLPROMPT>")
            << QStringList{ask("N")};
        QTest::newRow("unclosed title then a closed one")
            << QByteArray("<QPLTITLE>a <QPLTITLE>b</QPLTITLE>") << none << none
            << QByteArray("<QPLTITLE>a <QPLTITLE>b</QPLTITLE>") << QString("b") << none;
        QTest::newRow("title far beyond 32767")
            << QByteArray(40000, 'x') + "<QPLTITLE>Far</QPLTITLE>" << none << none
            << QByteArray(40000, 'x') + "<QPLTITLE>Far</QPLTITLE>" << QString("Far") << none;

        QTest::newRow("message in a new document")
            << QByteArray("<QPLMESSAGE>Hello</QPLMESSAGE>") << none << none
            << QByteArray("<QPLMESSAGE>Hello</QPLMESSAGE>") << Untitled << QStringList{msg("Untitled: \r\nHello")};
        QTest::newRow("message headed by the title")
            << QByteArray("<QPLMESSAGE>m</QPLMESSAGE><QPLTITLE>T</QPLTITLE>") << none << none
            << QByteArray("<QPLMESSAGE>m</QPLMESSAGE><QPLTITLE>T</QPLTITLE>") << QString("T")
            << QStringList{msg("T: \r\nm")};
        QTest::newRow("message shows answered fields")
            << QByteArray("<QPLMESSAGE>Hi <QPLPROMPT>N</QPLPROMPT></QPLMESSAGE>") << QStringList{"Bo"} << none
            << QByteArray("<QPLMESSAGE>Hi Bo</QPLMESSAGE>") << Untitled
            << QStringList{ask("N"), msg("Untitled: \r\nHi Bo")};
        QTest::newRow("adjacent messages")
            << QByteArray("<QPLMESSAGE>a</QPLMESSAGE><QPLMESSAGE></QPLMESSAGE>") << none << none
            << QByteArray("<QPLMESSAGE>a</QPLMESSAGE><QPLMESSAGE></QPLMESSAGE>") << Untitled
            << QStringList{msg("Untitled: \r\na"), msg("Untitled: \r\n")};

        QTest::newRow("missing link, pass goes on")
            << QByteArray("<QPLLINK>/no/such.txt</QPLLINK><QPLLINK>/here.txt</QPLLINK>") << none
            << QStringList{"/here.txt"} << QByteArray("<QPLLINK>/no/such.txt</QPLLINK><QPLLINK>/here.txt</QPLLINK>")
            << Untitled << QStringList{msg("Link File: /no/such.txt\r\nNot Found"), "open|/here.txt"};
        QTest::newRow("links after messages")
            << QByteArray("<QPLLINK>/a</QPLLINK><QPLMESSAGE>m</QPLMESSAGE>") << none << QStringList{"/a"}
            << QByteArray("<QPLLINK>/a</QPLLINK><QPLMESSAGE>m</QPLMESSAGE>") << Untitled
            << QStringList{msg("Untitled: \r\nm"), "open|/a"};
        QTest::newRow("image does nothing")
            << QByteArray("<QPLIMAGE>pic.png</QPLIMAGE>") << none << none
            << QByteArray("<QPLIMAGE>pic.png</QPLIMAGE>") << Untitled << none;

        QTest::newRow("opening tag alone") << QByteArray("<QPLTITLE>abc <QPLMESSAGE>m") << none << none
                                           << QByteArray("<QPLTITLE>abc <QPLMESSAGE>m") << Untitled << none;
        QTest::newRow("closing tag alone") << QByteArray("abc</QPLTITLE></QPLPROMPT>") << none << none
                                           << QByteArray("abc</QPLTITLE></QPLPROMPT>") << Untitled << none;
        QTest::newRow("closing before opening")
            << QByteArray("</QPLMESSAGE>x<QPLMESSAGE>y") << none << none << QByteArray("</QPLMESSAGE>x<QPLMESSAGE>y")
            << Untitled << none;
        QTest::newRow("longer name is not the tag")
            << QByteArray("<QPLTITLES>x</QPLTITLES><QPLTITLE >y</QPLTITLE >") << none << none
            << QByteArray("<QPLTITLES>x</QPLTITLES><QPLTITLE >y</QPLTITLE >") << Untitled << none;
        QTest::newRow("content ends at the first closing tag of its name")
            << QByteArray("<QPLTITLE>x</QPLTITLES></QPLTITLE>") << none << none
            << QByteArray("<QPLTITLE>x</QPLTITLES></QPLTITLE>") << QString("x</QPLTITLES>") << none;
        QTest::newRow("other tags inside content")
            << QByteArray("<QPLMESSAGE><QPLTITLE>t</QPLTITLE></QPLMESSAGE>") << none << none
            << QByteArray("<QPLMESSAGE><QPLTITLE>t</QPLTITLE></QPLMESSAGE>") << QString("t")
            << QStringList{msg("t: \r\n<QPLTITLE>t</QPLTITLE>")};
    }

    void pass()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, files);
        QFETCH(QByteArray, result);
        QFETCH(QString, title);
        QFETCH(QStringList, transcript);

        FakeHost host(text);
        for (const QString &a : answers)
            host.answers.enqueue(a);
        for (const QString &f : files)
            host.files.insert(f);
        RunTagPass(host);

        QCOMPARE(host.transcript, transcript);
        QCOMPARE(host.doc, result);
        QCOMPARE(host.docTitle, title);
        QVERIFY2(host.answers.isEmpty(), "every scripted answer is used");
    }

    void promptWording()
    {
        FakeHost host("<QPLPROMPT>Company Name</QPLPROMPT>");
        host.answers.enqueue(QStringLiteral("Acme"));
        RunTagPass(host);
        QCOMPARE(host.prompts.size(), 1);
        QCOMPARE(host.prompts[0], QStringLiteral("You've been requested to provide information for any field(s) "
                                                 "with quote {Company Name}\r\n Please enter a data to replace "
                                                 "all fields with"));
        QCOMPARE(host.transcript, QStringList{ask("Company Name")});
        QCOMPARE(host.doc, QByteArray("Acme"));
        QCOMPARE(host.writes, 1);
    }

    void onlyAnsweredPromptsWrite()
    {
        FakeHost host("<QPLTITLE>t</QPLTITLE><QPLMESSAGE>m</QPLMESSAGE><QPLLINK>/x</QPLLINK><QPLPROMPT>f</QPLPROMPT>");
        host.answers.enqueue(QString());
        RunTagPass(host);
        QCOMPARE(host.writes, 0);
        QVERIFY2(host.reads == 1, qPrintable(QStringLiteral("read %1 times").arg(host.reads)));
    }

    void everyByteValueSurvives()
    {
        const QByteArray all = everyByte();
        FakeHost host(all + "<QPLPROMPT>f</QPLPROMPT>" + all);
        host.answers.enqueue(QStringLiteral("\u00e9\u00ff"));
        RunTagPass(host);
        QCOMPARE(host.doc, all + "\xe9\xff" + all);
        QCOMPARE(host.transcript, QStringList{ask("f")});
    }

    void fieldWithEveryByte()
    {
        const QByteArray field = everyByte().replace("</QPLPROMPT>", "");
        FakeHost host("<QPLPROMPT>" + field + "</QPLPROMPT>");
        host.answers.enqueue(QStringLiteral("ok"));
        RunTagPass(host);
        QCOMPARE(host.doc, QByteArray("ok"));
        QCOMPARE(host.transcript, QStringList{ask(QString::fromLatin1(field))});
    }

    void answerOutsideLatin1()
    {
        FakeHost host("<QPLPROMPT>f</QPLPROMPT>");
        host.answers.enqueue(QStringLiteral("a\u03a9b\U0001F600"));
        RunTagPass(host);
        QCOMPARE(host.doc, QByteArray("a?b?"));
        QCOMPARE(host.transcript.size(), 2);
        QCOMPARE(host.transcript[1], msg(templates::replacedCharactersNotice(2)));
        QCOMPARE(host.icons.value(0), platform::Icon::Exclamation);
    }

    void stopsWhenTheDocumentGoes()
    {
        FakeHost host("<QPLMESSAGE>1</QPLMESSAGE><QPLMESSAGE>2</QPLMESSAGE><QPLLINK>/a</QPLLINK>");
        host.files.insert(QStringLiteral("/a"));
        host.afterMessage = [&host] { host.alive = false; };
        RunTagPass(host);
        QCOMPARE(host.transcript, QStringList{msg("Untitled: \r\n1")});
    }

    void longTextWithManyTags()
    {
        // 10 MB with thousands of elements, many unclosed and nested: the pass
        // ends, reads the text once and shows each closed message once.
        QByteArray text;
        text.reserve(11 << 20);
        const QByteArray filler(1000, 'z');
        for (int i = 0; i < 2500; ++i) {
            text += "<QPLMESSAGE>m</QPLMESSAGE>";
            text += filler;
        }
        // Titles all closed by one tag at the end; messages never closed.
        for (int i = 0; i < 2500; ++i) {
            text += "<QPLTITLE>";
            text += filler;
            text += "<QPLMESSAGE>";
            text += filler;
            text += "<QPLPROMPT>";
            text += filler;
        }
        text += "</QPLTITLE><QPLIMAGE>";
        const qsizetype size = text.size();
        FakeHost host(text);
        RunTagPass(host);
        QCOMPARE(host.transcript.size(), 2500);
        QCOMPARE(host.doc.size(), size);
        QCOMPARE(host.reads, 1);
        QCOMPARE(host.titleWrites, 1);
        const QByteArray lastTitle = filler + "<QPLMESSAGE>" + filler + "<QPLPROMPT>" + filler;
        QCOMPARE(host.docTitle, QString::fromLatin1(lastTitle));
        QCOMPARE(host.transcript.constLast(), msg(QString::fromLatin1(lastTitle) + ": \r\nm"));
        QVERIFY2(size > 10000000, "the text is over 10 MB");
    }

    void tagName_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("tag") << QByteArray("<QPLTITLE>") << QByteArray("QPLTITLE");
        QTest::newRow("text around") << QByteArray("x<a>b>") << QByteArray("a");
        QTest::newRow("'>' first") << QByteArray("><a>") << QByteArray("a");
        QTest::newRow("empty name") << QByteArray("<>") << QByteArray("");
        QTest::newRow("no '<'") << QByteArray("abc>") << QByteArray("");
        QTest::newRow("no '>'") << QByteArray("<abc") << QByteArray("abc");
        QTest::newRow("nothing") << QByteArray() << QByteArray();
    }

    void tagName()
    {
        QFETCH(QByteArray, tag);
        QFETCH(QByteArray, name);
        QCOMPARE(templates::TagName(tag), name);
    }

    void handleTagByName()
    {
        FakeHost host("text");
        templates::HandleTag(host, "<QPLTITLE>", "New");
        templates::HandleTag(host, "<QPLIMAGE>", "pic");
        templates::HandleTag(host, "<OTHER>", "x");
        templates::HandleTag(host, "<QPLMESSAGE>", "hi");
        QCOMPARE(host.docTitle, QStringLiteral("New"));
        QCOMPARE(host.transcript, QStringList{msg("New: \r\nhi")});
        QCOMPARE(host.doc, QByteArray("text"));
    }

    void replaceAll_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("count");
        QTest::newRow("left to right, no overlap") << QByteArray("aaaaa") << QByteArray("aa") << QByteArray("b")
                                                    << QByteArray("bba") << 2;
        QTest::newRow("longer") << QByteArray("-x-x-") << QByteArray("x") << QByteArray("yyy")
                                << QByteArray("-yyy-yyy-") << 2;
        QTest::newRow("none") << QByteArray("abc") << QByteArray("d") << QByteArray("e") << QByteArray("abc") << 0;
        QTest::newRow("case counts") << QByteArray("Ab ab") << QByteArray("ab") << QByteArray("") << QByteArray("Ab ")
                                     << 1;
        QTest::newRow("nul bytes") << QByteArray("a\0b\0", 4) << QByteArray("\0", 1) << QByteArray("0")
                                   << QByteArray("a0b0") << 2;
    }

    void replaceAll()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QByteArray, result);
        QFETCH(int, count);
        QCOMPARE(int(templates::replaceAll(text, from, to)), count);
        QCOMPARE(text, result);
    }
};

QP_TEST_MAIN(TstTagPass)
#include "tst_tagpass.moc"
