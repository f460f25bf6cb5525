#pragma once

#include <QObject>

#include <functional>

class QTimer;
class TextControl;

// Keeps a jump deep into a big coloured document quick.
//
// Scintilla styles a document from its start up to what is shown, so showing
// the end of a 50 MB web page would first lex all 50 MB (several seconds).
// When the text about to be painted lies far beyond what is styled, this
// starts the lexer afresh a little above it instead, leaving a gap, and
// styles the gap properly in small pieces while the program is idle. Once
// the gap is closed, the text after it is styled again from the true state,
// so any colour guessed wrong at the restart comes right.
class StyleCatchUp : public QObject
{
    Q_OBJECT

public:
    explicit StyleCatchUp(TextControl *control);

    // Nothing guessed any more: the document was replaced or recoloured.
    void reset();
    bool hasGap() const { return m_gap; }
    // One idle step: styles the next piece of the gap (tests call it directly).
    void fillStep();

    // Called after the lexer has styled [from, to) here, to lay more styles
    // over it. With one set, the text about to be painted is styled before
    // the paint, not during it, so that the hook sees it first.
    using AfterStyling = std::function<void(long from, long to)>;
    void setAfterStyling(AfterStyling hook) { m_afterStyling = std::move(hook); }

    // Distances in bytes: how far ahead the paint may be before a restart,
    // and how much the idle work styles at a time.
    static constexpr long kFar = 1 << 20;
    static constexpr long kPiece = 256 << 10;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void beforePaint();
    void restartNear(long firstLine, long styled);
    void styleShown(long shownTo);
    void followEdits();
    void styleGapTo(long end);
    void closeGap();

    TextControl *m_control;
    QTimer *m_idle;
    AfterStyling m_afterStyling;
    bool m_gap = false;
    long m_from = 0; // styled properly up to here
    long m_to = 0;   // the lexer restarted here
};
