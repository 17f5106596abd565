// New addresses for switches: a run of consecutive host addresses from a range for many
// switches at once, or one address given by hand. Addresses are IPv4 values in host order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the operator typed; unparsable fields arrive as 255.255.255.255.
struct TAddressRequest {
    uint32_t Address = 0; // the range's first address, or the one address
    uint32_t End = 0;     // the range's last address (ranges only)
    uint32_t Netmask = 0;
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
};

enum class TPlanRefusal {
    None,
    BeginAfterEnd,
    InvalidNetmask,
    InvalidAddress,
};

struct TAddressPlan {
    TPlanRefusal Refusal = TPlanRefusal::None;
    // Shared by every planned switch. A gateway outside the planned subnet and DNS servers
    // that are no host address are dropped (0).
    uint32_t Netmask = 0;
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
    // One per switch in the order asked for; 0 for a switch the range had no room for.
    std::vector<uint32_t> Addresses;

    bool Complete() const;
};

// Consecutive usable host addresses from Address to End for count switches: no network or
// broadcast address of the subnet, none of the gateway and DNS servers. The gateway is
// kept only when both ends of the range lie in its subnet.
TAddressPlan PlanAddressRange(const TAddressRequest& request, std::size_t count);
// The one address of the request for one switch.
TAddressPlan PlanSingleAddress(const TAddressRequest& request);
