#include "ReportModel.h"

TReportModel::TReportModel(QStringList titles, QObject* parent)
    : TSortedModel(parent), m_Titles(std::move(titles)),
      m_Alignments(std::size_t(m_Titles.size()), Qt::AlignLeft | Qt::AlignVCenter)
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
    SortRows();
    endResetModel();
}

std::vector<int> TReportModel::SortRows()
{
    return Sorted(m_Rows, [](const TRow& a, const TRow& b, int column) {
        const TCell& x = a[std::size_t(column)];
        const TCell& y = b[std::size_t(column)];
        return x.Numeric && y.Numeric ? (x.Key > y.Key) - (x.Key < y.Key) : x.Text.compare(y.Text, Qt::CaseInsensitive);
    });
}
