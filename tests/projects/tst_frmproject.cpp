#include "app/mdimain.h"
#include "appfixture.h"
#include "documents/fileops.h"
#include "editor/frmdoc.h"
#include "platform/fileio.h"
#include "platform/textcontrol.h"
#include "projects/createddate.h"
#include "projects/frmproject.h"
#include "projects/modprojectlist.h"
#include "projects/projectfile.h"
#include "projects/projectlist.h"
#include "scriptedprompts.h"
#include "testmain.h"
#include "workingfolder.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace projects;

class TstFrmProject : public QObject
{
    Q_OBJECT

    static QString u(const char *utf8) { return QString::fromUtf8(utf8); }
    static QByteArray line(const QString &path) { return "File: " + path.toUtf8() + "\r\n"; }
    static FrmProject *window() { return FrmProject::instance(); }
    template <typename T> static T *control(const char *name) { return window()->findChild<T *>(name); }
    static QTreeWidget *list() { return control<QTreeWidget>("prjList"); }
    static QString nameBox() { return control<QLineEdit>("txtProjectName")->text(); }
    static QPushButton *button(int i) { return window()->findChildren<QPushButton *>("cmdAction").value(i); }
    static QStringList column(int c)
    {
        QStringList out;
        for (int i = 0; list() && i < list()->topLevelItemCount(); ++i)
            out << list()->topLevelItem(i)->text(c);
        return out;
    }
    static void clickRow(int row, bool twice = false)
    {
        const QPoint at = list()->visualItemRect(list()->topLevelItem(row)).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }

