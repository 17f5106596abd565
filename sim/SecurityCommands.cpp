// Handlers of the security commands: the management access list, static MAC-to-port
// bindings, the MAC blacklist, the 802.1X settings and the per-port authorisation modes;
// payload layouts follow the wire tables of each command. The two address lists go out in
// datagrams of at most a full count of entries, a shorter one ending the list.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int AccessSlots = 10;
constexpr int AccessSize = 5 + 4 * AccessSlots;
constexpr int RadiusSize = 86;
constexpr int TextWidth = 32;
constexpr int ListHead = 4;
constexpr int FullDatagram = 128;
constexpr int MaxBlacklist = 1024;
constexpr int MaxBindings = 256;
constexpr uint8_t MaxAuthMode = 3;
constexpr uint8_t AuthAccept = 1;
constexpr uint8_t FaultAuthMode = 4;

const TReply BadRequest{stBadRequest, {}, 0};

TMac ReadMac(const uint8_t* p)
{
    TMac mac;
    std::copy(p, p + mac.size(), mac.begin());
    return mac;
}

void WriteMac(TWriter& w, const TMac& mac)
{
    for (uint8_t byte : mac)
        w.U8(byte);
}

bool IsUsable(const TMac& mac) { return mac != TMac{} && mac != TMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}; }

// The modes start as "Accept" on every port the switch has.
QList<uint8_t>& AuthModes(TSwitch& sw)
{
    QList<uint8_t>& modes = sw.running.security.authModes;
    if (modes.size() != sw.running.ports.PortCount())
        modes = QList<uint8_t>(sw.running.ports.PortCount(), AuthAccept);
    return modes;
}

// Entries per datagram: the list-split option when given, else a full datagram.
int PerDatagram(const TRequest& rq) { return rq.options->listSplit > 0 ? rq.options->listSplit : FullDatagram; }

// The first datagram is the reply; the others follow 1 ms apart, in order. A list that
// fills its last datagram gets an empty one after it. A --list-split below a full datagram
// still sends every entry: the requester ends the list at the first short datagram.
template <class Entry, class Write>
TReply Segmented(const QList<Entry>& entries, const TRequest& rq, Write write)
{
    const int per = PerDatagram(rq);
    QList<QByteArray> datagrams;
    for (qsizetype first = 0;; first += per) {
        QByteArray payload(ListHead, '\0');
        TWriter w(payload);
        const qsizetype end = std::min<qsizetype>(entries.size(), first + per);
        for (qsizetype i = first; i < end; ++i)
            write(w, entries[i]);
        datagrams.append(payload);
        if (end == entries.size() && std::max<qsizetype>(0, end - first) < FullDatagram)
            break;
    }
    for (qsizetype i = 1; i < datagrams.size() && rq.later; ++i)
        rq.later(datagrams[i], int(i));
    TReply reply;
    reply.payload = datagrams.front();
    return reply;
}

TReply AccessList(TSwitch& sw, const TRequest& rq)
{
    const TSecurity& s = sw.running.security;
    TReply reply = Written([&](TWriter& w) {
        w.Bool(s.ipEnabled);
        w.U32(s.management);
        for (uint32_t address : s.accessList)
            w.U32(address);
    });
    if (rq.options->cutAccessList.contains(sw.Index()))
        reply.payload.chop(1);
    return reply;
}

TReply SetAccessList(TSwitch& sw, const TRequest& rq)
{
    if (rq.size != std::size_t(AccessSize))
        return BadRequest;
    TSecurity& s = sw.running.security;
    s.ipEnabled = rq.payload[0] != 0;
    s.management = ReadU32(rq.payload + 1);
    for (int i = 0; i < AccessSlots; ++i)
        s.accessList[i] = ReadU32(rq.payload + 5 + 4 * i);
    return {};
}

