// The discovery filter: where discovery goes, which answering switches are accepted, and
// how the tree groups them by filter method.
#pragma once

#include "IpMask.h"

#include <cstdint>
#include <vector>

namespace Filter {

enum TMethod : uint8_t { fmLocalSubnet = 0, fmPrimaryInterface = 1, fmCustomize = 2 };

struct TFilterSettings {
    std::vector<TIpMask> LocalSubnets;
    std::vector<TIpMask> Unicast; // masks are 255.255.255.255
    uint8_t Method = fmCustomize;
    uint32_t Address = 0;
    uint32_t Mask = 0;
    uint32_t RangeBegin = 0;
    uint32_t RangeEnd = 0xFFFFFFFFu; // the initial range accepts every device
};

// Never 0; inside the range or equal to a unicast entry.
bool IsAccepted(const TFilterSettings& settings, uint32_t address);
// Appends the discovery targets: the local subnets (customize without unicast entries) or
// the chosen subnet (methods 0 and 1), then every unicast entry.
void GetTargets(const TFilterSettings& settings, std::vector<TIpMask>& targets);

// The tree group of a device under the "Filter Method" sort.
struct TGroup {
    enum TKind { Unicast, Subnet, Others } Kind;
    int SubnetIndex = -1; // into LocalSubnets, for Subnet
};
TGroup GroupOf(const TFilterSettings& settings, uint32_t address);

// The customize rule: begin and end of the accepted range for a custom address and mask
// (each 0 when invalid). With a custom range, the typed begin and end (0 when invalid) are
// kept when they lie in the subnet and in order; otherwise the subnet's bounds are used.
void NormalizeCustomBegin(uint32_t address, uint32_t mask, bool customRange, uint32_t typedBegin, uint32_t& begin);
void NormalizeCustomEnd(uint32_t address, uint32_t mask, bool customRange, uint32_t begin, uint32_t typedEnd,
                        uint32_t& end);
// The end preset for a unicast range: every bit below the lowest one-bit set.
uint32_t RangeEndPreset(uint32_t address);

class TFilterServer {
public:
    virtual ~TFilterServer() = default;
    virtual const TFilterSettings& GetSettings() const = 0;
    virtual bool IsAccepted(uint32_t address) const = 0;
    virtual void GetTargets(std::vector<TIpMask>& targets) const = 0;
};

// A filter server over settings held in memory.
class TFilterSettingsServer : public TFilterServer {
public:
    TFilterSettings Settings;
    const TFilterSettings& GetSettings() const override { return Settings; }
    bool IsAccepted(uint32_t address) const override { return Filter::IsAccepted(Settings, address); }
    void GetTargets(std::vector<TIpMask>& targets) const override { Filter::GetTargets(Settings, targets); }
};

} // namespace Filter
