// Handlers of the port commands: names, configuration, status, rate limits and trunk groups;
// payload layouts follow the wire tables of each command.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int NameWidth = 8;
constexpr int ConfigHead = 4;
constexpr int ConfigRequestEntry = 5;
constexpr int LimitEntry = 9;
constexpr int TrunkEntry = 5;

constexpr uint8_t MaxSpeedDuplex = 6; // "10 Half"; a switch takes no other
constexpr uint8_t MaxFlow = 2;
constexpr uint8_t MaxFrameType = 3;
constexpr uint8_t FaultSpeedDuplex = 8;
constexpr uint32_t FaultTrunkPorts = 0x0C; // ports 3 and 4

constexpr uint8_t FullGigabit = 1; // "1G Full"
constexpr uint8_t Full100 = 3;     // "100 Full"

constexpr int TrunkGroups = 4;

struct TModelPorts {
    const char* model;
    TMedia uplink; // the last two ports
};

// Six copper ports and two uplinks; models the table does not know have eight copper ports.
constexpr TModelPorts ModelPorts[] = {
    {"KX40-TX", Media100TX},  {"KX40-SS", Media100LX},  {"KX40-MM", Media100SX},
    {"KX40-GT", Media1000TX}, {"KX40-GS", Media1000LX}, {"KX40-GM", Media1000SX},
};
constexpr int CopperPorts = 6;
constexpr int Uplinks = 2;

const TReply BadRequest{stBadRequest, {}, 0};

QByteArray Numbered(const char* prefix, int number)
{
    return prefix + QByteArray::number(number).rightJustified(2, '0');
}

TReply PortNames(TSwitch& sw, const TRequest& rq)
{
    const TPorts& p = sw.running.ports;
    const int count = p.LogicalCount() - (rq.options->shortPortNames.contains(sw.Index()) ? 1 : 0);
    return Written([&](TWriter& w) {
        for (int i = 0; i < count; ++i)
            w.Text(i < p.PortCount() ? Numbered("Port.", i + 1) : Numbered("Trunk.", i - p.PortCount() + 1), NameWidth);
    });
}

bool BadSpeedDuplex(const TSwitch& sw, const TRequest& rq, int port)
{
    return port == 0 && rq.options->badSpeedDuplex.contains(sw.Index());
}

TReply PortConfiguration(TSwitch& sw, const TRequest& rq)
{
    const TPorts& p = sw.running.ports;
    return Written([&](TWriter& w) {
        w.U32(0);
        for (int i = 0; i < p.LogicalCount(); ++i) {
            const TPortSettings& s = p.settings[i];
            w.U8(uint8_t(i));
            w.U8(i < p.PortCount() ? p.types[i] : 0);
            w.Bool(s.enabled);
            w.U8(BadSpeedDuplex(sw, rq, i) ? FaultSpeedDuplex : s.speedDuplex);
            w.U8(s.flow);
            w.Bool(s.security);
        }
    });
}

// Entries of port, state, speed/duplex, flow control and security; only the ports named
// change, and nothing changes when one entry is out of range.
TReply SetPortConfiguration(TSwitch& sw, const TRequest& rq)
{
    TPorts next = sw.running.ports;
    const std::size_t count = (rq.size - ConfigHead) / ConfigRequestEntry;
    if (count < 1 || count > std::size_t(next.LogicalCount()))
        return BadRequest;
    for (std::size_t k = 0; k < count; ++k) {
        const uint8_t* e = rq.payload + ConfigHead + k * ConfigRequestEntry;
        if (e[0] >= next.LogicalCount() || e[2] > MaxSpeedDuplex || e[3] > MaxFlow)
            return BadRequest;
        next.settings[e[0]] = {e[1] != 0, e[2], e[3], e[4] != 0};
    }
    sw.running.ports = next;
    return {};
}

// Links are up on the enabled ports of the link mask; speed and duplex are what the
// setting forces or, negotiated, the fastest the medium runs.
TReply PortStatus(TSwitch& sw, const TRequest& rq)
{
    const TPorts& p = sw.running.ports;
    return Written([&](TWriter& w) {
        for (int i = 0; i < p.PortCount(); ++i) {
            const TPortSettings& s = p.settings[i];
            const bool link = s.enabled && ((sw.alarms.linkMask >> i) & 1);
            uint8_t speedDuplex = s.speedDuplex;
            if (link && speedDuplex == 0)
                speedDuplex = p.types[i] < Media100TX ? FullGigabit : Full100;
            w.U8(p.types[i]);
            w.Bool(link);
            w.Bool(s.enabled);
            w.U8(BadSpeedDuplex(sw, rq, i) ? FaultSpeedDuplex : speedDuplex);
            w.Bool(link && s.flow != 0);
        }
    });
}

TReply RateLimits(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        for (const TRateLimit& l : sw.running.ports.limits) {
            w.U8(l.frameType);
            w.U32(l.ingressKbps);
            w.U32(l.egressKbps);
        }
    });
}

