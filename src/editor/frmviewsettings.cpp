#include "editor/frmviewsettings.h"

#include "editor/viewertable.h"
#include "platform/apphelpers.h"
#include "platform/blanks.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<FrmViewSettings> g_dialog;

const char *const kBrowseFilter = "Applications (.exe) | *.exe; *.com | All | *.*";

} // namespace

FrmViewSettings::FrmViewSettings(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmViewSettings"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window: left open, it must not keep the program running once the frame is gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QString());

    auto *frame = new QGroupBox(QStringLiteral("View Settings"), this);
    frame->setObjectName(QStringLiteral("fraViewSettings"));
    auto *grid = new QGridLayout(frame);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(4, 2);
    for (int row = 0; row < viewers::Count; ++row) {
        const QString n = QString::number(row + 1);
        auto *label = new QLabel(QStringLiteral("External Program &") + n, frame);
        label->setObjectName(QStringLiteral("lblExternal") + n);
        auto *program = new QLineEdit(frame);
        program->setObjectName(QStringLiteral("txtProgram") + n);
        program->setMinimumWidth(260);
        label->setBuddy(program);
        auto *browseButton = new QPushButton(QStringLiteral("..."), frame);
        browseButton->setObjectName(QStringLiteral("cmdBrowse") + n);
        browseButton->setFixedWidth(browseButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) +
                                    20);
        auto *titleLabel = new QLabel(QStringLiteral("Title"), frame);
        titleLabel->setObjectName(QStringLiteral("lblTitle"));
        titleLabel->setProperty("index", row);
        auto *title = new QLineEdit(frame);
        title->setObjectName(QStringLiteral("txtTitle") + n);
        title->setMinimumWidth(140);
        titleLabel->setBuddy(title);
        grid->addWidget(label, row, 0);
        grid->addWidget(program, row, 1);
        grid->addWidget(browseButton, row, 2);
        grid->addWidget(titleLabel, row, 3);
        grid->addWidget(title, row, 4);
        m_program[size_t(row)] = program;
        m_title[size_t(row)] = title;
        connect(browseButton, &QPushButton::clicked, this, [this, row] { browse(row); });
    }

    auto *apply = new QPushButton(QStringLiteral("&Save and Apply"), this);
    apply->setObjectName(QStringLiteral("cmdApply"));
    apply->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Never Mind"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(apply, &QPushButton::clicked, this, &FrmViewSettings::apply);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

FrmViewSettings *FrmViewSettings::instance()
{
    return g_dialog;
}

FrmViewSettings *FrmViewSettings::showDialog()
{
    if (!g_dialog)
        g_dialog = new FrmViewSettings;
    platform::CenterWindow(g_dialog);
    g_dialog->fill();
    g_dialog->show();
    g_dialog->raise();
    g_dialog->activateWindow();
    return g_dialog;
}

void FrmViewSettings::fill()
{
    for (int row = 0; row < viewers::Count; ++row) {
        m_program[size_t(row)]->setText(viewers::entry(row).path);
        m_title[size_t(row)]->setText(viewers::entry(row).title);
    }
}

void FrmViewSettings::browse(int row)
{
    m_fileDialog.setFilter(QString::fromLatin1(kBrowseFilter));
    m_fileDialog.showOpen();
    const QString name = platform::trimBlanks(m_fileDialog.fileName());
    if (!name.isEmpty())
        m_program[size_t(row)]->setText(name);
}

void FrmViewSettings::apply()
{
    viewers::ViewerRows rows;
    for (int row = 0; row < viewers::Count; ++row)
        rows[size_t(row)] =
            viewers::ViewerEntry{m_program[size_t(row)]->text(), m_title[size_t(row)]->text()};
    viewers::applyViewerRows(rows);
    close();
}
