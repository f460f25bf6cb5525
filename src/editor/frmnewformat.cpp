#include "editor/frmnewformat.h"

#include "documents/newdocumentformat.h"
#include "platform/apphelpers.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPointer<FrmNewFormat> g_dialog;

QRadioButton *option(const QString &name, const QString &caption, QWidget *parent, QLayout *layout)
{
    auto *b = new QRadioButton(caption, parent);
    b->setObjectName(name);
    layout->addWidget(b);
    return b;
}

} // namespace

FrmNewFormat *FrmNewFormat::instance()
{
    return g_dialog;
}

FrmNewFormat *FrmNewFormat::showDialog()
{
    if (!g_dialog) {
        g_dialog = new FrmNewFormat(platform::mainFrame());
        platform::CenterWindow(g_dialog);
    }
    g_dialog->choose(documents::NewDocumentFormat());
    g_dialog->show();
    g_dialog->raise();
    g_dialog->activateWindow();
    return g_dialog;
}

FrmNewFormat::FrmNewFormat(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmNewFormat"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("New Document Format"));

    auto *note =
        new QLabel(QStringLiteral("New documents take this format. A file of ASCII characters only "
                                  "takes its encoding, unless its lines end in LF (then it is UTF-8); "
                                  "every other file keeps its own."),
                   this);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);

    auto *lineEnds = new QGroupBox(QStringLiteral("Line Ends"), this);
    lineEnds->setObjectName(QStringLiteral("fraLineEnd"));
    auto *lineEndLayout = new QVBoxLayout(lineEnds);
    m_crlf = option(QStringLiteral("optCRLF"), QStringLiteral("CR LF"), lineEnds, lineEndLayout);
    m_lf = option(QStringLiteral("optLF"), QStringLiteral("LF"), lineEnds, lineEndLayout);

    auto *encodings = new QGroupBox(QStringLiteral("Encoding"), this);
    encodings->setObjectName(QStringLiteral("fraEncoding"));
    auto *encodingLayout = new QVBoxLayout(encodings);
    m_latin1 = option(QStringLiteral("optLatin1"), QStringLiteral("Latin-1"), encodings, encodingLayout);
    m_utf8 = option(QStringLiteral("optUTF8"), QStringLiteral("UTF-8"), encodings, encodingLayout);
    m_utf8Bom =
        option(QStringLiteral("optUTF8BOM"), QStringLiteral("UTF-8 with BOM"), encodings, encodingLayout);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *groups = new QHBoxLayout;
    groups->addWidget(lineEnds);
    groups->addWidget(encodings);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    setFixedWidth(380);
    adjustSize();

    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        close();
    });
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

TextFormat FrmNewFormat::chosen() const
{
    TextFormat f;
    f.lineEnd = m_lf->isChecked() ? LineEnd::Lf : LineEnd::CrLf;
    f.encoding = m_utf8Bom->isChecked() ? Encoding::Utf8Bom
                 : m_utf8->isChecked()  ? Encoding::Utf8
                                        : Encoding::Latin1;
    return f;
}

void FrmNewFormat::choose(const TextFormat &format)
{
    (format.lineEnd == LineEnd::Lf ? m_lf : m_crlf)->setChecked(true);
    switch (format.encoding) {
    case Encoding::Latin1:
        m_latin1->setChecked(true);
        break;
    case Encoding::Utf8:
        m_utf8->setChecked(true);
        break;
    case Encoding::Utf8Bom:
        m_utf8Bom->setChecked(true);
        break;
    }
}

void FrmNewFormat::apply()
{
    documents::SetNewDocumentFormat(chosen());
}
