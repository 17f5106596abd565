// Handlers of the redundancy commands: ring settings, RSTP settings of the bridge and its
// ports, the RSTP state that follows them, and which protocol is active; payload layouts
// follow the wire tables of each command.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int RingSize = 9;
constexpr int BridgeSize = 6;
constexpr int RstpEntry = 8;

constexpr uint16_t MaxBridgePriority = 61440;
constexpr uint16_t BridgePriorityStep = 4096;
// A bridge of a higher priority value than this is not the root: another bridge of the
// network, with this priority and FakeRootMac, is.
constexpr uint16_t FakeRootPriority = 32768;
constexpr TMac FakeRootMac{0x02, 0x5A, 0x0D, 0xFF, 0x00, 0x01};
constexpr uint8_t IsRoot = 255;
constexpr uint32_t MaxPathCost = 200000000;
constexpr uint8_t MaxPortPriority = 240;
constexpr uint8_t PortPriorityStep = 16;
constexpr uint8_t MaxP2p = 2;
constexpr uint8_t P2pAuto = 2;
constexpr uint8_t P2pTrue = 1;

enum TState : uint8_t { StateDisabled = 0, StateForwarding = 3, StateNonStp = 4 };
enum TRole : uint8_t { RoleDisabled = 0, RoleRoot = 1, RoleDesignated = 2, RoleNonStp = 5 };
constexpr uint8_t FaultState = 9;
constexpr uint8_t FaultRole = 7;

enum TProtocol : uint8_t { ProtocolRing = 1, ProtocolRstp = 2 };

const TReply BadRequest{stBadRequest, {}, 0};

bool InRange(unsigned value, unsigned low, unsigned high) { return value >= low && value <= high; }

// Ports with link: enabled and in the link mask.
bool HasLink(const TSwitch& sw, int port)
{
    return sw.running.ports.settings[port].enabled && ((sw.alarms.linkMask >> port) & 1);
}

// Entries the switch reports: one per port, one fewer with the fault option.
int ReportedPorts(const TSwitch& sw, const TRequest& rq)
{
    return int(sw.running.ports.rstp.size()) - (rq.options->shortRstpPorts.contains(sw.Index()) ? 1 : 0);
}

TReply Ring(TSwitch& sw, const TRequest&)
{
    const TRing& r = sw.running.ring;
    return Written([&](TWriter& w) {
        w.Bool(r.enabled);
        w.Bool(r.master);
        w.U8(r.port1);
        w.U8(r.port2);
        w.Bool(r.coupling);
        w.U8(r.controlPort);
        w.U8(r.couplingPort);
        w.Bool(r.homing);
        w.U8(r.homingPort);
    });
}

// Every port field must name a port of the switch.
TReply SetRing(TSwitch& sw, const TRequest& rq)
{
    const uint8_t* p = rq.payload;
    for (int offset : {2, 3, 5, 6, 8})
        if (p[offset] >= sw.running.ports.PortCount())
            return BadRequest;
    sw.running.ring = {p[0] != 0, p[1] != 0, p[2], p[3], p[4] != 0, p[5], p[6], p[7] != 0, p[8]};
    return {};
}

TReply Rstp(TSwitch& sw, const TRequest& rq)
{
    const TRstpBridge& b = sw.running.rstp;
    const QList<TRstpPort>& ports = sw.running.ports.rstp;
    return Written([&](TWriter& w) {
        w.Bool(b.enabled);
        w.U16(b.priority);
        w.U8(b.maxAge);
        w.U8(b.hello);
        w.U8(b.forwardDelay);
        for (int i = 0; i < ReportedPorts(sw, rq); ++i) {
            w.U32(ports[i].pathCost);
            w.U8(ports[i].priority);
            w.U8(ports[i].p2p);
            w.Bool(ports[i].edge);
            w.Bool(ports[i].nonStp);
        }
    });
}

// The bridge part and exactly one entry per port; nothing changes when a value is out of
// its range or off its step.
TReply SetRstp(TSwitch& sw, const TRequest& rq)
{
    const uint8_t* p = rq.payload;
    QList<TRstpPort> next = sw.running.ports.rstp;
    if (rq.size != std::size_t(BridgeSize + RstpEntry * next.size()))
        return BadRequest;
    const TRstpBridge bridge{p[0] != 0, uint16_t(p[1] << 8 | p[2]), p[3], p[4], p[5]};
    if (bridge.priority > MaxBridgePriority || bridge.priority % BridgePriorityStep != 0 ||
        !InRange(bridge.maxAge, 6, 40) || !InRange(bridge.hello, 1, 10) || !InRange(bridge.forwardDelay, 4, 30))
        return BadRequest;
    for (qsizetype i = 0; i < next.size(); ++i) {
        const uint8_t* e = p + BridgeSize + i * RstpEntry;
        const TRstpPort port{ReadU32(e), e[4], e[5], e[6] != 0, e[7] != 0};
        if (!InRange(port.pathCost, 1, MaxPathCost) || port.priority > MaxPortPriority ||
            port.priority % PortPriorityStep != 0 || port.p2p > MaxP2p)
            return BadRequest;
        next[i] = port;
    }
    sw.running.rstp = bridge;
    sw.running.ports.rstp = next;
    return {};
}

