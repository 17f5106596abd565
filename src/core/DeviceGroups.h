// How the device tree groups the shown devices: which devices are shown, the group of a
// device under each sort mode, the group and device captions, the order of groups, and
// the rule of which tree nodes stay selected together. No widgets: the tree's item model
// presents it and the main window drives it from the device callbacks.
#pragma once

#include "Device.h"
#include "FilterSettings.h"

#include <algorithm>
#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TDeviceGroups {
public:
    enum TSortMode { smNone, smModel, smAddress, smFilter };

    // Groups are ordered by key address, then key mask, unsigned ascending.
    struct TKey {
        uint32_t Address = 0;
        uint32_t Mask = 0;
        auto operator<=>(const TKey&) const = default;
    };
    struct TGroup {
        TKey Key;
        std::string Caption;
        std::vector<TDevice*> Devices; // in the order they entered the group
    };

    using FilterGetter = std::function<Filter::TFilterServer*()>;
    explicit TDeviceGroups(FilterGetter filter) : m_Filter(std::move(filter)) {}

    TSortMode SortMode() const { return m_SortMode; }
    // Every device moves, in tree order, to the end of its group under the new mode; the
    // old groups go away.
    void SetSortMode(TSortMode mode);

    // Recognised and with an address the filter accepts (without a filter: any but 0).
    bool IsShown(const TDevice& device) const;
    TKey KeyOf(const TDevice& device, std::string* caption = nullptr) const;
    // "name (address, MAC)".
    static std::string Caption(const TDevice& device);

    const std::vector<std::unique_ptr<TGroup>>& Groups() const { return m_Groups; }
    std::size_t GroupPosition(const TKey& key) const; // where a group of this key stands or would stand
    TGroup* FindGroup(const TKey& key) const;
    TGroup* GroupOf(const TDevice* device) const;
    int RowOf(const TDevice* device) const; // within its group; -1 when not in the tree
    bool Contains(const TDevice* device) const { return m_Where.contains(device); }
    std::size_t Count() const { return m_Where.size(); }
    std::vector<TDevice*> AllDevices() const; // group by group

    // The steps the tree model takes (it announces each to its views around the call).
    TGroup* InsertGroup(const TKey& key, const std::string& caption); // at GroupPosition(key)
    void Append(TGroup* group, TDevice* device);
    void Remove(TDevice* device); // leaves an empty group in place
    void EraseGroup(std::size_t position);
    // Moves the device to the end of the target group.
    void MoveTo(TDevice* device, TGroup* target);
    void Clear();

private:
    FilterGetter m_Filter;
    TSortMode m_SortMode = smNone;
    std::vector<std::unique_ptr<TGroup>> m_Groups;
    std::unordered_map<const TDevice*, TGroup*> m_Where;
};

// The selection rule of the tree: several nodes stay selected only when they are device
// nodes under the parent of the current one; the rest are dropped. Nodes already selected
// keep their places in the order, new ones follow, so the first selected device stays first
// when the selection is extended.
template <typename Node, typename IsDevice, typename ParentOf>
std::vector<Node> KeepSelection(const Node& current, const std::vector<Node>& selected,
                                const std::vector<Node>& previous, IsDevice isDevice, ParentOf parentOf)
{
    std::vector<Node> keep;
    bool devices = isDevice(current);
    for (const Node& node : selected)
        if (node == current || (devices && isDevice(node) && parentOf(node) == parentOf(current)))
            keep.push_back(node);
    auto contains = [](const std::vector<Node>& list, const Node& node) {
        return std::find(list.begin(), list.end(), node) != list.end();
    };
    std::vector<Node> ordered;
    for (const Node& node : previous)
        if (contains(keep, node) && !contains(ordered, node))
            ordered.push_back(node);
    for (const Node& node : keep)
        if (!contains(ordered, node))
            ordered.push_back(node);
    return ordered;
}
