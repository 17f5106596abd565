#include "ListSort.h"

#include <QHeaderView>

void TSortState::Click(int column)
{
    const bool again = m_PerColumn ? m_Clicked.contains(column) : column == m_Column;
    const Qt::SortOrder last = m_PerColumn ? m_Clicked.value(column) : m_Order;
    m_Order = again && last == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_Column = column;
    m_Clicked[column] = m_Order;
}

void TSortedModel::ClickColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    m_Sort.Click(column);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> moved = SortRows();
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from)
        to << index(moved[std::size_t(old.row())], old.column());
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TSortedModel::FollowHeader(QHeaderView* header)
{
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
        ClickColumn(column);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(m_Sort.Column(), m_Sort.Order());
    });
}
