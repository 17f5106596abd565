// Handlers of the VLAN commands: mode, the port-based and 802.1Q VLAN lists in datagrams of
// their fixed size, GVRP and the management VLAN, and the per-port 802.1Q settings; payload
// layouts follow the wire tables of each command.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

#include <QCommandLineParser>

#include <map>

namespace Sim {

namespace {

constexpr int ListHead = 4;
constexpr int PortBasedPerDatagram = 32;
constexpr int Dot1qPerDatagram = 128;
constexpr int NameWidth = 16;
constexpr uint16_t MaxVid = 4094;
constexpr uint16_t FaultVid = 4095;
constexpr uint8_t Dot1qMode = 2;
constexpr uint8_t HybridType = 2;

const TReply BadRequest{stBadRequest, {}, 0};

// The entries in datagrams of perDatagram entries, each after a head that counts them; a
// last datagram with fewer entries (none when the list fills its datagrams) ends the list.
TReply ListReply(const QList<QByteArray>& entries, int perDatagram, bool badCount)
{
    QList<QByteArray> datagrams;
    for (qsizetype first = 0;; first += perDatagram) {
        const qsizetype n = std::min<qsizetype>(perDatagram, entries.size() - first);
        QByteArray payload;
        TWriter w(payload);
        w.U32(uint32_t(n + (badCount ? 1 : 0)));
        for (qsizetype i = first; i < first + n; ++i)
            payload += entries[i];
        if (badCount)
            payload += QByteArray(5, '\x5A');
        datagrams.append(payload);
        if (n < perDatagram)
            break;
    }
    TReply reply;
    reply.payload = datagrams.takeFirst();
    reply.following = datagrams;
    return reply;
}

TReply Mode(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) { w.U8(sw.running.vlans.mode); });
}

QByteArray PortBasedEntry(uint16_t vid, uint32_t members, const QByteArray& name)
{
    QByteArray entry;
    TWriter w(entry);
    w.U16(vid);
    w.U32(members);
    w.Text(name, NameWidth);
    return entry;
}

TReply PortBasedList(TSwitch& sw, const TRequest& rq)
{
    QList<QByteArray> entries;
    for (const TPortVlan& v : sw.running.vlans.portBased)
        entries.append(PortBasedEntry(v.vid, v.members, v.name));
    if (rq.options->badVlanId.contains(sw.Index()))
        entries.append(PortBasedEntry(FaultVid, 1, "Fault"));
    if (rq.options->badVlanMembers.contains(sw.Index()))
        entries.append(PortBasedEntry(2, uint32_t(1) << std::min(sw.running.ports.LogicalCount(), 31), "Fault"));
    return ListReply(entries, PortBasedPerDatagram, rq.options->badVlanCount.contains(sw.Index()));
}

TReply Dot1q(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        w.Bool(sw.running.vlans.gvrp);
        w.U16(sw.running.vlans.managementVid);
    });
}

uint16_t Word(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

TReply SetDot1q(TSwitch& sw, const TRequest& rq)
{
    TVlans& v = sw.running.vlans;
    const uint16_t vid = Word(rq.payload + 1);
    if (v.mode != Dot1qMode || rq.payload[0] > 1 || vid > MaxVid)
        return BadRequest;
    v.gvrp = rq.payload[0] != 0;
    v.managementVid = vid;
    return {};
}

QByteArray Dot1qEntry(uint16_t vid, uint32_t untagged, uint32_t tagged)
{
    QByteArray entry;
    TWriter w(entry);
    w.U16(vid);
    w.U32(untagged);
    w.U32(tagged);
    return entry;
}

TReply Dot1qList(TSwitch& sw, const TRequest& rq)
{
    const TVlans& v = sw.running.vlans;
    QList<QByteArray> entries = {Dot1qEntry(0, v.hybrid, 0)};
    for (const TDot1qVlan& vlan : v.dot1q)
        entries.append(Dot1qEntry(vlan.vid, vlan.untagged, vlan.tagged));
    return ListReply(entries, Dot1qPerDatagram, rq.options->badVlanCount.contains(sw.Index()));
}

// Records of (port << 8 | link type), untagged VID, tagged VIDs, 0. Each named port leaves
// every VLAN and joins its own; VLANs left without ports go. Nothing changes when a record
// is malformed.
TReply SetDot1qPorts(TSwitch& sw, const TRequest& rq)
{
    TVlans& v = sw.running.vlans;
    if (v.mode != Dot1qMode || rq.size % 2 != 0)
        return BadRequest;
    std::map<uint16_t, TDot1qVlan> vlans;
    for (const TDot1qVlan& vlan : v.dot1q)
        vlans[vlan.vid] = vlan;
    uint32_t hybrid = v.hybrid;
    const std::size_t words = rq.size / 2;
    auto inRange = [](uint16_t vid) { return vid >= 1 && vid <= MaxVid; };
    for (std::size_t k = 0; k < words;) {
        if (words - k < 3)
            return BadRequest;
        const uint16_t head = Word(rq.payload + 2 * k);
        const int port = head >> 8;
        const uint8_t type = uint8_t(head);
        const uint16_t untagged = Word(rq.payload + 2 * (k + 1));
        if (port >= sw.running.ports.LogicalCount() || type > HybridType || !inRange(untagged))
            return BadRequest;
        const uint32_t bit = uint32_t(1) << port;
        for (auto& [vid, vlan] : vlans) {
            vlan.untagged &= ~bit;
            vlan.tagged &= ~bit;
        }
        vlans[untagged].vid = untagged;
        vlans[untagged].untagged |= bit;
        k += 2;
        for (;; ++k) {
            if (k >= words)
                return BadRequest;
            const uint16_t tagged = Word(rq.payload + 2 * k);
            if (tagged == 0)
                break;
            if (!inRange(tagged) || type == 0)
                return BadRequest;
            vlans[tagged].vid = tagged;
            vlans[tagged].tagged |= bit;
        }
        ++k;
        hybrid = type == HybridType ? hybrid | bit : hybrid & ~bit;
    }
    v.dot1q.clear();
    for (const auto& [vid, vlan] : vlans)
        if (vlan.untagged | vlan.tagged)
            v.dot1q.append(vlan);
    v.hybrid = hybrid;
    return {};
}

} // namespace

