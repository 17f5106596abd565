#include "FilterSettings.h"

#include <algorithm>

namespace Filter {

bool IsAccepted(const TFilterSettings& settings, uint32_t address)
{
    if (address == 0)
        return false;
    if (settings.RangeBegin <= address && address <= settings.RangeEnd)
        return true;
    return std::any_of(settings.Unicast.begin(), settings.Unicast.end(),
                       [&](const TIpMask& entry) { return entry.Address == address; });
}

void GetTargets(const TFilterSettings& settings, std::vector<TIpMask>& targets)
{
    if (settings.Method == fmCustomize) {
        if (settings.Unicast.empty())
            targets.insert(targets.end(), settings.LocalSubnets.begin(), settings.LocalSubnets.end());
    } else {
        targets.push_back({settings.Address, settings.Mask});
    }
    targets.insert(targets.end(), settings.Unicast.begin(), settings.Unicast.end());
}

TGroup GroupOf(const TFilterSettings& settings, uint32_t address)
{
    for (const auto& entry : settings.Unicast)
        if (entry.Address == address)
            return {TGroup::Unicast};
    for (std::size_t i = 0; i < settings.LocalSubnets.size(); ++i) {
        const auto& subnet = settings.LocalSubnets[i];
        if (((address ^ subnet.Address) & subnet.Mask) == 0)
            return {TGroup::Subnet, int(i)};
    }
    return {TGroup::Others};
}

void NormalizeCustomBegin(uint32_t address, uint32_t mask, bool customRange, uint32_t typedBegin, uint32_t& begin)
{
    if (customRange && (address & mask) == (typedBegin & mask))
        begin = typedBegin;
    else
        begin = address & mask;
}

void NormalizeCustomEnd(uint32_t address, uint32_t mask, bool customRange, uint32_t begin, uint32_t typedEnd,
                        uint32_t& end)
{
    if (customRange && typedEnd != 0 && typedEnd >= begin && (typedEnd & mask) == (address & mask))
        end = typedEnd;
    else
        end = address | ~mask;
}

uint32_t RangeEndPreset(uint32_t address)
{
    if (address == 0)
        return 0;
    uint32_t lowest = address & (~address + 1);
    return address | (lowest - 1);
}

} // namespace Filter
