#include "inserts/frminserts.h"

#include "inserts/insertboxtext.h"
#include "platform/apphelpers.h"
#include "platform/textcontrol.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {
QPointer<FrmInserts> g_box;
}

FrmInserts::FrmInserts(QWidget *frame)
    : QWidget(frame, Qt::Tool), m_text(new TextControl(this)), m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("frmInserts"));
    setWindowTitle(QStringLiteral("Insert Text"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_text->setObjectName(QStringLiteral("txtInserts"));
    // The box holds any character; each document takes what it can hold.
    m_text->setFormat(TextFormat{LineEnd::CrLf, Encoding::Utf8});
    // A multi-line box with a vertical scroll bar only: long lines wrap.
    m_text->SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, QsciScintillaBase::SC_WRAP_WORD);
    m_text->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, 0L);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setText(QStringLiteral("PRESS \"F4\" TO INSERT THE TEXT INTO YOUR DOCUMENT."));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_label);
    resize(420, 280);
    setFocusProxy(m_text);

    connect(m_text, &TextControl::changed, this, [this] { inserts::setInsertBoxText(m_text->textString()); });
}

FrmInserts *FrmInserts::instance()
{
    return g_box;
}

FrmInserts *FrmInserts::open(QWidget *frame)
{
    if (!g_box)
        g_box = new FrmInserts(frame);
    platform::CenterWindow(g_box);
    g_box->show();
    g_box->raise();
    g_box->activateWindow();
    g_box->m_text->setFocus();
    return g_box;
}
