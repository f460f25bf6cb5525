#include "editor/stylecatchup.h"

#include "platform/textcontrol.h"

#include <QEvent>
#include <QTimer>

using Sci = QsciScintillaBase;

namespace {

// Lines above the first shown one where a restart begins, so a construct
// that opens a little above the screen is seen whole.
constexpr long kContextLines = 200;

long lineStart(const TextControl *c, long line)
{
    return c->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

long lineOf(const TextControl *c, long pos)
{
    return c->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
}

} // namespace

StyleCatchUp::StyleCatchUp(TextControl *control) : QObject(control), m_control(control)
{
    m_idle = new QTimer(this);
    m_idle->setInterval(0);
    connect(m_idle, &QTimer::timeout, this, &StyleCatchUp::fillStep);
    control->viewport()->installEventFilter(this);
}

void StyleCatchUp::reset()
{
    m_gap = false;
    m_idle->stop();
}

bool StyleCatchUp::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::Paint && watched == m_control->viewport())
        beforePaint();
    return QObject::eventFilter(watched, e);
}

// Scintilla moves its styled end back to any edit before it. An edit before
// the gap leaves nothing guessed; one inside it shortens it.
void StyleCatchUp::followEdits()
{
    if (!m_gap)
        return;
    const long styled = m_control->SendScintilla(Sci::SCI_GETENDSTYLED);
    if (styled <= m_from)
        reset();
    else if (styled < m_to)
        m_to = styled;
}

void StyleCatchUp::beforePaint()
{
    // Nothing to style in a plain document.
    if (m_control->SendScintilla(Sci::SCI_GETLEXER) == Sci::SCLEX_NULL)
        return;
    followEdits();
    const long styled = m_control->SendScintilla(Sci::SCI_GETENDSTYLED);
    const long firstLine = m_control->SendScintilla(
        Sci::SCI_DOCLINEFROMVISIBLE,
        static_cast<unsigned long>(m_control->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
    const long shownFrom = lineStart(m_control, firstLine);
    const long lastLine = firstLine + m_control->SendScintilla(Sci::SCI_LINESONSCREEN) + 1;
    long shownTo = lineStart(m_control, lastLine);
    if (shownTo < 0)
        shownTo = m_control->length();

    // Shown text inside the gap, close to its styled side: style it now.
    if (m_gap && shownFrom < m_to && shownTo > m_from && shownTo - m_from <= kFar)
        styleGapTo(shownTo);

    if (shownFrom - styled > kFar)
        restartNear(firstLine, styled);
    styleShown(shownTo);
}

void StyleCatchUp::styleShown(long shownTo)
{
    if (!m_afterStyling)
        return;
    const long styled = m_control->SendScintilla(Sci::SCI_GETENDSTYLED);
    if (styled >= shownTo)
        return;
    const long from = lineStart(m_control, lineOf(m_control, styled));
    m_control->SendScintilla(Sci::SCI_COLOURISE, static_cast<unsigned long>(from), shownTo);
    m_afterStyling(from, shownTo);
}

void StyleCatchUp::restartNear(long firstLine, long styled)
{
    const long restart = lineStart(m_control, qMax(lineOf(m_control, styled), firstLine - kContextLines));
    if (!m_gap) {
        m_gap = true;
        m_from = lineStart(m_control, lineOf(m_control, styled));
    }
    m_to = restart;
    m_control->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(restart), 0L);
    m_idle->start();
}

void StyleCatchUp::fillStep()
{
    followEdits();
    if (!m_gap) {
        m_idle->stop();
        return;
    }
    styleGapTo(m_from + kPiece);
}

void StyleCatchUp::styleGapTo(long end)
{
    end = qMin(end, m_to);
    if (end < m_to) // whole lines only
        end = qMin(m_to, lineStart(m_control, lineOf(m_control, end) + 1));
    if (end > m_from) {
        // Lexing the gap moves Scintilla's styled end back into it; what lies
        // after the gap is kept as styled.
        const long styled = m_control->SendScintilla(Sci::SCI_GETENDSTYLED);
        m_control->SendScintilla(Sci::SCI_COLOURISE, static_cast<unsigned long>(m_from), end);
        if (m_afterStyling)
            m_afterStyling(m_from, end);
        if (styled > end)
            m_control->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(styled), 0L);
        m_from = end;
    }
    if (m_from >= m_to)
        closeGap();
}

void StyleCatchUp::closeGap()
{
    reset();
    // The text after the gap was styled from a guessed start: style it again
    // from the true one, lazily, as it is shown.
    if (m_control->SendScintilla(Sci::SCI_GETENDSTYLED) > m_to) {
        m_control->SendScintilla(Sci::SCI_STARTSTYLING, static_cast<unsigned long>(m_to), 0L);
        m_control->viewport()->update();
    }
}
