#include "appfixture.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "tools/frmquick.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

using platform::Answer;
using tools::FrmQuick;

namespace {

template <typename T> T *part(FrmQuick *w, const char *name) { return w->findChild<T *>(QString::fromLatin1(name)); }

QStringList items(FrmQuick *w)
{
    QStringList out;
    auto *list = part<QListWidget>(w, "List1");
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Types the search text, clicks Scan and lets the scan run to its end.
void scan(FrmQuick *w, const QString &search)
{
    part<QLineEdit>(w, "Text1")->setText(search);
    QTest::mouseClick(part<QPushButton>(w, "Command1"), Qt::LeftButton);
    QTRY_VERIFY(!w->isScanning());
}

const QByteArray Sample("<BODY>\r\n  body text\r\nnone\r\n");

} // namespace

class TstFrmQuick : public QObject
{
    Q_OBJECT
private slots:
    void fromBothToolsMenus()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.triggerFrame(QStringLiteral("mnuToolsQuickSearch"));
        FrmQuick *w = FrmQuick::instance();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Quick Scan"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(part<QLabel>(w, "Label1")->text(), QStringLiteral("Search"));
        QCOMPARE(part<QLabel>(w, "Label2")->text(), QStringLiteral("Results"));
        QCOMPARE(part<QPushButton>(w, "Command1")->text(), QStringLiteral("&Scan"));
        QCOMPARE(part<QLabel>(w, "Label3")->text(),
                 QStringLiteral("Instructions: Enter text into the box labelled search. Then click scan. a box will "
                                "open for you to select a file. open the file, and Quillpad will scan the file to see "
                                "if the string appears. if it appears it will display in the box labelled results."));
        QVERIFY(!part<QProgressBar>(w, "prgScan")->isVisible());
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsQuickSearch"));
        QCOMPARE(FrmQuick::instance(), w);
    }

    void scans_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Body") << Sample << "Body" << QStringList{"<BODY>", "body text"};
        QTest::newRow("blanks around the search") << Sample << "  Body  " << QStringList{"<BODY>", "body text"};
        QTest::newRow("blank inside the search") << Sample << "y t" << QStringList{"body text"};
        QTest::newRow("empty search") << QByteArray("a\r\n\r\n   \r\nb") << "" << QStringList{"a", "", "b"};
        QTest::newRow("Latin-1 letters ignore case")
            << QByteArray("\xc9T\xc9\r\n\xe9t\xe9\r\nete") << QString::fromLatin1("\xc9t\xe9")
            << QStringList{QString::fromLatin1("\xc9T\xc9"), QString::fromLatin1("\xe9t\xe9")};
        QTest::newRow("LF alone does not end a line") << QByteArray("x\ny\rz") << "y" << QStringList{"x\ny"};
    }
    void scans()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmQuick *w = FrmQuick::showQuick();
        prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), file));
        scan(w, search);
        QCOMPARE(items(w), expected);
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.asked[0].kind, ScriptedPrompts::Kind::OpenFile);
        QCOMPARE(prompts.asked[0].flags, 0);
    }

    void eachScanStartsAfresh()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmQuick *w = FrmQuick::showQuick();
        const QString path = app.writeFile(QStringLiteral("f.txt"), Sample);
        prompts.answerFile(path);
        prompts.answerFile(path);
        prompts.answerFile(QString());
        scan(w, QStringLiteral("body"));
        scan(w, QStringLiteral("none"));
        QCOMPARE(items(w), QStringList{QStringLiteral("none")});
        scan(w, QStringLiteral("none"));
        QVERIFY2(items(w).isEmpty(), "a cancelled dialog leaves the list empty");
        QCOMPARE(prompts.asked.last().flags, 0);
    }

    void openFailures_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Abort") << int(Answer::Abort) << QStringList();
        QTest::newRow("Ignore: asked once") << int(Answer::Ignore) << QStringList();
        QTest::newRow("Retry") << int(Answer::Retry) << QStringList{QStringLiteral("none")};
    }
    void openFailures()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, expected);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmQuick *w = FrmQuick::showQuick();
        prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), Sample));
        prompts.answer(Answer(answer));
        platform::injectFileFault(platform::FileStep::Open, ENOENT, 1);
        scan(w, QStringLiteral("none"));
        QCOMPARE(items(w), expected);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("There was an error in reading your file\r\n%1\r\nWould would you like to do")
                     .arg(platform::errorFromErrno(ENOENT).description));
        QCOMPARE(prompts.messages()[0].buttons, platform::Buttons::AbortRetryIgnore);
    }

    void readFailureMidwayKeepsTheLinesFound_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Abort") << int(Answer::Abort);
        QTest::newRow("Ignore") << int(Answer::Ignore);
    }
    void readFailureMidwayKeepsTheLinesFound()
    {
        QFETCH(int, answer);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmQuick *w = FrmQuick::showQuick();
        w->setPieceBytes(10);
        QByteArray file;
        for (int i = 0; i < 100; ++i)
            file += "hit " + QByteArray::number(i) + "\r\n";
        prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), file));
        prompts.answer(Answer(answer));
        part<QLineEdit>(w, "Text1")->setText(QStringLiteral("hit"));
        QTest::mouseClick(part<QPushButton>(w, "Command1"), Qt::LeftButton);
        w->scanSlice(); // 16 pieces of 10 bytes
        const QStringList before = items(w);
        QVERIFY2(before.size() > 10 && before.size() < 100, qPrintable(QString::number(before.size())));
        platform::injectFileFault(platform::FileStep::Read, EIO, 1000);
        w->scanSlice();
        QVERIFY(!w->isScanning());
        QCOMPARE(items(w), before);
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY(part<QPushButton>(w, "Command1")->isEnabled());
    }

    void progressShowsAndClosingStops()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QPointer<FrmQuick> w = FrmQuick::showQuick();
        w->setPieceBytes(64);
        prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), QByteArray(64 * 1024, 'a')));
        QTest::mouseClick(part<QPushButton>(w, "Command1"), Qt::LeftButton);
        w->scanSlice();
        QVERIFY(w->isScanning());
        QVERIFY(part<QProgressBar>(w, "prgScan")->isVisible());
        QCOMPARE(part<QProgressBar>(w, "prgScan")->value(), 15); // 16 of 1024 pieces, in thousandths
        QVERIFY(!part<QPushButton>(w, "Command1")->isEnabled());
        w->close();
        QTRY_VERIFY2(!w, "the window goes, its scan with it");
        QCOMPARE(prompts.asked.size(), 1);
    }
};

QP_TEST_MAIN(TstFrmQuick)
#include "tst_frmquick.moc"
