// Basic settings of a switch: its clock and time settings, and the options of its network and
// time commands.
#pragma once

#include <QSet>

#include <cstdint>

namespace Sim {

// The SNTP client, time zone and daylight-saving period (times in seconds since 1970).
struct TTimeSettings {
    bool sntp = false;
    uint16_t timeZone = 22; // index into the time-zone list: Greenwich Mean Time
    uint32_t server = 0;
    bool daylight = false;
    uint32_t daylightBegin = 0;
    uint32_t daylightEnd = 0;
    uint32_t daylightOffsetMin = 60;
};

struct TBasicsOptions {
    // Addresses a switch takes when network settings set (263) turns DHCP on; 0 when none.
    uint32_t dhcpFirst = 0;
    uint32_t dhcpLast = 0;
    // Switches without a clock: SNTP get (269) reports none.
    QSet<int> noClock;
};

} // namespace Sim
