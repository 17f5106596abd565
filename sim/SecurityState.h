// Security settings of a switch and the security options.
#pragma once

#include "Wire.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>

#include <cstdint>

namespace Sim {

// 802.1X against a RADIUS server, the per-port authorisation modes (0 reject ... 3 disable),
// the management access list (10 slots, 0 empty), the MAC blacklist and static MAC-to-port
// bindings (0-based logical ports).
struct TRadius {
    bool enabled = false;
    uint32_t server = 0;
    uint16_t serverPort = 1812;
    uint16_t accountingPort = 1813;
    QByteArray sharedKey = "58132604";
    QByteArray nasId = "NAS_L2_SWITCH";
    uint16_t quietPeriod = 60;
    uint16_t txPeriod = 30;
    uint16_t supplicantTimeout = 30;
    uint16_t serverTimeout = 30;
    uint8_t maxRequests = 2;
    uint32_t reAuthPeriod = 3600;
};

struct TPortBinding {
    uint8_t port = 0;
    TMac mac{};
};

struct TSecurity {
    TRadius radius;
    QList<uint8_t> authModes; // one per port
    bool ipEnabled = false;
    uint32_t management = 0;
    QList<uint32_t> accessList = QList<uint32_t>(10, 0);
    QList<TMac> blacklist;
    QList<TPortBinding> bindings;
};

// A blacklist of n addresses at start-up; faults of an authorisation mode 4 on port 1
// (2058), one mode too few (2058), an access list whose last slot lacks a byte (2048), a
// port binding on a port the switch does not have (2050) and a NAS identifier of 32
// characters without terminator (2056).
struct TSecurityOptions {
    QMap<int, int> blacklistSize;
    QSet<int> badAuthMode;
    QSet<int> shortAuthPorts;
    QSet<int> cutAccessList;
    QSet<int> badBindingPort;
    QSet<int> fullNasId;
};

} // namespace Sim
