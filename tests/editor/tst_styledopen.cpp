#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "editor/sourceview.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "windowtest.h"

#include <QMdiSubWindow>

#include <optional>

using Sci = QsciScintillaBase;

namespace {

// A web page of at least `bytes` bytes holding CR LF, a lone LF, NUL and
// Latin-1 bytes, ending in a tag.
QByteArray page(qsizetype bytes)
{
    QByteArray line = "<div class=\"note\"><p>Caf\xe9 <b>text</b> &amp; ";
    line += '\0';
    line += " a <a href=\"x.html\">link</a></p></div>\r\n";
    QByteArray out = "<html>\r\n<body>\n";
    while (out.size() < bytes)
        out += line;
    return out + "</body>\r\n</html>";
}

QString lexerOf(TextControl *t)
{
    QByteArray name(64, '\0');
    const long n = t->SendScintilla(Sci::SCI_GETLEXERLANGUAGE, 0UL, name.data());
    return QString::fromLatin1(name.left(n));
}

int styleAt(TextControl *t, qsizetype pos)
{
    return int(t->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)) & 0xff);
}

} // namespace

class TstStyledOpen : public WindowTest
{
    Q_OBJECT
    const QByteArray m_big = page(6 << 20);

    FrmDoc *open(const QString &name, const QByteArray &bytes)
    {
        fileops::OpenFile(m_app->writeFile(name, bytes));
        FrmDoc *d = m_app->current();
        if (d)
            d->subWindow()->resize(700, 500);
        return d;
    }
    // The worker's word comes through the event loop.
    static bool waitForStyleBytes(TextControl *t)
    {
        return QTest::qWaitFor([t] { return t->hasStyleBytes(); }, 60000);
    }
    // Colours of the shown part: the lexer has run over it, not all default.
    static bool colouredOnScreen(TextControl *t)
    {
        t->grab();
        const long first =
            t->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                             static_cast<unsigned long>(t->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
        for (long p = first; p < first + 200 && p < t->length(); ++p)
            if (styleAt(t, p) != 0)
                return true;
        return false;
    }

private slots:
    // (A small page is coloured at once: tst_sourceediting's colouringByExtension.)
    void bigPageColouredAfterItsText()
    {
        FrmDoc *d = open(QStringLiteral("big.html"), m_big);
        QVERIFY(d);
        TextControl *t = d->textControl();
        QVERIFY2(t->bytes() == QByteArrayView(m_big), "the text is there at once");
        QVERIFY2(!t->hasStyleBytes(), "the style bytes come later, from the worker");
        // Where the user went before the colours came stays.
        t->SendScintilla(Sci::SCI_SETSEL, 5000L, 5010L);
        const long firstLine = t->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
        QVERIFY2(waitForStyleBytes(t), "style bytes never came");
        QVERIFY2(t->bytes() == QByteArrayView(m_big), "the bytes changed on the way");
        QCOMPARE(t->SendScintilla(Sci::SCI_GETANCHOR), 5000L);
        QCOMPARE(t->SendScintilla(Sci::SCI_GETCURRENTPOS), 5010L);
        QCOMPARE(t->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE), firstLine);
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QVERIFY2(colouredOnScreen(t), "the shown part is not coloured");
        QVERIFY2(!m_app->record(d->slot()).Changed, "colours are no change");
        // Room to type into: a key goes in where it belongs.
        t->SendScintilla(Sci::SCI_DOCUMENTEND);
        QTest::keyClicks(t, "z");
        QVERIFY2(t->bytes() == QByteArrayView(m_big + "z"), "typing at the end");
    }

    void bigPlainFileStaysPlain()
    {
        FrmDoc *d = open(QStringLiteral("big.txt"), m_big);
        QVERIFY(d);
        QApplication::processEvents();
        QVERIFY2(!d->textControl()->hasStyleBytes(), "plain text needs no style bytes");
        QVERIFY(d->textControl()->bytes() == QByteArrayView(m_big));
    }

    void typingBeforeTheColoursKeepsIt()
    {
        FrmDoc *d = open(QStringLiteral("typed.html"), m_big);
        QVERIFY(d);
        TextControl *t = d->textControl();
        t->setFocus();
        QTest::keyClicks(t, "xy");
        QVERIFY2(waitForStyleBytes(t), "style bytes never came");
        QVERIFY2(t->bytes() == QByteArrayView("xy" + m_big), "the typed text is lost");
        QCOMPARE(t->selStart(), qsizetype(2));
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QVERIFY2(colouredOnScreen(t), "the edited page is not coloured");
        QVERIFY2(m_app->record(d->slot()).Changed, "typing is a change");
    }

    void textReplacedBeforeTheColours()
    {
        FrmDoc *d = open(QStringLiteral("replaced.html"), m_big);
        QVERIFY(d);
        TextControl *t = d->textControl();
        const QByteArray other = page(30000);
        t->setText(QByteArrayView(other));
        QVERIFY2(t->hasStyleBytes(), "the new text goes into a coloured document");
        QApplication::processEvents();
        QVERIFY(t->bytes() == QByteArrayView(other));
        QCOMPARE(lexerOf(t), QStringLiteral("hypertext"));
        QVERIFY2(colouredOnScreen(t), "the new text is not coloured");
    }

    void savedAsPlainBeforeTheColours()
    {
        FrmDoc *d = open(QStringLiteral("renamed.html"), m_big);
        QVERIFY(d);
        TextControl *t = d->textControl();
        d->sourceView()->setPath(QStringLiteral("renamed.txt"));
        QApplication::processEvents();
        QTest::qWait(0);
        QVERIFY2(!t->hasStyleBytes(), "a plain file got style bytes after all");
        QVERIFY(t->bytes() == QByteArrayView(m_big));
    }

    void closedBeforeTheColours()
    {
        for (int i = 0; i < 3; ++i) {
            FrmDoc *d = open(QStringLiteral("closed.html"), m_big);
            QVERIFY(d);
            const int slot = d->slot();
            d->subWindow()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(!DocumentRegistry::instance().window(slot), "the window is still there");
        }
        QApplication::processEvents();
        // Nothing left to wait for: another page opens and colours as usual.
        FrmDoc *d = open(QStringLiteral("after.html"), m_big);
        QVERIFY(d);
        QVERIFY2(waitForStyleBytes(d->textControl()), "style bytes never came");
        QVERIFY(d->textControl()->bytes() == QByteArrayView(m_big));
    }
};

QP_TEST_MAIN(TstStyledOpen)
#include "tst_styledopen.moc"