TReply SetRateLimits(TSwitch& sw, const TRequest& rq)
{
    QList<TRateLimit> next = sw.running.ports.limits;
    if (rq.size / LimitEntry != std::size_t(next.size()))
        return BadRequest;
    for (qsizetype i = 0; i < next.size(); ++i) {
        const uint8_t* e = rq.payload + i * LimitEntry;
        if (e[0] > MaxFrameType)
            return BadRequest;
        next[i] = {e[0], ReadU32(e + 1), ReadU32(e + 5)};
    }
    sw.running.ports.limits = next;
    return {};
}

TReply Trunks(TSwitch& sw, const TRequest& rq)
{
    const bool overlap = rq.options->overlappingTrunks.contains(sw.Index());
    const QList<TTrunk>& trunks = sw.running.ports.trunks;
    return Written([&](TWriter& w) {
        for (qsizetype i = 0; i < trunks.size(); ++i) {
            w.U32(trunks[i].members | (overlap && i < 2 ? FaultTrunkPorts : 0));
            w.Bool(trunks[i].lacp);
        }
    });
}

// Member masks of the switch's own ports, no port in two groups.
TReply SetTrunks(TSwitch& sw, const TRequest& rq)
{
    const TPorts& p = sw.running.ports;
    QList<TTrunk> next = p.trunks;
    if (rq.size / TrunkEntry != std::size_t(next.size()))
        return BadRequest;
    uint32_t taken = 0;
    for (qsizetype i = 0; i < next.size(); ++i) {
        const uint8_t* e = rq.payload + i * TrunkEntry;
        const uint32_t members = ReadU32(e);
        if ((uint64_t(members) >> p.PortCount()) != 0 || (members & taken) != 0)
            return BadRequest;
        taken |= members;
        next[i] = {members, e[4] != 0};
    }
    sw.running.ports.trunks = next;
    return {};
}

} // namespace

TPorts PortsOfModel(const QByteArray& model, int copper)
{
    TMedia uplink = Media100TX;
    for (const TModelPorts& m : ModelPorts)
        if (model == m.model)
            uplink = m.uplink;
    TPorts p;
    p.types = copper >= 0 ? QList<uint8_t>(copper, Media100TX)
                          : QList<uint8_t>(CopperPorts, Media100TX) + QList<uint8_t>(Uplinks, uplink);
    p.trunks = QList<TTrunk>(TrunkGroups);
    p.settings = QList<TPortSettings>(p.LogicalCount());
    p.limits = QList<TRateLimit>(p.PortCount());
    p.rstp = QList<TRstpPort>(p.PortCount());
    return p;
}

void AddPortCommands(TCommandTable& table)
{
    table[512] = {PortNames, 0, 4, true};
    table[513] = {PortConfiguration, 0, 4, true};
    table[514] = {SetPortConfiguration, ConfigHead + ConfigRequestEntry, 4, true};
    table[515] = {PortStatus, 0, 4, true};
    table[516] = {RateLimits, 0, 4, true};
    table[517] = {SetRateLimits, LimitEntry, 4, true};
    table[518] = {Trunks, 0, 4, true};
    table[519] = {SetTrunks, TrunkEntry, 4, true};
}

void AddPortOptions(TOptionTable& table)
{
    table.about += "Ports: six 100TX ports and two uplinks (1000TX for GT, 1000 single-mode or\n"
                   "multi-mode fibre for GS and GM, 100 fibre for SS and MM, 100TX for TX and\n"
                   "other models), four trunk groups.\n"
                   "Links are up on the --link-mask ports that are enabled. Port names are Port.01\n"
                   "and on, then Trunk.01 and on. The Sets (514, 517, 519) take 1 to ports+trunks,\n"
                   "exactly ports and exactly trunks entries; values out of range, member ports the\n"
                   "switch does not have or a port in two trunk groups get status 4 and change\n"
                   "nothing.\n";
    table.entries += {
        SwitchOption({"port-count", "Switch i has n 100TX ports (1..24) instead of its model's (repeatable).", "i=n"},
                     true, 0,
                     [](TOptions& o, int i, uint32_t n) { o.portCounts[i] = int(std::clamp<uint32_t>(n, 1, 24)); }),
        SwitchFault({"short-port-names", "Switch i answers port names (512) with one name too few (repeatable).", "i"},
                    &TOptions::shortPortNames),
        SwitchFault({"bad-speed-duplex",
                     "Switch i reports speed/duplex 8 on port 1 in port configuration (513) and port status "
                     "(515) (repeatable).",
                     "i"},
                    &TOptions::badSpeedDuplex),
        SwitchFault({"overlapping-trunks",
                     "Switch i reports ports 3 and 4 in the first two trunk groups (518) (repeatable).", "i"},
                    &TOptions::overlappingTrunks),
    };
}

} // namespace Sim
