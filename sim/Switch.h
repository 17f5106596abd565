// One simulated switch: identity, the configuration that Sets change and Gets return, the
// status values it reports and the workstations logged in to it.
#pragma once

#include "Wire.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>

#include <cstdint>

namespace Sim {

// The SNTP client, time zone and daylight-saving period (times in seconds since 1970).
struct TTimeSettings
{
    bool sntp = false;
    uint16_t timeZone = 22; // index into the time-zone list: Greenwich Mean Time
    uint32_t server = 0;
    bool daylight = false;
    uint32_t daylightBegin = 0;
    uint32_t daylightEnd = 0;
    uint32_t daylightOffsetMin = 60;
};

// Port settings: one per logical port (ports, then trunk groups); rate limits per port;
// trunk groups with their member ports (bit i: port i + 1).
struct TPortSettings
{
    bool enabled = true;
    uint8_t speedDuplex = 0; // auto negotiation
    uint8_t flow = 0;        // disabled
    bool security = false;
};

struct TRateLimit
{
    uint8_t frameType = 3; // broadcast only
    uint32_t ingressKbps = 8192;
    uint32_t egressKbps = 0;
};

struct TTrunk
{
    uint32_t members = 0;
    bool lacp = false;
};

// RSTP settings of one physical port.
struct TRstpPort
{
    uint32_t pathCost = 200000;
    uint8_t priority = 128;
    uint8_t p2p = 0; // 0 false, 1 true, 2 auto
    bool edge = false;
    bool nonStp = false;
};

// Media types of ports, as the port commands number them.
enum TMedia : uint8_t { Media1000TX = 1, Media1000SX, Media1000LX, Media100TX, Media100SX, Media100LX };

struct TPorts
{
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

// VLANs: the mode (0 disable, 1 port based, 2 802.1Q), the port-based list, GVRP, the
// management VLAN and the 802.1Q list by ascending VLAN ID with the ports of link type Hybrid.
// Masks: bit i is logical port i.
struct TPortVlan
{
    uint16_t vid = 1;
    uint32_t members = 0;
    QByteArray name;
};

struct TDot1qVlan
{
    uint16_t vid = 1;
    uint32_t untagged = 0;
    uint32_t tagged = 0;
};

struct TVlans
{
    uint8_t mode = 2;
    bool gvrp = false;
    uint16_t managementVid = 0;
    QList<TPortVlan> portBased;
    QList<TDot1qVlan> dot1q;
    uint32_t hybrid = 0;
};

// VLAN 1 with every logical port, untagged, in both lists.
TVlans VlansOf(const TPorts& ports, uint8_t mode);

// The ring (port fields are 0-based port indexes) and the RSTP bridge settings.
struct TRing
{
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

struct TRstpBridge
{
    bool enabled = false;
    uint16_t priority = 32768;
    uint8_t maxAge = 20;
    uint8_t hello = 2;
    uint8_t forwardDelay = 15;
};

// Traffic prioritization: scheme, priority type, queues 0..3 of each port, of the 802.1p
// priorities and of the DSCP values, and each port's default 802.1p priority.
struct TQos
{
    uint8_t scheme = 0;
    uint8_t type = 0;
    QList<uint8_t> portQueues;
    std::array<uint8_t, 8> cosQueues{0, 0, 1, 1, 2, 2, 3, 3};
    QList<uint8_t> portPriorities;
    std::array<uint8_t, 64> dscpQueues{};
};

// 802.1X against a RADIUS server, the per-port authorisation modes (0 reject ... 3 disable),
// the management access list (10 slots, 0 empty), the MAC blacklist and static MAC-to-port
// bindings (0-based logical ports).
struct TRadius
{
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

struct TPortBinding
{
    uint8_t port = 0;
    TMac mac{};
};

struct TSecurity
{
    TRadius radius;
    QList<uint8_t> authModes; // one per port
    bool ipEnabled = false;
    uint32_t management = 0;
    QList<uint32_t> accessList = QList<uint32_t>(10, 0);
    QList<TMac> blacklist;
    QList<TPortBinding> bindings;
};

// The SNMP agent: its version (0 V1/V2c, 1 V3), four community slots, the SNMPv3 users with
// their passwords and the trap receivers. Secrets never leave the switch but in replies.
struct TSnmpCommunity
{
    QByteArray name;
    uint8_t privilege = 0; // 0 read only, 1 read and write
};

struct TSnmpUser
{
    QByteArray name;
    QByteArray auth;
    QByteArray privacy;
};

struct TTrapReceiver
{
    uint32_t address = 0;
    QByteArray community;
    uint8_t version = 0; // 0 V1, 1 V2c
};

struct TSnmp
{
    uint8_t version = 0;
    QList<TSnmpCommunity> communities{{"public", 0}, {"private", 1}, {}, {}};
    QList<TSnmpUser> users;
    QList<TTrapReceiver> traps;
};

// Port mirroring (destinations are port indexes, bit i of a mask is port i) and the LLDP agent.
struct TMirror
{
    uint8_t destRx = 0;
    uint8_t destTx = 0;
    uint32_t srcRx = 0;
    uint32_t srcTx = 0;
};

struct TLldp
{
    bool enabled = true;
    uint16_t interval = 30;
};

// What a switch learns and counts while it runs: the MAC table (logical ports), six frame
// counters per port that move on every read, and the event log. Filled at the first read.
struct TMacEntry
{
    uint8_t port = 0;
    TMac mac{};
    bool isStatic = false;
};

struct TEvent
{
    QByteArray time;
    QByteArray text;
};

struct TMonitor
{
    bool ready = false;
    QList<TMacEntry> macTable;
    QList<std::array<uint32_t, 6>> counters;
    QList<TEvent> events;
};

// How the switch reports faults and events: which failures raise its alarm, its syslog
// (mode 0 off, 1 local log only, 2 to the server, 3 both), its SMTP client with one
// recipient per slot, and six event masks (syslog system, link up, link down, then the same for SMTP).
// The SMTP password is never part of a reply.
struct TWarning
{
    static constexpr int RecipientSlots = 6;
    uint32_t faultSystem = 0;
    uint32_t faultLinkDown = 0;
    uint8_t syslogMode = 0;
    uint32_t syslogServer = 0;
    bool smtpEnabled = false;
    uint32_t smtpServer = 0;
    QByteArray sender;
    QByteArray subject;
    QByteArray account;
    QByteArray password;
    QList<QByteArray> recipients = QList<QByteArray>(RecipientSlots);
    std::array<uint32_t, 6> events{};

