// Handlers of the IGMP snooping commands: snooping and the query function, and the groups
// learned while snooping is on, in datagrams of 64. Payload layouts follow the wire tables.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int SettingsSize = 2;
constexpr int GroupsPerDatagram = 64;
constexpr int DefaultGroups = 3;
constexpr uint8_t QueryModes = 3;           // disable, enable, auto
constexpr uint32_t FirstGroup = 0xEF010001; // 239.1.0.1

const TReply BadRequest{stBadRequest, {}, 0};

TReply Settings(TSwitch& sw, const TRequest& rq)
{
    const TIgmp& g = sw.running.igmp;
    const bool bad = rq.options->badIgmpQuery.contains(sw.Index());
    return Written([&](TWriter& w) {
        w.Bool(g.snooping);
        w.U8(bad ? QueryModes : g.queryMode);
    });
}

TReply SetSettings(TSwitch& sw, const TRequest& rq)
{
    if (rq.payload[0] > 1 || rq.payload[1] >= QueryModes)
        return BadRequest;
    sw.running.igmp = {rq.payload[0] == 1, rq.payload[1]};
    return {};
}

// Group k is 239.1.0.1 + k in VLAN 1, joined on two neighbouring ports.
TReply Groups(TSwitch& sw, const TRequest& rq)
{
    QList<QByteArray> entries;
    const int ports = sw.running.ports.PortCount();
    const int count = sw.running.igmp.snooping ? rq.options->igmpGroups.value(sw.Index(), DefaultGroups) : 0;
    for (int k = 0; k < count; ++k) {
        QByteArray entry;
        TWriter w(entry);
        w.U32((1u << (k % ports)) | (1u << ((k + 1) % ports)));
        w.U32(FirstGroup + uint32_t(k));
        w.U16(1);
        entries.append(entry);
    }
    return ListDatagrams(entries, GroupsPerDatagram);
}

} // namespace

void AddIgmpCommands(TCommandTable& table)
{
    table[1536] = {Settings, 0, 4, true};
    table[1537] = {SetSettings, SettingsSize, 4, true};
    table[1538] = {Groups, 0, 4, true};
}

void AddIgmpOptions(TOptionTable& table)
{
    table.about += "IGMP snooping (1536 to 1538) starts on with query mode auto; the set (1537) takes\n"
                   "snooping 0 or 1 and query mode 0 to 2. While snooping is on the switch knows 3\n"
                   "groups (or --igmp-groups n) 239.1.x.y in VLAN 1, in datagrams of 64; none while off.\n";
    table.entries += {
        SwitchOption({"igmp-groups", "Switch i has learned n multicast groups (at most 4096) (repeatable).", "i=n"},
                     true, 0,
                     [](TOptions& o, int i, uint32_t n) { o.igmpGroups[i] = int(std::min<uint32_t>(n, 4096)); }),
        SwitchFault({"bad-igmp-query", "Switch i reports IGMP query mode 3 (1536) (repeatable).", "i"},
                    &TOptions::badIgmpQuery),
    };
}

} // namespace Sim
