// The SNMP agent of a switch and the SNMP fault options.
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>

#include <cstdint>

namespace Sim {

// The SNMP agent: its version (0 V1/V2c, 1 V3), four community slots, the SNMPv3 users with
// their passwords and the trap receivers. Secrets never leave the switch but in replies.
struct TSnmpCommunity {
    QByteArray name;
    uint8_t privilege = 0; // 0 read only, 1 read and write
};

struct TSnmpUser {
    QByteArray name;
    QByteArray auth;
    QByteArray privacy;
};

struct TTrapReceiver {
    uint32_t address = 0;
    QByteArray community;
    uint8_t version = 0; // 0 V1, 1 V2c
};

struct TSnmp {
    uint8_t version = 0;
    QList<TSnmpCommunity> communities{{"public", 0}, {"private", 1}, {}, {}};
    QList<TSnmpUser> users;
    QList<TTrapReceiver> traps;
};

// SNMP faults: agent version 2 (1792), one community byte short of four slots and
// privilege 2 in the first slot (1794), an unused and an unknown-version receiver (1799).
struct TSnmpOptions {
    QSet<int> badSnmpVersion;
    QSet<int> shortCommunities;
    QSet<int> badCommunityPrivilege;
    QSet<int> unusedTrapSlots;
};

} // namespace Sim
