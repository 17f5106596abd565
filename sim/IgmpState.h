// IGMP snooping of a switch and the IGMP options.
#pragma once

#include <QMap>
#include <QSet>

#include <cstdint>

namespace Sim {

// IGMP snooping and the query function (0 disable, 1 enable, 2 auto).
struct TIgmp {
    bool snooping = true;
    uint8_t queryMode = 2;
};

// Switches with n learned groups at start-up; the fault of query mode 3 (1536).
struct TIgmpOptions {
    QMap<int, int> igmpGroups;
    QSet<int> badIgmpQuery;
};

} // namespace Sim
