#include "tools/frmurlsnip.h"

#include "documents/documentwindow.h"
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

FrmUrlSnip *FrmUrlSnip::instance() { return g_urlSnip; }

FrmUrlSnip *FrmUrlSnip::showFor(DocumentWindow &document)
{
    if (!g_urlSnip)
        g_urlSnip = new FrmUrlSnip(frameWindow(document.widget()));
    showTool(g_urlSnip);
    g_urlSnip->setTarget(GrabTarget::of(document));
    return g_urlSnip;
}

FrmUrlSnip::FrmUrlSnip(QWidget *parent) : QWidget(parent, Qt::Dialog), Inet1(new platform::UrlFetch(this))
{
    setObjectName(QStringLiteral("frmUrlSnip"));
    setWindowTitle(QStringLiteral("URL SNIP TOOL"));
    Inet1->setObjectName(QStringLiteral("Inet1"));

    auto named = [this](auto *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Label1 = named(new QLabel(QStringLiteral("Please Enter URL "), this), "Label1");
    txtAddress = named(new QLineEdit(this), "txtAddress");
    Label1->setBuddy(txtAddress);
    Label2 = named(new QLabel(QStringLiteral("Please Enter the url address then press load."), this), "Label2");
    Command1 = named(new QPushButton(QStringLiteral("&Load"), this), "Command1");
    txtUrl = named(new SelectAllBox(this), "txtUrl");
    // A page may hold any character; the document takes what it can hold.
    txtUrl->setFormat(TextFormat{LineEnd::CrLf, Encoding::Utf8});
    Label3 = named(new QLabel(QStringLiteral("Idle"), this), "Label3");
    lblSize = named(new QLabel(this), "lblSize");
    Command2 = named(new QPushButton(QStringLiteral("G&rab text"), this), "Command2");
    Command3 = named(new QPushButton(QStringLiteral("&Cancel"), this), "Command3");

    auto *top = new QGridLayout;
    top->addWidget(Label1, 0, 0);
    top->addWidget(txtAddress, 0, 1);
    top->addWidget(Command1, 0, 2);
    top->addWidget(Label2, 1, 1, 1, 2);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Label3);
    bottom->addSpacing(24);
    bottom->addWidget(lblSize);
    bottom->addStretch(1);
    bottom->addWidget(Command2);
    bottom->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(txtUrl, 1);
    layout->addLayout(bottom);
    setFixedSize(620, 460);

    connect(Command1, &QPushButton::clicked, this, &FrmUrlSnip::Load);
    connect(txtAddress, &QLineEdit::returnPressed, this, &FrmUrlSnip::Load);
    connect(Command2, &QPushButton::clicked, this, &FrmUrlSnip::Grab);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
}

void FrmUrlSnip::Load()
{
    if (Inet1->isBusy()) {
        platform::beep(); // one transfer at a time
        return;
    }
    const QString address = txtAddress->text();
    if (address.trimmed().isEmpty())
        return;
    txtUrl->setText(QByteArrayView());
    Label3->setText(QStringLiteral("Working"));
    Command1->setEnabled(false);

    QPointer<FrmUrlSnip> self(this);
    const platform::UrlFetch::Result result = Inet1->fetch(address);
    if (!self)
        return;
    Command1->setEnabled(true);
    if (m_closing) {
        deleteLater();
        return;
    }
    if (!result.ok) {
        lblSize->clear();
        Label3->setText(QStringLiteral("Idle"));
        if (!result.stopped) // stopped on purpose: nothing to tell
            platform::message(QStringLiteral("The address could not be loaded.\r\n") + result.error,
                              platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    txtUrl->setText(result.text);
    lblSize->setText(QString::number(txtUrl->characterCount()) + QStringLiteral(" Bytes"));
    Label3->setText(QStringLiteral("Idle"));
}

void FrmUrlSnip::Grab()
{
    if (txtUrl->selLength() < 1)
        return;
    m_target.write(txtUrl->selectedString());
    close();
}

void FrmUrlSnip::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (g_urlSnip == this)
        g_urlSnip = nullptr; // the next opening makes a fresh window
    if (Inet1->isBusy()) {
        // Load() is still waiting on its stack: it deletes us once the transfer has stopped.
        m_closing = true;
        Inet1->abort();
        return;
    }
    deleteLater();
}

} // namespace tools
