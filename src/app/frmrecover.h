#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>

class QListWidget;
class QPushButton;

// Offers the documents that an instance which is gone left unsaved, one
// check box each. Restore brings back the ticked ones and discards the rest;
// Discard drops them all; Later (or closing the window) keeps them all for
// the next start.
class FrmRecover : public QDialog
{
    Q_OBJECT

public:
    struct Row
    {
        QString title;
        QString path;
        QDateTime written;
        qsizetype length = 0;
    };
    enum class Choice { Later, Restore, Discard };

    explicit FrmRecover(const QList<Row> &rows, QWidget *parent = nullptr);

    Choice choice() const { return m_choice; }
    QList<int> checkedRows() const;

    static QString rowText(const Row &row);

private:
    void finish(Choice c);
    void updateButtons();

    QListWidget *m_list;
    QPushButton *m_restore;
    Choice m_choice = Choice::Later;
};
