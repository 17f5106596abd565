#include "DeviceTreeModel.h"

#include "ui/Images.h"
#include "net/RecordText.h"
#include "ui/Module.h"

#include <map>

namespace {
// Device rows carry their group with this bit set; every other row carries the module node
// that holds it (for group rows: the Devices node).
constexpr quintptr DeviceTag = 1;
} // namespace

TDeviceTreeModel::TDeviceTreeModel(TDeviceGroups& groups, QObject* parent)
    : QAbstractItemModel(parent), m_Groups(groups)
{
}

TDeviceTreeModel::~TDeviceTreeModel() = default;

QModelIndex TDeviceTreeModel::AddModule(TModule* module, const QModelIndex& parent, const QIcon& icon, bool devices)
{
    TModuleNode* holder = parent.isValid() ? ModuleNodeAt(parent) : &m_Root;
    int row = int(holder->Children.size());
    beginInsertRows(parent, row, row);
    auto node = std::make_unique<TModuleNode>();
    node->Module = module;
    node->Icon = icon;
    node->Parent = holder;
    node->Row = row;
    if (devices)
        m_Devices = node.get();
    holder->Children.push_back(std::move(node));
    endInsertRows();
    return index(row, 0, parent);
}

QModelIndex TDeviceTreeModel::DevicesIndex() const { return m_Devices ? IndexOfModule(m_Devices) : QModelIndex(); }

TDeviceTreeModel::TModuleNode* TDeviceTreeModel::ModuleNodeAt(const QModelIndex& index) const
{
    if (!index.isValid() || (index.internalId() & DeviceTag))
        return nullptr;
    auto* holder = reinterpret_cast<TModuleNode*>(index.internalId());
    if (holder == m_Devices)
        return nullptr; // a group
    return holder->Children[std::size_t(index.row())].get();
}

TModule* TDeviceTreeModel::ModuleAt(const QModelIndex& index) const
{
    TModuleNode* node = ModuleNodeAt(index);
    return node ? node->Module : nullptr;
}

TDevice* TDeviceTreeModel::DeviceAt(const QModelIndex& index) const
{
    if (!index.isValid() || !(index.internalId() & DeviceTag))
        return nullptr;
    auto* group = reinterpret_cast<TGroup*>(index.internalId() & ~DeviceTag);
    return group->Devices[std::size_t(index.row())];
}

bool TDeviceTreeModel::IsGroup(const QModelIndex& index) const
{
    return index.isValid() && m_Devices && index.internalId() == reinterpret_cast<quintptr>(m_Devices);
}

bool TDeviceTreeModel::IsUnderDevices(const QModelIndex& index) const
{
    return index.isValid() && ((index.internalId() & DeviceTag) || IsGroup(index) || ModuleNodeAt(index) == m_Devices);
}

QModelIndex TDeviceTreeModel::IndexOfModule(const TModuleNode* node) const
{
    return createIndex(node->Row, 0, reinterpret_cast<quintptr>(node->Parent));
}

QModelIndex TDeviceTreeModel::IndexOfGroup(const TGroup* group) const
{
    return createIndex(int(m_Groups.GroupPosition(group->Key)), 0, reinterpret_cast<quintptr>(m_Devices));
}

QModelIndex TDeviceTreeModel::IndexOf(const TDevice* device) const
{
    TGroup* group = m_Groups.GroupOf(device);
    if (!group)
        return {};
    return createIndex(m_Groups.RowOf(device), 0, reinterpret_cast<quintptr>(group) | DeviceTag);
}

QModelIndex TDeviceTreeModel::ChildModule(const QModelIndex& parent, const QString& name) const
{
    const TModuleNode* holder = parent.isValid() ? ModuleNodeAt(parent) : &m_Root;
    if (!holder || holder == m_Devices)
        return {};
    for (const auto& child : holder->Children)
        if (child->Module && child->Module->GetName() == name)
            return IndexOfModule(child.get());
    return {};
}

void TDeviceTreeModel::Queue(TDevice* device)
{
    if (m_Queued.insert(device).second)
        m_Queue.push_back(device);
}

std::vector<TDevice*> TDeviceTreeModel::Flush()
{
    std::vector<TDevice*> entered;
    if (m_Queue.empty())
        return entered;
    std::vector<TDevice*> queue;
    queue.swap(m_Queue);
    // Devices for the groups that exist, and the groups still to make, each in key order.
    std::map<TGroup*, std::vector<TDevice*>> appends;
    std::map<TDeviceGroups::TKey, std::pair<std::string, std::vector<TDevice*>>> fresh;
    for (TDevice* device : queue) {
        if (!m_Queued.erase(device) || m_Groups.Contains(device) || !m_Groups.IsShown(*device))
            continue;
        std::string caption;
        TDeviceGroups::TKey key = m_Groups.KeyOf(*device, &caption);
        if (TGroup* group = m_Groups.FindGroup(key)) {
            appends[group].push_back(device);
        } else {
            auto& entry = fresh[key];
            entry.first = caption;
            entry.second.push_back(device);
        }
        entered.push_back(device);
    }
    for (auto& [group, devices] : appends) {
        QModelIndex parent = IndexOfGroup(group);
        int first = int(group->Devices.size());
        beginInsertRows(parent, first, first + int(devices.size()) - 1);
        for (TDevice* device : devices)
            m_Groups.Append(group, device);
        endInsertRows();
    }
    // New groups that stand next to each other go in together.
    QModelIndex devicesIndex = DevicesIndex();
    for (auto it = fresh.begin(); it != fresh.end();) {
        int position = int(m_Groups.GroupPosition(it->first));
        auto end = std::next(it);
        while (end != fresh.end() && int(m_Groups.GroupPosition(end->first)) == position)
            ++end;
        beginInsertRows(devicesIndex, position, position + int(std::distance(it, end)) - 1);
        for (; it != end; ++it) {
            TGroup* group = m_Groups.InsertGroup(it->first, it->second.first);
            for (TDevice* device : it->second.second)
                m_Groups.Append(group, device);
        }
        endInsertRows();
    }
    if (!entered.empty()) {
        m_Counted = true;
        DevicesCaptionChanged();
    }
    return entered;
}

