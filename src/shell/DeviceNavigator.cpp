#include "DeviceNavigator.h"

#include "DeviceFilterModel.h"
#include "DeviceTreeModel.h"
#include "net/EngineHost.h"
#include "net/SessionManager.h"
#include "net/StatusMonitor.h"
#include "net/SyslogService.h"

#include <QItemSelectionModel>
#include <QScopedValueRollback>
#include <QTreeView>

#include <algorithm>

TDeviceNavigator::TDeviceNavigator(TEngineHost& host, QTreeView* tree, QObject* parent)
    : QObject(parent), m_Host(host), m_Groups([this] { return GetFilterServer(); }), m_Tree(tree)
{
    m_Model = new TDeviceTreeModel(m_Groups, this);
    m_Filter = new TDeviceFilterModel(*m_Model, this);
    m_Tree->setModel(m_Filter);
    m_TreeBatch.setSingleShot(true);
    m_TreeBatch.setInterval(TreeBatchInterval);
    connect(&m_TreeBatch, &QTimer::timeout, this, &TDeviceNavigator::FlushTree);
    // Groups stand open as they appear, also when the filter shows them again.
    connect(m_Filter, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (parent == DevicesIndex()) {
            m_Tree->expand(parent);
            for (int row = first; row <= last; ++row)
                m_Tree->expand(m_Filter->index(row, 0, parent));
        }
    });
    connect(m_Tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TDeviceNavigator::EventOnTreeChange);
    m_Host.Sessions()->SetNotifyShown(
        [this](TDevice* d, uint16_t code, uint16_t status) { NotifyShown(d, code, status); });
    Intp::SetDeviceCallback(this);
}

TDeviceNavigator::~TDeviceNavigator()
{
    m_Host.Sessions()->SetNotifyShown({});
    // Devices outlive the tree; they must not report into it any more.
    if (Intp::DeviceCallback() == this)
        Intp::SetDeviceCallback(nullptr);
}

// ---- device nodes ---------------------------------------------------------------------

QAbstractItemModel* TDeviceNavigator::Model() const { return m_Filter; }

QModelIndex TDeviceNavigator::Shown(const QModelIndex& node) const { return m_Filter->mapFromSource(node); }

TDevice* TDeviceNavigator::DeviceAt(const QModelIndex& shown) const
{
    return m_Model->DeviceAt(m_Filter->mapToSource(shown));
}

QModelIndex TDeviceNavigator::DevicesIndex() const { return Shown(m_Model->DevicesIndex()); }

QModelIndex TDeviceNavigator::IndexOf(TDevice* device)
{
    FlushTree();
    return Shown(m_Model->IndexOf(device));
}

QModelIndex TDeviceNavigator::PathIndex(const QString& path) const
{
    QModelIndex node = m_Model->index(0, 0);
    for (const QString& part : path.split('/')) {
        QModelIndex next = m_Model->ChildModule(node, part);
        if (!next.isValid())
            break;
        node = next;
    }
    return Shown(node);
}

void TDeviceNavigator::SelectDevices(const std::vector<TDevice*>& devices)
{
    if (devices.empty())
        return;
    m_Tree->setCurrentIndex(IndexOf(devices.front()));
    for (TDevice* device : devices)
        m_Tree->selectionModel()->select(IndexOf(device), QItemSelectionModel::Select);
}

void TDeviceNavigator::SelectIndex(const QModelIndex& index) { m_Tree->setCurrentIndex(index); }

void TDeviceNavigator::FlushTree()
{
    m_TreeBatch.stop();
    if (!m_Model->HasQueued())
        return;
    std::vector<TDevice*> entered;
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        entered = m_Model->Flush();
    }
    for (TDevice* device : entered)
        NotifyShown(device, ncDeviceAdded, 0);
}

void TDeviceNavigator::UpdateDevice(TDevice* device, uint16_t code)
{
    if (m_Groups.Contains(device)) {
        if (!m_Groups.IsShown(*device)) {
            RemoveDeviceNode(device);
            NotifyShown(device, ncDeviceRemoved, 0);
            return;
        }
        {
            QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
            m_Model->Update(device);
        }
        ForgetRemovedNodes(); // a filtered tree may have hidden it
        NotifyShown(device, code, 0);
    } else if (m_Groups.IsShown(*device)) {
        m_Model->Queue(device);
        if (!m_TreeBatch.isActive())
            m_TreeBatch.start();
    } else {
        m_Model->Remove(device); // leaves the queue
    }
}

void TDeviceNavigator::RemoveDeviceNode(TDevice* device)
{
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->Remove(device);
    }
    ForgetRemovedNodes();
}

