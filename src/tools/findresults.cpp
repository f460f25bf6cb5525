#include "tools/findresults.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>

namespace tools {

namespace {
const QString kEllipsis(QChar(0x2026));
}

QString fileRowText(const FileHits &file)
{
    QString path = file.path;
    for (QChar &ch : path)
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            ch = QLatin1Char('?');
    return QStringLiteral("%1 (%2 %3)")
        .arg(path, QLocale().toString(file.matches),
             file.matches == 1 ? QStringLiteral("match") : QStringLiteral("matches"));
}

QString lineRowText(const LineHit &hit, int *spansShift)
{
    QString text = QStringLiteral("    %1: ").arg(hit.line);
    if (hit.cutBefore)
        text += kEllipsis;
    // Leading blanks are left out, so the lines of a file stand aligned whatever their indent.
    qsizetype lead = 0;
    while (lead < hit.shown.size() && hit.shown[lead] == QLatin1Char(' '))
        ++lead;
    *spansShift = int(text.size() - lead);
    text += QStringView(hit.shown).mid(lead);
    if (hit.cutAfter)
        text += kEllipsis;
    return text;
}

int FindResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant FindResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const Row &r = m_rows[size_t(index.row())];
    const FileHits &f = m_files[size_t(r.file)];
    if (role == IsFileRole)
        return r.hit < 0;
    if (r.hit < 0) {
        if (role == Qt::DisplayRole)
            return fileRowText(f);
        if (role == Qt::ToolTipRole)
            return f.path;
        return QVariant();
    }
    const LineHit &h = f.lines[size_t(r.hit)];
    if (role == Qt::DisplayRole) {
        int shift = 0;
        return lineRowText(h, &shift);
    }
    if (role == SpansRole) {
        int shift = 0;
        lineRowText(h, &shift);
        QVariantList spans;
        for (const auto &s : h.spans)
            spans << QPoint(s.first + shift, s.second);
        return spans;
    }
    return QVariant();
}

void FindResultModel::clear()
{
    beginResetModel();
    m_files.clear();
    m_rows.clear();
    m_queued.clear();
    m_queuedFrom = 0;
    endResetModel();
}

void FindResultModel::queue(std::vector<FileHits> &&files)
{
    for (FileHits &f : files)
        m_queued.push_back(std::move(f));
}

int FindResultModel::addQueued(int maxRows)
{
    std::vector<Row> rows;
    while (!m_queued.empty() && int(rows.size()) < maxRows) {
        FileHits &f = m_queued.front();
        if (m_queuedFrom == 0) {
            m_files.push_back(FileHits{f.path, {}, f.matches, f.encoding});
            m_files.back().lines.reserve(f.lines.size());
            rows.push_back({int(m_files.size()) - 1, -1});
        }
        FileHits &into = m_files.back();
        while (m_queuedFrom < f.lines.size() && int(rows.size()) < maxRows) {
            into.lines.push_back(std::move(f.lines[m_queuedFrom++]));
            rows.push_back({int(m_files.size()) - 1, int(into.lines.size()) - 1});
        }
        if (m_queuedFrom == f.lines.size()) {
            m_queued.pop_front();
            m_queuedFrom = 0;
        }
    }
    if (rows.empty())
        return 0;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), rows.begin(), rows.end());
    endInsertRows();
    return int(rows.size());
}

bool FindResultModel::isFile(int row) const
{
    return row >= 0 && row < int(m_rows.size()) && m_rows[size_t(row)].hit < 0;
}

const FileHits *FindResultModel::fileOf(int row) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return nullptr;
    return &m_files[size_t(m_rows[size_t(row)].file)];
}

const LineHit *FindResultModel::hitOf(int row) const
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[size_t(row)].hit < 0)
        return nullptr;
    return &m_files[size_t(m_rows[size_t(row)].file)].lines[size_t(m_rows[size_t(row)].hit)];
}

void FindResultDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const QString text = o.text;
    o.text.clear();
    const QWidget *w = option.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, painter, w);

    const bool isFile = index.data(FindResultModel::IsFileRole).toBool();
    QFont font = o.font;
    font.setBold(isFile);
    const QFontMetrics fm(font);
    const QRect r = o.rect.adjusted(4, 0, -2, 0);
    painter->save();
    painter->setClipRect(o.rect);
    painter->setFont(font);
    const bool selected = o.state & QStyle::State_Selected;
    for (const QVariant &v : index.data(FindResultModel::SpansRole).toList()) {
        const QPoint s = v.toPoint();
        const int x = r.left() + fm.horizontalAdvance(text.left(s.x()));
        const int width = qMax(2, fm.horizontalAdvance(text.mid(s.x(), s.y())));
        painter->fillRect(QRect(x, r.top() + 1, width, r.height() - 2),
                          selected ? QColor(255, 200, 60, 150) : QColor(255, 225, 90));
    }
    painter->setPen(o.palette.color(QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

} // namespace tools
