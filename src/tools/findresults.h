#pragma once

#include "tools/filesearch.h"

#include <QAbstractListModel>
#include <QStyledItemDelegate>

#include <deque>
#include <vector>

namespace tools {

// The rows of Find in Files: each file with its match count, and under it
// its matching lines, "  12: the line", with the matches marked. One flat
// list, so adding a batch costs the new rows only.
class FindResultModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { SpansRole = Qt::UserRole + 1, IsFileRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void clear();
    // Files wait here and become rows a bounded number at a time, so one
    // turn of the event loop never adds more than maxRows.
    void queue(std::vector<FileHits> &&files);
    bool hasQueued() const { return !m_queued.empty(); }
    int addQueued(int maxRows);

    bool isFile(int row) const;
    // The file and line of a line row (null for a file row).
    const FileHits *fileOf(int row) const;
    const LineHit *hitOf(int row) const;

private:
    struct Row
    {
        int file;
        int hit; // -1: the file's own row
    };
    std::vector<FileHits> m_files;
    std::vector<Row> m_rows;
    std::deque<FileHits> m_queued;
    size_t m_queuedFrom = 0; // lines of m_queued.front() already rows
};

// Paints a row's text with its matches on a highlight.
class FindResultDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

// Text of a file row: "path (3 matches)"; control characters of odd names as "?".
QString fileRowText(const FileHits &file);
// Text of a line row and where its matches stand in it.
QString lineRowText(const LineHit &hit, int *spansShift);

} // namespace tools