    // Whether the switch sends its events to syslogServer.
    bool SendsToServer() const { return (syslogMode == 2 || syslogMode == 3) && syslogServer != 0; }
};

// The DHCP server: its pool and options (addresses in host order, 0 gateway or DNS: none,
// lease in seconds) and the address it hands out on each physical port (0: none; the list
// takes the port count at its first use).
struct TDhcpServer
{
    bool enabled = false;
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t mask = 0;
    uint32_t gateway = 0;
    uint32_t dns = 0;
    uint32_t lease = 86400;
    QList<uint32_t> portIps;
};

// IGMP snooping and the query function (0 disable, 1 enable, 2 auto).
struct TIgmp
{
    bool snooping = true;
    uint8_t queryMode = 2;
};

// Settings a switch keeps in flash: Sets change the running copy, save (264) writes it to
// flash, reboot (259) reloads it and factory default (271) returns to the start-up values.
struct TConfig
{
    QByteArray name;
    QByteArray user;
    QByteArray password;
    QByteArray description;
    QByteArray location;
    QByteArray contact;
    QByteArray oidSuffix;
    bool dhcp = false;
    uint32_t address = 0;
    uint32_t netmask = 0;
    uint32_t gateway = 0;
    uint32_t dns1 = 0;
    uint32_t dns2 = 0;
    TTimeSettings time;
    TPorts ports;
    TVlans vlans;
    TRing ring;
    TRstpBridge rstp;
    TQos qos;
    TSecurity security;
    TSnmp snmp;
    TMirror mirror;
    TLldp lldp;
    TWarning warning;
    TDhcpServer dhcpServer;
    TIgmp igmp;
};

// Values of the status poll (6) and the warning-state query (7).
struct TAlarms
{
    uint32_t power = 0;
    uint32_t ports = 0;
    uint32_t linkMask = 0;
    bool warningEnabled = true;
    bool warningActive = false;
    uint16_t warningValue = 0;
};

// Files moved to and from the switch, and the built-in transfer going on.
struct TTransfers
{
    QByteArray firmware;      // the last image received in full
    QByteArray configuration; // the last configuration received in full; backups serve it
    uint16_t command = 0;     // of the built-in transfer going on
    uint32_t length = 0;      // its file's length; 0 when none goes on
    QByteArray incoming;
    int finishedBlock = -1;   // last block of the transfer just finished, while no other began
    bool busyServed = false;  // the --busy period of this transfer is over
    int64_t busyUntilMs = 0;
};

class TSwitch
{
public:
    static constexpr uint32_t NoClock = 0xFFFFFFFFu;

