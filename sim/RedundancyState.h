// Redundancy settings of a switch: the ring, the RSTP bridge and each port's RSTP settings, and
// the RSTP fault options.
#pragma once

#include <QSet>

#include <cstdint>

namespace Sim {

// RSTP settings of one physical port.
struct TRstpPort {
    uint32_t pathCost = 200000;
    uint8_t priority = 128;
    uint8_t p2p = 0; // 0 false, 1 true, 2 auto
    bool edge = false;
    bool nonStp = false;
};

// The ring (port fields are 0-based port indexes) and the RSTP bridge settings.
struct TRing {
    bool enabled = false;
    bool master = false;
    uint8_t port1 = 0;
    uint8_t port2 = 1;
    bool coupling = false;
    uint8_t controlPort = 0;
    uint8_t couplingPort = 0;
    bool homing = false;
    uint8_t homingPort = 0;
};

struct TRstpBridge {
    bool enabled = false;
    uint16_t priority = 32768;
    uint8_t maxAge = 20;
    uint8_t hello = 2;
    uint8_t forwardDelay = 15;
};

// RSTP faults: one port entry too few (770, 772); state 9 and role 7 on port 1 (772).
struct TRedundancyOptions {
    QSet<int> shortRstpPorts;
    QSet<int> unknownRstpState;
};

} // namespace Sim
