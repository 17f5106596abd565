// The device tree as the operator sees it while finding devices: only the devices that
// match the query, and only the groups that hold one, each counting what it shows of what
// it has ("Devices (3 of 10,000)"). Without a query it shows the whole tree unchanged.
#pragma once

#include "core/DeviceQuery.h"

#include <QSortFilterProxyModel>

class TDeviceTreeModel;

class TDeviceFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TDeviceFilterModel(TDeviceTreeModel& tree, QObject* parent = nullptr);

    TDeviceTreeModel& Tree() const { return m_Tree; }
    const QString& QueryText() const { return m_Text; }
    // Shows what matches the text; an empty text shows everything.
    void SetQuery(const QString& text);
    bool IsFiltering() const { return !m_Query.IsEmpty(); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    // The Devices node and the groups count what they show.
    void CountsChanged();

    TDeviceTreeModel& m_Tree;
    TDeviceQuery m_Query;
    QString m_Text;
};