void TDeviceNavigator::ForgetRemovedNodes()
{
    m_Selection.removeIf([](const QPersistentModelIndex& index) { return !index.isValid(); });
}

void TDeviceNavigator::SetSelectionQuietly(const QModelIndex& current, const QList<QPersistentModelIndex>& selection)
{
    QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
    QItemSelectionModel* model = m_Tree->selectionModel();
    model->clearSelection();
    if (current.isValid())
        model->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    for (const QPersistentModelIndex& index : selection)
        if (index.isValid())
            model->select(index, QItemSelectionModel::Select);
}

void TDeviceNavigator::ForgetDevices()
{
    // Every node goes at once; the devices then leave the registry with nothing to update.
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->Clear();
    }
    ForgetRemovedNodes();
    if (m_Shown == m_Devices && m_Selection.isEmpty()) {
        m_Current = QPersistentModelIndex(DevicesIndex());
        m_Selection << m_Current;
        SetSelectionQuietly(m_Current, m_Selection);
    }
    Registry::Clear();
    NotifyShown(nullptr, ncDeviceRemoved, 0);
}

void TDeviceNavigator::DeviceCreated(TDevice*) {}

void TDeviceNavigator::DeviceDestroyed(TDevice* device)
{
    if (!m_Groups.Contains(device)) {
        m_Model->Remove(device);
        return;
    }
    RemoveDeviceNode(device);
    NotifyShown(nullptr, ncDeviceRemoved, 0);
}

void TDeviceNavigator::FlagsChanged(TDevice* device, uint32_t) { UpdateDevice(device, ncDeviceState); }
void TDeviceNavigator::TypeChanged(TDevice* device) { UpdateDevice(device, ncDeviceType); }

void TDeviceNavigator::AddressChanged(TDevice* device)
{
    UpdateDevice(device, ncDeviceAddress);
    NameChanged(device);
}

void TDeviceNavigator::NameChanged(TDevice* device)
{
    if (!m_Groups.Contains(device))
        return;
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->Redraw(device);
    }
    ForgetRemovedNodes(); // the new name may not match the filter
    NotifyShown(device, ncDeviceName, 0);
}

void TDeviceNavigator::NotifyShown(TDevice* device, uint16_t code, uint16_t status)
{
    if (m_Shown && !m_Host.IsShutDown())
        m_Shown->Notify(device, code, status);
}

void TDeviceNavigator::SetSortMode(int mode)
{
    if (TSortMode(mode) == m_Groups.SortMode())
        return;
    FlushTree();
    // The old groups go away: only device nodes stay selected or current.
    std::vector<TDevice*> selected;
    for (const QPersistentModelIndex& index : std::as_const(m_Selection))
        if (TDevice* device = DeviceAt(index))
            selected.push_back(device);
    TDevice* current = DeviceAt(m_Current);
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Model->SetSortMode(TSortMode(mode));
    }
    m_Tree->expandAll();
    m_Selection.clear();
    for (TDevice* device : selected)
        m_Selection << QPersistentModelIndex(Shown(m_Model->IndexOf(device)));
    m_Current = current ? QPersistentModelIndex(Shown(m_Model->IndexOf(current))) : QPersistentModelIndex();
    if (m_Selection.isEmpty() && !current && m_Shown == m_Devices) {
        // A group was selected: with the groups gone the selection falls back to the Devices node.
        m_Current = QPersistentModelIndex(DevicesIndex());
        m_Selection << m_Current;
    }
    SetSelectionQuietly(m_Current, m_Selection);
}

void TDeviceNavigator::SetFilterText(const QString& text)
{
    FlushTree();
    const qsizetype selected = m_Selection.size();
    const bool hadCurrent = m_Current.isValid();
    {
        QScopedValueRollback<bool> quiet(m_ChangingSelection, true);
        m_Filter->SetQuery(text);
    }
    // The groups the filter shows stand open, as when they first appeared. The view lays
    // itself out once afterwards, so this only marks them.
    const QModelIndex devices = DevicesIndex();
    m_Tree->expand(devices);
    for (int row = 0, groups = m_Filter->rowCount(devices); row < groups; ++row)
        m_Tree->expand(m_Filter->index(row, 0, devices));
    ForgetRemovedNodes();
    if (m_Selection.size() == selected && m_Current.isValid() == hadCurrent)
        return;
    // The selection rules hold for what is shown: what is left of the selection stays, and
    // when nothing is left the Devices node is selected.
    if (!m_Current.isValid())
        m_Current = m_Selection.isEmpty() ? QPersistentModelIndex(DevicesIndex()) : m_Selection.first();
    if (m_Selection.isEmpty())
        m_Selection << m_Current;
    SetSelectionQuietly(m_Current, m_Selection);
    m_Shown = ModuleForNode(m_Current);
    TDevice* device = nullptr;
    GetSelectedDevice(device);
    NotifyShown(device, ncSelect, 0);
}

