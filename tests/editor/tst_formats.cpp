// Files as they are: each file keeps its line ends and encoding through
// opening, editing and saving, shown in the status bar and changed only
// through the Options menu. Driven through real document windows.

#include "documents/documentregistry.h"
#include "documents/fileops.h"
#include "documents/newdocumentformat.h"
#include "documents/recoverykeeper.h"
#include "editor/filedrop.h"
#include "editor/formatcommands.h"
#include "editor/frmdoc.h"
#include "editor/frmpreferences.h"
#include "platform/clipboard.h"
#include "platform/fileio.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"
#include "testmain.h"
#include "windowtest.h"

#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>

using platform::Answer;

namespace {

TextFormat format(const char *key)
{
    TextFormat f;
    if (!TextFormat::fromKey(key, &f))
        qFatal("bad format key %s", key);
    return f;
}

// Types text as keys; characters outside ASCII come as key events carrying them.
void type(FrmDoc *d, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            QTest::keyClick(d->textControl(), Qt::Key_Return);
        } else if (c.unicode() < 0x80) {
            QTest::keyClick(d->textControl(), c.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(d->textControl(), &press);
        }
    }
}

// A menu entry as the user reaches it: its state brought up to date first.
void run(FrmDoc *d, const char *name)
{
    d->refreshTick();
    AppFixture::trigger(d, QString::fromLatin1(name));
}

void toEnd(FrmDoc *d)
{
    QTest::keyClick(d->textControl(), Qt::Key_End, Qt::ControlModifier);
}

void select(FrmDoc *d, qsizetype start, qsizetype length)
{
    d->textControl()->setSelStart(start);
    d->textControl()->setSelLength(length);
}

QStringList checked(FrmDoc *d)
{
    QStringList out;
    for (const char *name : {"mnuLineEndsCRLF", "mnuLineEndsLF", "mnuEncodingLatin1", "mnuEncodingUTF8"})
        if (d->action(QString::fromLatin1(name))->isChecked())
            out << QString::fromLatin1(name);
    return out;
}

// Drops the files on the text control as the platform does; the handler runs
// once the drop is over. False when the drop was refused or a question came
// while it was going on.
bool drop(FrmDoc *doc, const ScriptedPrompts &prompts, const QStringList &files)
{
    QMimeData data;
    for (const QString &f : files)
        data.setUrls(data.urls() << QUrl::fromLocalFile(f));
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->textControl()->viewport(), &enter);
    QDropEvent dropped(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(doc->textControl()->viewport(), &dropped);
    const bool taken = enter.isAccepted() && dropped.isAccepted() && prompts.asked.isEmpty();
    QCoreApplication::processEvents();
    return taken;
}

} // namespace

class TstFormats : public WindowTest
{
    Q_OBJECT