// RSTP runs while enabled. The switch is the root unless its priority is above
// FakeRootPriority; then the root lies behind its first port with link.
TReply RstpState(TSwitch& sw, const TRequest& rq)
{
    const TRstpBridge& b = sw.running.rstp;
    const QList<TRstpPort>& ports = sw.running.ports.rstp;
    int rootPort = -1;
    if (b.enabled && b.priority > FakeRootPriority)
        for (int i = 0; i < ports.size() && rootPort < 0; ++i)
            if (HasLink(sw, i) && !ports[i].nonStp)
                rootPort = i;
    const bool isRoot = rootPort < 0;
    const bool unknownState = rq.options->unknownRstpState.contains(sw.Index());
    return Written([&](TWriter& w) {
        w.Bool(b.enabled);
        w.U16(isRoot ? b.priority : FakeRootPriority);
        for (uint8_t byte : isRoot ? sw.Mac() : FakeRootMac)
            w.U8(byte);
        w.U16(isRoot ? b.priority : FakeRootPriority);
        w.U8(isRoot ? IsRoot : uint8_t(rootPort + 1));
        w.U32(isRoot ? 0 : ports[rootPort].pathCost);
        w.U8(b.maxAge);
        w.U8(b.hello);
        w.U8(b.forwardDelay);
        for (int i = 0; i < ReportedPorts(sw, rq); ++i) {
            const TRstpPort& port = ports[i];
            const bool up = b.enabled && HasLink(sw, i);
            uint8_t state = up ? (port.nonStp ? StateNonStp : StateForwarding) : StateDisabled;
            uint8_t role = up ? (port.nonStp ? RoleNonStp : i == rootPort ? RoleRoot : RoleDesignated) : RoleDisabled;
            if (unknownState && i == 0) {
                state = FaultState;
                role = FaultRole;
            }
            w.U32(port.pathCost);
            w.U8(port.priority);
            // Links are full duplex: "Auto" runs point-to-point.
            w.U8(port.p2p == P2pAuto ? P2pTrue : port.p2p);
            w.Bool(port.edge);
            w.Bool(up && !port.edge && !port.nonStp);
            w.U8(state);
            w.U8(role);
        }
    });
}

TReply ActiveProtocol(TSwitch& sw, const TRequest&)
{
    const TConfig& c = sw.running;
    return Written([&](TWriter& w) {
        w.Bool(c.ring.enabled || c.rstp.enabled);
        w.U8(c.ring.enabled ? ProtocolRing : ProtocolRstp);
    });
}

} // namespace

void AddRedundancyCommands(TCommandTable& table)
{
    table[768] = {Ring, 0, 4, true};
    table[769] = {SetRing, RingSize, 4, true};
    table[770] = {Rstp, 0, 4, true};
    table[771] = {SetRstp, BridgeSize + RstpEntry, 4, true};
    table[772] = {RstpState, 0, 4, true};
    table[775] = {ActiveProtocol, 0, 4, true};
}

void AddRedundancyOptions(TOptionTable& table)
{
    table.about += "Redundancy: the ring set (769) takes port indexes below the port count; the RSTP\n"
                   "set (771) takes exactly one entry per port and the ranges and steps of the\n"
                   "settings (status 4 otherwise). RSTP runs while enabled; the switch is the root\n"
                   "bridge unless its priority is above 32768, when the root lies behind its first\n"
                   "port with link. Ports with link forward (designated; non-STP ports \"Non Stp\"),\n"
                   "the others are disabled. The active protocol (775) is the ring while it is on,\n"
                   "else RSTP.\n";
    table.entries += {
        SwitchFault(
            {"short-rstp-ports",
             "Switch i answers RSTP settings (770) and RSTP state (772) with one port entry too few (repeatable).",
             "i"},
            &TOptions::shortRstpPorts),
        SwitchFault({"unknown-rstp-state",
                     "Switch i reports state 9 and role 7 on port 1 in RSTP state (772) (repeatable).", "i"},
                    &TOptions::unknownRstpState),
    };
}

} // namespace Sim
