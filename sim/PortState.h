// Ports of a switch: their media, settings, rate limits and trunk groups, and the port options.
#pragma once

#include "RedundancyState.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>

#include <cstdint>

namespace Sim {

// Port settings: one per logical port (ports, then trunk groups); rate limits per port;
// trunk groups with their member ports (bit i: port i + 1).
struct TPortSettings {
    bool enabled = true;
    uint8_t speedDuplex = 0; // auto negotiation
    uint8_t flow = 0;        // disabled
    bool security = false;
};

struct TRateLimit {
    uint8_t frameType = 3; // broadcast only
    uint32_t ingressKbps = 8192;
    uint32_t egressKbps = 0;
};

struct TTrunk {
    uint32_t members = 0;
    bool lacp = false;
};

// Media types of ports, as the port commands number them.
enum TMedia : uint8_t { Media1000TX = 1, Media1000SX, Media1000LX, Media100TX, Media100SX, Media100LX };

struct TPorts {
    QList<uint8_t> types; // TMedia of each port, by the model
    QList<TPortSettings> settings;
    QList<TRateLimit> limits;
    QList<TTrunk> trunks;
    QList<TRstpPort> rstp; // one per physical port

    int PortCount() const { return int(types.size()); }
    int TrunkCount() const { return int(trunks.size()); }
    int LogicalCount() const { return PortCount() + TrunkCount(); }
};

// The ports a switch of the model has, with their start-up settings.
// A model's ports; copper, when given, replaces the model's ports by that many 100TX ports.
TPorts PortsOfModel(const QByteArray& model, int copper = -1);

// Switches with another number of ports than their model; port list faults: one name too
// few (512), speed/duplex 8 on port 1 (513, 515), ports 3 and 4 in the first two trunk
// groups (518).
struct TPortOptions {
    QMap<int, int> portCounts;
    QSet<int> shortPortNames;
    QSet<int> badSpeedDuplex;
    QSet<int> overlappingTrunks;
};

} // namespace Sim