    QTemporaryDir m_dir;
    QString at(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString make(const QString &name, const QByteArray &bytes = "x") const
    {
        QDir().mkpath(QFileInfo(at(name)).path());
        QFile f(at(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? at(name) : QString();
    }
    AppFixture *m_app = nullptr;
    ScriptedPrompts *m_prompts = nullptr;

    // Clicks a button once for each answer its file dialog gets.
    void press(int index, const QStringList &answers)
    {
        for (const QString &p : answers) {
            m_prompts->answerFile(p);
            button(index)->click();
        }
    }
    QString file(const char *name) { return m_app->writeFile(QString::fromLatin1(name), name); }

private slots:
    void init()
    {
        m_prompts = new ScriptedPrompts;
        m_app = new AppFixture;
        projectList().clear();
        FrmProject::showWindow();
    }
    void cleanup()
    {
        QVERIFY2(m_prompts->unexpected.isEmpty(), qPrintable(m_prompts->unexpected.join(QLatin1Char(','))));
        delete m_app;
        QVERIFY2(!FrmProject::instance(), "the project window goes with the frame");
        delete m_prompts;
    }

    void modeBox() // only Local and Network enable the network settings ("+")
    {
        QStringList seen;
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down, Qt::Key_Home}) {
            QTest::keyClick(control<QComboBox>("cboPrjMode"), key);
            const bool on =
                control<QGroupBox>("fraUrlInfo")->isEnabled() && control<QLineEdit>("txtUrl")->isEnabled();
            seen << control<QComboBox>("cboPrjMode")->currentText() + (on ? "+" : "");
        }
        QCOMPARE(seen, (QStringList{"Drive", "Local+", "Network+", "Drive"}));
    }

    void addOpenAndDrop()
    {
        // A backslash is an ordinary character in a name here.
        const QString a = file("a.txt"), b = file("b.txt");
        const QString c = m_app->writeFile(QStringLiteral("odd\\c.txt"), "third\r\n");
        press(0, {a, QString(), m_app->path(QStringLiteral("missing.txt")), QFileInfo(a).path(), b, c});
        QCOMPARE(m_prompts->asked.constLast().filters, QStringList());
        // A listed file shows its folder and its date.
        QCOMPARE(column(0) << column(1)[0] << QString::number(column(2)[0].isEmpty()),
                 (QStringList{"a.txt", "b.txt", "c.txt", QFileInfo(a).path(), "0"}));

        button(1)->click(); // nothing selected: nothing dropped or opened
        window()->OpenSelectedFile();
        QVERIFY(!m_app->current() && gFileCount() == 3);
        clickRow(0, true); // the double-click opens a document window
        QCOMPARE(m_app->current() ? m_app->record(m_app->current()->slot()).Path : "", a);
        clickRow(2, true);
        FrmDoc *doc = m_app->current();
        QCOMPARE(m_app->record(doc->slot()).Path + '|' + doc->textControl()->text(), c + "|third");
        button(1)->click();
        QCOMPARE(column(0) + m_prompts->messageTexts(), (QStringList{"a.txt", "b.txt"}));
    }

    void refusedAdds()
    {
        press(0, {m_app->writeFile(QStringLiteral("blank at end "), "x")});
        const QString a = file("a.txt");
        QByteArray full = "Quillpad Basic:1.0\r\n";
        for (int i = 0; i < ProjectList::MaxEntries + 3; ++i)
            full += "File: " + a.toUtf8() + "\r\n";
        m_app->writeFile(QStringLiteral("full.QPP"), full);
        press(5, {m_app->path("full.QPP")});
        press(0, {a});
        QCOMPARE(m_prompts->messageTexts(),
                 (QStringList{
                     "The name of this file cannot be kept in a project: \r\n" + m_app->path("blank at end "),
                     "A project can hold no more than 32767 files; 3 files of this project were left out.",
                     "A project can hold no more than 32767 files."}));
        QCOMPARE(list()->topLevelItemCount(), ProjectList::MaxEntries);
    }

    void saveAndOpen()
    {
        const QString a = file("a.txt"), b = file("b.txt"), project = m_app->path(QStringLiteral("work.QPP"));
        press(0, {a, b});
        press(3, {project});
        QCOMPARE(m_prompts->asked.constLast().filters, QStringList{"Quillpad Project (*.QPP)"});
        QCOMPARE(AppFixture::readFile(project),
                 "Quillpad Basic:1.0\r\nFile: " + a.toUtf8() + "\r\nFile: " + b.toUtf8() + "\r\n");
        QCOMPARE(nameBox(), project);

        clickRow(0);
        button(1)->click();
        QFile::remove(b);
        press(5, {project});
        QCOMPARE(m_prompts->asked.constLast().filters, QStringList{"Quillpad Project (*QPP)"});
        QCOMPARE(control<QLabel>("lblStatus")->text(), b + QStringLiteral(" Couldn't be found. \r\n"));
        press(3, {QString()}); // cancelled dialogs change nothing
        press(5, {QString()});
        QCOMPARE(column(0) + m_prompts->messageTexts(), QStringList{"a.txt"});

        // Closing destroys the window; a new one starts empty, the list keeps its entry.
        window()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window());
        FrmProject::showWindow();
        QCOMPARE(column(0).join(',') + '|' + nameBox(), "|");
        press(0, {file("c.txt")});
        QCOMPARE(column(0), (QStringList{"a.txt", "c.txt"}));
    }

