// The main window's tree as an item model: the module nodes, and under the Devices node the
// groups and devices of TDeviceGroups. New devices wait in a queue and enter in batches
// (Flush), one insertion per group per batch, so a burst of discovery replies does not
// cost one view update per switch.
#pragma once

#include "core/DeviceGroups.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <memory>
#include <unordered_set>
#include <vector>

class TModule;

class TDeviceTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    TDeviceTreeModel(TDeviceGroups& groups, QObject* parent = nullptr);
    ~TDeviceTreeModel() override;

    // Module nodes. The Devices node holds the groups.
    QModelIndex AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices = false);
    QModelIndex DevicesIndex() const;
    TModule* ModuleAt(const QModelIndex& index) const;
    TDevice* DeviceAt(const QModelIndex& index) const;
    bool IsGroup(const QModelIndex& index) const;
    // Inside the Devices subtree (the Devices node itself included).
    bool IsUnderDevices(const QModelIndex& index) const;
    QModelIndex IndexOf(const TDevice* device) const;
    // Device nodes in the tree (not those waiting to enter it).
    std::size_t DeviceCount() const { return m_Groups.Count(); }
    // The child whose module is named so; invalid when there is none.
    QModelIndex ChildModule(const QModelIndex& parent, const QString& name) const;

    // A shown device without a node enters at the next Flush.
    void Queue(TDevice* device);
    bool HasQueued() const { return !m_Queue.empty(); }
    // Puts the queued devices that are still alive and shown into their groups; returns them.
    std::vector<TDevice*> Flush();
    // Removes the device's node (and its emptied group) or drops it from the queue; true
    // when it had a node.
    bool Remove(TDevice* device);
    // Moves the device to the group its key asks for, and redraws it.
    void Update(TDevice* device);
    // Its caption or icon changed.
    void Redraw(const TDevice* device);
    void SetSortMode(TDeviceGroups::TSortMode mode);
    // Every device leaves at once (a new discovery).
    void Clear();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct TModuleNode {
        TModule* Module = nullptr;
        QIcon Icon;
        TModuleNode* Parent = nullptr;
        int Row = 0;
        std::vector<std::unique_ptr<TModuleNode>> Children;
    };
    using TGroup = TDeviceGroups::TGroup;

    TModuleNode* ModuleNodeAt(const QModelIndex& index) const;
    QModelIndex IndexOfModule(const TModuleNode* node) const;
    QModelIndex IndexOfGroup(const TGroup* group) const;
    void RemoveEmptyGroup(const TGroup* group);
    void DevicesCaptionChanged();

    TDeviceGroups& m_Groups;
    TModuleNode m_Root;
    TModuleNode* m_Devices = nullptr;
    std::vector<TDevice*> m_Queue;
    std::unordered_set<const TDevice*> m_Queued;
    bool m_Counted = false; // "Devices (%d)" once it ever held a device
};
