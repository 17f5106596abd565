// Handlers of the monitor and LLDP commands: the MAC table in datagrams of 128 entries, the
// per-port frame counters that grow on every read, port mirroring, the event log in
// datagrams of 5 lines, and the LLDP agent. Payload layouts follow the wire tables.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int MacPerDatagram = 128;
constexpr int EventsPerDatagram = 5;
constexpr int EventWidth = 128;
constexpr int DefaultEvents = 12;
constexpr int MirrorSize = 10;
constexpr int LldpSize = 4;

const TReply BadRequest{stBadRequest, {}, 0};

// Addresses learned on the switch: locally administered, numbered by their place in the table.
TMac LearnedMac(int n) { return TMac{0x02, 0x5A, 0x00, uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)}; }

const char* const EventTexts[] = {"Cold start",          "Port link up",   "Login from console",
                                  "Configuration saved", "Port link down", "RSTP topology change"};

constexpr uint32_t StartReads = 500;

// How far each counter of port p moves between two reads: more traffic on higher ports.
std::array<uint32_t, 6> Steps(int p)
{
    const uint32_t k = uint32_t(p + 1);
    return {100 * k, k % 3, 120 * k, k % 2, 0, k % 4 == 0 ? 1u : 0u};
}

// The tables a switch starts with, made at the first read of any of them.
TMonitor& MonitorOf(TSwitch& sw, const TOptions& o)
{
    TMonitor& m = sw.monitor;
    if (m.ready)
        return m;
    m.ready = true;
    const int ports = sw.running.ports.PortCount();
    const int macs = o.macTableSize.value(sw.Index(), 3 * ports + 1);
    for (int n = 0; n < macs; ++n)
        m.macTable.append({uint8_t(n % ports), LearnedMac(n), n + 1 == macs && !o.macTableSize.contains(sw.Index())});
    // A switch that has been running for a while: 500 reads' worth of traffic.
    const bool atLimit = o.countersAtLimit.contains(sw.Index());
    for (int p = 0; p < ports; ++p) {
        std::array<uint32_t, 6> start = Steps(p);
        for (uint32_t& c : start)
            c = atLimit ? 0xFFFFFFFFu : c * StartReads;
        m.counters.append(start);
    }
    const int events = o.eventLogSize.value(sw.Index(), DefaultEvents);
    for (int n = 0; n < events; ++n) {
        const QByteArray time = QStringLiteral("2026/12/10 %1:%2:%3")
                                    .arg(8 + n / 3600, 2, 10, QChar('0'))
                                    .arg(n / 60 % 60, 2, 10, QChar('0'))
                                    .arg(n % 60, 2, 10, QChar('0'))
                                    .toLatin1();
        m.events.append({time, QByteArray(EventTexts[n % std::size(EventTexts)]) + " #" + QByteArray::number(n + 1)});
    }
    return m;
}

TReply MacTable(TSwitch& sw, const TRequest& rq)
{
    QList<TMacEntry> table = MonitorOf(sw, *rq.options).macTable;
    if (rq.options->badMacPort.contains(sw.Index()))
        table.append({uint8_t(sw.running.ports.LogicalCount()), LearnedMac(0xFFFF), false});
    return ListDatagrams(table, MacPerDatagram, [](TWriter& w, const TMacEntry& e) {
        w.U8(e.port);
        for (uint8_t b : e.mac)
            w.U8(b);
        w.Bool(e.isStatic);
    });
}

TReply ClearMacTable(TSwitch& sw, const TRequest& rq)
{
    MonitorOf(sw, *rq.options).macTable.removeIf([](const TMacEntry& e) { return !e.isStatic; });
    return {};
}

// Each read returns the counters, then lets traffic pass: every port moves by its own steps.
TReply Counters(TSwitch& sw, const TRequest& rq)
{
    auto& counters = MonitorOf(sw, *rq.options).counters;
    const qsizetype ports = counters.size() - (rq.options->shortCounters.contains(sw.Index()) ? 1 : 0);
    TReply reply = Written([&](TWriter& w) {
        for (qsizetype p = 0; p < ports; ++p)
            for (uint32_t c : counters[p])
                w.U32(c);
    });
    for (qsizetype p = 0; p < counters.size(); ++p) {
        const std::array<uint32_t, 6> steps = Steps(int(p));
        for (int i = 0; i < 6; ++i)
            counters[p][i] += steps[i];
    }
    return reply;
}

TReply ClearCounters(TSwitch& sw, const TRequest& rq)
{
    for (auto& port : MonitorOf(sw, *rq.options).counters)
        port.fill(0);
    return {};
}

