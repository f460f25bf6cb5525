#include "appfixture.h"
#include "documents/fileops.h"
#include "platform/clipboard.h"
#include "platform/filedialog.h"
#include "platform/fileio.h"
#include "platform/settingsguard.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QAccessible>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>

#include <cerrno>
#include <sys/stat.h>

static void select(TextControl &t, qsizetype start, qsizetype length)
{
    t.setSelStart(start);
    t.setSelLength(length);
}

static const std::vector<TextControl::Edit> kSpans = {{0, 1, "AA"}, {3, 2, ""}, {4, 0, "-"}};

// Each write: its name, the length selected from the caret at 2 in "abcdef", the write, the text after.
using Write = std::tuple<const char *, int, void (*)(TextControl &), QByteArray>;
static const Write kWrites[] = {
    {"whole text", 0, [](TextControl &t) { t.setText(QByteArrayView("new\r\ntext")); }, "new\r\ntext"},
    {"selection replaced", 2, [](TextControl &t) { t.replaceSelection(QByteArrayView("XY")); }, "abXYef"},
    {"range replaced", 0, [](TextControl &t) { t.replaceRange(1, 2, QByteArrayView("-")); }, "a-def"},
    {"selection deleted", 2, [](TextControl &t) { t.deleteSelection(); }, "abef"},
    {"typed over a selection", 2, [](TextControl &t) { QTest::keyClick(&t, 'z'); }, "abzef"},
    {"Enter", 2, [](TextControl &t) { QTest::keyClick(&t, Qt::Key_Return); }, "ab\r\nef"},
    {"Backspace", 0, [](TextControl &t) { QTest::keyClick(&t, Qt::Key_Backspace); }, "acdef"},
    {"Delete key", 0, [](TextControl &t) { QTest::keyClick(&t, Qt::Key_Delete); }, "abdef"},
    {"spans replaced", 0, [](TextControl &t) { t.replaceSpans(kSpans); }, "AAbe-f"},
};

