#include "DeviceFilterModel.h"

#include "DeviceTreeModel.h"
#include "ui/Module.h"

#include <QLocale>

TDeviceFilterModel::TDeviceFilterModel(TDeviceTreeModel& tree, QObject* parent)
    : QSortFilterProxyModel(parent), m_Tree(tree)
{
    // A group stands while one of its devices matches; the groups themselves never do.
    setRecursiveFilteringEnabled(true);
    setSourceModel(&tree);
    auto counts = [this](const QModelIndex& parent) {
        if (IsFiltering() && (parent == mapFromSource(m_Tree.DevicesIndex()) || m_Tree.IsGroup(mapToSource(parent))))
            CountsChanged();
    };
    connect(this, &QAbstractItemModel::rowsInserted, this, counts);
    connect(this, &QAbstractItemModel::rowsRemoved, this, counts);
}

void TDeviceFilterModel::SetQuery(const QString& text)
{
    if (text == m_Text)
        return;
    const bool was = IsFiltering();
    m_Text = text;
    m_Query = TDeviceQuery(text.toStdString());
    // One layout change, not a removal or insertion per run of rows: with a group per
    // address that would be thousands of them, each costing the views and the persistent
    // indexes a pass over the tree.
    invalidate();
    if (was || IsFiltering())
        CountsChanged();
}

bool TDeviceFilterModel::filterAcceptsRow(int row, const QModelIndex& parent) const
{
    const QModelIndex node = m_Tree.index(row, 0, parent);
    if (const TDevice* device = m_Tree.DeviceAt(node))
        return m_Query.Matches(*device);
    return !IsFiltering() || !m_Tree.IsGroup(node);
}

QVariant TDeviceFilterModel::data(const QModelIndex& index, int role) const
{
    // Every node's hint is its whole caption, for when the panel cuts it off.
    if (role == Qt::ToolTipRole) {
        const QVariant hint = QSortFilterProxyModel::data(index, role);
        return hint.isValid() ? hint : data(index, Qt::DisplayRole);
    }
    if (role != Qt::DisplayRole || !IsFiltering())
        return QSortFilterProxyModel::data(index, role);
    const QModelIndex node = mapToSource(index);
    const QLocale locale;
    if (m_Tree.IsGroup(node))
        return QStringLiteral("%1 (%2 of %3)")
            .arg(QSortFilterProxyModel::data(index, role).toString(), locale.toString(rowCount(index)),
                 locale.toString(m_Tree.rowCount(node)));
    if (node == m_Tree.DevicesIndex()) {
        int shown = 0;
        for (int group = 0; group < rowCount(index); ++group)
            shown += rowCount(this->index(group, 0, index));
        return QStringLiteral("%1 (%2 of %3)")
            .arg(m_Tree.ModuleAt(node)->GetName(), locale.toString(shown),
                 locale.toString(qlonglong(m_Tree.DeviceCount())));
    }
    return QSortFilterProxyModel::data(index, role);
}

void TDeviceFilterModel::CountsChanged()
{
    const QModelIndex devices = mapFromSource(m_Tree.DevicesIndex());
    if (!devices.isValid())
        return;
    emit dataChanged(devices, devices, {Qt::DisplayRole});
    if (const int groups = rowCount(devices))
        emit dataChanged(index(0, 0, devices), index(groups - 1, 0, devices), {Qt::DisplayRole});
}
