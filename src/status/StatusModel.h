// The status monitor's rows as a table for the views: six columns, the row colours and
// hints, and sorting by each column's own key; optionally only the rows in trouble, and a
// count of the rows by state. Changes of a burst reach the views together.
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

    // How many rows are online, offline, failed their query or report an alarm.
    struct TSummary {
        int Online = 0;
        int Offline = 0;
        int Failed = 0;
        int Alarms = 0;
        bool operator==(const TSummary&) const = default;
    };

    explicit TStatusModel(Status::TStatusMonitor& monitor, QObject* parent = nullptr);

    // Offline, failed its query or reports an alarm (a changed address alone is no problem).
    static bool IsProblem(uint32_t flags);

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
    // Shows only the rows with a problem, or every row again; rows come and go as their
    // state changes.
    void SetProblemsOnly(bool only);
    bool ProblemsOnly() const { return m_ProblemsOnly; }
    // Of every row the monitor has, as of the last flush.
    const TSummary& Summary() const { return m_Summary; }

signals:
    // After a flush that changed the counts.
    void SummaryChanged();

private:
    void OnRowChanged(int row, uint32_t keys);
    void FlushLater();
    QString Text(int row, int column) const;
    // Whether row a goes before row b: the sort column's key, then the number.
    bool Less(int a, int b) const;
    // Shows the rows in this order, keeping the persistent indexes on their rows.
    void Reorder(std::vector<int> order);
    bool IsShown(int row) const { return !m_ProblemsOnly || IsProblem(m_Monitor.Row(row).Flags); }
    // Moves the row's flags in or out of the counts.
    void Count(uint32_t flags, int sign);

    Status::TStatusMonitor& m_Monitor;
    std::vector<int> m_Order;      // shown position -> monitor row
    std::vector<int> m_Position;   // monitor row -> shown position, -1 when hidden; one per row seen
    std::vector<uint32_t> m_Flags; // monitor row -> the flags counted in m_Summary
    TSummary m_Summary;
    TSummary m_Announced; // the counts of the last SummaryChanged
    bool m_ProblemsOnly = false;
    // Rows out of place: new, or their sort key changed. m_Misplaced marks them by row.
    std::vector<int> m_Unplaced;
    std::vector<bool> m_Misplaced;
    int m_ChangedFirst = -1;      // range of shown positions changed since the last flush
    int m_ChangedLast = -1;
    int m_SortColumn = colNumber;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
    QTimer m_FlushTimer;
};
