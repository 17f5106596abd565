// Handlers of the DHCP server commands: the pool and options, the lease table in datagrams
// of 32 clients and the address bound to each port. Payload layouts follow the wire tables.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int ServerSize = 25;
constexpr int ClientsPerDatagram = 32;
constexpr int DefaultClients = 4;
constexpr uint16_t ClientTypes = 5;  // Error, BootpTab, Dynamic, Sniffed, Dbase
constexpr uint16_t ClientStates = 4; // Unassigned, Bootp, DhcpOffer, Dhcp
constexpr uint16_t TypeDynamic = 2;
constexpr uint16_t StateDhcp = 3;

const TReply BadRequest{stBadRequest, {}, 0};

// A netmask: ones followed by zeros, not all zeros.
bool IsNetmask(uint32_t mask) { return mask != 0 && (~mask & (~mask + 1)) == 0; }

QList<uint32_t>& PortIps(TSwitch& sw)
{
    QList<uint32_t>& ips = sw.running.dhcpServer.portIps;
    if (ips.size() != sw.running.ports.PortCount())
        ips = QList<uint32_t>(sw.running.ports.PortCount(), 0);
    return ips;
}

TReply Server(TSwitch& sw, const TRequest&)
{
    const TDhcpServer& d = sw.running.dhcpServer;
    return Written([&](TWriter& w) {
        w.Bool(d.enabled);
        w.U32(d.start);
        w.U32(d.end);
        w.U32(d.mask);
        w.U32(d.gateway);
        w.U32(d.dns);
        w.U32(d.lease);
    });
}

// A disabled server keeps whatever it is given; an enabled one needs a pool to hand out.
TReply SetServer(TSwitch& sw, const TRequest& rq)
{
    const uint8_t* p = rq.payload;
    TDhcpServer next = sw.running.dhcpServer;
    next.enabled = p[0] == 1;
    next.start = ReadU32(p + 1);
    next.end = ReadU32(p + 5);
    next.mask = ReadU32(p + 9);
    next.gateway = ReadU32(p + 13);
    next.dns = ReadU32(p + 17);
    next.lease = ReadU32(p + 21);
    if (p[0] > 1 || (next.enabled && (next.start > next.end || !IsNetmask(next.mask) || next.lease == 0)))
        return BadRequest;
    sw.running.dhcpServer = next;
    return {};
}

// Client k holds the k-th address of the pool, its MAC numbered by k; types and states
// take every value in turn on every third client, the others are Dynamic and bound.
QByteArray Client(const TDhcpServer& d, int k, uint16_t type, uint16_t state)
{
    QByteArray entry;
    TWriter w(entry);
    w.U32(d.start + uint32_t(k));
    for (uint8_t b : TMac{0x02, 0x5A, 0xDC, uint8_t(k >> 16), uint8_t(k >> 8), uint8_t(k)})
        w.U8(b);
    w.U16(type);
    w.U16(state);
    w.U32(d.lease == 0 ? 0 : d.lease - uint32_t(k) % d.lease); // time left, running out one client after another
    return entry;
}

TReply Clients(TSwitch& sw, const TRequest& rq)
{
    const TDhcpServer& d = sw.running.dhcpServer;
    const int count = rq.options->dhcpClients.value(sw.Index(), DefaultClients);
    QList<QByteArray> entries;
    for (int k = 0; k < count; ++k)
        entries.append(k % 3 ? Client(d, k, TypeDynamic, StateDhcp)
                             : Client(d, k, uint16_t(k / 3 % ClientTypes), uint16_t(k / 3 % ClientStates)));
    if (rq.options->badDhcpClient.contains(sw.Index()))
        entries.append(Client(d, count, ClientTypes, StateDhcp));
    return ListDatagrams(entries, ClientsPerDatagram);
}

TReply Bindings(TSwitch& sw, const TRequest& rq)
{
    const QList<uint32_t>& ips = PortIps(sw);
    const qsizetype count = ips.size() - (rq.options->shortDhcpBindings.contains(sw.Index()) ? 1 : 0);
    return Written([&](TWriter& w) {
        for (qsizetype i = 0; i < count; ++i)
            w.U32(ips[i]);
    });
}

TReply SetBindings(TSwitch& sw, const TRequest& rq)
{
    QList<uint32_t>& ips = PortIps(sw);
    if (rq.size != std::size_t(4 * ips.size()))
        return BadRequest;
    for (qsizetype i = 0; i < ips.size(); ++i)
        ips[i] = ReadU32(rq.payload + 4 * i);
    return {};
}

} // namespace

void AddDhcpCommands(TCommandTable& table)
{
    table[272] = {Server, 0, ServerSize, true};
    table[273] = {SetServer, ServerSize, 4, true};
    table[274] = {Clients, 0, 4, true};
    table[275] = {Bindings, 0, 4, true};
    table[276] = {SetBindings, 0, 4, true};
}

void AddDhcpOptions(TOptionTable& table)
{
    table.about += "DHCP server (272 to 276): off, handing out hosts 100 to 199 of the switch's subnet\n"
                   "with its gateway and first DNS server for a day; the set (273) takes an enabled\n"
                   "flag of 0 or 1 and, when enabled, a pool that does not run backwards, a netmask\n"
                   "and a lease of at least a second; the port bindings (276) exactly one address per\n"
                   "port. The lease table (274) holds 4 clients (or --dhcp-clients n) from the start\n"
                   "of the pool, in datagrams of 32.\n";
    table.entries += {
        SwitchOption({"dhcp-clients",
                      "Switch i's DHCP server has a lease table of n clients (at most 4096) (repeatable).", "i=n"},
                     true, 0,
                     [](TOptions& o, int i, uint32_t n) { o.dhcpClients[i] = int(std::min<uint32_t>(n, 4096)); }),
        SwitchFault(
            {"bad-dhcp-client", "Switch i ends its DHCP lease table (274) with a client of type 5 (repeatable).", "i"},
            &TOptions::badDhcpClient),
        SwitchFault({"short-dhcp-bindings",
                     "Switch i answers DHCP port bindings (275) with one address too few (repeatable).", "i"},
                    &TOptions::shortDhcpBindings),
    };
}

} // namespace Sim
