// What the Insert and Selection menus and the insert-text box write into a document
// window: every fragment of the catalogue, the case changes, the date stamp, F4.
#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "inserts/casetransforms.h"
#include "inserts/catalogue.h"
#include "inserts/datestamps.h"
#include "inserts/frminsertdate.h"
#include "inserts/frminserts.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QListWidget>
#include <QPushButton>

#include <numeric>

using namespace inserts;

namespace {

// A selection with a line break and a letter outside ASCII, written back byte for byte.
const QByteArray kSel("x\xE9\r\ny");
const QByteArray kBefore("Left ["), kAfter("] right");

// A few entries written exactly (no box, a box, a placeholder, a text of its own without a
// selection): the pattern with the selection at "$" (or, without one, the placeholder
// there, or the whole text given last), and the answer given.
const struct
{
    const char *entry, *pattern, *placeholder = "", *answer = "", *without = nullptr;
} kRows[] = {
    {"mnuCopyright", "Copyright \xA9 2010 of <QPLPROMPT>Company Name</QPLPROMPT>\xAE Alrights reserved"},
    {"mnuInsertCSSClass", ".intro {\r\n\r\n}", "", "intro"},
    {"mnuInsertCPPInclude", "#include \"$\"", "", "", "#include <<QPLPROMPT>IncludeFIle</QPLPROMPT>>"},
    {"mnuInsertHTMLSpan", "<Span ID='nav' name='nav' class='nav'>$</span>", "[INSERT TEXT HERE]", "nav"},
    {"mnuInsertLinkAnchor", "<A href='a.htm' target='_SELF'>$</A>", "[Insert Text]", "a.htm"},
    {"mnuInsetBoldText", "<B>$</B>", "<!-- Paragraph //-->"},
};

// Title, prompt and initial value of the box an entry asks, if any.
const QMap<QByteArray, QStringList> kBoxes = {
    {"mnuInsertCSSClass", {"CSS CLASS", "Please Enter the class you'd like to add formatting for", ""}},
    {"mnuInsertCSSID", {"CSS CLASS", "Please Enter the class you'd like to add formatting for", ""}},
    {"mnuInsertHTMLSpan", {"SPAN INSERT", "Enter ID for the span", "default"}},
    {"mnuInsertLinkAnchor", {"Link", "Please Enter the link", "http://"}}};

// A document "<before><selection><after>" with the selection selected.
TextControl *documentWith(AppFixture &app, const QByteArray &selection)
{
    TextControl *t = app.newDocument()->textControl();
    t->setText(QByteArrayView(kBefore + selection + kAfter));
    t->setSelStart(kBefore.size()), t->setSelLength(selection.size());
    return t;
}

// The text written in place of the selection, with the caret after it and
// nothing selected; "=" when nothing changed and the selection stayed.
QByteArray written(TextControl *t, const QByteArray &selection)
{
    const QByteArray text = t->text(),
                     mid = text.mid(kBefore.size(), text.size() - kBefore.size() - kAfter.size());
    if (text == kBefore + selection + kAfter && t->selStart() == kBefore.size() &&
        t->selLength() == selection.size())
        return "=";
    const bool caretAfter = t->selStart() == kBefore.size() + mid.size() && t->selLength() == 0;
    return text.startsWith(kBefore) && text.endsWith(kAfter) && caretAfter ? mid : "<" + text + ">";
}

} // namespace

class TstCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void insertMenu_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("selection");
        QTest::addColumn<QString>("answer"); // "" cancels
        QTest::addColumn<QByteArray>("fragment");
        const auto row = [](const QByteArray &name, const char *entry, const QByteArray &selection,
                            const QString &answer, const QByteArray &fragment) {
            QTest::newRow(name) << QByteArray(entry) << selection << answer << fragment;
        };
        for (const auto &r : kRows) {
            QByteArray pattern(r.pattern);
            row(r.entry + QByteArray(" selected"), r.entry, kSel, r.answer,
                QByteArray(pattern).replace('$', kSel));
            row(r.entry, r.entry, "", r.answer,
                r.without ? QByteArray(r.without) : pattern.replace('$', r.placeholder));
        }
        row("CSS cancelled", "mnuInsertCSSID", kSel, "", "=");
        row("SPAN cancelled", "mnuInsertHTMLSpan", kSel, "",
            "<Span ID='' name='' class=''>" + kSel + "</span>");
        const QByteArray anchor = "<A href='#' target='_SELF'>";
        row("anchor cancelled", "mnuInsertLinkAnchor", "", "", anchor + "[Insert Text]</A>");
        row("anchor of spaces", "mnuInsertLinkAnchor", kSel, "  ", anchor + kSel + "</A>");
        // The Selection menu: blank selections stay as they are; other text is written back.
        const char *up = "mnuCapitalAllLetters", *low = "MnuLowerCase", *proper = "mnuCapitalizeFirstLetters";
        row("spaces stay selected", up, "   ", "", "=");
        row("caret only", low, "", "", "=");
        row("line break, tab written back", up, "\r\n\t", "", "\r\n\t");
        row("lower", low, "A\xC0Z", "", "a\xE0z");
        row("words", proper, "hELLO \xE9lan \xC9TUDE foo-bar_baz.qux 'q' o'NEIL 4TH", "",
            "Hello \xC9lan \xC9tude Foo-Bar_Baz.Qux 'Q' O'neil 4th");
    }

    void insertMenu()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, selection);
        QFETCH(QString, answer);
        ScriptedPrompts prompts;
        AppFixture app;
        TextControl *t = documentWith(app, selection);
        prompts.answerInput(answer); // left unused where no box comes
        AppFixture::trigger(app.current(), QString::fromLatin1(entry));
        QTEST(written(t, selection), "fragment");
        QStringList asked;
        for (const auto &q : prompts.asked)
            asked << q.caption << q.text << q.initial;
        QCOMPARE(asked, kBoxes.value(entry));
    }

    // Every other entry, through its menu entry, writes in place of the selection the
    // Latin-1 bytes of what the catalogue builds from it and the answer.
    void everyEntryWritesItsFragment()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        for (const CatalogueEntry &e : catalogue()) {
            TextControl *t = documentWith(app, kSel);
            if (!inputBoxFor(e.ask).title.isEmpty())
                prompts.answerInput("v");
            AppFixture::trigger(app.current(), QString::fromLatin1(e.name));
            const QString want = fragment(e, QString::fromLatin1(kSel), "v").value_or("=");
            QVERIFY2(!want.isEmpty() && written(t, kSel) == want.toLatin1(), e.name);
        }
        QVERIFY(prompts.scriptUsedUp() && prompts.unexpected.isEmpty());
    }

    void caseOverEveryByte()
    {
        QByteArray all(256, 0), upper, lower;
        std::iota(all.begin(), all.end(), char(0));
        for (int c = 0; c < 256; ++c) {
            // Latin-1's own pairs; sharp s, y with diaeresis and micro sign have no upper case in the set.
            const bool low = (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
            const bool up = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
            upper += char(low ? c - 0x20 : c);
            lower += char(up ? c + 0x20 : c);
            const QByteArray u(1, char(c)), l(1, char(c + 0x20));
            if (up) // first letter up, the rest down, whatever case it came in
                QCOMPARE(toProperCase(l + u + l + ' ' + u + u), u + l + l + ' ' + u + l);
        }
        QCOMPARE(toUpperCase(all), upper);
        QCOMPARE(toLowerCase(all), lower);
    }

    void caseByCharacter_data()
    {
        QTest::addColumn<QString>(
            "cells"); // text|upper|lower|proper; 𐐨 and 𐐀 (U+10428, U+10400) are surrogate pairs.
        QTest::newRow("sharp s grows") << "straße ßa|STRASSE SSA|straße ßa|Straße SSa";
        QTest::newRow("cyrillic") << "жУК и пчела|ЖУК И ПЧЕЛА|жук и пчела|Жук И Пчела";
        QTest::newRow("apostrophes") << "don't l’ÉTÉ 'x'|DON'T L’ÉTÉ 'X'|don't l’été 'x'|Don't L’été 'X'";
        QTest::newRow("digit first") << "4TH 2nd x2Y|4TH 2ND X2Y|4th 2nd x2y|4th 2nd X2y";
        QTest::newRow("beyond 16 bits") << "𐐨𐐨 𐐀𐐀|𐐀𐐀 𐐀𐐀|𐐨𐐨 𐐨𐐨|𐐀𐐨 𐐀𐐨";
        QTest::newRow("mark stays in the word") << "e\u0301TE|E\u0301TE|e\u0301te|E\u0301te";
        QTest::newRow("dotted I lowers to two") << "İ|İ|i\u0307|İ";
        QTest::newRow("empty") << "|||";
    }
    void caseByCharacter()
    {
        QFETCH(QString, cells);
        const QString text = cells.section('|', 0, 0);
        QCOMPARE((QStringList{text, toUpperCase(text), toLowerCase(text), toProperCase(text)}).join('|'),
                 cells);
    }

    void dateForms()
    {
        QCOMPARE(dateStamps(QDate(2027, 3, 1), QLocale("en_US")),
                 (QStringList{"01/03/2027", "01/Mar/2027", "Monday March 1, 2027", "March 1, 2027",
                              "Mon Mar 1, 2027"}));
        // After a day number the month takes its genitive form, before one its own name.
        QCOMPARE(dateStamps(QDate(2026, 12, 5), QLocale("fi_FI")),
                 (QStringList{"05.12.2026", "05.jouluk..2026", "lauantaina joulukuu 5, 2026",
                              "joulukuu 5, 2026", "la joulu 5, 2026"}));
    }

    void dateDialog_data()
    {
        QTest::addColumn<int>("row"); // -1: none chosen
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("selection");
        QTest::newRow("nothing chosen stays open") << -1 << "Command1" << QByteArray();
        QTest::newRow("add at caret") << 0 << "Command1" << QByteArray();
        QTest::newRow("add over selection") << 2 << "Command1" << kSel;
        QTest::newRow("cancel") << 4 << "Command2" << kSel;
    }

    // Today's five forms, modal over the frame; the date goes to the window that asked.
    void dateDialog()
    {
        QFETCH(int, row);
        QFETCH(QString, button);
        QFETCH(QByteArray, selection);
        ScriptedPrompts prompts;
        AppFixture app;
        TextControl *t = documentWith(app, selection);
        FrmDoc *doc = app.current();
        app.newDocument(); // the current window now
        QStringList shown;
        bool stillOpen = false;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<FrmInsertDate *>(QApplication::activeModalWidget());
            QVERIFY2(d && d->parentWidget() == app.frame() && d->windowTitle() == "Form1",
                     "modal over the frame");
            for (int i = 0; i < d->list()->count(); ++i)
                shown << d->list()->item(i)->text();
            QVERIFY(qAbs(d->date().daysTo(QDate::currentDate())) <= 1 &&
                    shown == dateStamps(d->date(), QLocale()));
            if (row >= 0)
                QTest::mouseClick(d->list()->viewport(), Qt::LeftButton, {},
                                  d->list()->visualItemRect(d->list()->item(row)).center());
            QTest::mouseClick(d->findChild<QPushButton *>(button), Qt::LeftButton);
            stillOpen = d->isVisible();
            d->reject();
        });
        AppFixture::trigger(doc, "mnuInsertStampDate");
        QCOMPARE(stillOpen, row < 0);
        QCOMPARE(written(t, selection), row >= 0 && button == "Command1" ? shown.value(row).toLatin1() : "=");
    }

    // Tools > Insert Text (F4) writes what the box holds (Enter makes CR LF) at the caret of
    // any window, also once the box is closed; an emptied box writes nothing.
    void insertBox()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        const auto insertInto = [&](const QByteArray &selection) {
            TextControl *t = documentWith(app, selection);
            AppFixture::trigger(app.current(), "mnuToolsInsertText");
            return written(t, selection);
        };
        QCOMPARE(insertInto(kSel), "="); // never opened
        AppFixture::trigger(app.current(), "mnuToolsInsertBox");
        FrmInserts *box = FrmInserts::instance();
        QVERIFY2(box && box->isVisible() && box->windowModality() == Qt::NonModal, "shown, not modal");
        QTest::keyClicks(box->text(), "Hi");
        QTest::keyClick(box->text(), Qt::Key_Return);
        QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
        QApplication::sendEvent(box->text(), &eacute);
        QCOMPARE(insertInto(kSel), "Hi\r\n\xE9");
        box->close();
        QTRY_VERIFY(!FrmInserts::instance());
        QCOMPARE(insertInto(""), "Hi\r\n\xE9");
        AppFixture::trigger(app.current(), "mnuToolsInsertBox");
        box = FrmInserts::instance();
        QCOMPARE(box->text()->text(), QByteArray()); // a new box starts empty
        QTest::keyClicks(box->text(), "xy");
        box->text()->selectAllText();
        QTest::keyClick(box->text(), Qt::Key_Delete);
        QCOMPARE(insertInto(kSel), "="); // an emptied box writes nothing
        QTest::keyClicks(box->text(), "F4");
        TextControl *t = documentWith(app, "");
        QApplication::setActiveWindow(app.frame());
        QVERIFY(QTest::qWaitForWindowActive(app.frame()));
        t->setFocus();
        QTest::keyClick(t, Qt::Key_F4);
        QCOMPARE(written(t, ""), "F4");
    }
};

QP_TEST_MAIN(TstCatalogue)
#include "tst_catalogue.moc"
