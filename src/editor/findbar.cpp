#include "editor/findbar.h"

#include "documents/fileops.h"
#include "editor/colourscheme.h"
#include "editor/preferences.h"
#include "editor/replaceinbulk.h"
#include "platform/prompts.h"
#include "platform/textcodec.h"
#include "platform/textcontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QValidator>

namespace {

// A Latin-1 document cannot hold a character outside the set: it could never
// be found nor put into the text, so the fields refuse it (with a beep), as
// the document itself does when such a character is typed. A UTF-8 document
// takes them all. The document's format is asked each time, for it can change.
class DocumentCharacters : public QValidator
{
public:
    DocumentCharacters(const TextControl *text, QObject *parent) : QValidator(parent), m_text(text) {}
    State validate(QString &input, int &) const override
    {
        if (m_text->format().isUtf8())
            return Acceptable;
        for (QChar c : std::as_const(input))
            if (c.unicode() > 0xff) {
                platform::beep();
                return Invalid;
            }
        return Acceptable;
    }

private:
    const TextControl *m_text;
};

QLineEdit *field(const QString &name, const TextControl *text, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new DocumentCharacters(text, edit));
    edit->setClearButtonEnabled(false);
    return edit;
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QCheckBox *check(const QString &caption, const QString &name, bool on, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}

} // namespace

