// Preferences: every choice of the dialog reaches the open windows at once
// and survives a restart; stored values that cannot be used fall back to the
// defaults; the zoom keys; the Dark scheme's contrast.

#include "app/mdimain.h"
#include "documents/fileops.h"
#include "documents/newdocumentformat.h"
#include "editor/colourscheme.h"
#include "editor/frmdoc.h"
#include "editor/frmpreferences.h"
#include "editor/menutree.h"
#include "editor/preferences.h"
#include "editor/sourceview.h"
#include "editor/syntaxcolours.h"
#include "platform/prompts.h"
#include "platform/settingsstore.h"
#include "platform/textcontrol.h"
#include "testmain.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using preferences::Preferences;
using Sci = QsciScintillaBase;

namespace {

long sci(FrmDoc *d, unsigned msg, unsigned long w = 0, long l = 0)
{
    return d->textControl()->SendScintilla(msg, w, l);
}

QColor colourOf(long bgr)
{
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

template <typename W> W *child(const char *name)
{
    W *w = FrmPreferences::instance() ? FrmPreferences::instance()->findChild<W *>(QLatin1String(name))
                                      : nullptr;
    if (!w)
        qFatal("no %s in the Preferences", name);
    return w;
}

void startFromDefaults()
{
    preferences::setCurrent(Preferences::defaults());
    documents::setNewDocumentFormat(TextFormat::classic());
}

// What a window shows of the preferences, in one comparable line.
QString shown(FrmDoc *d, MdiMain *frame)
{
    char font[200] = {};
    d->textControl()->SendScintilla(Sci::SCI_STYLEGETFONT, Sci::STYLE_DEFAULT, font);
    return QStringLiteral("%1 %2 tab %3 spaces %4 numbers %5 line %6 paper %7 %8")
        .arg(QString::fromUtf8(font))
        .arg(sci(d, Sci::SCI_STYLEGETSIZE, 1)) // a lexer style, not only the default
        .arg(sci(d, Sci::SCI_GETTABWIDTH))
        .arg(d->textControl()->tabSpaces())
        .arg(sci(d, Sci::SCI_GETMARGINWIDTHN, 0) > 0)
        .arg(sci(d, Sci::SCI_GETCARETLINEVISIBLE))
        .arg(colourOf(sci(d, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)).name())
        .arg(frame->mdiArea()->viewMode() == QMdiArea::TabbedView ? "tabs" : "windows");
}

} // namespace

class TstPreferences : public WindowTest
{
    Q_OBJECT
private slots:
    void everyChoiceAppliesAtOnceAndIsKept()
    {
        startFromDefaults();
        // Outlives the fixture, for the restart below.
        const QString page = testsupport::root() + QStringLiteral("/page.html");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<p>hi</p>\r\n") > 0);
        file.close();
        fileops::OpenFile(page);
        FrmDoc *d = m_app->current();
        AppFixture::trigger(d, QStringLiteral("mnuPreferences"));
        const QString defaultFamily = Preferences::defaults().fontFamily;
        QString other;
        for (const QString &f : QFontDatabase::families())
            if (f != defaultFamily && !QFontDatabase::isPrivateFamily(f))
                other = f;
        QVERIFY2(!other.isEmpty(), "a second font to choose");

        child<QFontComboBox>("cboFont")->setCurrentFont(QFont(other));
        const QString family = child<QFontComboBox>("cboFont")->currentFont().family();
        child<QSpinBox>("txtFontSize")->setValue(15);
        child<QSpinBox>("txtTabWidth")->setValue(4);
        child<QCheckBox>("chkTabSpaces")->click();
        child<QCheckBox>("chkLineNumbers")->click();
        child<QCheckBox>("chkCurrentLine")->click();
        child<QComboBox>("cboScheme")->setCurrentIndex(2); // Dark
        child<QRadioButton>("optViewTabs")->click();
        child<QCheckBox>("chkReopenSession")->click();
        const QString expected =
            QStringLiteral("%1 15 tab 4 spaces 1 numbers 0 line 1 paper #1e1e1e tabs").arg(family);
        QCOMPARE(shown(d, m_app->frame()), expected);
        QVERIFY2(d->subWindow()->isMaximized(), "a tab shows its document over the whole area");
        // Tab now types spaces up to the next stop of four.
        d->textControl()->setSelStart(0);
        QTest::keyClicks(d->textControl(), "a");
        QTest::keyClick(d->textControl(), Qt::Key_Tab);
        QCOMPARE(d->textControl()->text(), QByteArray("a   <p>hi</p>"));

        // A new start reads them back, into new windows and the dialog.
        m_app.reset();
        m_app.emplace();
        fileops::OpenFile(page);
        d = m_app->current();
        QCOMPARE(shown(d, m_app->frame()), expected);
        QVERIFY(preferences::current().reopenSession);
        m_app->triggerFrame(QStringLiteral("mnuPreferences"));
        QCOMPARE(child<QSpinBox>("txtFontSize")->value(), 15);

        // Restore Defaults brings every choice back, in the windows too.
        child<QPushButton>("cmdRestoreDefaults")->click();
        QCOMPARE(preferences::current(), Preferences::defaults());
        QCOMPARE(preferences::load(), Preferences::defaults());
        QCOMPARE(shown(d, m_app->frame()),
                 QStringLiteral("%1 %2 tab 8 spaces 0 numbers 1 line 0 paper #ffffff windows")
                     .arg(defaultFamily)
                     .arg(Preferences::defaults().fontSize));
        QVERIFY(!child<QCheckBox>("chkReopenSession")->isChecked());
        QVERIFY2(!d->subWindow()->isMaximized(), "back from tabs, a window of its own size");
    }

