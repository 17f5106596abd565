// How report lists sort on clicks of their header: the sort column and its direction
// (TSortState), which item lists and table models share, and the base of the table models
// (TSortedModel), whose persistent indexes - the view's selection and current row - move
// with their rows.
#pragma once

#include <QAbstractTableModel>
#include <QHash>

#include <algorithm>
#include <numeric>
#include <vector>

class QHeaderView;

class TSortState {
public:
    // -1 while rows keep the order they were added in.
    int Column() const { return m_Column; }
    Qt::SortOrder Order() const { return m_Order; }
    // The column rows sort by, ascending, before any click.
    void SetColumn(int column) { m_Column = column; }
    // A click on a column sorts by it ascending, and a further click on it reverses the
    // order. With an order per column, each column keeps a direction of its own instead: a
    // click reverses the one it had at its last click (the first click ascending), whatever
    // was clicked in between.
    void SetOrderPerColumn() { m_PerColumn = true; }
    void Click(int column);

private:
    int m_Column = -1;
    Qt::SortOrder m_Order = Qt::AscendingOrder;
    bool m_PerColumn = false;
    QHash<int, Qt::SortOrder> m_Clicked; // each column's order at its last click
};

class TSortedModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetOrderPerColumn() { m_Sort.SetOrderPerColumn(); }
    // Sorts the rows by the column as a click on its header does.
    void ClickColumn(int column);
    // Clicks on the view's header sort the rows, and the header shows the order.
    void FollowHeader(QHeaderView* header);

protected:
    // Sorts the rows by the sort column, with Sorted; returns each old row's new position.
    virtual std::vector<int> SortRows() = 0;

    // Orders rows stably by compare(a, b, column) (negative, 0 or positive) in the sort
    // direction; returns each old row's new position (none without a sort column).
    template <typename Row, typename Compare>
    std::vector<int> Sorted(std::vector<Row>& rows, Compare compare) const
    {
        const int column = m_Sort.Column();
        if (column < 0)
            return {};
        const int direction = m_Sort.Order() == Qt::AscendingOrder ? 1 : -1;
        std::vector<int> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return compare(rows[std::size_t(a)], rows[std::size_t(b)], column) * direction < 0;
        });
        std::vector<Row> sorted;
        sorted.reserve(rows.size());
        std::vector<int> moved(rows.size());
        for (std::size_t position = 0; position < order.size(); ++position) {
            sorted.push_back(std::move(rows[std::size_t(order[position])]));
            moved[std::size_t(order[position])] = int(position);
        }
        rows = std::move(sorted);
        return moved;
    }

private:
    TSortState m_Sort;
};