    // Entries and project names chosen from now on are absolute; the entries
    // an older project file holds as relative names load and save as they are.
    void relativeNamesAndOldEntries()
    {
        const QString a = file("a.txt");
        WorkingFolder work(QFileInfo(a).path());
        QVERIFY(work.ok());
        const QString absolute = WorkingFolder::here(QStringLiteral("a.txt"));
        // "sub" does not exist: only a name cleaned by its letters finds the file.
        press(0, {QStringLiteral("sub/../a.txt")});
        QCOMPARE(projectList().paths() + column(1), (QStringList{absolute, QFileInfo(absolute).path()}));
        press(3, {QStringLiteral("./work.QPP")});
        const QString project = WorkingFolder::here(QStringLiteral("work.QPP"));
        QCOMPARE(nameBox(), project);
        QCOMPARE(AppFixture::readFile(project), "Quillpad Basic:1.0\r\nFile: " + absolute.toUtf8() + "\r\n");

        m_app->writeFile(QStringLiteral("old.QPP"), "Quillpad Basic:1.0\r\nFile: a.txt\r\n");
        press(5, {QStringLiteral("old.QPP")});
        QCOMPARE(QStringList{nameBox()} + projectList().paths() + column(0) + column(1),
                 (QStringList{WorkingFolder::here("old.QPP"), "a.txt", "a.txt", ""}));
        press(3, {QStringLiteral("again.QPP")});
        QCOMPARE(AppFixture::readFile(WorkingFolder::here(QStringLiteral("again.QPP"))),
                 QByteArray("Quillpad Basic:1.0\r\nFile: a.txt\r\n"));

        // File > Add File To Project takes the document's name made absolute.
        fileops::OpenFile(QStringLiteral("a.txt"));
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        QCOMPARE(projectList().paths() + m_prompts->messageTexts(), (QStringList{"a.txt", absolute}));
    }

    void failuresAreReported()
    {
        press(0, {file("a.txt")});
        press(3, {m_app->path("kept.QPP")});
        const QString other = file("other.QPP");
        using platform::FileStep;
        for (FileStep step : {FileStep::Open, FileStep::Write, FileStep::Commit}) {
            platform::injectFileFault(step, ENOSPC);
            press(3, {m_app->path("other.QPP")});
            QCOMPARE(AppFixture::readFile(other), QByteArray("other.QPP"));
        }
        press(5, {m_app->path("nowhere.QPP")});
        platform::injectFileFault(platform::FileStep::Read, EIO);
        press(5, {m_app->path("kept.QPP")});
        const QString save = "There was an error in saving your project: \r\n" + QString(strerror(ENOSPC)),
                      load = "There was an error in loading your project: \r\n";
        QCOMPARE(m_prompts->messageTexts(),
                 (QStringList{save, save, save, load + strerror(ENOENT), load + strerror(EIO)}));
        QCOMPARE(nameBox(), m_app->path(QStringLiteral("kept.QPP")));
        QCOMPARE(column(0), QStringList{"a.txt"});
    }

    void hiddenMenuEntries()
    {
        delete window();
        FrmDoc *doc = m_app->newDocument();
        for (const char *name : {"mnuFileAddtoProject", "mnuToolsProjectList"})
            QVERIFY2(!doc->action(QLatin1String(name))->isVisible(), name);
        QVERIFY(!m_app->frame()->frameAction(QStringLiteral("mnuPL"))->isVisible());
        AppFixture::trigger(doc, QStringLiteral("mnuFileAddtoProject"));
        QCOMPARE(m_prompts->messages()[0].text, QStringLiteral("You must save this file first"));

        const QString gone = file("gone.txt"), saved = file("saved.txt");
        fileops::OpenFile(gone);
        QFile::remove(gone);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        QVERIFY2(gFileCount() == 0 && !window(), "a vanished file adds nothing and loads no window");

        fileops::OpenFile(saved);
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuFileAddtoProject"));
        QVERIFY2(window() && !window()->isVisible(), "the window is loaded hidden to take the rows");
        QCOMPARE(column(0), QStringList{"saved.txt"});
        AppFixture::trigger(m_app->current(), QStringLiteral("mnuToolsProjectList"));
        FrmProject *shown = window();
        QVERIFY(shown->isVisible());
        m_app->triggerFrame(QStringLiteral("mnuPL"));
        QCOMPARE(window(), shown);
        QCOMPARE(m_prompts->asked.size(), 1);
    }