bool TDeviceTreeModel::Remove(TDevice* device)
{
    if (m_Queued.erase(device)) {
        std::erase(m_Queue, device);
        return false;
    }
    TGroup* group = m_Groups.GroupOf(device);
    if (!group)
        return false;
    int row = m_Groups.RowOf(device);
    beginRemoveRows(IndexOfGroup(group), row, row);
    m_Groups.Remove(device);
    endRemoveRows();
    RemoveEmptyGroup(group);
    DevicesCaptionChanged();
    return true;
}

void TDeviceTreeModel::RemoveEmptyGroup(const TGroup* group)
{
    if (!group->Devices.empty())
        return;
    int position = int(m_Groups.GroupPosition(group->Key));
    beginRemoveRows(DevicesIndex(), position, position);
    m_Groups.EraseGroup(std::size_t(position));
    endRemoveRows();
}

void TDeviceTreeModel::Update(TDevice* device)
{
    TGroup* from = m_Groups.GroupOf(device);
    if (!from)
        return;
    std::string caption;
    TDeviceGroups::TKey key = m_Groups.KeyOf(*device, &caption);
    if (key != from->Key) {
        TGroup* to = m_Groups.FindGroup(key);
        if (!to) {
            int position = int(m_Groups.GroupPosition(key));
            beginInsertRows(DevicesIndex(), position, position);
            to = m_Groups.InsertGroup(key, caption);
            endInsertRows();
        }
        int row = m_Groups.RowOf(device);
        int end = int(to->Devices.size());
        beginMoveRows(IndexOfGroup(from), row, row, IndexOfGroup(to), end);
        m_Groups.MoveTo(device, to);
        endMoveRows();
        RemoveEmptyGroup(from);
    }
    Redraw(device);
}

void TDeviceTreeModel::Redraw(const TDevice* device)
{
    QModelIndex at = IndexOf(device);
    if (at.isValid())
        emit dataChanged(at, at);
}

void TDeviceTreeModel::SetSortMode(TDeviceGroups::TSortMode mode)
{
    if (mode == m_Groups.SortMode())
        return;
    beginResetModel();
    m_Groups.SetSortMode(mode);
    endResetModel();
}

void TDeviceTreeModel::Clear()
{
    m_Queue.clear();
    m_Queued.clear();
    // Rows removed, not a reset: the view keeps its other nodes open.
    if (int count = int(m_Groups.Groups().size())) {
        beginRemoveRows(DevicesIndex(), 0, count - 1);
        m_Groups.Clear();
        endRemoveRows();
    }
    DevicesCaptionChanged();
}

void TDeviceTreeModel::DevicesCaptionChanged()
{
    QModelIndex at = DevicesIndex();
    emit dataChanged(at, at, {Qt::DisplayRole});
}

QModelIndex TDeviceTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, reinterpret_cast<quintptr>(&m_Root));
    if (IsGroup(parent))
        return createIndex(row, 0, reinterpret_cast<quintptr>(m_Groups.Groups()[std::size_t(parent.row())].get()) | DeviceTag);
    return createIndex(row, 0, reinterpret_cast<quintptr>(ModuleNodeAt(parent)));
}

QModelIndex TDeviceTreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() & DeviceTag)
        return IndexOfGroup(reinterpret_cast<const TGroup*>(index.internalId() & ~DeviceTag));
    auto* holder = reinterpret_cast<const TModuleNode*>(index.internalId());
    return holder == &m_Root ? QModelIndex() : IndexOfModule(holder);
}

int TDeviceTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_Root.Children.size());
    if (parent.column() != 0 || (parent.internalId() & DeviceTag))
        return 0;
    if (IsGroup(parent))
        return int(m_Groups.Groups()[std::size_t(parent.row())]->Devices.size());
    TModuleNode* node = ModuleNodeAt(parent);
    return node == m_Devices ? int(m_Groups.Groups().size()) : int(node->Children.size());
}

int TDeviceTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TDeviceTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (TDevice* device = DeviceAt(index)) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return RecordText(TDeviceGroups::Caption(*device));
        case Qt::DecorationRole:
            return DeviceIcon(device->IsLoggedIn(), device->HasFlags(TDevice::flWarning));
        default: return {};
        }
    }
    if (IsGroup(index)) {
        const TGroup& group = *m_Groups.Groups()[std::size_t(index.row())];
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return QString::fromStdString(group.Caption);
        if (role == Qt::DecorationRole)
            return Icon(TImage::Devices);
        return {};
    }
    TModuleNode* node = ModuleNodeAt(index);
    switch (role) {
    case Qt::DisplayRole:
        if (node == m_Devices && m_Counted)
            return QStringLiteral("%1 (%2)").arg(node->Module->GetName()).arg(m_Groups.Count());
        return node->Module->GetName();
    case Qt::DecorationRole: return node->Icon;
    default: return {};
    }
}

Qt::ItemFlags TDeviceTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (DeviceAt(index))
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
