// Mirroring, LLDP and what a switch learns and counts while it runs, and the monitor options.
#pragma once

#include "Wire.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>

#include <array>
#include <cstdint>

namespace Sim {

// Port mirroring (destinations are port indexes, bit i of a mask is port i) and the LLDP agent.
struct TMirror {
    uint8_t destRx = 0;
    uint8_t destTx = 0;
    uint32_t srcRx = 0;
    uint32_t srcTx = 0;
};

struct TLldp {
    bool enabled = true;
    uint16_t interval = 30;
};

// What a switch learns and counts while it runs: the MAC table (logical ports), six frame
// counters per port that move on every read, and the event log. Filled at the first read.
struct TMacEntry {
    uint8_t port = 0;
    TMac mac{};
    bool isStatic = false;
};

struct TEvent {
    QByteArray time;
    QByteArray text;
};

struct TMonitor {
    bool ready = false;
    QList<TMacEntry> macTable;
    QList<std::array<uint32_t, 6>> counters;
    QList<TEvent> events;
};

// Monitor tables: a MAC table of n entries and an event log of n lines at start-up;
// faults of a MAC entry on a port beyond the trunks (2560), one counter entry too few
// (2562), counters starting at their 32-bit limit, a mirror destination beyond the
// ports (2564) and event texts filling their 128 bytes without terminator (2566).
struct TMonitorOptions {
    QMap<int, int> macTableSize;
    QMap<int, int> eventLogSize;
    QSet<int> badMacPort;
    QSet<int> shortCounters;
    QSet<int> countersAtLimit;
    QSet<int> badMirrorPort;
    QSet<int> fullEventText;
};

} // namespace Sim