    void tolerantReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("paths"); // joined by "|"
        const auto row = [](const char *name, const QByteArray &bytes, const QString &paths) {
            QTest::newRow(name) << bytes << paths;
        };
        row("no header", "File: /a\r\nFile: /b", "/a|/b");
        row("other version", "Quillpad Basic:2.7\r\nFile: /a\r\n", "/a");
        row("blank lines", "\r\n\r\nFile: /a\r\n\r\n\r\nFile: /b\r\n", "/a|/b");
        row("prefix in any case, blanks trimmed", "file:   /my a.txt  \r\nFiLe:/B\r\nFile:\t/t\t\r\n",
            "/my a.txt|/B|\t/t\t");
        row("no \"File: \"", "/x\r\nFiles: /y\r\n File: /z\r\nFile:   \r\nFile\r\nFile: /a\r\n", "/a");
        row("lone CR ends a line, lone LF does not", "File: /a\rFile: /b\r\r\nFile: /c\nFile: /d",
            "/a|/b|/c\nFile: /d");
        row("Latin-1, UTF-8 and NUL bytes",
            "File: /caf\xE9\r\nFile: /\xE6\x97\xA5\r\nFile: /caf\xC3\xA9\r\nFile: /\xE6\x97.t\r\n" +
                QByteArray("File: /a\0b", 10),
            u("/café|/日|") + QString::fromLatin1("/caf\xC3\xA9|/\xE6\x97.t|") +
                QString::fromLatin1("/a\0b", 4));
    }
    void tolerantReader()
    {
        QFETCH(QByteArray, bytes);
        QTEST(readProjectPaths(bytes).join('|'), "paths");
    }

    void storablePathsSavedBytesRowsAndDates()
    {
        QCOMPARE(projectFileBytes({}), QByteArray("Quillpad Basic:1.0\r\n"));
        for (const char *p : {"/u/café ÿ.txt", "/u/日本語.txt", "/u/😀.txt", "/u/a\nb\\c"})
            QVERIFY2(canStorePath(u(p)) && readProjectPaths(projectFileBytes({u(p)})) == QStringList{u(p)},
                     p);
        // The last one's Latin-1 bytes C4 B0 would read back as the UTF-8 of another letter.
        for (const char *p : {"/u/a\rb", " /u/a", "/u/a ", "", "/u/Ä°.txt"})
            QVERIFY2(!canStorePath(u(p)), p);

        const QString a = make("one.txt"), b = make("two words.htm"), latin = make(u("café.txt")),
                      wide = make(u("日本.txt"));
        ProjectList list;
        for (const QString &p : {a, b, a, latin, wide})
            QCOMPARE(list.add(p), ProjectList::AddResult::Added);
        platform::FileError err;
        QVERIFY2(list.save(at("round.QPP"), &err), qPrintable(err.description));
        const QByteArray latinLine = "File: " + QFile::encodeName(m_dir.path()) + "/caf\xE9.txt\r\n";
        QCOMPARE(AppFixture::readFile(at("round.QPP")),
                 "Quillpad Basic:1.0\r\n" + line(a) + line(b) + line(a) + latinLine + line(wide));

        // A row's title is the part after the last "/" or "\".
        const QString page = make("rows/w\\x/page.htm"), gone = make("rows/odd\\gone.txt");
        ProjectList two;
        two.add(page), two.add(gone);
        QFile::remove(gone);
        const QList<ProjectRow> rows = two.rows(QLocale(QLocale::English));
        QCOMPARE(rows.size(), 2);
        QCOMPARE((QStringList{rows[0].title, rows[0].folder, rows[1].title, rows[1].folder, rows[1].created}),
                 (QStringList{"page.htm", at("rows/w\\x"), "gone.txt", at("rows/odd"), ""}));

        const QDateTime dec5(QDate(2026, 12, 5), QTime(23, 59)), jan9(QDate(2024, 1, 9), QTime(8, 0));
        const QLocale en(QLocale::English); // without a birth time, the last change's date
        QCOMPARE((QStringList{formatCreatedDate(dec5, jan9, en), formatCreatedDate(QDateTime(), jan9, en),
                              formatCreatedDate(QDateTime(), QDateTime(), en)}),
                 (QStringList{"05 Dec 2026", "09 Jan 2024", ""}));
    }
};

QP_TEST_MAIN(TstFrmProject)
#include "tst_frmproject.moc"
