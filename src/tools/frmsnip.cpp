#include "tools/frmsnip.h"

#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "documents/textfile.h"
#include "platform/apphelpers.h"
#include "platform/prompts.h"
#include "tools/selectallbox.h"
#include "tools/snipfile.h"
#include "tools/toolwindow.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tools {

namespace {
QPointer<FrmSnip> g_snip;
}

FrmSnip *FrmSnip::instance()
{
    return g_snip;
}

FrmSnip *FrmSnip::showFor(DocumentWindow &document)
{
    if (!g_snip)
        g_snip = new FrmSnip(platform::frameWindow());
    g_snip->setTarget(GrabTarget::of(document));
    showTool(g_snip);
    return g_snip;
}

FrmSnip::FrmSnip(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmSnip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Snip Tool"));

    m_snipBox = new SelectAllBox(this);
    m_snipBox->setObjectName(QStringLiteral("txtSnip"));
    m_openButton = new QPushButton(QStringLiteral("&Open"), this);
    m_openButton->setObjectName(QStringLiteral("Command1"));
    m_grabButton = new QPushButton(QStringLiteral("Grab text"), this);
    m_grabButton->setObjectName(QStringLiteral("Command2"));
    m_cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("Command3"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_openButton);
    buttons->addStretch(1);
    buttons->addWidget(m_grabButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_snipBox, 1);
    layout->addLayout(buttons);
    setFixedSize(560, 400);

    connect(m_openButton, &QPushButton::clicked, this, &FrmSnip::Open);
    connect(m_grabButton, &QPushButton::clicked, this, &FrmSnip::Grab);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_snipBox, &TextControl::filesDropped, this, &FrmSnip::onFilesDropped);
}

void FrmSnip::Open()
{
    m_fileDialog.setFilter(QString::fromLatin1(fileops::FileFilter));
    m_fileDialog.showOpen();
    // Takes effect from the next showing, as with the frame's own dialog.
    m_fileDialog.setFlags(platform::FileDialog::PathMustExist);
    const QString name = m_fileDialog.fileName();
    if (name.trimmed().isEmpty())
        return;
    LoadSnipFile(name);
}

void FrmSnip::LoadSnipFile(const QString &path)
{
    const SnipRead read = readSnipFile(path);
    if (read.aborted)
        return;
    // The box shows the whole file, line breaks as they are, in its own
    // encoding (a byte-order mark is no text); Grab converts to the document's.
    TextFormat format = detectFormat(read.bytes, TextFormat{LineEnd::CrLf, Encoding::Utf8}).format;
    QByteArrayView text(read.bytes);
    if (format.hasBom())
        text = text.sliced(3);
    format.verbatim = false;
    m_snipBox->setText(QByteArrayView());
    m_snipBox->setFormat(format);
    m_snipBox->setText(text);
}

void FrmSnip::Grab()
{
    if (m_snipBox->selLength() < 1)
        return;
    // A target closed meanwhile gets nothing, and neither does whatever took its slot.
    m_target.write(m_snipBox->selectedString());
    close();
}

void FrmSnip::onFilesDropped(const QStringList &paths)
{
    if (paths.size() != 1) {
        platform::message(QStringLiteral("You can only drop one file into the snip tool"));
        return;
    }
    LoadSnipFile(paths.first());
}

} // namespace tools
