#include "tools/frmsnip.h"

#include "documents/documentwindow.h"
#include "documents/fileops.h"
#include "documents/textfile.h"
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

FrmSnip *FrmSnip::instance() { return g_snip; }

FrmSnip *FrmSnip::showFor(DocumentWindow &document)
{
    if (!g_snip)
        g_snip = new FrmSnip(frameWindow(document.widget()));
    g_snip->setTarget(GrabTarget::of(document));
    showTool(g_snip);
    return g_snip;
}

FrmSnip::FrmSnip(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmSnip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Snip Tool"));

    txtSnip = new SelectAllBox(this);
    txtSnip->setObjectName(QStringLiteral("txtSnip"));
    Command1 = new QPushButton(QStringLiteral("&Open"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Grab text"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addStretch(1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtSnip, 1);
    layout->addLayout(buttons);
    setFixedSize(560, 400);

    connect(Command1, &QPushButton::clicked, this, &FrmSnip::Open);
    connect(Command2, &QPushButton::clicked, this, &FrmSnip::Grab);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(txtSnip, &TextControl::filesDropped, this, &FrmSnip::onFilesDropped);
}

void FrmSnip::Open()
{
    cdiaFiles.setFilter(QString::fromLatin1(fileops::FileFilter));
    cdiaFiles.showOpen();
    // Takes effect from the next showing, as with the frame's own dialog.
    cdiaFiles.setFlags(platform::FileDialog::PathMustExist);
    const QString name = cdiaFiles.fileName();
    if (name.trimmed().isEmpty())
        return;
    LoadSnipFile(name);
}

void FrmSnip::LoadSnipFile(const QString &path)
{
    const SnipRead read = ReadSnipFile(path);
    if (read.aborted)
        return;
    // The box shows the whole file, line breaks as they are, in its own
    // encoding (a byte-order mark is no text); Grab converts to the document's.
    TextFormat format = detectFormat(read.bytes, TextFormat{LineEnd::CrLf, Encoding::Utf8}).format;
    QByteArrayView text(read.bytes);
    if (format.hasBom())
        text = text.sliced(3);
    format.verbatim = false;
    txtSnip->setText(QByteArrayView());
    txtSnip->setFormat(format);
    txtSnip->setText(text);
}

void FrmSnip::Grab()
{
    if (txtSnip->selLength() < 1)
        return;
    // A target closed meanwhile gets nothing, and neither does whatever took its slot.
    m_target.write(txtSnip->selectedString());
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
