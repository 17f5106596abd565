#include "FleetMetrics.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>

namespace Exporter {

using prometheus::ClientMetric;
using prometheus::MetricFamily;
using prometheus::MetricType;

void TCounterTotal::Update(uint32_t reading)
{
    if (!m_Known) {
        m_Known = true;
        m_Total = reading;
    } else if (reading >= m_Last) {
        m_Total += reading - m_Last;
    } else if (uint32_t overTheTop = reading - m_Last; overTheTop < 0x80000000u) {
        m_Total += overTheTop;
    } else {
        m_Total += reading;
    }
    m_Last = reading;
}

void THistogram::Observe(double value)
{
    if (Counts.size() != Bounds.size() + 1)
        Counts.assign(Bounds.size() + 1, 0);
    const auto bucket = std::lower_bound(Bounds.begin(), Bounds.end(), value) - Bounds.begin();
    ++Counts[std::size_t(bucket)];
    ++Count;
    Sum += value;
}

bool IsUp(const TSwitchState& s, int64_t nowMs, int64_t staleAfterMs)
{
    return s.Answered && !s.Offline && nowMs - s.LastReplyMs <= staleAfterMs;
}

namespace {

MetricFamily Family(const char* name, const char* help, MetricType type) { return MetricFamily{name, help, type, {}}; }

// One sample with its labels; the value goes where the family's type reads it.
void Add(MetricFamily& family, std::vector<ClientMetric::Label>&& labels, double value)
{
    ClientMetric& m = family.metric.emplace_back();
    m.label = std::move(labels);
    if (family.type == MetricType::Counter)
        m.counter.value = value;
    else
        m.gauge.value = value;
}

void AddHistogram(MetricFamily& family, const char* kind, const THistogram& h)
{
    ClientMetric& m = family.metric.emplace_back();
    m.label = {{"kind", kind}};
    m.histogram.sample_count = h.Count;
    m.histogram.sample_sum = h.Sum;
    uint64_t cumulative = 0;
    for (std::size_t i = 0; i < h.Bounds.size(); ++i) {
        cumulative += i < h.Counts.size() ? h.Counts[i] : 0;
        m.histogram.bucket.push_back({cumulative, h.Bounds[i]});
    }
    m.histogram.bucket.push_back({h.Count, std::numeric_limits<double>::infinity()});
}

} // namespace

namespace {

using TLabels = std::vector<ClientMetric::Label>;

// A family a switch adds samples to (none before its first answer but info and up).
struct TSwitchFamily {
    const char* Name;
    const char* Help;
    MetricType Type;
    bool Answered; // only switches that answered once
    std::function<void(MetricFamily&, const std::string& mac, const TSwitchState& s, bool up)> Add;
};

// A family of each port, from a value of the port.
TSwitchFamily PortFamily(const char* name, const char* help, MetricType type,
                         std::function<std::optional<double>(const TPortState&)> value)
{
    return {name, help, type, true, [value](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
                for (std::size_t p = 0; p < s.Ports.size(); ++p)
                    if (const auto v = value(s.Ports[p]))
                        Add(f, {{"mac", mac}, {"port", std::to_string(p + 1)}}, *v);
            }};
}

std::optional<double> Total(const TPortState& port, TPortCounter counter)
{
    const TCounterTotal& c = port.Counters[counter];
    return c.Known() ? std::optional<double>(double(c.Total())) : std::nullopt;
}

std::vector<TSwitchFamily> SwitchFamilies(bool countersPolled)
{
    std::vector<TSwitchFamily> families = {
        {"zode_switch_info", "The switch's identity; always 1.", MetricType::Gauge, false,
         [](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
             Add(f, {{"firmware", s.Firmware}, {"ip", s.Ip}, {"mac", mac}, {"model", s.Model}, {"name", s.Name}}, 1);
         }},
        {"zode_switch_up", "1 while the switch answers its status polls, 0 when the last one went unanswered.",
         MetricType::Gauge, false,
         [](MetricFamily& f, const std::string& mac, const TSwitchState&, bool up) {
             Add(f, {{"mac", mac}}, up ? 1 : 0);
         }},
        {"zode_switch_last_reply_timestamp_seconds", "When the switch last answered a status poll (Unix time).",
         MetricType::Gauge, true,
         [](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
             Add(f, {{"mac", mac}}, double(s.LastReplyMs) / 1000.0);
         }},
        {"zode_switch_query_failed", "1 when the switch answered its last status poll with an error.",
         MetricType::Gauge, true,
         [](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
             Add(f, {{"mac", mac}}, s.QueryFailed ? 1 : 0);
         }},
        {"zode_switch_alarm", "1 while the switch reports the failure: power input 1 or 2, or a port's link.",
         MetricType::Gauge, true,
         [](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
             Add(f, {{"kind", "port"}, {"mac", mac}}, s.PortAlarms ? 1 : 0);
             Add(f, {{"kind", "power1"}, {"mac", mac}}, (s.PowerAlarms & 1) ? 1 : 0);
             Add(f, {{"kind", "power2"}, {"mac", mac}}, (s.PowerAlarms & 2) ? 1 : 0);
         }},
        {"zode_switch_warning", "1 while the switch's warning state is active.", MetricType::Gauge, true,
         [](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
             Add(f, {{"mac", mac}}, s.Warning ? 1 : 0);
         }},
    };
    if (countersPolled)
        families.push_back({"zode_switch_login_failed",
                            "1 when the switch refused the exporter's credentials; its ports are not read then.",
                            MetricType::Gauge, true,
                            [](MetricFamily& f, const std::string& mac, const TSwitchState& s, bool) {
                                Add(f, {{"mac", mac}}, s.Login == TLogin::Refused ? 1 : 0);
                            }});
    families.push_back(PortFamily("zode_port_up", "1 while the port has link.", MetricType::Gauge,
                                  [](const TPortState& p) { return std::optional<double>(p.Up ? 1 : 0); }));
    const struct {
        const char* Name;
        const char* Help;
        TPortCounter Counter;
    } counters[] = {
        {"zode_port_receive_packets_total", "Frames received in good order.", pcReceivePackets},
        {"zode_port_transmit_packets_total", "Frames sent in good order.", pcTransmitPackets},
        {"zode_port_receive_errors_total", "Frames received with errors.", pcReceiveErrors},
        {"zode_port_transmit_errors_total", "Frames that could not be sent.", pcTransmitErrors},
    };
    for (const auto& c : counters)
        families.push_back(PortFamily(c.Name, c.Help, MetricType::Counter,
                                      [counter = c.Counter](const TPortState& p) { return Total(p, counter); }));
    return families;
}

MetricFamily Single(const char* name, const char* help, MetricType type, double value)
{
    MetricFamily f = Family(name, help, type);
    Add(f, {}, value);
    return f;
}

} // namespace

void ForEachFamily(const TFleetState& state, int64_t nowMs, const std::function<void(MetricFamily&&)>& take)
{
    for (const TSwitchFamily& spec : SwitchFamilies(state.CountersPolled)) {
        MetricFamily family = Family(spec.Name, spec.Help, spec.Type);
        for (const auto& [mac, s] : state.Switches)
            if (s.Answered || !spec.Answered)
                spec.Add(family, mac, s, IsUp(s, nowMs, state.StaleAfterMs));
        take(std::move(family));
    }
    take(Single("zode_discovery_switches", "Switches found by discovery since the exporter started.", MetricType::Gauge,
                double(state.Switches.size())));
    take(Single("zode_discovery_runs_total", "Discoveries sent.", MetricType::Counter, double(state.Discoveries)));
    take(Single("zode_engine_queue_dropped_total", "Received datagrams dropped because the engine's queue was full.",
                MetricType::Counter, double(state.QueueDrops)));
    take(Single("zode_engine_kernel_dropped_total",
                "Datagrams the kernel dropped because the socket's buffer was full.", MetricType::Counter,
                double(state.KernelDrops)));
    take(Single("zode_engine_send_failures_total", "Requests that could not be sent.", MetricType::Counter,
                double(state.SendFailures)));
    MetricFamily rounds = Family("zode_poll_duration_seconds",
                                 "How long a poll round took, from its start to the last switch's answer or time-out.",
                                 MetricType::Histogram);
    AddHistogram(rounds, "status", state.StatusRounds);
    if (state.CountersPolled)
        AddHistogram(rounds, "ports", state.PortRounds);
    take(std::move(rounds));
}

std::vector<MetricFamily> MakeFamilies(const TFleetState& state, int64_t nowMs)
{
    std::vector<MetricFamily> families;
    ForEachFamily(state, nowMs, [&](MetricFamily&& f) { families.push_back(std::move(f)); });
    return families;
}

void TSnapshotCollectable::Publish(std::shared_ptr<const TFleetState> state)
{
    // The old picture goes with the last scrape still holding it, outside the lock.
    std::lock_guard lock(m_Lock);
    m_State.swap(state);
}

std::shared_ptr<const TFleetState> TSnapshotCollectable::Current() const
{
    std::lock_guard lock(m_Lock);
    return m_State;
}

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::vector<MetricFamily> TSnapshotCollectable::Collect() const { return MakeFamilies(*Current(), NowMs()); }

} // namespace Exporter
