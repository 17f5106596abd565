#include "DeviceGroups.h"

#include "AddressRules.h"

#include <algorithm>

void TDeviceGroups::SetSortMode(TSortMode mode)
{
    if (mode == m_SortMode)
        return;
    m_SortMode = mode;
    std::vector<TDevice*> devices = AllDevices();
    Clear();
    for (TDevice* device : devices) {
        std::string caption;
        TKey key = KeyOf(*device, &caption);
        TGroup* group = FindGroup(key);
        Append(group ? group : InsertGroup(key, caption), device);
    }
}

bool TDeviceGroups::IsShown(const TDevice& device) const
{
    Filter::TFilterServer* filter = m_Filter ? m_Filter() : nullptr;
    bool accepted = filter ? filter->IsAccepted(device.Address()) : device.Address() != 0;
    return accepted && device.Type() != 0;
}

TDeviceGroups::TKey TDeviceGroups::KeyOf(const TDevice& device, std::string* caption) const
{
    std::string text;
    TKey key;
    switch (m_SortMode) {
    case smNone:
        text = "All Devices";
        break;
    case smModel:
        text = device.TypeDescription();
        key = {uint32_t(device.Type()), 0};
        break;
    case smAddress:
        text = AddressToText(device.Address());
        key = {device.Address(), 0};
        break;
    case smFilter: {
        Filter::TFilterServer* filter = m_Filter ? m_Filter() : nullptr;
        Filter::TGroup group{Filter::TGroup::Others};
        if (filter)
            group = Filter::GroupOf(filter->GetSettings(), device.Address());
        if (group.Kind == Filter::TGroup::Unicast) {
            text = "Unicast Devices";
            key = {0, 0};
        } else if (group.Kind == Filter::TGroup::Subnet) {
            const TIpMask& subnet = filter->GetSettings().LocalSubnets[std::size_t(group.SubnetIndex)];
            text = AddressToText(subnet.Address) + '/' + AddressToText(subnet.Mask);
            key = {subnet.Address, subnet.Mask};
        } else {
            text = "Others";
            key = {0xFFFFFFFFu, 0xFFFFFFFFu};
        }
        break;
    }
    }
    if (caption)
        *caption = std::move(text);
    return key;
}

std::string TDeviceGroups::Caption(const TDevice& device)
{
    return device.Name() + " (" + AddressToText(device.Address()) + ", " + device.Mac().Text() + ")";
}

std::size_t TDeviceGroups::GroupPosition(const TKey& key) const
{
    auto it = std::lower_bound(m_Groups.begin(), m_Groups.end(), key,
                               [](const std::unique_ptr<TGroup>& group, const TKey& k) { return group->Key < k; });
    return std::size_t(it - m_Groups.begin());
}

TDeviceGroups::TGroup* TDeviceGroups::FindGroup(const TKey& key) const
{
    std::size_t position = GroupPosition(key);
    return position < m_Groups.size() && m_Groups[position]->Key == key ? m_Groups[position].get() : nullptr;
}

TDeviceGroups::TGroup* TDeviceGroups::GroupOf(const TDevice* device) const
{
    auto it = m_Where.find(device);
    return it == m_Where.end() ? nullptr : it->second;
}

int TDeviceGroups::RowOf(const TDevice* device) const
{
    TGroup* group = GroupOf(device);
    if (!group)
        return -1;
    return int(std::find(group->Devices.begin(), group->Devices.end(), device) - group->Devices.begin());
}

std::vector<TDevice*> TDeviceGroups::AllDevices() const
{
    std::vector<TDevice*> devices;
    devices.reserve(m_Where.size());
    for (const auto& group : m_Groups)
        devices.insert(devices.end(), group->Devices.begin(), group->Devices.end());
    return devices;
}

TDeviceGroups::TGroup* TDeviceGroups::InsertGroup(const TKey& key, const std::string& caption)
{
    auto group = std::make_unique<TGroup>();
    group->Key = key;
    group->Caption = caption;
    TGroup* raw = group.get();
    m_Groups.insert(m_Groups.begin() + std::ptrdiff_t(GroupPosition(key)), std::move(group));
    return raw;
}

void TDeviceGroups::Append(TGroup* group, TDevice* device)
{
    group->Devices.push_back(device);
    m_Where[device] = group;
}

void TDeviceGroups::Remove(TDevice* device)
{
    TGroup* group = GroupOf(device);
    if (!group)
        return;
    group->Devices.erase(group->Devices.begin() + RowOf(device));
    m_Where.erase(device);
}

void TDeviceGroups::EraseGroup(std::size_t position)
{
    for (TDevice* device : m_Groups[position]->Devices)
        m_Where.erase(device);
    m_Groups.erase(m_Groups.begin() + std::ptrdiff_t(position));
}

void TDeviceGroups::MoveTo(TDevice* device, TGroup* target)
{
    Remove(device);
    Append(target, device);
}

void TDeviceGroups::Clear()
{
    m_Groups.clear();
    m_Where.clear();
}
