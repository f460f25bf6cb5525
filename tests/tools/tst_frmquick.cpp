#include "appfixture.h"
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

template <typename T = QWidget> T *part(FrmQuick *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

QStringList items(FrmQuick *w)
{
    QStringList out;
    for (int i = 0; i < part<QListWidget>(w, "List1")->count(); ++i)
        out << part<QListWidget>(w, "List1")->item(i)->text();
    return out;
}

void startScan(FrmQuick *w, const QString &search)
{
    part<QLineEdit>(w, "Text1")->setText(search);
    QTest::mouseClick(part<QPushButton>(w, "Command1"), Qt::LeftButton);
}

const QByteArray Sample("<BODY>\r\n  body text\r\nnone\r\n   \r\n");

} // namespace

class TstFrmQuick : public QObject
{
    Q_OBJECT
private slots:
    void scansFromBothToolsMenus()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        app.triggerFrame(QStringLiteral("mnuToolsQuickSearch"));
        FrmQuick *w = FrmQuick::instance();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Quick Scan"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(part<QLabel>(w, "Label3")->text(),
                 QStringLiteral("Instructions: Enter text into the box labelled search. Then click scan. a box will "
                                "open for you to select a file. open the file, and Quillpad will scan the file to see "
                                "if the string appears. if it appears it will display in the box labelled results."));
        app.trigger(app.newDocument(), QStringLiteral("mnuToolsQuickSearch"));
        QCOMPARE(FrmQuick::instance(), w);

        const QString path = app.writeFile(QStringLiteral("f.txt"), Sample);
        for (const QString &answer : {path, path, QString()})
            prompts.answerFile(answer);
        startScan(w, QStringLiteral(" Body "));
        QTRY_VERIFY(!w->isScanning());
        QCOMPARE(items(w), (QStringList{"<BODY>", "body text"}));
        startScan(w, QString());
        QTRY_VERIFY(!w->isScanning());
        QCOMPARE(items(w), (QStringList{"<BODY>", "body text", "none", ""}));
        startScan(w, QStringLiteral("none"));
        QVERIFY2(items(w).isEmpty(), "a cancelled dialog leaves the list empty");
        QCOMPARE(prompts.asked.size(), 3);
        QCOMPARE(prompts.asked.last().flags, 0);
        QCOMPARE(prompts.asked.last().filters, QStringList());
    }

    void openFailureIsAskedOnce_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Abort") << int(Answer::Abort) << QStringList();
        QTest::newRow("Ignore") << int(Answer::Ignore) << QStringList();
        QTest::newRow("Retry") << int(Answer::Retry) << QStringList{QStringLiteral("none")};
    }
    void openFailureIsAskedOnce()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, expected);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmQuick *w = FrmQuick::showQuick();
        prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), Sample));
        prompts.answer(Answer(answer));
        platform::injectFileFault(platform::FileStep::Open, ENOENT, 1);
        startScan(w, QStringLiteral("none"));
        QTRY_VERIFY(!w->isScanning());
        QCOMPARE(items(w), expected);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text,
                 QStringLiteral("There was an error in reading your file\r\n%1\r\nWould would you like to do")
                     .arg(platform::errorFromErrno(ENOENT).description));
    }

    void readFailureMidwayKeepsTheLinesFound()
    {
        for (Answer answer : {Answer::Abort, Answer::Ignore}) {
            ScriptedPrompts prompts;
            AppFixture app;
            FrmQuick *w = FrmQuick::showQuick();
            w->setPieceBytes(10);
            QByteArray file;
            for (int i = 0; i < 100; ++i)
                file += "hit " + QByteArray::number(i) + "\r\n";
            prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), file));
            prompts.answer(answer);
            startScan(w, QStringLiteral("hit"));
            w->scanSlice(); // the slices are called here, not by the clock
            const QStringList before = items(w);
            QVERIFY2(before.size() > 10 && before.size() < 100, qPrintable(QString::number(before.size())));
            platform::injectFileFault(platform::FileStep::Read, EIO, 1000);
            w->scanSlice();
            QVERIFY(!w->isScanning());
            QCOMPARE(items(w), before);
            QCOMPARE(prompts.messages().size(), 1);
        }
    }

    void progressShowsAndClosingStops()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        QPointer<FrmQuick> w = FrmQuick::showQuick();
        w->setPieceBytes(64);
        prompts.answerFile(app.writeFile(QStringLiteral("f.txt"), QByteArray(64 * 1024, 'a')));
        QVERIFY(!part(w, "prgScan")->isVisible());
        startScan(w, QStringLiteral("a"));
        w->scanSlice();
        QVERIFY(w->isScanning());
        QVERIFY(part(w, "prgScan")->isVisible());
        QCOMPARE(part<QProgressBar>(w, "prgScan")->value(), 15); // 16 of 1024 pieces, in thousandths
        QVERIFY(!part(w, "Command1")->isEnabled());
        w->close();
        QTRY_VERIFY2(!w, "the window goes, its scan with it");
        QCOMPARE(prompts.asked.size(), 1);
    }
};

QP_TEST_MAIN(TstFrmQuick)
#include "tst_frmquick.moc"
