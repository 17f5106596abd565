// The services the discovery chain consults: the discovery filter and the status monitor.
// Either may be absent; the main window hands out what it has.
#pragma once

#include "IpMask.h"

#include <cstdint>
#include <vector>

class TDevice;

namespace Filter {

class TFilterServer {
public:
    virtual ~TFilterServer() = default;
    // Whether a switch at this address is shown and queried.
    virtual bool IsAccepted(uint32_t address) const = 0;
    // Where the discovery request goes, in order.
    virtual std::vector<TIpMask> GetTargets() const = 0;
};

} // namespace Filter

namespace Status {

class TStatusServer {
public:
    virtual ~TStatusServer() = default;
    virtual void AddDevice(TDevice* device) = 0;
};

} // namespace Status