    FrmDoc *open(const QByteArray &bytes, const QString &name = QStringLiteral("file.txt"))
    {
        fileops::OpenFile(m_app->writeFile(name, bytes));
        return m_app->current();
    }
    QByteArray saveAndRead(FrmDoc *d)
    {
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        return AppFixture::readFile(m_app->record(d->slot()).Path);
    }

private slots:
    // Each file: the format found, the text shown and what Save writes back
    // unedited (null: the file's own bytes). New documents are classic
    // unless the row says otherwise.
    void filesKeepTheirFormat_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("newDocs");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("saved");
        auto row = [&](const char *name, const QByteArray &file, const char *label,
                       const QByteArray &text = {}, const QByteArray &saved = {},
                       const char *newDocs = "crlf latin1") {
            QTest::newRow(name) << file << QString::fromLatin1(newDocs) << QString::fromUtf8(label)
                                << (text.isNull() ? file : text) << (saved.isNull() ? file : saved);
        };
        row("LF script", "#!/bin/sh\necho hello\n", "LF  UTF-8");
        row("LF, no final line end", "a\nb", "LF  UTF-8", {}, "a\nb\n");
        row("CR LF ASCII", "a\r\nb\r\n", "CR LF  Latin-1", "a\r\nb");
        row("CR LF ASCII, UTF-8 for new", "a\r\nb\r\n", "CR LF  UTF-8", "a\r\nb", {}, "lf utf-8");
        row("CR alone", "a\rb\r", "CR LF  Latin-1", "a\r\nb", "a\r\nb\r\n");
        row("mixed", "a\r\nb\nc", "CR LF  Latin-1", {}, "a\r\nb\nc\r\n");
        row("Latin-1 CR LF", "caf\xe9\r\n", "CR LF  Latin-1", "caf\xe9");
        row("Latin-1 LF", "caf\xe9\n", "LF  Latin-1");
        row("UTF-8, every plane", "\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e\n", "LF  UTF-8");
        row("UTF-8 CR LF", "\xc3\xa9\r\n", "CR LF  UTF-8", "\xc3\xa9");
        row("NUL in UTF-8", QByteArray("a\0\xc3\xa9\n", 5), "LF  UTF-8");
        row("BOM", "\xef\xbb\xbf\xc3\xa9\r\n", "CR LF  UTF-8 with BOM", "\xc3\xa9");
        row("BOM, LF", "\xef\xbb\xbfx\n", "LF  UTF-8 with BOM", "x\n");
        row("only a BOM", "\xef\xbb\xbf", "CR LF  UTF-8 with BOM", "", "\xef\xbb\xbf\r\n");
        row("BOM, then invalid", "\xef\xbb\xbf\xff\n", "LF  Latin-1");
        row("overlong", "\xc0\xaf\n", "LF  Latin-1");
        row("empty", "", "CR LF  Latin-1", "", "\r\n");
        row("empty, LF UTF-8 for new", "", "LF  UTF-8", "", "", "lf utf-8");
        QByteArray every;
        for (int i = 0; i < 256; ++i)
            every += char(i);
        const QByteArray lonesPaired = QByteArray(every).replace("\r", "\r\n");
        row("every byte", every, "CR LF  Latin-1", lonesPaired, lonesPaired + "\r\n");
        QByteArray big(1 << 20, 'a');
        for (qsizetype i = 80; i < big.size(); i += 81)
            big[i] = '\n';
        big.replace(100, 2, "\xc3\xa9");
        row("1 MB UTF-8, one bad byte at the end", big + "\xff", "LF  Latin-1", {}, big + "\xff\n");
    }

    void filesKeepTheirFormat()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, newDocs);
        QFETCH(QString, label);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, saved);
        documents::setNewDocumentFormat(format(newDocs.toLatin1().constData()));
        FrmDoc *d = open(file);
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), label);
        QCOMPARE(d->textControl()->text(), text);
        const qsizetype characters = d->textControl()->decode(text).toUcs4().size();
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: %1").arg(characters));
        QCOMPARE(saveAndRead(d), saved);
        QCOMPARE(m_prompts->asked.size(), 0);
    }

    // Marks of encodings of two or four bytes a character: shown byte by
    // byte, told once, and saved back exactly.
    void wideEncodingsKeepTheirBytes()
    {
        const QList<QPair<QByteArray, QString>> files = {
            {QByteArray::fromHex("fffe61000d000a00"), QStringLiteral("UTF-16 LE")},
            {QByteArray::fromHex("feff0061000a"), QStringLiteral("UTF-16 BE")},
            {QByteArray::fromHex("fffe000061000000"), QStringLiteral("UTF-32 LE")},
            {QByteArray::fromHex("0000feff00000061"), QStringLiteral("UTF-32 BE")},
        };
        for (const auto &[bytes, name] : files) {
            m_prompts->clear();
            FrmDoc *d = open(bytes, QStringLiteral("wide.txt"));
            QCOMPARE(
                m_prompts->messageTexts(),
                QStringList{QStringLiteral("The file \"%1\" uses %2, an encoding that Quillpad shows byte by "
                                           "byte.\r\nIts bytes are kept exactly as they are.")
                                .arg(m_app->path(QStringLiteral("wide.txt")), name)});
            QCOMPARE(d->textControl()->text(), bytes);
            QCOMPARE(saveAndRead(d), bytes);
            // Reopened as UTF-8, it is still held byte by byte.
            AppFixture::trigger(d, QStringLiteral("mnuReopenUTF8"));
            QCOMPARE(d->textControl()->text(), bytes);
            QCOMPARE(saveAndRead(d), bytes);
            QCOMPARE(m_prompts->messages().size(), 1);
        }
    }

    void editingGivesTheDocumentsBytes()
    {
        // A shell script: typed lines end in LF, and it still runs.
        FrmDoc *d = open("#!/bin/sh\necho hello\n", QStringLiteral("script.sh"));
        toEnd(d);
        type(d, QStringLiteral("echo e\nexit 0"));
        QCOMPARE(saveAndRead(d), QByteArray("#!/bin/sh\necho hello\necho e\nexit 0\n"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: 34"));

        // A UTF-8 page: typing, inserts, paste, character mode and the insert box.
        d = open("<p>Caf\xc3\xa9</p>\n", QStringLiteral("page.html"));
        toEnd(d);
        type(d, QStringLiteral("\u00e9\u20ac\n"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Length), QStringLiteral("Length: 15"));
        select(d, 6, 1); // a selection ending inside the é takes the whole character
        AppFixture::trigger(d, QStringLiteral("mnuInsetBoldText"));
        toEnd(d);
        m_prompts->answerInput(QStringLiteral("\u00fclk"));
        AppFixture::trigger(d, QStringLiteral("mnuInsertCSSClass"));
        platform::clipboard().setText(QStringLiteral("\r\nx\ry\u0416\r\n"));
        run(d, "mnuEditPaste");
        AppFixture::trigger(d, QStringLiteral("mnuCharacterMode"));
        type(d, QStringLiteral("c{"));
        AppFixture::trigger(d, QStringLiteral("mnuCharacterMode"));
        QCOMPARE(saveAndRead(d),
                 QByteArray("<p>Caf<B>\xc3\xa9</B></p>\n\xc3\xa9\xe2\x82\xac\n.\xc3\xbclk {\n\n}\nx\ny"
                            "\xd0\x96\n\xc2\xa9\xc3\xa9\n"));
        QCOMPARE(m_prompts->messages().size(), 0);

        // A CR LF UTF-8 document wraps a selection without touching its own
        // lone LF, while what the fragment adds takes CR LF.
        d = open("a\nb\r\n\xc3\xa9\r\n");
        select(d, 0, 3);
        AppFixture::trigger(d, QStringLiteral("mnuInsertHTMLP"));
        QCOMPARE(d->textControl()->text().left(14), QByteArray("<P>a\nb</P>\r\n\xc3\xa9"));
    }

    // Text from other files: read by their own encoding, written in the document's.
    void otherFilesTextIsConverted()
    {
        const QString utf8 = m_app->writeFile(QStringLiteral("u.txt"), "\xc3\xa9\xe2\x82\xac\n");
        const QString latin1 = m_app->writeFile(QStringLiteral("l.txt"), "\xe9\r\n");
        FrmDoc *classic = m_app->newDocument();
        QVERIFY(filedrop::insertFileContents(*classic->textControl(), utf8));
        QCOMPARE(classic->textControl()->text(), QByteArray("\xe9?\n"));
        QCOMPARE(m_prompts->messageTexts(), QStringList{textcodec::replacedNotice(1)});

        FrmDoc *lf = open("x\n");
        toEnd(lf);
        QVERIFY(filedrop::insertFileContents(*lf->textControl(), latin1));
        QCOMPARE(lf->textControl()->text(), QByteArray("x\n\xc3\xa9\n"));

        // Crash recovery brings a document back in its format.
        recovery::Journal j;
        j.title = j.path = m_app->path(QStringLiteral("restored.txt"));
        j.format = format("lf utf-8-bom");
        j.text = "\xc3\xa9\n";
        QVERIFY(recovery::Keeper::instance().restore(j, QString()));
        FrmDoc *r = m_app->current();
        QCOMPARE(r->panelText(FrmDoc::Panel::Format), QStringLiteral("LF  UTF-8 with BOM"));
        toEnd(r);
        type(r, QStringLiteral("\u20ac"));
        QCOMPARE(saveAndRead(r), QByteArray("\xef\xbb\xbf\xc3\xa9\n\xe2\x82\xac\n"));
    }

    void conversionsAreOneChangeUndoTakesBack()
    {
        FrmDoc *d = open("caf\xe9\r\nb\rc");
        TextControl *t = d->textControl();
        toEnd(d);
        type(d, QStringLiteral("d"));
        AppFixture::trigger(d, QStringLiteral("mnuLineEndsLF"));
        QCOMPARE(t->text(), QByteArray("caf\xe9\nb\ncd"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), QStringLiteral("LF  Latin-1"));
        QCOMPARE(checked(d), QStringList({"mnuLineEndsLF", "mnuEncodingLatin1"}));
        QCOMPARE(t->selStart(), t->length()); // the caret keeps its line and column

        AppFixture::trigger(d, QStringLiteral("mnuEncodingUTF8"));
        QCOMPARE(t->text(), QByteArray("caf\xc3\xa9\nb\ncd"));
        type(d, QStringLiteral("\u20ac"));
        d->undoTick();
        // Latin-1 cannot hold the euro: asked, and No changes nothing.
        m_prompts->answer(Answer::No);
        AppFixture::trigger(d, QStringLiteral("mnuEncodingLatin1"));
        QCOMPARE(m_prompts->messages().last().text,
                 QStringLiteral("1 character(s) of this document cannot be held in Latin-1.\r\n"
                                "Convert it anyway and turn them into \"?\"?"));
        QCOMPARE(t->text(), QByteArray("caf\xc3\xa9\nb\ncd\xe2\x82\xac"));
        m_prompts->answer(Answer::Yes);
        AppFixture::trigger(d, QStringLiteral("mnuEncodingLatin1"));
        QCOMPARE(t->text(), QByteArray("caf\xe9\nb\ncd?"));

        // Each conversion is a step of its own, format included.
        const QList<QByteArray> steps = {"caf\xc3\xa9\nb\ncd\xe2\x82\xac|LF  UTF-8",
                                         "caf\xc3\xa9\nb\ncd|LF  UTF-8", "caf\xe9\nb\ncd|LF  Latin-1",
                                         "caf\xe9\r\nb\r\ncd|CR LF  Latin-1"};
        for (const QByteArray &step : steps) {
            run(d, "mnuEditUndo");
            QCOMPARE(t->text() + "|" + d->panelText(FrmDoc::Panel::Format).toLatin1(), step);
        }

        // UTF-8 with its mark: the file gets the mark.
        AppFixture::trigger(d, QStringLiteral("mnuEncodingUTF8BOM"));
        QCOMPARE(saveAndRead(d), QByteArray("\xef\xbb\xbf"
                                            "caf\xc3\xa9\r\nb\r\ncd\r\n"));
    }

    void reopenWithAnotherEncoding()
    {
        // Latin-1 bytes that happen to be valid UTF-8 are taken as UTF-8.
        FrmDoc *d = open("Gr\xc3\xbc\xc3\x9f\r\n");
        QCOMPARE(d->textControl()->textString(), QStringLiteral("Gr\u00fc\u00df"));
        type(d, QStringLiteral("x"));
        m_prompts->answer(Answer::No);
        AppFixture::trigger(d, QStringLiteral("mnuReopenLatin1"));
        QCOMPARE(m_prompts->messages().last().text,
                 QStringLiteral("This document has unsaved changes. Reopening the file loses them.\r\n"
                                "Reopen it anyway?"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), QStringLiteral("CR LF  UTF-8"));
        m_prompts->answer(Answer::Yes);
        AppFixture::trigger(d, QStringLiteral("mnuReopenLatin1"));
        QCOMPARE(d->textControl()->textString(), QStringLiteral("Gr\u00c3\u00bc\u00c3\u009f"));
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), QStringLiteral("CR LF  Latin-1"));
        QVERIFY2(!m_app->record(1).Changed, "reopened as read");
        run(d, "mnuEditUndo");
        QCOMPARE(d->textControl()->text(), QByteArray("Gr\xc3\xbc\xc3\x9f"));

        // A document without a file has nothing to reopen.
        FrmDoc *n = m_app->newDocument();
        formatcommands::formatMenu(*n)->popup(QPoint(10, 10));
        QVERIFY(!n->action(QStringLiteral("mnuReopenUTF8"))->isEnabled());
        formatcommands::formatMenu(*n)->hide();
    }

    void newDocumentsTakeTheChosenFormat()
    {
        // The frame's entry opens the Preferences at the format, applied at once.
        m_app->triggerFrame(QStringLiteral("mnuNewDocumentFormat"));
        FrmPreferences *dlg = FrmPreferences::instance();
        QCOMPARE(dlg->focusWidget(), dlg->findChild<QRadioButton *>(QStringLiteral("optCRLF")));
        dlg->findChild<QRadioButton *>(QStringLiteral("optLF"))->click();
        dlg->findChild<QRadioButton *>(QStringLiteral("optUTF8"))->click();
        dlg->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
        QTRY_VERIFY(!FrmPreferences::instance());

        FrmDoc *d = m_app->newDocument();
        QCOMPARE(d->panelText(FrmDoc::Panel::Format), QStringLiteral("LF  UTF-8"));
        type(d, QStringLiteral("\u0416\n"));
        m_prompts->answerFile(m_app->path(QStringLiteral("new.txt")));
        AppFixture::trigger(d, QStringLiteral("mnuFileSave"));
        QCOMPARE(AppFixture::readFile(m_app->path(QStringLiteral("new.txt"))), QByteArray("\xd0\x96\n"));

        // A document from the clipboard takes it too.
        platform::clipboard().setText(QStringLiteral("a\r\nb"));
        m_app->triggerFrame(QStringLiteral("mnuDFClip"));
        QCOMPARE(m_app->current()->textControl()->text(), QByteArray("a\nb"));

        // The panel opens the same choices as the Options menu.
        QTest::mouseClick(d->findChild<QWidget *>(QStringLiteral("panel8")), Qt::LeftButton);
        QTRY_VERIFY(formatcommands::formatMenu(*d)->isVisible());
        QCOMPARE(formatcommands::formatMenu(*d)->actions().size(), 3);
        formatcommands::formatMenu(*d)->hide();
        documents::setNewDocumentFormat(TextFormat::classic());
    }

    void droppedFile_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: there is no such file
        QTest::addColumn<int>("readFault");       // errno of one failing read
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QList<int>>("errors"); // errno named by each question after the first
        QTest::addColumn<QByteArray>("result");
        const QByteArray all("first\r\nsecond\nthird\rNUL:\0:\xe9\xff end", 30), kept("Hello world");
        const Answer yes = Answer::Yes, ignore = Answer::Ignore;
        QTest::newRow("yes inserts every byte") << all << 0 << QList{yes} << QList<int>() << "Hello " + all;
        QTest::newRow("yes, empty file")
            << QByteArray("") << 0 << QList{yes} << QList<int>() << QByteArray("Hello ");
        QTest::newRow("no opens it in a window of its own")
            << QByteArray("x") << 0 << QList{Answer::No} << QList<int>() << kept;
        QTest::newRow("no such file, abort")
            << QByteArray() << 0 << QList{yes, Answer::Abort} << QList{ENOENT} << kept;
        QTest::newRow("no such file, ignore asks again for the read")
            << QByteArray() << 0 << QList{yes, ignore, ignore} << QList{ENOENT, EBADF} << kept;
        QTest::newRow("read fails, retry")
            << QByteArray("new") << EIO << QList{yes, Answer::Retry} << QList{EIO} << QByteArray("Hello new");
        QTest::newRow("read fails, ignore")
            << QByteArray("new") << EIO << QList{yes, ignore} << QList{EIO} << kept;
    }
    void droppedFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(int, readFault);
        QFETCH(QList<Answer>, answers);
        QFETCH(QList<int>, errors);
        QFETCH(QByteArray, result);
        FrmDoc *doc = m_app->newDocument();
        TextControl *text = doc->textControl();
        text->setText(QByteArrayView("Hello world"));
        text->setSelStart(6);
        text->setSelLength(5);
        m_app->record(doc->slot()).Changed = false;
        const QString file =
            contents.isNull() ? m_app->path("gone.txt") : m_app->writeFile("part of it.txt", contents);
        if (readFault)
            platform::injectFileFault(platform::FileStep::Read, readFault, 1);
        for (Answer a : answers)
            m_prompts->answer(a);
        QVERIFY(drop(doc, *m_prompts, {file}));

        QStringList questions{"Would you like to paste the contents of this file \r\n" + file +
                              "\r\nTo your document?"};
        for (int e : errors)
            questions << "There was an error in reading your file\r\n" +
                             platform::errorFromErrno(e).description + "\r\nWhat would you like to do";
        QStringList asked;
        for (const auto &q : m_prompts->asked)
            asked << q.text;
        QCOMPARE(asked, questions);
        QCOMPARE(m_prompts->asked[0].caption, "Insert As Contents?");
        QCOMPARE(m_prompts->asked[0].buttons, platform::Buttons::YesNo);

        const bool changed = result != "Hello world";
        QCOMPARE(text->text(), result);
        QCOMPARE(m_app->record(doc->slot()).Changed, changed);
        QCOMPARE(text->selectedText(), changed ? "" : "world");
        QCOMPARE(text->selStart(), changed ? result.size() : 6);
        QCOMPARE(m_app->record(m_app->current()->slot()).Path, answers[0] == Answer::No ? file : QString());
    }

    void severalDroppedFilesOpenInOrderWithoutTheQuestion()
    {
        FrmDoc *doc = m_app->newDocument();
        QStringList files{"Untitled"};
        for (int i = 40; i > 0; --i)
            files << m_app->writeFile(QStringLiteral("file %1.txt").arg(i), QByteArray::number(i));
        const QString folder = m_app->path("a folder");
        QVERIFY(QDir().mkpath(folder));
        m_prompts->answer(Answer::Abort);
        QVERIFY(drop(doc, *m_prompts, files.mid(1, 20) + QStringList{folder} + files.mid(21)));
        // No question about inserting; only the folder could not be opened, and the rest still were.
        QCOMPARE(m_prompts->asked.size(), 1);
        QVERIFY2(m_prompts->asked[0].text.contains(platform::errorFromErrno(EISDIR).description),
                 qPrintable(m_prompts->asked[0].text));
        QStringList windows;
        for (int slot = 1; m_app->doc(slot); ++slot)
            if (m_app->record(slot).InUse)
                windows << m_app->record(slot).Title;
        QCOMPARE(windows, files);
    }
};

QP_TEST_MAIN(TstFormats)
#include "tst_formats.moc"
