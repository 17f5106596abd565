// The tree on the left of the main window and what it decides: which devices enter it and
// in which groups, which node is selected, which module is shown, and where results go.
// It is the context every module works in, and the registry's device callback while it
// lives. Results of sessions reach the shown module from here, not through the window.
#pragma once

#include "core/Device.h"
#include "core/DeviceGroups.h"
#include "ui/Module.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QAbstractItemModel;
class QTreeView;
class TDeviceFilterModel;
class TDeviceTreeModel;
class TEngineHost;

class TDeviceNavigator : public QObject, public Intp::TDeviceCallback, public TPageContext {
    Q_OBJECT
public:
    using TSortMode = TDeviceGroups::TSortMode;
    static constexpr TSortMode smNone = TDeviceGroups::smNone, smModel = TDeviceGroups::smModel,
                               smAddress = TDeviceGroups::smAddress, smFilter = TDeviceGroups::smFilter;
    // New device nodes are gathered for this long and enter the tree together.
    static constexpr int TreeBatchInterval = 50;
    using TCredentials = std::function<bool(std::string& user, std::string& password)>;

    // Shows its model in the tree; the host's results go to the shown module.
    TDeviceNavigator(TEngineHost& host, QTreeView* tree, QObject* parent = nullptr);
    ~TDeviceNavigator() override;

    // Intp::TDeviceCallback
    void DeviceCreated(TDevice* device) override;
    void DeviceDestroyed(TDevice* device) override;
    void FlagsChanged(TDevice* device, uint32_t bits) override;
    void AddressChanged(TDevice* device) override;
    void TypeChanged(TDevice* device) override;
    void NameChanged(TDevice* device) override;

    // TPageContext
    int GetSelectedDevice(TDevice*& device) override;
    int GetSelectedDevices(std::vector<TDevice*>& devices) override;
    int GetAllDevices(std::vector<TDevice*>& devices) override;
    bool AskCredentials(std::string& user, std::string& password) override;
    bool IsSelectedDevice(TDevice* device) override;
    bool IsAmongSelected(TDevice* device) override;
    bool SelectPath(const QString& path) override;
    Filter::TFilterServer* GetFilterServer() override;
    Status::TStatusServer* GetStatusServer() override;
    Syslog::TSyslogServer* GetSyslogServer() override;

    // Where the operator's user name and password come from (the login dialog, or a test's).
    void SetCredentialsSource(TCredentials source) { m_Credentials = std::move(source); }
    // The module whose page shows the selected devices; its subtree holds the device nodes.
    void SetDevicesModule(TModule* module) { m_Devices = module; }

    // The whole tree; the view shows it through the device filter, and the indexes the
    // navigator hands out and takes are the view's.
    TDeviceTreeModel* TreeModel() const { return m_Model; }
    QAbstractItemModel* Model() const;
    TDeviceFilterModel* Filter() const { return m_Filter; }
    QTreeView* Tree() const { return m_Tree; }
    const TDeviceGroups& Groups() const { return m_Groups; }
    TModule* ShownModule() const { return m_Shown; }
    QModelIndex DevicesIndex() const;
    // The device's node, after the devices waiting for the tree have entered it; invalid
    // while the filter hides it.
    QModelIndex IndexOf(TDevice* device);
    QModelIndex PathIndex(const QString& path) const;
    // Shows only the devices that match the text (all for an empty one). Selected devices
    // the filter hides leave the selection, and the shown module hears of the new one.
    void SetFilterText(const QString& text);
    // Makes the first device the current node and selects the others with it.
    void SelectDevices(const std::vector<TDevice*>& devices);
    void SelectIndex(const QModelIndex& index);
    // Lets the waiting devices enter the tree now.
    void FlushTree();
    void SetSortMode(int mode);
    // Every device node goes and the registry is emptied; the shown module hears of it
    // after the devices are gone, so a page that looks its devices up ends its work.
    void ForgetDevices();

private:
    void UpdateDevice(TDevice* device, uint16_t code);
    void RemoveDeviceNode(TDevice* device);
    // Selection changes made by the program, not by the operator.
    void SetSelectionQuietly(const QModelIndex& current, const QList<QPersistentModelIndex>& selection);
    void ForgetRemovedNodes();
    void NotifyShown(TDevice* device, uint16_t code, uint16_t status);
    void EventOnTreeChange();
    TModule* ModuleForNode(const QModelIndex& index) const;
    // Between the view's indexes and the tree model's.
    QModelIndex Shown(const QModelIndex& node) const;
    TDevice* DeviceAt(const QModelIndex& shown) const;
    bool SelectionIsDevices(std::vector<TDevice*>* devices = nullptr) const;

    TEngineHost& m_Host;
    TDeviceGroups m_Groups;
    TDeviceTreeModel* m_Model = nullptr;
    TDeviceFilterModel* m_Filter = nullptr;
    QTreeView* m_Tree = nullptr;
    QTimer m_TreeBatch;
    TCredentials m_Credentials;
    TModule* m_Devices = nullptr;
    TModule* m_Shown = nullptr;
    QList<QPersistentModelIndex> m_Selection; // in selection order; the view's indexes
    QPersistentModelIndex m_Current;
    bool m_ChangingSelection = false;
};
