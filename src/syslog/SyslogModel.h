// The stored syslog messages as a table in arrival order. New messages reach the views in
// one insertion per batch interval, and messages the store discarded leave the top in one
// removal with it, so a flood never makes the views handle rows one by one. With a filter
// the rows are the matching messages only, kept as an index of arrival numbers into the
// store, which is never copied.
#pragma once

#include "core/SyslogStore.h"

#include <QAbstractTableModel>
#include <QTimer>

class TSyslogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colEventId, colFacility, colSeverity, colHost, colDate, colTime, colMessage, ColumnCount };
    // The sender address (host order) and the event ID each row carries.
    enum TRole { AddressRole = Qt::UserRole, EventIdRole };

    // Messages arrive one event-loop turn apart, so a zero timer would insert them singly.
    static constexpr int BatchInterval = 50;

    explicit TSyslogModel(const Syslog::TSyslogStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The store grew (and may have discarded its oldest): the rows follow with the next batch.
    void Added();
    // The store was emptied.
    void Cleared();
    // Removes the rows of the messages the store discarded, in one removal, and inserts
    // those it holds beyond the rows, in one insertion.
    void Flush();
    // Shows only the messages that pass; an empty filter shows all.
    void SetFilter(const Syslog::TSyslogFilter& filter);
    bool IsFiltering() const { return m_Filtering; }

private:
    uint64_t ArrivalOf(int row) const
    {
        return m_Filtering ? m_Index[m_IndexFirst + std::size_t(row)] : m_Removed + uint64_t(row);
    }
    void FlushFiltered();

    const Syslog::TSyslogStore& m_Store;
    int m_Shown = 0;
    // The store's discarded count the rows reflect: row r shows the message that arrived
    // m_Removed + r messages after the last clear.
    uint64_t m_Removed = 0;
    // With a filter: the arrival numbers of the matching messages (row r at m_IndexFirst + r),
    // and the arrival number up to which the store has been looked through.
    Syslog::TSyslogFilter m_Filter;
    bool m_Filtering = false;
    std::vector<uint64_t> m_Index;
    std::size_t m_IndexFirst = 0;
    uint64_t m_Checked = 0;
    QTimer m_FlushTimer;
};
