#include "inserts/frminsertdate.h"

#include "documents/documentregistry.h"
#include "documents/documentwindow.h"
#include "inserts/datestamps.h"
#include "platform/textcontrol.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FrmInsertDate::FrmInsertDate(int slot, QWidget *parent, const QDate &today, const QLocale &locale)
    : QDialog(parent), m_slot(slot), m_date(today), m_list(new QListWidget(this)),
      m_add(new QPushButton(QStringLiteral("&Add Date"), this)),
      m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmInsertDate"));
    setWindowTitle(QStringLiteral("Form1"));
    setModal(true);
    m_list->setObjectName(QStringLiteral("List1"));
    m_add->setObjectName(QStringLiteral("Command1"));
    m_cancel->setObjectName(QStringLiteral("Command2"));

    m_list->addItems(inserts::dateStamps(today, locale));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setCurrentRow(-1);
    // Just big enough for the five dates, without scrolling.
    const int frame = 2 * m_list->frameWidth();
    m_list->setFixedSize(qMax(240, m_list->sizeHintForColumn(0) + frame + 24),
                         m_list->sizeHintForRow(0) * m_list->count() + frame + 6);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_add->setDefault(true);
    connect(m_add, &QPushButton::clicked, this, &FrmInsertDate::addDate);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &FrmInsertDate::addDate);
}

void FrmInsertDate::addDate()
{
    const QList<QListWidgetItem *> chosen = m_list->selectedItems();
    if (chosen.isEmpty())
        return;
    DocumentWindow *window = DocumentRegistry::instance().window(m_slot);
    // Day and month names outside Latin-1 become "?" there, and the user is told.
    if (window && window->textControl())
        window->textControl()->replaceSelection(chosen.first()->text());
    accept();
}