FindBar::FindBar(TextControl *text, QWidget *parent) : QWidget(parent), m_text(text)
{
    setObjectName(QStringLiteral("fraFind"));
    m_find = field(QStringLiteral("txtFind"), text, this);
    m_replace = field(QStringLiteral("txtReplace"), text, this);
    auto *findLabel = new QLabel(QStringLiteral("Fi&nd:"), this);
    findLabel->setObjectName(QStringLiteral("lblFind"));
    findLabel->setBuddy(m_find);
    m_replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    m_replaceLabel->setObjectName(QStringLiteral("lblReplace"));
    m_replaceLabel->setBuddy(m_replace);
    auto *next = button(QStringLiteral("Find Next"), QStringLiteral("cmdFindNext"), this);
    auto *previous = button(QStringLiteral("Find Previous"), QStringLiteral("cmdFindPrevious"), this);
    m_replaceButton = button(QStringLiteral("Replace"), QStringLiteral("cmdReplace"), this);
    m_replaceAllButton = button(QStringLiteral("Replace All"), QStringLiteral("cmdReplaceAll"), this);
    m_matchCase = check(QStringLiteral("Match &case"), QStringLiteral("chkMatchCase"), false, this);
    m_wholeWord = check(QStringLiteral("&Whole word"), QStringLiteral("chkWholeWord"), false, this);
    m_wrapAround = check(QStringLiteral("Wrap ar&ound"), QStringLiteral("chkWrapAround"), true, this);
    auto *closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("cmdCloseFind"));
    closeButton->setText(QStringLiteral("X"));
    closeButton->setToolTip(QStringLiteral("Close"));
    closeButton->setAutoRaise(true);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 3, 4, 3);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(previous, 0, 3);
    grid->addWidget(m_matchCase, 0, 4);
    grid->addWidget(m_wholeWord, 0, 5);
    grid->addWidget(m_wrapAround, 0, 6);
    grid->addWidget(closeButton, 0, 8);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(m_replaceButton, 1, 2);
    grid->addWidget(m_replaceAllButton, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(7, 0);

    connect(next, &QPushButton::clicked, this, &FindBar::findNext);
    connect(previous, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(m_replaceButton, &QPushButton::clicked, this, &FindBar::replace);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    m_find->installEventFilter(this);
    m_replace->installEventFilter(this);
    hide();
    // It sits under the text: a dark document gets a dark bar, also on a
    // light desktop (a dark desktop's own palette makes it dark anyway).
    auto followScheme = [this] {
        const bool darkScheme = preferences::current().scheme == colourscheme::Scheme::Dark;
        setPalette(darkScheme && !colourscheme::paletteIsDark(QApplication::palette())
                       ? colourscheme::darkPalette()
                       : QPalette());
    };
    // Its own ground, so the palette's text never stands on the window's.
    setAutoFillBackground(true);
    followScheme();
    connect(&preferences::notifier(), &preferences::Notifier::changed, this, followScheme);
}

findengine::Options FindBar::options() const
{
    findengine::Options o;
    o.matchCase = m_matchCase->isChecked();
    o.wholeWord = m_wholeWord->isChecked();
    o.wrapAround = m_wrapAround->isChecked();
    o.utf8 = m_text->format().isUtf8();
    return o;
}

bool FindBar::replaceShown() const
{
    return isVisible() && m_replace->isVisible();
}

void FindBar::showFind()
{
    open(false);
}

void FindBar::showReplace()
{
    open(true);
}

void FindBar::open(bool withReplace)
{
    // A short selection on one line is what the user wants to find.
    const QByteArray sel = m_text->selectedText();
    if (!sel.isEmpty() && sel.size() <= 256 && !sel.contains('\r') && !sel.contains('\n') &&
        !sel.contains('\0'))
        m_find->setText(m_text->decode(sel));
    m_replaceLabel->setVisible(withReplace);
    m_replace->setVisible(withReplace);
    m_replaceButton->setVisible(withReplace);
    m_replaceAllButton->setVisible(withReplace);
    show();
    m_find->setFocus();
    m_find->selectAll();
}

void FindBar::close()
{
    hide();
    m_text->setFocus();
}

bool FindBar::needle(QByteArray *what, bool withReplace)
{
    if (m_find->text().isEmpty()) {
        open(withReplace);
        return false;
    }
    // A character the document cannot hold is in none of its text; made "?"
    // it would find question marks.
    int replaced = 0;
    *what = textcodec::encode(m_find->text(), m_text->format().encoding, &replaced);
    if (replaced > 0) {
        notFound();
        return false;
    }
    return true;
}

QByteArray FindBar::replacement(int *replaced) const
{
    return textcodec::encode(m_replace->text(), m_text->format().encoding, replaced);
}

void FindBar::select(qsizetype pos, qsizetype length)
{
    m_text->setSelStart(pos);
    m_text->setSelLength(length);
}

void FindBar::notFound()
{
    platform::message(QStringLiteral("Cannot find \"%1\".").arg(m_find->text()));
}

void FindBar::findNext()
{
    QByteArray what;
    if (!needle(&what, false))
        return;
    const findengine::Match m =
        findengine::findNext(m_text->bytes(), what, m_text->selStart() + m_text->selLength(), options());
    if (m.found())
        select(m.pos, m.length);
    else
        notFound();
}

void FindBar::findPrevious()
{
    QByteArray what;
    if (!needle(&what, false))
        return;
    const findengine::Match m =
        findengine::findPrevious(m_text->bytes(), what, m_text->selStart(), options());
    if (m.found())
        select(m.pos, m.length);
    else
        notFound();
}

void FindBar::replace()
{
    QByteArray what;
    if (!needle(&what, true))
        return;
    // Only a selected match is replaced; otherwise the next one is selected first.
    qsizetype length = 0;
    if (m_text->selLength() > 0 &&
        findengine::matchesAt(m_text->bytes(), m_text->selStart(), what, options(), &length) &&
        length == m_text->selLength()) {
        int replaced = 0;
        m_text->replaceSelection(QByteArrayView(replacement(&replaced)));
        TextControl::reportReplaced(replaced);
    }
    findNext();
}

void FindBar::replaceAll()
{
    QByteArray what;
    if (!needle(&what, true))
        return;
    int replaced = 0;
    const QByteArray with = replacement(&replaced);
    const long firstLine = m_text->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    qsizetype count = 0;
    if (m_text->length() >= fileops::hugeTextBytes()) {
        const replaceinbulk::Result r = replaceinbulk::replaceAll(
            *m_text, what, with, options(), QStringLiteral("Replacing \"%1\"").arg(m_find->text()));
        if (r.cancelled)
            return; // the text is as it was
        count = r.count;
        if (count > 0)
            m_text->setSelStart(r.caret);
    } else {
        const findengine::Replaced r =
            findengine::replaceAll(m_text->bytes(), what, with, options(), m_text->selStart());
        count = r.count;
        // One write through the control for all of them: one change, one undo step.
        if (count > 0) {
            m_text->replaceRange(r.start, r.length, r.bytes);
            m_text->setSelStart(r.caret);
        }
    }
    if (count == 0) {
        notFound();
        return;
    }
    m_text->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    TextControl::reportReplaced(replaced);
    platform::message(count == 1 ? QStringLiteral("Replaced 1 occurrence.")
                                 : QStringLiteral("Replaced %1 occurrences.").arg(count));
}

bool FindBar::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (k->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (enter && watched == m_find) {
            if (k->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
        if (enter && watched == m_replace) {
            replace();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void FindBar::keyPressEvent(QKeyEvent *e)
{
    // Escape on a button or check box of the bar closes it too.
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}
