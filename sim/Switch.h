// One simulated switch: identity, the configuration that Sets change and Gets return, the
// status values it reports and the workstations logged in to it.
#pragma once

#include "BasicsState.h"
#include "DhcpState.h"
#include "IgmpState.h"
#include "MonitorState.h"
#include "PortState.h"
#include "QosState.h"
#include "RedundancyState.h"
#include "SecurityState.h"
#include "SnmpState.h"
#include "TransferState.h"
#include "VlanState.h"
#include "WarningState.h"
#include "Wire.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>

#include <cstdint>

namespace Sim {

// Each feature group declares its settings, state and options in its own header; a switch
// holds them here.

// Settings a switch keeps in flash: Sets change the running copy, save (264) writes it to
// flash, reboot (259) reloads it and factory default (271) returns to the start-up values.
struct TConfig {
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
struct TAlarms {
    uint32_t power = 0;
    uint32_t ports = 0;
    uint32_t linkMask = 0;
    bool warningEnabled = true;
    bool warningActive = false;
    uint16_t warningValue = 0;
};

class TSwitch {
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
