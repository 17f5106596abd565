// The status monitor's rows as a table for the views: six columns, the row colours and
// hints, and sorting by each column's own key. Changes of a burst reach the views together.
#pragma once

#include "net/StatusMonitor.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QTimer>

#include <vector>

class TStatusModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colNumber, colIp, colMac, colModel, colTime, colStatus, ColumnCount };

    explicit TStatusModel(Status::TStatusMonitor& monitor, QObject* parent = nullptr);

    // The colour a row with these flags is painted in; invalid when it has none.
    static QColor RowColour(uint32_t flags);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int SortColumn() const { return m_SortColumn; }
    Qt::SortOrder SortOrder() const { return m_SortOrder; }
    // The monitor's row shown at this index.
    int RowOf(const QModelIndex& index) const { return m_Order[std::size_t(index.row())]; }
    // Hands the views what the monitor changed since the last call: the new rows in one
    // insertion, the changed rows in one range, then the order if a sort key changed.
    // Runs by itself once the current burst of changes is over.
    void Flush();

private:
    void OnRowChanged(int row, uint32_t keys);
    void FlushLater();
    QString Text(int row, int column) const;
    // Whether row a goes before row b: the sort column's key, then the number.
    bool Less(int a, int b) const;
    // Shows the rows in this order, keeping the persistent indexes on their rows.
    void Reorder(std::vector<int> order);

    Status::TStatusMonitor& m_Monitor;
    std::vector<int> m_Order;     // shown position -> monitor row
    std::vector<int> m_Position;  // monitor row -> shown position
    // Rows out of place: new, or their sort key changed. m_Misplaced marks them by row.
    std::vector<int> m_Unplaced;
    std::vector<bool> m_Misplaced;
    int m_ChangedFirst = -1;      // range of shown positions changed since the last flush
    int m_ChangedLast = -1;
    int m_SortColumn = colNumber;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
    QTimer m_FlushTimer;
};