TReply Bindings(TSwitch& sw, const TRequest& rq)
{
    QList<TPortBinding> bindings = sw.running.security.bindings;
    if (rq.options->badBindingPort.contains(sw.Index()))
        bindings.append(TPortBinding{uint8_t(sw.running.ports.LogicalCount()), {0x02, 0xBA, 0xD0, 0x00, 0x00, 0x01}});
    return Segmented(bindings, rq, [](TWriter& w, const TPortBinding& b) {
        w.U8(b.port);
        WriteMac(w, b.mac);
    });
}

// An address is bound to one port: adding it again moves it.
TReply AddBinding(TSwitch& sw, const TRequest& rq)
{
    const TPortBinding binding{rq.payload[0], ReadMac(rq.payload + 1)};
    QList<TPortBinding>& bindings = sw.running.security.bindings;
    if (binding.port >= sw.running.ports.LogicalCount() || !IsUsable(binding.mac))
        return BadRequest;
    bindings.removeIf([&](const TPortBinding& b) { return b.mac == binding.mac; });
    if (bindings.size() >= MaxBindings)
        return BadRequest;
    bindings.append(binding);
    return {};
}

TReply DelBinding(TSwitch& sw, const TRequest& rq)
{
    const TMac mac = ReadMac(rq.payload);
    if (!IsUsable(mac))
        return BadRequest;
    sw.running.security.bindings.removeIf([&](const TPortBinding& b) { return b.mac == mac; });
    return {};
}

TReply Blacklist(TSwitch& sw, const TRequest& rq) { return Segmented(sw.running.security.blacklist, rq, WriteMac); }

TReply AddBlacklisted(TSwitch& sw, const TRequest& rq)
{
    const TMac mac = ReadMac(rq.payload);
    QList<TMac>& list = sw.running.security.blacklist;
    if (!IsUsable(mac) || (!list.contains(mac) && list.size() >= MaxBlacklist))
        return BadRequest;
    if (!list.contains(mac))
        list.append(mac);
    return {};
}

TReply DelBlacklisted(TSwitch& sw, const TRequest& rq)
{
    const TMac mac = ReadMac(rq.payload);
    if (!IsUsable(mac))
        return BadRequest;
    sw.running.security.blacklist.removeAll(mac);
    return {};
}

TReply Radius(TSwitch& sw, const TRequest& rq)
{
    const TRadius& r = sw.running.security.radius;
    const QByteArray nasId = rq.options->fullNasId.contains(sw.Index()) ? QByteArray(TextWidth, 'N') : r.nasId;
    return Written([&](TWriter& w) {
        w.Bool(r.enabled);
        w.U32(r.server);
        w.U16(r.serverPort);
        w.U16(r.accountingPort);
        w.Text(r.sharedKey, TextWidth);
        w.Text(nasId, TextWidth);
        w.U16(r.quietPeriod);
        w.U16(r.txPeriod);
        w.U16(r.supplicantTimeout);
        w.U16(r.serverTimeout);
        w.U8(r.maxRequests);
        w.U32(r.reAuthPeriod);
    });
}

uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

TReply SetRadius(TSwitch& sw, const TRequest& rq)
{
    const uint8_t* p = rq.payload;
    TRadius& r = sw.running.security.radius;
    r.enabled = p[0] != 0;
    r.server = ReadU32(p + 1);
    r.serverPort = ReadU16(p + 5);
    r.accountingPort = ReadU16(p + 7);
    r.sharedKey = ReadText(p + 9, TextWidth);
    r.nasId = ReadText(p + 41, TextWidth);
    r.quietPeriod = ReadU16(p + 73);
    r.txPeriod = ReadU16(p + 75);
    r.supplicantTimeout = ReadU16(p + 77);
    r.serverTimeout = ReadU16(p + 79);
    r.maxRequests = p[81];
    r.reAuthPeriod = ReadU32(p + 82);
    return {};
}

