// Command-line settings of the simulator: the fleet's layout and the faults it plays.
#pragma once

#include "Wire.h"

#include <QByteArrayList>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <cstdint>

namespace Sim {

// Consecutive switch addresses in one subnet.
struct TGroup
{
    uint32_t first = 0;
    int prefix = 24;
    int count = 0;
    uint32_t gateway = 0;
};

// Every reply to the command (from one switch, or from all when index < 0) carries the status.
struct TErrorRule
{
    uint16_t command = 0;
    uint16_t status = 0;
    int index = -1;
};

struct TOptions
{
    QList<TGroup> groups;
    QByteArrayList models;
    TMac macBase{};
    QByteArray namePrefix;
    QByteArray user;
    QByteArray password;
    uint32_t linkMask = 0;

    QHostAddress bind;
    uint16_t port = 0;
    bool anyNetwork = false;
    bool loginByAddress = false;
    bool verbose = false;
    uint32_t seed = 0;

    int jitterMs = 0;
    double dropRate = 0;
    double malformedRate = 0;
    int flashDelayMs = 0;
    // A built-in transfer is first answered "writing flash" for this long, then asked to
    // send its first block again.
    int busyMs = 0;
    // Where files received by transfers are written, named by the switch's MAC; empty: kept
    // in memory only.
    QString storeDir;
    int rebootMs = 0;
    // Largest number of list entries per reply datagram; read by the list commands.
    int listSplit = 0;
    // Addresses a switch takes when network settings set (263) turns DHCP on; 0 when none.
    uint32_t dhcpFirst = 0;
    uint32_t dhcpLast = 0;

    // Syslog messages sent by the switches, spread over them in turn; none when the rate is 0.
    QHostAddress syslogTarget;
    uint16_t syslogPort = 514;
    double syslogRate = 0;
    // Where the switches' own syslog clients send, at the server their warning settings name.
    uint16_t clientSyslogPort = 514;

    // Layer-2 scan answers through a raw socket: each switch answers scanRepeat times; the
    // faults add an answer from the broadcast MAC and one of 30 bytes.
    bool scan = false;
    int scanRepeat = 1;
    bool scanBadSource = false;
    bool scanShort = false;

    QSet<int> badCosPriority;
    QMap<int, int> portCounts; // switches with another number of ports than their model
    QSet<int> mute;
    QSet<int> noClock;
    // Port list faults: one name too few (512), speed/duplex 8 on port 1 (513, 515), ports
    // 3 and 4 in the first two trunk groups (518).
    QSet<int> shortPortNames;
    QSet<int> badSpeedDuplex;
    QSet<int> overlappingTrunks;
    // VLAN mode of every switch and of single ones; VLAN list faults: VLAN ID 4095 in the
    // port-based list (1026), a member beyond the switch's ports there, and a head count that
    // disagrees with the entries of every list datagram (1026, 1032).
    uint8_t vlanMode = 2;
    QMap<int, uint8_t> vlanModes;
    QSet<int> badVlanId;
    QSet<int> badVlanMembers;
    QSet<int> badVlanCount;
    // RSTP faults: one port entry too few (770, 772); state 9 and role 7 on port 1 (772).
    QSet<int> shortRstpPorts;
    QSet<int> unknownRstpState;
    // Security: a blacklist of n addresses at start-up; faults of an authorisation mode 4 on
    // port 1 (2058), one mode too few (2058), an access list whose last slot lacks a byte
    // (2048), a port binding on a port the switch does not have (2050) and a NAS
    // identifier of 32 characters without terminator (2056).
    QMap<int, int> blacklistSize;
    QSet<int> badAuthMode;
    QSet<int> shortAuthPorts;
    QSet<int> cutAccessList;
    QSet<int> badBindingPort;
    QSet<int> fullNasId;
    // SNMP faults: agent version 2 (1792), one community byte short of four slots and
    // privilege 2 in the first slot (1794), an unused and an unknown-version receiver (1799).
    QSet<int> badSnmpVersion;
    QSet<int> shortCommunities;
    QSet<int> badCommunityPrivilege;
    QSet<int> unusedTrapSlots;
    // Monitor tables: a MAC table of n entries and an event log of n lines at start-up;
    // faults of a MAC entry on a port beyond the trunks (2560), one counter entry too few
    // (2562), counters starting at their 32-bit limit, a mirror destination beyond the
    // ports (2564) and event texts filling their 128 bytes without terminator (2566).
    QMap<int, int> macTableSize;
    QMap<int, int> eventLogSize;
    QSet<int> badMacPort;
    QSet<int> shortCounters;
    QSet<int> countersAtLimit;
    QSet<int> badMirrorPort;
    QSet<int> fullEventText;
    // Warning faults: syslog mode 5 (2306) and SMTP settings with n recipient slots (2308).
    QSet<int> badSyslogMode;
    QMap<int, int> smtpSlots;
    // DHCP server and IGMP snooping: a lease table of n clients and n learned groups at
    // start-up; faults of a client of type 5 ending the lease table (274), one port binding
    // too few (275) and query mode 3 (1536).
    QMap<int, int> dhcpClients;
    QMap<int, int> igmpGroups;
    QSet<int> badDhcpClient;
    QSet<int> shortDhcpBindings;
    QSet<int> badIgmpQuery;
    QMap<int, int> silentAfterSec;
    QMap<int, uint32_t> powerAlarms;
    QMap<int, uint32_t> portAlarms;
    QMap<int, uint16_t> warnings;
    QList<TErrorRule> errors;

    int Count() const;
};

// Parses the arguments (--help and --version print and exit). False with a message on a
// malformed or contradictory option.
bool ParseOptions(const QStringList& arguments, TOptions& out, QString& error);

} // namespace Sim
