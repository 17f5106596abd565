// Handlers of the commands that change a switch's identity, administrator account, network
// settings and time settings; payload layouts follow the wire tables of each command.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

#include "core/IntpHeader.h"

#include <QCommandLineParser>

#include <algorithm>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Sim {

namespace {

constexpr int SystemTextWidth = 256;
constexpr int AccountWidth = 16;
constexpr int DigestSize = 16;
constexpr uint16_t TimeZoneCount = 63;

TReply Refused(uint16_t status) { return {status, {}, 0}; }

TReply SetSystemInformation(TSwitch& sw, const TRequest& rq)
{
    TConfig& c = sw.running;
    const uint8_t* field = rq.payload;
    for (QByteArray* text : {&c.name, &c.description, &c.location, &c.contact}) {
        *text = ReadText(field, SystemTextWidth);
        field += SystemTextWidth;
    }
    return {};
}

// Logins made with the old credentials stay; only later logins need the new ones. An empty
// user name is refused, as it would lock every console out.
TReply SetAccount(TSwitch& sw, const TRequest& rq)
{
    const QByteArray user = ReadText(rq.payload, AccountWidth);
    if (user.isEmpty())
        return Refused(stBadRequest);
    sw.running.user = user;
    sw.running.password = ReadText(rq.payload + AccountWidth, AccountWidth);
    return {};
}

bool IsContiguousMask(uint32_t mask) { return mask != 0 && (~mask & (~mask + 1)) == 0; }

// Whether the kernel takes the address as a local source: binding to it fails with
// EADDRNOTAVAIL when no interface of this network namespace carries it.
bool IsLocalAddress(uint32_t address)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    ::close(fd);
    return bound;
}

// A unicast host address of its subnet (neither its network nor its broadcast address, where
// the subnet has room for them) that is configured here, so replies can leave from it.
// Binding alone would also accept broadcast and multicast addresses.
bool CanAnswerFrom(uint32_t address, uint32_t netmask)
{
    const uint32_t host = address & ~netmask;
    if (address == 0 || address >= 0xE0000000u)
        return false;
    if (~netmask >= 3 && (host == 0 || host == ~netmask))
        return false;
    return IsLocalAddress(address);
}

// The address the lab's DHCP server hands out: the first of the pool that no other switch
// of the fleet holds, 0 when every one is taken. Without a pool the switch keeps its address.
uint32_t Lease(const TSwitch& sw, const TRequest& rq)
{
    const TOptions& o = *rq.options;
    if (o.dhcpFirst == 0)
        return sw.Address();
    for (uint64_t a = o.dhcpFirst; a <= o.dhcpLast; ++a) {
        const bool taken = std::any_of(rq.fleet->begin(), rq.fleet->end(), [&](const TSwitch& other) {
            return other.Index() != sw.Index() && other.Address() == a;
        });
        if (!taken)
            return uint32_t(a);
    }
    return 0;
}

// Needs no login but the digest of the current credentials. The fleet sends the reply from
// the address the request reached, so the old address answers this one and the new address
// every later request.
TReply SetNetwork(TSwitch& sw, const TRequest& rq)
{
    if (!sw.CredentialsMatch(rq.payload))
        return Refused(stBadCredentials);
    const uint8_t* p = rq.payload + DigestSize;
    TConfig next = sw.running;
    next.dhcp = p[0] != 0;
    if (next.dhcp) {
        // The lease brings the subnet's netmask, gateway and DNS servers, which the switch
        // already has; the request's addresses are not read.
        next.address = Lease(sw, rq);
    } else {
        next.address = ReadU32(p + 1);
        next.netmask = ReadU32(p + 5);
        next.gateway = ReadU32(p + 9);
        next.dns1 = ReadU32(p + 13);
        next.dns2 = ReadU32(p + 17);
        if (!IsContiguousMask(next.netmask))
            return Refused(stBadRequest);
    }
    if (!CanAnswerFrom(next.address, next.netmask))
        return Refused(stAddressNotAvailable);
    sw.running = next;
    return {};
}

TReply GetTime(TSwitch& sw, const TRequest&)
{
    const TTimeSettings& t = sw.running.time;
    return Written([&](TWriter& w) {
        w.Bool(t.sntp);
        w.U16(t.timeZone);
        w.U32(t.server);
        w.U32(sw.Clock());
        w.Bool(t.daylight);
        w.U32(t.daylightBegin);
        w.U32(t.daylightEnd);
        w.U32(t.daylightOffsetMin);
    });
}

// The request carries everything of the get reply but the current time.
TReply SetTime(TSwitch& sw, const TRequest& rq)
{
    const uint8_t* p = rq.payload;
    TTimeSettings t;
    t.sntp = p[0] != 0;
    t.timeZone = Intp::ReadU16(p + 1);
    t.server = ReadU32(p + 3);
    t.daylight = p[7] != 0;
    t.daylightBegin = ReadU32(p + 8);
    t.daylightEnd = ReadU32(p + 12);
    t.daylightOffsetMin = ReadU32(p + 16);
    if (t.timeZone >= TimeZoneCount)
        return Refused(stBadRequest);
    sw.running.time = t;
    return {};
}

} // namespace

void AddBasicsCommands(TCommandTable& table)
{
    table[261] = {SetSystemInformation, 4 * SystemTextWidth, 4, true};
    // Reaches switches outside the workstation's subnet by the limited broadcast, where no
    // login can precede it.
    table[263] = {SetNetwork, 37, 4, false};
    table[268] = {SetAccount, 2 * AccountWidth, 4, true};
    table[269] = {GetTime, 0, 24, true};
    table[270] = {SetTime, 20, 4, true};
}

void AddBasicsOptions(TOptionTable& table)
{
    table.entries += {
        {{"dhcp-pool",
          "Addresses switches take when network settings set (263) turns DHCP on "
          "(default: none, a switch keeps its address).",
          "first-last"},
         [](const QCommandLineParser& p, TOptions& o) -> QString {
             if (!p.isSet("dhcp-pool"))
                 return {};
             const QStringList range = p.value("dhcp-pool").split('-');
             if (range.size() != 2 || !ToIpv4(range[0], o.dhcpFirst) || !ToIpv4(range[1], o.dhcpLast) ||
                 o.dhcpFirst == 0 || o.dhcpFirst > o.dhcpLast)
                 return "bad --dhcp-pool " + p.value("dhcp-pool");
             return {};
         }},
        SwitchFault({"no-clock", "Switch i has no clock: SNTP get (269) reports 0xFFFFFFFF (repeatable).", "i"},
                    &TOptions::noClock),
    };
}

} // namespace Sim
