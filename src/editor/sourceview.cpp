#include "editor/sourceview.h"

#include "editor/embeddedcss.h"
#include "editor/preferences.h"
#include "editor/stylecatchup.h"
#include "editor/syntaxcolours.h"
#include "platform/textcontrol.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWheelEvent>

using Sci = QsciScintillaBase;

namespace {

constexpr int kNumberMargin = 0;

bool isBrace(char c)
{
    return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}';
}

} // namespace

SourceView::SourceView(TextControl *control) : QObject(control), m_control(control)
{
    m_catchUp = new StyleCatchUp(control);
    control->SendScintilla(Sci::SCI_SETMARGINTYPEN, kNumberMargin, long(Sci::SC_MARGIN_NUMBER));
    applyPreferences();
    connect(&preferences::notifier(), &preferences::Notifier::changed, this, &SourceView::applyPreferences);
    connect(control, &TextControl::changed, this, &SourceView::updateMarginWidth);
    connect(control, &QsciScintillaBase::SCN_ZOOM, this, [this] {
        m_marginDigits = 0; // the digits took another size
        updateMarginWidth();
    });
    control->installEventFilter(this);
    control->viewport()->installEventFilter(this);
    // The lexer lives in the engine document, which the style bytes replaced.
    connect(control, &TextControl::styleBytesReady, this, &SourceView::applyLanguage);
    connect(control, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION))
            updateBraces();
    });
}

SourceView::~SourceView() = default;

void SourceView::setPath(const QString &path)
{
    setLanguage(languages::languageForPath(path));
}

void SourceView::setLanguage(languages::Language language)
{
    if (language == m_language)
        return;
    m_language = language;
    applyLanguage();
}

void SourceView::setLongLines(bool on)
{
    if (on == m_longLines)
        return;
    m_longLines = on;
    applyLanguage();
}

void SourceView::applyPreferences()
{
    const preferences::Preferences &p = preferences::current();
    m_dark = colourscheme::isDark(p.scheme, QGuiApplication::palette());
    m_lineNumbers = p.lineNumbers;
    m_control->setTabWidth(p.tabWidth);
    m_control->setTabSpaces(p.tabSpaces);
    m_control->SendScintilla(Sci::SCI_SETCARETLINEVISIBLE, static_cast<unsigned long>(p.currentLine));
    m_control->SendScintilla(Sci::SCI_SETCARETLINEVISIBLEALWAYS, static_cast<unsigned long>(p.currentLine));
    applyLanguage();
}

void SourceView::applyLanguage()
{
    const languages::Language language = m_longLines ? languages::Language::Plain : m_language;
    const preferences::Preferences &p = preferences::current();
    m_catchUp->reset();
    syntaxcolours::apply(*m_control, language, syntaxcolours::Look{p.fontFamily, p.fontSize, m_dark});
    // Style sheets inside web pages get their colours after the page's lexer.
    if (language == languages::Language::Html || language == languages::Language::Php) {
        if (!m_css)
            m_css = std::make_unique<EmbeddedCss>();
        m_catchUp->setAfterStyling([this](long from, long to) { m_css->colour(*m_control, from, to); });
    } else {
        m_catchUp->setAfterStyling(nullptr);
    }
    m_marginDigits = 0; // the line-number style was set afresh
    updateMarginWidth();
    updateBraces();
}

void SourceView::setWordWrap(bool on)
{
    m_control->SendScintilla(Sci::SCI_SETWRAPMODE, long(on ? Sci::SC_WRAP_WORD : Sci::SC_WRAP_NONE));
}

bool SourceView::wordWrap() const
{
    return m_control->SendScintilla(Sci::SCI_GETWRAPMODE) != Sci::SC_WRAP_NONE;
}

int SourceView::zoom() const
{
    return int(m_control->SendScintilla(Sci::SCI_GETZOOM));
}

