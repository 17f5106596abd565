// VLANs of a switch and the VLAN options.
#pragma once

#include "PortState.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>

#include <cstdint>

namespace Sim {

// VLANs: the mode (0 disable, 1 port based, 2 802.1Q), the port-based list, GVRP, the
// management VLAN and the 802.1Q list by ascending VLAN ID with the ports of link type Hybrid.
// Masks: bit i is logical port i.
struct TPortVlan {
    uint16_t vid = 1;
    uint32_t members = 0;
    QByteArray name;
};

struct TDot1qVlan {
    uint16_t vid = 1;
    uint32_t untagged = 0;
    uint32_t tagged = 0;
};

struct TVlans {
    uint8_t mode = 2;
    bool gvrp = false;
    uint16_t managementVid = 0;
    QList<TPortVlan> portBased;
    QList<TDot1qVlan> dot1q;
    uint32_t hybrid = 0;
};

// VLAN 1 with every logical port, untagged, in both lists.
TVlans VlansOf(const TPorts& ports, uint8_t mode);

// VLAN mode of every switch and of single ones; VLAN list faults: VLAN ID 4095 in the
// port-based list (1026), a member beyond the switch's ports there, and a head count that
// disagrees with the entries of every list datagram (1026, 1032).
struct TVlanOptions {
    uint8_t vlanMode = 2;
    QMap<int, uint8_t> vlanModes;
    QSet<int> badVlanId;
    QSet<int> badVlanMembers;
    QSet<int> badVlanCount;
};

} // namespace Sim