TVlans VlansOf(const TPorts& ports, uint8_t mode)
{
    const uint32_t all = ports.LogicalCount() >= 32 ? ~uint32_t(0) : (uint32_t(1) << ports.LogicalCount()) - 1;
    TVlans v;
    v.mode = mode;
    v.portBased = {TPortVlan{1, all, "Default"}};
    v.dot1q = {TDot1qVlan{1, all, 0}};
    return v;
}

void AddVlanCommands(TCommandTable& table)
{
    table[1024] = {Mode, 0, 4, true};
    table[1026] = {PortBasedList, 0, 4, true};
    table[1030] = {Dot1q, 0, 4, true};
    table[1031] = {SetDot1q, 3, 4, true};
    table[1032] = {Dot1qList, 0, 4, true};
    table[1033] = {SetDot1qPorts, 6, 4, true};
}

void AddVlanOptions(TOptionTable& table)
{
    table.about += "VLANs: every list starts with VLAN 1 holding all ports and trunks untagged. The\n"
                   "802.1Q list (1032) answers 128 entries a datagram, the port-based list (1026) 32,\n"
                   "each with a final shorter (possibly empty) one; the 802.1Q list begins with the\n"
                   "VLAN ID 0 entry holding the Hybrid ports. Per-port settings (1033) move each\n"
                   "named port to its untagged and tagged VLANs, creating them, and drop VLANs left\n"
                   "without ports; they and GVRP/management VLAN set (1031) get status 4 when the\n"
                   "switch is not in 802.1Q mode or a value is out of range, and change nothing.\n";
    // A switch's mode is checked only once every --vlan-mode-of is read: an index beyond the
    // fleet is reported first.
    TOptionEntry modeOf = SwitchOption({"vlan-mode-of", "VLAN mode of switch i (repeatable).", "i=mode"}, true, 0,
                                       [](TOptions& o, int i, uint32_t m) { o.vlanModes[i] = uint8_t(m); });
    modeOf.read = [readIndexes = modeOf.read](const QCommandLineParser& p, TOptions& o) -> QString {
        if (const QString message = readIndexes(p, o); !message.isEmpty())
            return message;
        for (uint8_t mode : std::as_const(o.vlanModes))
            if (mode > Dot1qMode)
                return "bad --vlan-mode-of (mode 0..2)";
        return {};
    };
    table.entries += {
        Number({"vlan-mode", "VLAN mode of every switch: 0 disable, 1 port based, 2 802.1Q.", "mode", "2"}, 0,
               Dot1qMode, "bad --vlan-mode (0..2)", [](TOptions& o, uint32_t mode) { o.vlanMode = uint8_t(mode); }),
        modeOf,
        SwitchFault(
            {"bad-vlan-id", "Switch i reports VLAN ID 4095 in its port-based VLAN list (1026) (repeatable).", "i"},
            &TOptions::badVlanId),
        SwitchFault({"bad-vlan-members",
                     "Switch i reports a member port beyond its ports in its port-based VLAN list (1026) (repeatable).",
                     "i"},
                    &TOptions::badVlanMembers),
        SwitchFault({"bad-vlan-count",
                     "Switch i's VLAN list datagrams (1026, 1032) count one entry more in their head than they "
                     "carry, and end with half an entry (repeatable).",
                     "i"},
                    &TOptions::badVlanCount),
    };
}

} // namespace Sim