    void unusableStoredValuesFallBack_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const char *rows[][3] = {{"missing font", "FontFamily", "No Such Font Qp7"},
                                 {"size 0", "FontSize", "0"},
                                 {"size 10000", "FontSize", "10000"},
                                 {"size not a number", "FontSize", "large"},
                                 {"unknown scheme", "Scheme", "Purple"},
                                 {"tab width", "TabWidth", "-3"},
                                 {"view", "DocumentView", "Sideways"},
                                 {"flag", "LineNumbers", "maybe"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
    }

    void unusableStoredValuesFallBack()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        startFromDefaults();
        platform::settings().write(platform::appTitle(), QStringLiteral("Preferences"), key, value);
        m_app.reset();
        m_app.emplace(); // a new start
        QCOMPARE(preferences::current(), Preferences::defaults());
        FrmDoc *d = m_app->newDocument();
        QCOMPARE(sci(d, Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT), long(Preferences::defaults().fontSize));
        // Nothing is written over what the user had.
        QCOMPARE(platform::settings().read(platform::appTitle(), QStringLiteral("Preferences"), key), value);
        startFromDefaults();
    }

    void zoomKeysBelongToTheDocumentAlone()
    {
        startFromDefaults();
        // No menu entry of either window has one of the zoom keys.
        FrmDoc *d = m_app->newDocument();
        for (const QKeySequence &k : SourceView::zoomKeys())
            QVERIFY2(!menutree::allShortcuts().contains(k), qPrintable(k.toString()));

        FrmDoc *other = m_app->newDocument();
        TextControl *t = d->textControl();
        QTest::keyClick(t, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(t, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(d->sourceView()->zoom(), 2);
        QTest::keyClick(t, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(d->sourceView()->zoom(), 1);
        QWheelEvent wheel(QPointF(20, 20), t->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(t->viewport(), &wheel);
        QCOMPARE(d->sourceView()->zoom(), 2);
        QCOMPARE(other->sourceView()->zoom(), 0); // each window its own
        // A change of preferences keeps the window's zoom; Ctrl+0 goes back to the preferred size.
        Preferences p = preferences::current();
        p.fontSize = 12;
        preferences::setCurrent(p);
        QCOMPARE(d->sourceView()->zoom(), 2);
        QTest::keyClick(t, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(d->sourceView()->zoom(), 0);
        QCOMPARE(t->text(), QByteArray()); // nothing typed
        startFromDefaults();
    }

    // Every style of every coloured language, on the paper and on the
    // current line, with the selection and line numbers: 4.5:1 at least.
    void darkSchemePassesContrast()
    {
        using languages::Language;
        TextControl control;
        const colourscheme::Frame &f = colourscheme::frame(true);
        auto fore = [&control](int style) {
            return colourOf(control.SendScintilla(Sci::SCI_STYLEGETFORE, static_cast<unsigned long>(style)));
        };
        auto back = [&control](int style) {
            return colourOf(control.SendScintilla(Sci::SCI_STYLEGETBACK, static_cast<unsigned long>(style)));
        };
        auto require = [](const QColor &a, const QColor &b, const QString &what) {
            const double ratio = colourscheme::contrastRatio(a, b);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2 on %3 is %4:1")
                                                  .arg(what, a.name(), b.name())
                                                  .arg(ratio, 0, 'f', 2)));
        };
        for (Language lang :
             {Language::Html, Language::Xml, Language::Css, Language::Cpp, Language::Java,
              Language::JavaScript, Language::Php, Language::Perl, Language::Ini, Language::Plain}) {
            syntaxcolours::apply(control, lang, syntaxcolours::Look{QStringLiteral("Monospace"), 10, true});
            QSet<QRgb> kinds;
            for (int style = 0; style <= Sci::STYLE_MAX; ++style) {
                if (style > Sci::STYLE_DEFAULT && style <= Sci::STYLE_LASTPREDEFINED)
                    continue;
                const QString what =
                    languages::languageName(lang) + QStringLiteral(" style ") + QString::number(style);
                require(fore(style), back(style), what);
                require(fore(style), f.currentLine, what + QStringLiteral(" on the current line"));
                kinds.insert(fore(style).rgb());
            }
            QVERIFY2(lang == Language::Plain || kinds.size() >= 4, "the dark scheme still tells kinds apart");
        }
        require(fore(Sci::STYLE_LINENUMBER), back(Sci::STYLE_LINENUMBER), QStringLiteral("line numbers"));
        require(fore(Sci::STYLE_BRACELIGHT), back(Sci::STYLE_BRACELIGHT), QStringLiteral("matched brace"));
        require(fore(Sci::STYLE_BRACEBAD), f.paper, QStringLiteral("brace without partner"));
        require(f.selectionText, f.selectionBack, QStringLiteral("selection"));
        require(f.caret, f.paper, QStringLiteral("caret"));
        // The palette for dark desktops is readable too, and is seen as dark.
        const QPalette dark = colourscheme::darkPalette();
        require(dark.color(QPalette::Text), dark.color(QPalette::Base), QStringLiteral("palette text"));
        require(dark.color(QPalette::WindowText), dark.color(QPalette::Window),
                QStringLiteral("palette window"));
        QVERIFY(colourscheme::paletteIsDark(dark) && !colourscheme::paletteIsDark(QPalette(Qt::white)));
    }

    void followDesktopGoesDarkWithTheDesktop()
    {
        startFromDefaults();
        FrmDoc *d = m_app->newDocument();
        QCOMPARE(colourOf(sci(d, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)), QColor(Qt::white));
        const QPalette before = QApplication::palette();
        QApplication::setPalette(colourscheme::darkPalette());
        QApplication::processEvents();
        QCOMPARE(colourOf(sci(d, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)),
                 colourscheme::frame(true).paper);
        QApplication::setPalette(before);
        // A Dark scheme on a light desktop darkens the find bar as well.
        Preferences p = preferences::current();
        p.scheme = colourscheme::Scheme::Dark;
        preferences::setCurrent(p);
        QVERIFY(colourscheme::paletteIsDark(d->findChild<QWidget *>(QStringLiteral("fraFind"))->palette()));
        startFromDefaults();
    }
};

QP_TEST_MAIN(TstPreferences)
#include "tst_preferences.moc"