void SourceView::zoomIn()
{
    m_control->SendScintilla(Sci::SCI_ZOOMIN);
}

void SourceView::zoomOut()
{
    m_control->SendScintilla(Sci::SCI_ZOOMOUT);
}

void SourceView::resetZoom()
{
    m_control->SendScintilla(Sci::SCI_SETZOOM, 0L);
}

QList<QKeySequence> SourceView::zoomKeys()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
            QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::CTRL | Qt::Key_0)};
}

bool SourceView::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_control && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        // Shift is how many keyboards reach "+"; the keypad's keys count too.
        const Qt::KeyboardModifiers mods = k->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (mods == Qt::ControlModifier) {
            switch (k->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                zoomIn();
                return true;
            case Qt::Key_Minus:
                zoomOut();
                return true;
            case Qt::Key_0:
                resetZoom();
                return true;
            default:
                break;
            }
        }
    } else if (watched == m_control->viewport() && e->type() == QEvent::Wheel) {
        auto *w = static_cast<QWheelEvent *>(e);
        if (w->modifiers() & Qt::ControlModifier) {
            const int delta = w->angleDelta().y() != 0 ? w->angleDelta().y() : w->angleDelta().x();
            if (delta > 0)
                zoomIn();
            else if (delta < 0)
                zoomOut();
            return true;
        }
    } else if (watched == m_control &&
               (e->type() == QEvent::PaletteChange || e->type() == QEvent::ApplicationPaletteChange)) {
        // The desktop went dark or light: a scheme that follows it follows now.
        if (preferences::current().scheme == colourscheme::Scheme::FollowDesktop &&
            colourscheme::isDark(colourscheme::Scheme::FollowDesktop, QGuiApplication::palette()) != m_dark)
            applyPreferences();
    }
    return QObject::eventFilter(watched, e);
}

void SourceView::updateMarginWidth()
{
    if (!m_lineNumbers) {
        m_marginDigits = 0;
        m_control->SendScintilla(Sci::SCI_SETMARGINWIDTHN, kNumberMargin, 0L);
        return;
    }
    // Room for at least three digits, so the margin seldom changes while typing.
    const int digits = qMax(3, int(QString::number(m_control->SendScintilla(Sci::SCI_GETLINECOUNT)).size()));
    if (digits == m_marginDigits)
        return;
    m_marginDigits = digits;
    const QByteArray sample(digits + 1, '9');
    const long width = m_control->SendScintilla(
        Sci::SCI_TEXTWIDTH, static_cast<uintptr_t>(Sci::STYLE_LINENUMBER), sample.constData());
    m_control->SendScintilla(Sci::SCI_SETMARGINWIDTHN, kNumberMargin, width);
}

void SourceView::updateBraces()
{
    if (m_longLines) {
        m_control->SendScintilla(Sci::SCI_BRACEHIGHLIGHT, -1L, -1L);
        return;
    }
    const long caret = m_control->SendScintilla(Sci::SCI_GETCURRENTPOS);
    auto charAt = [this](long pos) {
        return char(m_control->SendScintilla(Sci::SCI_GETCHARAT, static_cast<unsigned long>(pos)));
    };
    // The brace after the caret first, then the one before it.
    long at = -1;
    if (caret < m_control->length() && isBrace(charAt(caret)))
        at = caret;
    else if (caret > 0 && isBrace(charAt(caret - 1)))
        at = caret - 1;
    if (at < 0) {
        m_control->SendScintilla(Sci::SCI_BRACEHIGHLIGHT, -1L, -1L);
        return;
    }
    const long partner = m_control->SendScintilla(Sci::SCI_BRACEMATCH, static_cast<unsigned long>(at), 0L);
    if (partner < 0)
        m_control->SendScintilla(Sci::SCI_BRACEBADLIGHT, static_cast<unsigned long>(at));
    else
        m_control->SendScintilla(Sci::SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(at), partner);
}
