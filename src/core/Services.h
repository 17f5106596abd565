// The services the discovery chain and the pages consult: the discovery filter, the status
// monitor and the received syslog messages. The engine host serves them; any may be absent.
#pragma once

#include "FilterSettings.h"

#include <cstdint>
#include <string>
#include <string_view>
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

namespace Syslog {

struct TSyslogListNode;

// The received syslog messages as the "Syslog Events" view keeps and shows them.
class TSyslogServer {
public:
    virtual ~TSyslogServer() = default;
    virtual void ClearEvents() = 0;
    virtual bool ParseEvent(std::string_view text, int& facility, int& severity, std::string& message) = 0;
    virtual void AddEvent(uint32_t address, std::string_view text) = 0;
    virtual int CountEvents(uint32_t address) = 0;
    virtual std::string FacilityText(int facility) = 0;
    virtual std::string SeverityText(int severity) = 0;
    virtual void CollectEvents(uint32_t address, std::vector<TSyslogListNode>& out, bool mark) = 0;
    // fileName in UTF-8; false when the file could not be written.
    virtual bool SaveEvents(const std::vector<TSyslogListNode>& list, const std::string& fileName) = 0;
};

} // namespace Syslog
