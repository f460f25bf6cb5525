#include "tools/frmurlsnip.h"

#include "documents/documentwindow.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
#include "platform/urlfetch.h"
#include "tools/selectallbox.h"
#include "tools/toolwindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tools {

namespace {
QPointer<FrmUrlSnip> g_urlSnip;
}

FrmUrlSnip *FrmUrlSnip::instance()
{
    return g_urlSnip;
}

FrmUrlSnip *FrmUrlSnip::showFor(DocumentWindow &document)
{
    if (!g_urlSnip)
        g_urlSnip = new FrmUrlSnip(platform::frameWindow());
    showTool(g_urlSnip);
    g_urlSnip->setTarget(GrabTarget::of(document));
    return g_urlSnip;
}

FrmUrlSnip::FrmUrlSnip(QWidget *parent) : QWidget(parent, Qt::Dialog), m_fetch(new platform::UrlFetch(this))
{
    setObjectName(QStringLiteral("frmUrlSnip"));
    setWindowTitle(QStringLiteral("URL SNIP TOOL"));
    m_fetch->setObjectName(QStringLiteral("Inet1"));

    auto named = [this](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    m_addressLabel = named(new QLabel(QStringLiteral("Please Enter URL "), this), "Label1");
    m_addressBox = named(new QLineEdit(this), "txtAddress");
    m_addressLabel->setBuddy(m_addressBox);
    m_hintLabel =
        named(new QLabel(QStringLiteral("Please Enter the url address then press load."), this), "Label2");
    m_loadButton = named(new QPushButton(QStringLiteral("&Load"), this), "Command1");
    m_pageBox = named(new SelectAllBox(this), "txtUrl");
    // A page may hold any character; the document takes what it can hold.
    m_pageBox->setFormat(TextFormat{LineEnd::CrLf, Encoding::Utf8});
    m_stateLabel = named(new QLabel(QStringLiteral("Idle"), this), "Label3");
    m_sizeLabel = named(new QLabel(this), "lblSize");
    m_grabButton = named(new QPushButton(QStringLiteral("G&rab text"), this), "Command2");
    m_cancelButton = named(new QPushButton(QStringLiteral("&Cancel"), this), "Command3");

    auto *top = new QGridLayout;
    top->addWidget(m_addressLabel, 0, 0);
    top->addWidget(m_addressBox, 0, 1);
    top->addWidget(m_loadButton, 0, 2);
    top->addWidget(m_hintLabel, 1, 1, 1, 2);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_stateLabel);
    bottom->addSpacing(24);
    bottom->addWidget(m_sizeLabel);
    bottom->addStretch(1);
    bottom->addWidget(m_grabButton);
    bottom->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pageBox, 1);
    layout->addLayout(bottom);
    setFixedSize(620, 460);

    connect(m_loadButton, &QPushButton::clicked, this, &FrmUrlSnip::Load);
    connect(m_addressBox, &QLineEdit::returnPressed, this, &FrmUrlSnip::Load);
    connect(m_grabButton, &QPushButton::clicked, this, &FrmUrlSnip::Grab);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);
}

void FrmUrlSnip::Load()
{
    if (m_fetch->isBusy()) {
        platform::beep(); // one transfer at a time
        return;
    }
    const QString address = m_addressBox->text();
    if (address.trimmed().isEmpty())
        return;
    m_pageBox->setText(QByteArrayView());
    m_stateLabel->setText(QStringLiteral("Working"));
    m_loadButton->setEnabled(false);

    QPointer<FrmUrlSnip> self(this);
    const platform::UrlFetch::Result result = m_fetch->fetch(address);
    if (!self)
        return;
    m_loadButton->setEnabled(true);
    if (m_closing) {
        deleteLater();
        return;
    }
    if (!result.ok) {
        m_sizeLabel->clear();
        m_stateLabel->setText(QStringLiteral("Idle"));
        if (!result.stopped) // stopped on purpose: nothing to tell
            platform::message(QStringLiteral("The address could not be loaded.\r\n") + result.error,
                              platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    m_pageBox->setText(result.text);
    m_sizeLabel->setText(QString::number(m_pageBox->characterCount()) + QStringLiteral(" Bytes"));
    m_stateLabel->setText(QStringLiteral("Idle"));
}

void FrmUrlSnip::Grab()
{
    if (m_pageBox->selLength() < 1)
        return;
    m_target.write(m_pageBox->selectedString());
    close();
}

void FrmUrlSnip::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (g_urlSnip == this)
        g_urlSnip = nullptr; // the next opening makes a fresh window
    if (m_fetch->isBusy()) {
        // Load() is still waiting on its stack: it deletes us once the transfer has stopped.
        m_closing = true;
        m_fetch->abort();
        return;
    }
    deleteLater();
}

} // namespace tools