TReply PortAuth(TSwitch& sw, const TRequest& rq)
{
    QList<uint8_t> modes = AuthModes(sw);
    if (rq.options->shortAuthPorts.contains(sw.Index()))
        modes.removeLast();
    if (rq.options->badAuthMode.contains(sw.Index()))
        modes.front() = FaultAuthMode;
    TReply reply;
    for (uint8_t mode : modes)
        reply.payload.append(char(mode));
    return reply;
}

TReply SetPortAuth(TSwitch& sw, const TRequest& rq)
{
    QList<uint8_t>& modes = AuthModes(sw);
    if (rq.size != std::size_t(modes.size()))
        return BadRequest;
    for (std::size_t i = 0; i < rq.size; ++i)
        if (rq.payload[i] > MaxAuthMode)
            return BadRequest;
    for (std::size_t i = 0; i < rq.size; ++i)
        modes[qsizetype(i)] = rq.payload[i];
    return {};
}

} // namespace

QList<TMac> SampleBlacklist(int count)
{
    QList<TMac> list;
    for (int i = 0; i < count; ++i)
        list.append(TMac{0x02, 0xB1, 0xAC, 0x00, uint8_t(i >> 8), uint8_t(i)});
    return list;
}

void AddSecurityCommands(TCommandTable& table)
{
    table[2048] = {AccessList, 0, 4, true};
    table[2049] = {SetAccessList, AccessSize, 4, true};
    table[2050] = {Bindings, 0, 4, true};
    table[2051] = {AddBinding, 7, 4, true};
    table[2052] = {DelBinding, 6, 4, true};
    table[2053] = {Blacklist, 0, 4, true};
    table[2054] = {AddBlacklisted, 6, 4, true};
    table[2055] = {DelBlacklisted, 6, 4, true};
    table[2056] = {Radius, 0, 4, true};
    table[2057] = {SetRadius, RadiusSize, 4, true};
    table[2058] = {PortAuth, 0, 4, true};
    table[2059] = {SetPortAuth, 1, 4, true};
}

void AddSecurityOptions(TOptionTable& table)
{
    table.about += "Security: the access list has 10 slots (2049 takes exactly those); the blacklist\n"
                   "holds at most 1024 and the bindings 256 addresses; a binding's port must be a port\n"
                   "or trunk group of the switch, an address is bound to one port (an Add moves it),\n"
                   "Adds and Dels of null or broadcast addresses get status 4; the port\n"
                   "authorisation set (2059) takes one mode (0 to 3) per port. The blacklist (2053) and\n"
                   "bindings (2050) answer in datagrams of 128 entries (or --list-split), one less\n"
                   "than full ending the list.\n";
    table.entries += {
        SwitchOption({"blacklist", "Switch i starts with a MAC blacklist of n addresses (repeatable).", "i=n"}, true, 0,
                     [](TOptions& o, int i, uint32_t n) { o.blacklistSize[i] = int(std::min<uint32_t>(n, 1024)); }),
        SwitchFault({"bad-auth-mode", "Switch i reports authorisation mode 4 on port 1 (2058) (repeatable).", "i"},
                    &TOptions::badAuthMode),
        SwitchFault(
            {"short-auth-ports", "Switch i answers port authorisation (2058) with one mode too few (repeatable).", "i"},
            &TOptions::shortAuthPorts),
        SwitchFault({"cut-access-list",
                     "Switch i answers IP security (2048) with its last address slot a byte short (repeatable).", "i"},
                    &TOptions::cutAccessList),
        SwitchFault({"bad-binding-port",
                     "Switch i reports a port binding on the port after its last trunk group (2050) (repeatable).",
                     "i"},
                    &TOptions::badBindingPort),
        SwitchFault({"full-nas-id",
                     "Switch i reports a NAS identifier of 32 characters without terminator (2056) (repeatable).", "i"},
                    &TOptions::fullNasId),
    };
}

} // namespace Sim