class TstPlatformParts : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { platform::clearFileFaults(); }

    void theTextControl()
    {
        TextControl t;
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += char(i);
        all += QByteArray("\r\r\n\n\0x", 6);
        t.setText(QByteArrayView(all));
        select(t, 1, 3);
        QCOMPARE(t.bytes().toByteArray() + "|" + QByteArray::number(t.length()) + "|" + t.selectedText(),
                 all + "|" + QByteArray::number(all.size()) + "|\x01\x02\x03");

        t.setText(QByteArrayView("hello world"));
        select(t, 6, 5);
        t.replaceSelection(QByteArrayView("a\0b", 3)); // the caret goes after it
        QCOMPARE(t.text(), QByteArray("hello a\0b", 9));
        QList<qsizetype> sel{t.selStart(), t.selLength()};
        t.setSelStart(500); // out of range: held to the text
        sel << t.selStart();
        select(t, 2, 500);
        QCOMPARE(sel << t.selLength(), (QList<qsizetype>{9, 0, 9, 7}));

        t.replaceRange(3, 1, QByteArrayView("XY")); // the engine's gap now sits mid-text
        QCOMPARE((QByteArrayList{t.bytes(4, 3).toByteArray(), t.bytes(7, 99).toByteArray(),
                                 t.bytes(-3, 2).toByteArray()}),
                 (QByteArrayList{"Yo ", QByteArray("a\0b", 3), "he"}));

        ScriptedPrompts prompts;
        t.show();
        t.setText(QByteArrayView(""));
        QTest::keyClicks(&t, "ab");
        QTest::keyClick(&t, Qt::Key_Return);
        QTest::sendKeyEvent(QTest::Click, &t, Qt::Key_unknown, QStringLiteral("\u00e9"), {});
        QTest::keyClick(&t, Qt::Key_Tab);
        t.setSelStart(1); // overtype keeps to its line
        QTest::keyClick(&t, Qt::Key_Insert);
        QTest::keyClicks(&t, "XY");
        QTest::keyClick(&t, Qt::Key_Insert);
        // One typed character that cannot be held: a beep.
        QTest::sendKeyEvent(QTest::Click, &t, Qt::Key_unknown, QStringLiteral("\u20ac"), {});
        QCOMPARE(t.text() + "|" + QByteArray::number(prompts.beeps()), QByteArray("aXY\r\n\xe9\t|1"));

        // Pasted text keeps its place with "?" and the user is told once.
        t.setText(QByteArrayView(""));
        t.replaceSelection(QString::fromUcs4(U"a\u20acb\U0001D11E\u00e9"));
        QCOMPARE(t.text(), QByteArray("a?b?\xe9"));
        QCOMPARE(prompts.messageTexts(), QStringList("2 character(s) outside the Latin-1 set could not be "
                                                     "kept and were replaced by \"?\"."));

        // Clipboard keys keep bytes as they are.
        t.setText(QByteArrayView("a\r\nb\xe9"));
        t.selectAllText();
        QTest::keyClick(&t, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(platform::clipboard().text(), QStringLiteral("a\r\nb\u00e9"));

        platform::clipboard().setText(QStringLiteral("x\ny\rz"));
        t.setSelStart(t.length());
        QTest::keyClick(&t, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&t, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(t.text(), QByteArray("a\r\nb\xe9x\ny\rzx\ny\rz"));

        // Cut with nothing selected leaves the clipboard and the text alone.
        platform::clipboard().setText(QStringLiteral("keep"));
        QTest::keyClick(&t, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(platform::clipboard().text(), QStringLiteral("keep"));
        select(t, 0, 1);
        QTest::keyClick(&t, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(platform::clipboard().text() + "|" + t.text().left(3), QStringLiteral("a|\r\nb"));

        // Dropped text is refused (dropped files: tst_filedrop).
        t.setText(QByteArrayView("text"));
        QSignalSpy spy(&t, &TextControl::filesDropped);
        QMimeData dragged;
        dragged.setText(QStringLiteral("dragged"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(t.viewport(), &drop);
        QCOMPARE(t.text() + "|" + QByteArray::number(spy.count()), QByteArray("text|0"));

        prompts.clear();
        t.setFormat(TextFormat{LineEnd::Lf, Encoding::Utf8});
        t.setText(QByteArrayView("caf\xc3\xa9 \xe2\x82\xac\n\xf0\x9d\x84\x9e"));
        QCOMPARE(QString::number(t.characterCount()) + "|" + t.textString(),
                 QString::fromUcs4(U"8|caf\u00e9 \u20ac\n\U0001D11E"));

        // The caret never stands inside a character.
        t.setSelStart(4);
        QCOMPARE(t.selStart(), 3);
        select(t, 5, 2); // ends inside the euro sign: it is taken whole
        QCOMPARE(t.selectedString(), QStringLiteral(" \u20ac"));
        t.setSelStart(t.length());
        QTest::keyClick(&t, Qt::Key_Backspace); // a whole four-byte character
        QCOMPARE(t.text(), QByteArray("caf\xc3\xa9 \xe2\x82\xac\n"));

        // Overtype replaces a whole character with a whole character.
        t.setSelStart(3);
        QTest::keyClick(&t, Qt::Key_Insert);
        QTest::keyClicks(&t, "E");
        QTest::keyClick(&t, Qt::Key_Insert);
        QCOMPARE(t.text().left(6), QByteArray("cafE \xe2"));

        // Text coming in takes the document's line end; nothing is replaced.
        platform::clipboard().setText(QStringLiteral("1\r\n2\r3\n\u0416"));
        t.setText(QByteArrayView(""));
        t.pasteFromClipboard();
        QCOMPARE(t.text(), QByteArray("1\n2\n3\n\xd0\x96"));
        t.selectAllText();
        t.copyToClipboard();
        QCOMPARE(QStringList(platform::clipboard().text()) + prompts.messageTexts(),
                 QStringList(QStringLiteral("1\n2\n3\n\u0416")));

        // The count follows every edit and a change of encoding.
        t.setText(QByteArrayView("\xc3\xa9\xc3\xa9\r\n"));
        QList<qsizetype> counts{t.characterCount()};
        t.replaceRange(0, 2, QByteArrayView("xyz"));
        counts << t.characterCount();
        t.setFormat(TextFormat{LineEnd::CrLf, Encoding::Utf8Bom});
        QCOMPARE(counts << t.characterCount(), (QList<qsizetype>{4, 6, 6}));

        // Other CR LF documents get CR LF for every break; the classic one takes text as it comes.
        t.setText(QStringLiteral("a\nb\rc"));
        QCOMPARE(t.text(), QByteArray("a\r\nb\r\nc"));
        t.setFormat(TextFormat::classic());
        t.setText(QStringLiteral("a\nb\rc"));
        QCOMPARE(t.text(), QByteArray("a\nb\rc"));
    }

    void eachWriteRaisesOneChange()
    {
        for (const auto &[name, selLength, run, expected] : kWrites) {
            ScriptedPrompts prompts;
            TextControl t;
            t.show();
            t.setText(QByteArrayView("abcdef"));
            select(t, 2, selLength);
            QList<qsizetype> seen; // the length at each notification
            connect(&t, &TextControl::changed, &t, [&] { seen << t.length(); });
            const quint64 before = t.changeCount();
            run(t);
            QCOMPARE((QStringList{name, t.text(), t.changeCount() > before ? "counted" : "not counted"}),
                     (QStringList{name, expected, "counted"}));
            QCOMPARE(seen, QList<qsizetype>{expected.size()}); // one, made when the text was complete
            QCoreApplication::processEvents();
            QCOMPARE(seen, QList<qsizetype>{expected.size()});
        }
    }

    void observerAndNotificationSeeContentEditsOnly()
    {
        for (const bool assistive : {false, true}) {
            TextControl t;
            t.show();
            t.setText(QByteArrayView("caf\xe9 world"));
            QStringList edits;
            t.setEditObserver([&](qsizetype pos, QByteArrayView removed, qsizetype inserted) {
                edits << QStringLiteral("%1:%2:%3").arg(pos).arg(QString::fromLatin1(removed)).arg(inserted);
            });
            QSignalSpy spy(&t, &TextControl::changed);
            QAccessible::setActive(assistive);
            if (assistive) { // an assistive tool started late reads the text as it is
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&t);
                QVERIFY2(iface && iface->textInterface(), "no text for the assistive tool");
                QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()),
                         QString::fromLatin1("caf\xe9 world"));
            }
            // Styling, selecting and typing into a read-only text are no edits.
            select(t, 3, 3);
            t.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0L);
            t.SendScintilla(QsciScintillaBase::SCI_SETSTYLING, 4L, 1L);
            t.SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, 0L, 3L);
            t.setReadOnly(true);
            QTest::keyClick(&t, 'x');
            t.setReadOnly(false);
            t.replaceRange(5, 5, QByteArrayView("there"));
            t.setSelStart(4);
            QTest::keyClick(&t, Qt::Key_Backspace);
            t.setText(QByteArrayView("x\0y", 3));
            t.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, 1UL, "z"); // straight through the engine
            QCoreApplication::processEvents();
            QAccessible::setActive(false);
            QCOMPARE(edits,
                     (QStringList{"5:world:0", "5::5", "3:\u00e9:0", "0:caf there:0", "0::3", "3::1"}));
            QCOMPARE(t.text() + "|" + QByteArray::number(spy.count()), QByteArray("x\0yz|4", 6));
        }
    }

    void filesReadAndWritten()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QStringList got;
        for (const QString &path :
             {dir.filePath(QStringLiteral("missing.txt")), dir.path(), fifo, QStringLiteral("/dev/null")}) {
            platform::FileReader r;
            platform::FileError err;
            got << (r.open(path, &err) ? QStringLiteral("opened")
                                       : QStringLiteral("%1 %2").arg(err.number).arg(err.description));
        }
        const QString notRegular = QStringLiteral("%1 Not a regular file").arg(EINVAL);
        QCOMPARE(got, (QStringList{QStringLiteral("%1 No such file or directory").arg(ENOENT),
                                   QStringLiteral("%1 Is a directory").arg(EISDIR), notRegular, notRegular}));

        using platform::FileStep;
        // the injected fault (or -1), the target, what the user is told
        const std::tuple<int, const char *, const char *> cases[] = {
            {int(FileStep::Open), "doc.txt", "No space left on device"},
            {int(FileStep::Write), "doc.txt", "No space left on device"},
            {int(FileStep::Commit), "doc.txt", "No space left on device"},
            {-1, "", "Filename refers to a directory"},
            {-1, "doc.txt/in.txt", "Not a directory"}};
        for (const auto &[step, target, description] : cases) {
            QTemporaryDir tmp; // failed writes never harm the old file
            const QString p = tmp.filePath(QStringLiteral("doc.txt"));
            testsupport::writeBytes(p, "old contents\r\n");
            if (step >= 0)
                platform::injectFileFault(platform::FileStep(step), ENOSPC);
            platform::FileWriter w;
            platform::FileError err;
            const bool ok = w.open(tmp.filePath(target), &err) && w.write("new", &err) && w.commit(&err);
            w.cancel();
            platform::clearFileFaults();
            QCOMPARE(
                QStringList({target, ok ? "saved" : "refused", err.description, AppFixture::readFile(p)}) +
                    QDir(tmp.path()).entryList(QDir::Files),
                (QStringList{target, "refused", description, "old contents\r\n", "doc.txt"}));
        }

        // Writes keep links and permissions; reads get every byte.
        const QString target = dir.filePath(QStringLiteral("n\u00e4me & more.bin"));
        const QString link = dir.filePath(QStringLiteral("link.bin"));
        testsupport::writeBytes(target, "old");
        ::chmod(QFile::encodeName(target).constData(), 0640);
        QVERIFY(QFile::link(target, link));
        QByteArray bytes;
        for (int i = 0; i < 256 * 300; ++i)
            bytes += char(i % 256);
        platform::FileWriter w;
        platform::FileError err;
        QVERIFY(w.open(link, &err) && w.write(bytes, &err) && w.commit(&err));
        struct stat st;
        ::stat(QFile::encodeName(target).constData(), &st);
        QCOMPARE(QString("%1 %2").arg(QFileInfo(link).isSymLink()).arg(st.st_mode & 0777, 0, 8), "1 640");

        platform::FileReader r;
        QByteArray out;
        QVERIFY(r.open(target, &err) && r.readAll(&out, &err));
        QCOMPARE(out, bytes);
        QVERIFY(r.readHead(70, &out, &err) && r.readAll(&out, &err)); // a retry starts from the first byte
        QCOMPARE(out, bytes);
    }

    void filterStringBecomesItsChoices()
    {
        // "*.*" also means names without a dot.
        const QStringList f = platform::FileDialog::nameFilters(QString::fromLatin1(fileops::FileFilter));
        QCOMPARE((QStringList{QString::number(f.size()), f.value(0), f.value(9)}),
                 (QStringList{"10", "Text Files(.txt) (*.txt)", "All Files (*)"}));
        QCOMPARE(platform::FileDialog::nameFilters(QStringLiteral("Quillpad Project | *QPP")),
                 QStringList{QStringLiteral("Quillpad Project (*QPP)")});
    }

    void settingsAndTheirGuard()
    {
        platform::SettingsStore &s = platform::settings();
        const QString app = "Quillpad Basic", sec = "Settings", k = "K", lower = "settings";
        const QString v = QStringLiteral("/tmp/a, b & c/\u00e9t\u00e9.txt");
        QVERIFY(s.write(app, sec, k, v));
        QCOMPARE(s.read(app, sec, k), v);

        // A hand-edited file: commas stay in the value, garbage lines are passed over.
        testsupport::writeBytes(platform::settingsFilePath(QStringLiteral("handmade")),
                                "[settings]\n\x01\xff garbage\nno equals sign\n=x\npath0=a,b\n[[[broken\n");
        QCOMPARE(s.read(QStringLiteral("handmade"), lower, QStringLiteral("path0")), QStringLiteral("a,b"));

        // A value holding a serialized object instead of text (a polygon that
        // claims two billion points) reads as "" and is simply written over.
        const QString objects = "objects", title = "title0";
        testsupport::writeBytes(platform::settingsFilePath(objects),
                                "[settings]\ntitle0=@Variant(\\0\\0\\0G\\0\\x7f\\xff\\xff\\xff)\n");
        const QString before = s.read(objects, lower, title);
        QVERIFY(s.write(objects, lower, title, v));
        QCOMPARE(QStringList({before, s.read(objects, lower, title)}), QStringList({QString(), v}));

        // A store that cannot be written: the write says so, reads give "".
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir dir;
        testsupport::writeBytes(dir.filePath(QStringLiteral("file")), "not a folder");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("file/config"))));
        QVERIFY(!s.write(app, sec, k, v));
        QCOMPARE(s.read(app, sec, k), QString());
        qputenv("XDG_CONFIG_HOME", saved);

        // A region, one in a list, quotes inside, hex (long too), octal, needless escapes, a continued line.
        for (const char *line : {"title0=@Variant(\\0\\0\\0H\\0\\0\\0\\x18)", "k=a, @Variant(\\0\\0\\0G)",
                                 "k=\"@Var\"\"iant(x)\"", "k=\\x40Variant(x)", "k=\\x0000040Variant(x)",
                                 "k=\\100Variant(x)", "k=@\\Variant(x)", "k=@Vari\\\nant(x)\n"})
            QVERIFY2(settingsguard::holdsSerializedObject(line), line);
        // A path, quoted commas, control escapes, a byte array and an escaped at sign are plain text.
        for (const char *line :
             {"RecentItem1=/home/user/caf\xc3\xa9 (1).txt", "path0=\"lynx -dump, \\\"x\\\"\"",
              "k=a\\tb\\x1\\x1f\\0", "k=@ByteArray(x)", "k=@@mail"})
            QVERIFY2(!settingsguard::holdsSerializedObject(line), line);

        // Only the lines of serialized objects leave the file.
        const QString path = testsupport::root() + QStringLiteral("/guarded.ini");
        testsupport::writeBytes(
            path, "[Settings]\r\nRecentItem1=/a b\r\nRecentItem2=@Variant(\\0\\0\\0H\\n\\0\\0\\0)\r\n"
                  "RecentItem3=\"x, y\"\r\n[settings]\ntitle0=@Var\\\niant(\\0)\npath0=v");
        QVERIFY(settingsguard::dropSerializedObjects(path));
        QCOMPARE(AppFixture::readFile(path),
                 QByteArray("[Settings]\r\nRecentItem1=/a b\r\nRecentItem3=\"x, y\"\r\n[settings]\npath0=v"));
        // A file with nothing to drop is left as it is; a missing one is fine.
        const QDateTime stamp = QFileInfo(path).lastModified();
        QVERIFY(settingsguard::dropSerializedObjects(path));
        QCOMPARE(QFileInfo(path).lastModified(), stamp);
        QVERIFY(settingsguard::dropSerializedObjects(path + QStringLiteral(".none")));
    }
};

QP_TEST_MAIN(TstPlatformParts)
#include "tst_platformparts.moc"
