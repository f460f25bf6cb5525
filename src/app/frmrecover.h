#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>

class QListWidget;
class QPushButton;

// Offers the documents that an instance which is gone left unsaved, one
// check box each, and the journals that could not be read, with their size
// and place. Restore brings back the ticked ones (an unreadable journal as a
// new document of its raw bytes); Discard deletes the ticked ones; what is
// not ticked, and everything after Later (or closing the window), stays for
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
        bool unreadable = false; // path is then where the journal is kept
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
    QPushButton *m_discard;
    Choice m_choice = Choice::Later;
};
