// The services the discovery chain consults: the discovery filter and the status monitor.
// Either may be absent; the main window hands out what it has.
#pragma once

#include "FilterSettings.h"

#include <cstdint>
#include <vector>

class TDevice;

namespace Status {

// Row flags of the status monitor.
enum : uint32_t { sfOffline = 1, sfQueryFailed = 2, sfAddressChanged = 4, sfAlarm = 8 };

class TStatusServer {
public:
    virtual ~TStatusServer() = default;
    virtual void AddDevices(const std::vector<TDevice*>& devices) = 0;
    virtual void AddDevice(TDevice* device) = 0;
    // The monitor's flags for the device; 0 when it has no row.
    virtual uint32_t GetStatusFlags(TDevice* device) const = 0;
};

} // namespace Status