TReply Mirror(TSwitch& sw, const TRequest& rq)
{
    const TMirror& m = sw.running.mirror;
    const bool fault = rq.options->badMirrorPort.contains(sw.Index());
    return Written([&](TWriter& w) {
        w.U8(fault ? uint8_t(sw.running.ports.PortCount()) : m.destRx);
        w.U8(m.destTx);
        w.U32(m.srcRx);
        w.U32(m.srcTx);
    });
}

TReply SetMirror(TSwitch& sw, const TRequest& rq)
{
    const int ports = sw.running.ports.PortCount();
    if (rq.payload[0] >= ports || rq.payload[1] >= ports)
        return BadRequest;
    sw.running.mirror = {rq.payload[0], rq.payload[1], ReadU32(rq.payload + 2), ReadU32(rq.payload + 6)};
    return {};
}

TReply Events(TSwitch& sw, const TRequest& rq)
{
    const bool full = rq.options->fullEventText.contains(sw.Index());
    return ListDatagrams(MonitorOf(sw, *rq.options).events, EventsPerDatagram, [full](TWriter& w, const TEvent& e) {
        w.Text(full ? e.time.leftJustified(EventWidth, '.') : e.time, EventWidth);
        w.Text(full ? e.text.leftJustified(EventWidth, '.') : e.text, EventWidth);
    });
}

TReply ClearEvents(TSwitch& sw, const TRequest& rq)
{
    MonitorOf(sw, *rq.options).events.clear();
    return {};
}

TReply Lldp(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        w.Bool(sw.running.lldp.enabled);
        w.U8(0);
        w.U16(sw.running.lldp.interval);
    });
}

TReply SetLldp(TSwitch& sw, const TRequest& rq)
{
    if (rq.payload[0] > 1)
        return BadRequest;
    sw.running.lldp = {rq.payload[0] == 1, uint16_t((rq.payload[2] << 8) | rq.payload[3])};
    return {};
}

} // namespace

void AddMonitorCommands(TCommandTable& table)
{
    table[2560] = {MacTable, 0, 4, true};
    table[2561] = {ClearMacTable, 0, 4, true};
    table[2562] = {Counters, 0, 4, true};
    table[2563] = {ClearCounters, 0, 4, true};
    table[2564] = {Mirror, 0, 4, true};
    table[2565] = {SetMirror, MirrorSize, 4, true};
    table[2566] = {Events, 0, 4, true};
    table[2567] = {ClearEvents, 0, 4, true};
    table[2816] = {Lldp, 0, 4, true};
    table[2817] = {SetLldp, LldpSize, 4, true};
}

void AddMonitorOptions(TOptionTable& table)
{
    table.about +=
        "Monitor: the MAC table (2560) holds three learned addresses per port and a static\n"
        "one on port 1 (or --mac-table n spread over the ports), in datagrams of 128; the\n"
        "six counters of each port (2562) start as after 500 reads and grow on every read; mirroring (2565) takes\n"
        "destination ports below the port count; the event log (2566) has 12 lines (or\n"
        "--event-log n), 5 a datagram. The clears (2561, 2563, 2567) empty the learned\n"
        "addresses (static ones stay), zero the counters and empty the log. LLDP (2816)\n"
        "starts enabled every 30 s.\n";
    table.entries += {
        SwitchOption({"mac-table", "Switch i has a MAC table of n addresses (at most 16384) (repeatable).", "i=n"},
                     true, 0,
                     [](TOptions& o, int i, uint32_t n) { o.macTableSize[i] = int(std::min<uint32_t>(n, 16384)); }),
        SwitchOption({"event-log", "Switch i has an event log of n lines (at most 4096) (repeatable).", "i=n"}, true, 0,
                     [](TOptions& o, int i, uint32_t n) { o.eventLogSize[i] = int(std::min<uint32_t>(n, 4096)); }),
        SwitchFault({"bad-mac-port",
                     "Switch i ends its MAC table (2560) with an entry on the port after its last trunk group "
                     "(repeatable).",
                     "i"},
                    &TOptions::badMacPort),
        SwitchFault(
            {"short-counters", "Switch i answers port counters (2562) with one port too few (repeatable).", "i"},
            &TOptions::shortCounters),
        SwitchFault({"counters-at-limit",
                     "Switch i's counters start at 4294967295 and wrap on the next read (repeatable).", "i"},
                    &TOptions::countersAtLimit),
        SwitchFault(
            {"bad-mirror-port", "Switch i reports a mirror RX destination beyond its ports (2564) (repeatable).", "i"},
            &TOptions::badMirrorPort),
        SwitchFault({"full-event-text",
                     "Switch i's event texts fill their 128 bytes without terminator (2566) (repeatable).", "i"},
                    &TOptions::fullEventText),
    };
}

} // namespace Sim
