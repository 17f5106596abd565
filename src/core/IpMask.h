// An IPv4 address and its netmask, both in host order.
#pragma once

#include <cstdint>

struct TIpMask {
    uint32_t Address = 0;
    uint32_t Mask = 0;

    // The subnet's directed broadcast address; the host itself for a /32.
    uint32_t Broadcast() const { return Address | ~Mask; }
    bool operator==(const TIpMask&) const = default;
};
