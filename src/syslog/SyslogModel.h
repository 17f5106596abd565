// The stored syslog messages as a table in arrival order. New messages reach the views in
// one insertion per batch interval, so a flood never makes the views handle rows one by one.
#pragma once

#include "syslog/SyslogStore.h"

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

    // The store grew: the new rows are inserted with the next batch.
    void Added();
    // The store was emptied.
    void Cleared();
    // Inserts the rows the store holds beyond those shown, in one insertion.
    void Flush();

private:
    const Syslog::TSyslogStore& m_Store;
    int m_Shown = 0;
    QTimer m_FlushTimer;
};
