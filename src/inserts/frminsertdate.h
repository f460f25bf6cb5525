#pragma once

#include <QDate>
#include <QDialog>
#include <QLocale>

class QListWidget;
class QPushButton;

// The date stamp dialog: today's date in five forms; "&Add Date" writes the
// chosen one at the caret of the document window it was opened for.
class FrmInsertDate : public QDialog
{
    Q_OBJECT

public:
    // The date is taken once, here; the list never changes afterwards.
    FrmInsertDate(int slot, QWidget *parent, const QDate &today = QDate::currentDate(),
                  const QLocale &locale = QLocale());

    int slot() const { return m_slot; }
    QDate date() const { return m_date; }
    QListWidget *list() const { return m_list; }

private:
    void addDate();

    int m_slot;
    QDate m_date;
    QListWidget *m_list;
    QPushButton *m_add;
    QPushButton *m_cancel;
};
