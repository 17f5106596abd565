#include "ReportModel.h"

#include <QHeaderView>

#include <algorithm>

TReportModel::TReportModel(QStringList titles, QObject* parent)
    : QAbstractTableModel(parent), m_Titles(std::move(titles)),
      m_Alignments(std::size_t(m_Titles.size()), Qt::AlignLeft | Qt::AlignVCenter),
      m_Orders(std::size_t(m_Titles.size()), Qt::AscendingOrder), m_Clicked(std::size_t(m_Titles.size()), false)
{
}

int TReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Rows.size());
}

int TReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Titles.size());
}

QVariant TReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_Alignments[std::size_t(index.column())]);
    if (role != Qt::DisplayRole)
        return {};
    const TRow& row = m_Rows[std::size_t(index.row())];
    return std::size_t(index.column()) < row.size() ? row[std::size_t(index.column())].Text : QString();
}

QVariant TReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_Titles.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_Alignments[std::size_t(section)]);
    return role == Qt::DisplayRole ? QVariant(m_Titles[section]) : QVariant();
}

void TReportModel::SetAlignment(int column, Qt::Alignment alignment)
{
    m_Alignments[std::size_t(column)] = alignment | Qt::AlignVCenter;
}

void TReportModel::SetRows(std::vector<TRow> rows)
{
    for (TRow& row : rows)
        row.resize(std::size_t(m_Titles.size()));
    beginResetModel();
    m_Rows = std::move(rows);
    Sort();
    endResetModel();
}

void TReportModel::SortBy(int column, Qt::SortOrder order)
{
    m_SortColumn = column;
    m_SortOrder = order;
    beginResetModel();
    Sort();
    endResetModel();
}

void TReportModel::ClickColumn(int column)
{
    if (column < 0 || column >= m_Titles.size())
        return;
    const auto c = std::size_t(column);
    const bool again = m_OrderPerColumn ? m_Clicked[c] : column == m_SortColumn;
    const Qt::SortOrder last = m_OrderPerColumn ? m_Orders[c] : m_SortOrder;
    m_Orders[c] = again && last == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_Clicked[c] = true;
    SortBy(column, m_Orders[c]);
}

void TReportModel::FollowHeader(QHeaderView* header)
{
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
        ClickColumn(column);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(m_SortColumn, m_SortOrder);
    });
}

void TReportModel::Sort()
{
    if (m_SortColumn < 0)
        return;
    const auto column = std::size_t(m_SortColumn);
    const int direction = m_SortOrder == Qt::AscendingOrder ? 1 : -1;
    std::stable_sort(m_Rows.begin(), m_Rows.end(), [column, direction](const TRow& a, const TRow& b) {
        const TCell& x = a[column];
        const TCell& y = b[column];
        const int order = x.Numeric && y.Numeric ? (x.Key > y.Key) - (x.Key < y.Key)
                                                 : x.Text.compare(y.Text, Qt::CaseInsensitive);
        return order * direction < 0;
    });
}
