#include "app/mdimain.h"
#include "appfixture.h"
#include "editor/frmdoc.h"
#include "inserts/datestamps.h"
#include "inserts/frminsertdate.h"
#include "platform/latin1.h"
#include "platform/textcontrol.h"
#include "scriptedprompts.h"
#include "testmain.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

using inserts::dateStamps;

namespace {

// Runs the steps on the date stamp dialog once it shows, modal; closes it if they left it open.
bool withDialog(FrmDoc *doc, const std::function<void(FrmInsertDate *)> &steps)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<FrmInsertDate *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        steps(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    AppFixture::trigger(doc, QStringLiteral("mnuInsertStampDate"));
    return seen;
}

void choose(FrmInsertDate *dialog, int row)
{
    QListWidget *list = dialog->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void click(FrmInsertDate *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class TstDateStamp : public QObject
{
    Q_OBJECT
private slots:
    void fiveForms_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QStringList>("forms");
        QTest::newRow("en_GB") << "en_GB" << QDate(2026, 12, 5)
                               << QStringList{"05/12/2026", "05/Dec/2026", "Saturday December 5, 2026",
                                              "December 5, 2026", "Sat Dec 5, 2026"};
        QTest::newRow("en_US") << "en_US" << QDate(2027, 3, 1)
                               << QStringList{"01/03/2027", "01/Mar/2027", "Monday March 1, 2027", "March 1, 2027",
                                              "Mon Mar 1, 2027"};
        QTest::newRow("de_DE") << "de_DE" << QDate(2026, 12, 5)
                               << QStringList{"05.12.2026", "05.Dez..2026", "Samstag Dezember 5, 2026",
                                              "Dezember 5, 2026", "Sa. Dez 5, 2026"};
        QTest::newRow("fr_FR") << "fr_FR" << QDate(2026, 12, 5)
                               << QStringList{"05/12/2026", QString::fromUtf8("05/déc./2026"),
                                              QString::fromUtf8("samedi décembre 5, 2026"),
                                              QString::fromUtf8("décembre 5, 2026"), QString::fromUtf8("sam. déc. 5, 2026")};
        // After a day number the month takes its genitive form, before one its own name.
        QTest::newRow("pl_PL") << "pl_PL" << QDate(2026, 12, 5)
                               << QStringList{"05.12.2026", "05.gru.2026", QString::fromUtf8("sobota grudzień 5, 2026"),
                                              QString::fromUtf8("grudzień 5, 2026"), "sob. gru 5, 2026"};
    }
    void fiveForms()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QStringList, forms);
        QCOMPARE(dateStamps(date, QLocale(locale)), forms);
    }

    void separators_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("separator");
        QTest::newRow("en_US") << "en_US" << "/";
        QTest::newRow("nl_NL") << "nl_NL" << "-";
        QTest::newRow("hu_HU") << "hu_HU" << ". ";
        QTest::newRow("ar_EG, direction marks dropped") << "ar_EG" << "/";
        QTest::newRow("bg_BG, quoted text after") << "bg_BG" << ".";
        QTest::newRow("C, no two numbers side by side") << "C" << "/";
    }
    void separators()
    {
        QFETCH(QString, locale);
        QFETCH(QString, separator);
        QCOMPARE(inserts::dateSeparator(QLocale(locale)), separator);
    }

    void dialogShowsTodayModalOverTheFrame()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        QVERIFY(withDialog(doc, [&](FrmInsertDate *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Form1"));
            QVERIFY(d->isModal());
            QCOMPARE(d->parentWidget(), static_cast<QWidget *>(app.frame()));
            QCOMPARE(d->slot(), doc->slot());
            QVERIFY(qAbs(d->date().daysTo(QDate::currentDate())) <= 1);
            QStringList shown;
            for (int i = 0; i < d->list()->count(); ++i)
                shown << d->list()->item(i)->text();
            QCOMPARE(shown, dateStamps(d->date(), QLocale()));
            QVERIFY(d->list()->selectedItems().isEmpty());
            QCOMPARE(d->findChild<QPushButton *>("Command1")->text(), QStringLiteral("&Add Date"));
            QCOMPARE(d->findChild<QPushButton *>("Command2")->text(), QStringLiteral("&Cancel"));
        }));
    }

    // Row chosen (-1: none), buttons clicked, and whether the date goes in.
    void addDateAndCancel_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<bool>("inserted");
        QTest::addColumn<bool>("selection");
        QTest::newRow("nothing chosen stays open") << -1 << QStringList{"Command1", "Command1"} << false << false;
        QTest::newRow("add at caret") << 0 << QStringList{"Command1"} << true << false;
        QTest::newRow("add over selection") << 2 << QStringList{"Command1"} << true << true;
        QTest::newRow("cancel") << 4 << QStringList{"Command2"} << false << true;
    }
    void addDateAndCancel()
    {
        QFETCH(int, row);
        QFETCH(QStringList, clicks);
        QFETCH(bool, inserted);
        QFETCH(bool, selection);
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        FrmDoc *other = app.newDocument(); // the current window; the date goes to the one that asked
        TextControl *t = doc->textControl();
        t->setText(QByteArrayView("ab[sel]cd"));
        t->setSelStart(2);
        t->setSelLength(selection ? 5 : 0);
        QString date;
        bool stillOpen = false;
        QVERIFY(withDialog(doc, [&](FrmInsertDate *d) {
            if (row >= 0) {
                choose(d, row);
                date = d->list()->item(row)->text();
            }
            for (const QString &c : clicks)
                click(d, qPrintable(c));
            stillOpen = d->isVisible();
        }));
        QCOMPARE(stillOpen, row < 0);
        const QByteArray bytes = latin1::fromUnicode(date);
        QCOMPARE(t->text(), inserted ? "ab" + bytes + (selection ? "" : "[sel]") + "cd" : QByteArray("ab[sel]cd"));
        if (inserted)
            QVERIFY2(t->selStart() == 2 + bytes.size() && t->selLength() == 0, "caret after the date");
        QCOMPARE(other->textControl()->text(), QByteArray());
        QVERIFY(prompts.messages().isEmpty());
    }

    void namesOutsideLatin1AreReplacedAndReported()
    {
        ScriptedPrompts prompts;
        AppFixture app;
        FrmDoc *doc = app.newDocument();
        const QLocale before;
        QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
        QString date;
        QVERIFY(withDialog(doc, [&](FrmInsertDate *d) {
            choose(d, 2);
            date = d->list()->item(2)->text();
            click(d, "Command1");
        }));
        QLocale::setDefault(before);
        int replaced = 0;
        const QByteArray bytes = latin1::fromUnicode(date, &replaced);
        QVERIFY2(replaced > 0 && bytes.contains('?'), qPrintable(date));
        QCOMPARE(doc->textControl()->text(), bytes);
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY(prompts.messages().first().text.startsWith(QString::number(replaced) + " character(s)"));
    }
};

QP_TEST_MAIN(TstDateStamp)
#include "tst_datestamp.moc"
