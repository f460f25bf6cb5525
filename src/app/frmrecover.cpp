#include "app/frmrecover.h"

#include "platform/apphelpers.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

FrmRecover::FrmRecover(const QList<Row> &rows, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmRecover"));
    setWindowTitle(QStringLiteral("Recover Unsaved Work"));
    setModal(true);

    auto *prompt = new QLabel(
        QStringLiteral(
            "Quillpad Basic ended without saving the documents below. Restore brings back the "
            "ticked ones and Discard deletes them; what is not ticked, and everything after Later, "
            "stays for the next start."),
        this);
    prompt->setObjectName(QStringLiteral("lblPrompt"));
    prompt->setWordWrap(true);

    m_list->setObjectName(QStringLiteral("lstDocuments"));
    // Long paths wrap instead of hiding the rest of the row.
    m_list->setWordWrap(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const Row &r : rows) {
        auto *item = new QListWidgetItem(rowText(r), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
        item->setToolTip(r.unreadable       ? QStringLiteral("Restore opens its bytes as a new document")
                         : r.path.isEmpty() ? QStringLiteral("Never saved")
                                            : r.path);
    }
    connect(m_list, &QListWidget::itemChanged, this, &FrmRecover::updateButtons);

    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("cmdRestore"));
    m_restore->setDefault(true);
    m_discard = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    m_discard->setObjectName(QStringLiteral("cmdDiscard"));
    QPushButton *later = buttons->addButton(QStringLiteral("&Later"), QDialogButtonBox::RejectRole);
    later->setObjectName(QStringLiteral("cmdLater"));
    connect(m_restore, &QPushButton::clicked, this, [this] { finish(Choice::Restore); });
    connect(m_discard, &QPushButton::clicked, this, [this] { finish(Choice::Discard); });
    connect(later, &QPushButton::clicked, this, [this] { finish(Choice::Later); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(640, 320);
    platform::CenterWindow(this);
}

QString FrmRecover::rowText(const Row &row)
{
    const QLocale locale;
    if (row.unreadable)
        return QStringLiteral("Unreadable journal (%1 bytes, kept as %2)")
            .arg(locale.toString(row.length), row.path);
    QString where = QStringLiteral("changes not saved");
    if (row.path.isEmpty())
        where = QStringLiteral("never saved");
    else if (row.title != row.path)
        where = QStringLiteral("file ") + row.path;
    return QStringLiteral("%1 (%2, %3 characters, kept %4)")
        .arg(row.title, where, locale.toString(row.length),
             locale.toString(row.written.toLocalTime(), QLocale::ShortFormat));
}

QList<int> FrmRecover::checkedRows() const
{
    QList<int> out;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            out << i;
    return out;
}

void FrmRecover::updateButtons()
{
    m_restore->setEnabled(!checkedRows().isEmpty());
    m_discard->setEnabled(!checkedRows().isEmpty());
}

void FrmRecover::finish(Choice c)
{
    m_choice = c;
    if (c == Choice::Later)
        reject();
    else
        accept();
}
