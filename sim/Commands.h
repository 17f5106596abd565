// The command table: one entry per command code, each naming its handler and the sizes the
// fleet checks and pads. Each feature group adds its entries from its own source file.
#pragma once

#include "Switch.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace Sim {

struct TOptions;

// Statuses a simulated switch answers with besides 0 (success) and 3 (not logged in).
constexpr uint16_t stBadCredentials = 1;      // login digest matches neither user nor logout
constexpr uint16_t stBadRequest = 4;          // request payload shorter than the command needs
constexpr uint16_t stUnknownCommand = 5;      // no entry in the table
constexpr uint16_t stAddressNotAvailable = 6; // a new address the switch cannot answer from

struct TRequest {
    uint16_t command = 0;
    const uint8_t* payload = nullptr; // the received payload bytes only
    std::size_t size = 0;
    uint64_t workstation = 0;
    int64_t nowMs = 0;
    const TOptions* options = nullptr;
    const std::vector<TSwitch>* fleet = nullptr; // every switch, the addressed one included
    // Sends a further successful reply with the payload to the requester after delayMs:
    // what a switch reports on its own later (a transfer's end or progress). May be empty.
    std::function<void(const QByteArray& payload, int delayMs)> later;
    // Reports an event to the syslog server the switch was given, when it sends there. May be empty.
    std::function<void(const QByteArray& text)> log;
};

struct TReply {
    uint16_t status = 0;
    QByteArray payload; // left empty: the command's reply size of zero bytes
    int delayMs = 0;    // added to the jitter before the reply leaves
    // Further successful replies sent right after this one, in order: the rest of a list.
    QList<QByteArray> following = {};
};

// A successful reply whose payload the function writes.
template <class Fill>
TReply Written(Fill fill)
{
    TReply r;
    TWriter w(r.payload);
    fill(w);
    return r;
}

using THandler = TReply (*)(TSwitch&, const TRequest&);

struct TCommand {
    THandler handler = nullptr;
    uint16_t requestSize = 0; // payload bytes the handler reads; shorter requests get stBadRequest
    uint16_t replySize = 4;   // payload of refusals and of replies that carry no data
    bool needsLogin = true;   // otherwise answered with status 3
};

using TCommandTable = std::map<uint16_t, TCommand>;

const TCommandTable& Commands();

// Discovery, login, status poll, warning state, reboot, system information, network
// settings, save and factory default.
void AddCoreCommands(TCommandTable& table);

// System information and administrator account sets, network settings set, SNTP get and set.
void AddBasicsCommands(TCommandTable& table);

// Port names, configuration, status, rate limits and trunk groups.
void AddPortCommands(TCommandTable& table);

// VLAN mode, port-based and 802.1Q VLAN lists, GVRP and management VLAN, per-port 802.1Q settings.
void AddVlanCommands(TCommandTable& table);
// Ring settings, RSTP settings and state, the active redundancy protocol.
void AddRedundancyCommands(TCommandTable& table);
// SNMP agent version, communities, SNMPv3 users and trap receivers.
void AddSnmpCommands(TCommandTable& table);

// Scheduling and priority type, port queues, 802.1p and DSCP mappings.
void AddQosCommands(TCommandTable& table);
// The management access list, port bindings, MAC blacklist, 802.1X and port authorisation.
void AddSecurityCommands(TCommandTable& table);
// The blacklist --blacklist gives a switch at start-up: count distinct addresses.
QList<TMac> SampleBlacklist(int count);

// MAC table, port counters, mirroring, event log and LLDP.
void AddMonitorCommands(TCommandTable& table);

// Fault alarm, the switch's syslog and SMTP clients and the event selection.
void AddWarningCommands(TCommandTable& table);
// DHCP server settings, its lease table and the port bindings.
void AddDhcpCommands(TCommandTable& table);
// IGMP snooping settings and the learned groups.
void AddIgmpCommands(TCommandTable& table);
// Encoded entries in datagrams of perDatagram entries, each after 4 zero bytes; a last
// datagram with fewer entries (none when the list fills its datagrams) ends the list.
TReply ListDatagrams(const QList<QByteArray>& entries, int perDatagram);
// The same for entries that write encodes.
template <class Entry, class Write>
TReply ListDatagrams(const QList<Entry>& entries, int perDatagram, Write write)
{
    QList<QByteArray> encoded;
    encoded.reserve(entries.size());
    for (const Entry& entry : entries) {
        QByteArray bytes;
        TWriter w(bytes);
        write(w, entry);
        encoded.append(bytes);
    }
    return ListDatagrams(encoded, perDatagram);
}

// Firmware and configuration transfers: built-in blocks and through a TFTP server.
void AddTransferCommands(TCommandTable& table);

// The files switches take and give: a 4-byte kind, the whole file's length (32-bit, header
// included), then the contents. A switch takes the length from there, as the blocks it
// receives do not end where the file ends.
extern const QByteArray FirmwareKind;      // "VZFW"
extern const QByteArray ConfigurationKind; // "VZCF"
QByteArray TransferFile(const QByteArray& kind, const QByteArray& contents);

} // namespace Sim