    TSwitch(int index, const TMac& mac, const QByteArray& model, const TConfig& factory);

    int Index() const { return m_Index; }
    const TMac& Mac() const { return m_Mac; }
    const QByteArray& Model() const { return m_Model; }
    uint32_t Address() const { return running.address; }

    // Whether a datagram sent to the destination (host order) reaches this switch: its own
    // address, the limited broadcast or the directed broadcast of its subnet.
    bool Reaches(uint32_t destination) const;

    // Workstations are keys made by the fleet (address and, unless logins go by address,
    // the UDP port).
    bool IsLoggedIn(uint64_t workstation) const { return m_Logins.contains(workstation); }
    void LogIn(uint64_t workstation) { m_Logins.insert(workstation); }
    void LogOut(uint64_t workstation) { m_Logins.remove(workstation); }
    bool CredentialsMatch(const uint8_t digest[16]) const;

    // Silent switches ignore every datagram; times are the fleet clock's milliseconds.
    bool IsSilent(int64_t nowMs) const;
    // The n-th syslog message: "<PRI>Mmm dd hh:mm:ss HOST text" at the switch's time given.
    QByteArray SyslogMessage(uint64_t n, const QDateTime& at) const;
    // One syslog line of this switch with the priority and text.
    QByteArray SyslogLine(int priority, const QByteArray& text, const QDateTime& at) const;
    void SilenceFrom(int64_t fromMs) { m_SilentFrom = fromMs; }
    void Reboot(int64_t nowMs, int durationMs);
    void Save() { m_Saved = running; }
    void FactoryDefault(uint32_t flags);

    // Seconds since 1970 on the switch's clock, NoClock for a switch without one.
    uint32_t Clock() const;

    uint16_t kernelVersion = 0x0102;
    uint16_t firmwareVersion = 0x020A;
    uint32_t hardwareVersion = 0x01000100;
    TConfig running;
    TAlarms alarms;
    TTransfers transfers;
    TMonitor monitor;
    // The clock runs with the host's UTC clock, this far ahead; it is no setting and
    // survives reboots and factory defaults.
    bool hasClock = true;
    int64_t clockAheadSec = 0;

private:
    int m_Index;
    TMac m_Mac;
    QByteArray m_Model;
    TConfig m_Saved;
    TConfig m_Factory;
    QSet<uint64_t> m_Logins;
    int64_t m_SilentFrom = -1;
    int64_t m_SilentUntil = -1;
};

} // namespace Sim