// ---- selection ------------------------------------------------------------------------

TModule* TDeviceNavigator::ModuleForNode(const QModelIndex& index) const
{
    const QModelIndex node = m_Filter->mapToSource(index);
    if (m_Model->IsUnderDevices(node))
        return m_Devices;
    return m_Model->ModuleAt(node);
}

bool TDeviceNavigator::SelectionIsDevices(std::vector<TDevice*>* devices) const
{
    if (m_Shown != m_Devices || m_Selection.isEmpty())
        return false;
    std::vector<TDevice*> found;
    for (const QPersistentModelIndex& index : m_Selection) {
        TDevice* device = DeviceAt(index);
        if (!device)
            return false;
        found.push_back(device);
    }
    if (devices)
        *devices = std::move(found);
    return true;
}

void TDeviceNavigator::EventOnTreeChange()
{
    if (m_ChangingSelection)
        return;
    QItemSelectionModel* selection = m_Tree->selectionModel();
    QModelIndex current = selection->currentIndex();
    QModelIndexList selected = selection->selectedRows();
    if (m_Shown && !m_Shown->Hide(false)) {
        // The shown module is busy: the selection stays as it was.
        SetSelectionQuietly(m_Current, m_Selection);
        return;
    }
    m_ChangingSelection = true;
    if (current.isValid() && !selection->isSelected(current) && !selected.isEmpty())
        current = selected.first();
    std::vector<QPersistentModelIndex> now(selected.begin(), selected.end());
    std::vector<QPersistentModelIndex> before(m_Selection.begin(), m_Selection.end());
    std::vector<QPersistentModelIndex> keep = KeepSelection(
        QPersistentModelIndex(current), now, before,
        [this](const QPersistentModelIndex& index) { return DeviceAt(index) != nullptr; },
        [](const QPersistentModelIndex& index) { return QPersistentModelIndex(index.parent()); });
    for (const QModelIndex& index : selected)
        if (std::find(keep.begin(), keep.end(), QPersistentModelIndex(index)) == keep.end())
            selection->select(index, QItemSelectionModel::Deselect);
    m_Selection = QList<QPersistentModelIndex>(keep.begin(), keep.end());
    m_Current = current;
    m_Shown = ModuleForNode(current);
    m_ChangingSelection = false;

    TDevice* device = nullptr;
    GetSelectedDevice(device);
    if (m_Shown)
        m_Shown->Notify(device, ncSelect, 0);
}

int TDeviceNavigator::GetSelectedDevice(TDevice*& device)
{
    device = nullptr;
    std::vector<TDevice*> devices;
    if (!SelectionIsDevices(&devices))
        return 0;
    device = devices.front();
    return int(devices.size());
}

int TDeviceNavigator::GetSelectedDevices(std::vector<TDevice*>& devices)
{
    std::vector<TDevice*> found;
    if (!SelectionIsDevices(&found))
        return 0;
    devices.insert(devices.end(), found.begin(), found.end());
    return int(found.size());
}

int TDeviceNavigator::GetAllDevices(std::vector<TDevice*>& devices)
{
    FlushTree();
    std::vector<TDevice*> all = m_Groups.AllDevices();
    devices.insert(devices.end(), all.begin(), all.end());
    return int(all.size());
}

bool TDeviceNavigator::AskCredentials(std::string& user, std::string& password)
{
    return m_Credentials && m_Credentials(user, password);
}

bool TDeviceNavigator::IsSelectedDevice(TDevice* device)
{
    TDevice* first = nullptr;
    return GetSelectedDevice(first) > 0 && first == device;
}

bool TDeviceNavigator::IsAmongSelected(TDevice* device)
{
    std::vector<TDevice*> devices = SelectedDevices();
    return std::find(devices.begin(), devices.end(), device) != devices.end();
}

bool TDeviceNavigator::SelectPath(const QString& path)
{
    QModelIndex node = PathIndex(path);
    if (!node.isValid())
        return false;
    m_Tree->setCurrentIndex(node);
    return m_Tree->selectionModel()->isSelected(node);
}

Filter::TFilterServer* TDeviceNavigator::GetFilterServer() { return m_Host.FilterServer(); }
Status::TStatusServer* TDeviceNavigator::GetStatusServer() { return &m_Host.StatusMonitor(); }
Syslog::TSyslogServer* TDeviceNavigator::GetSyslogServer() { return &m_Host.Syslog(); }
