#include "FleetMetrics.h"

#include <algorithm>
#include <chrono>
#include <limits>

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
void Add(MetricFamily& family, std::vector<ClientMetric::Label> labels, double value)
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

std::vector<MetricFamily> MakeFamilies(const TFleetState& state, int64_t nowMs)
{
    MetricFamily info = Family("zode_switch_info", "The switch's identity; always 1.", MetricType::Gauge);
    MetricFamily up = Family("zode_switch_up",
                             "1 while the switch answers its status polls, 0 when the last one went unanswered.",
                             MetricType::Gauge);
    MetricFamily reply = Family("zode_switch_last_reply_timestamp_seconds",
                                "When the switch last answered a status poll (Unix time).", MetricType::Gauge);
    MetricFamily failed = Family("zode_switch_query_failed",
                                 "1 when the switch answered its last status poll with an error.", MetricType::Gauge);
    MetricFamily alarm = Family("zode_switch_alarm",
                                "1 while the switch reports the failure: power input 1 or 2, or a port's link.",
                                MetricType::Gauge);
    MetricFamily warning = Family("zode_switch_warning", "1 while the switch's warning state is active.",
                                  MetricType::Gauge);
    MetricFamily login = Family("zode_switch_login_failed",
                                "1 when the switch refused the exporter's credentials; its ports are not read then.",
                                MetricType::Gauge);
    MetricFamily portUp = Family("zode_port_up", "1 while the port has link.", MetricType::Gauge);
    std::array<MetricFamily, pcCount> counters = {
        Family("zode_port_receive_packets_total", "Frames received in good order.", MetricType::Counter),
        Family("zode_port_transmit_packets_total", "Frames sent in good order.", MetricType::Counter),
        Family("zode_port_receive_errors_total", "Frames received with errors.", MetricType::Counter),
        Family("zode_port_transmit_errors_total", "Frames that could not be sent.", MetricType::Counter),
    };
    for (const auto& [mac, s] : state.Switches) {
        Add(info, {{"firmware", s.Firmware}, {"ip", s.Ip}, {"mac", mac}, {"model", s.Model}, {"name", s.Name}}, 1);
        Add(up, {{"mac", mac}}, IsUp(s, nowMs, state.StaleAfterMs) ? 1 : 0);
        if (!s.Answered)
            continue;
        Add(reply, {{"mac", mac}}, double(s.LastReplyMs) / 1000.0);
        Add(failed, {{"mac", mac}}, s.QueryFailed ? 1 : 0);
        Add(alarm, {{"kind", "port"}, {"mac", mac}}, s.PortAlarms ? 1 : 0);
        Add(alarm, {{"kind", "power1"}, {"mac", mac}}, (s.PowerAlarms & 1) ? 1 : 0);
        Add(alarm, {{"kind", "power2"}, {"mac", mac}}, (s.PowerAlarms & 2) ? 1 : 0);
        Add(warning, {{"mac", mac}}, s.Warning ? 1 : 0);
        if (state.CountersPolled)
            Add(login, {{"mac", mac}}, s.Login == TLogin::Refused ? 1 : 0);
        for (std::size_t p = 0; p < s.Ports.size(); ++p) {
            const TPortState& port = s.Ports[p];
            const std::string number = std::to_string(p + 1);
            Add(portUp, {{"mac", mac}, {"port", number}}, port.Up ? 1 : 0);
            for (std::size_t c = 0; c < pcCount; ++c)
                if (port.Counters[c].Known())
                    Add(counters[c], {{"mac", mac}, {"port", number}}, double(port.Counters[c].Total()));
        }
    }

    std::vector<MetricFamily> families;
    families.reserve(20);
    for (MetricFamily* f : {&info, &up, &reply, &failed, &alarm, &warning})
        families.push_back(std::move(*f));
    if (state.CountersPolled)
        families.push_back(std::move(login));
    families.push_back(std::move(portUp));
    for (MetricFamily& f : counters)
        families.push_back(std::move(f));

    MetricFamily discovered = Family("zode_discovery_switches",
                                     "Switches found by discovery since the exporter started.", MetricType::Gauge);
    Add(discovered, {}, double(state.Switches.size()));
    families.push_back(std::move(discovered));
    MetricFamily runs = Family("zode_discovery_runs_total", "Discoveries sent.", MetricType::Counter);
    Add(runs, {}, double(state.Discoveries));
    families.push_back(std::move(runs));
    MetricFamily queue = Family("zode_engine_queue_dropped_total",
                                "Received datagrams dropped because the engine's queue was full.", MetricType::Counter);
    Add(queue, {}, double(state.QueueDrops));
    families.push_back(std::move(queue));
    MetricFamily kernel = Family("zode_engine_kernel_dropped_total",
                                 "Datagrams the kernel dropped because the socket's buffer was full.",
                                 MetricType::Counter);
    Add(kernel, {}, double(state.KernelDrops));
    families.push_back(std::move(kernel));
    MetricFamily send = Family("zode_engine_send_failures_total", "Requests that could not be sent.",
                               MetricType::Counter);
    Add(send, {}, double(state.SendFailures));
    families.push_back(std::move(send));
    MetricFamily rounds = Family("zode_poll_duration_seconds",
                                 "How long a poll round took, from its start to the last switch's answer or time-out.",
                                 MetricType::Histogram);
    AddHistogram(rounds, "status", state.StatusRounds);
    if (state.CountersPolled)
        AddHistogram(rounds, "ports", state.PortRounds);
    families.push_back(std::move(rounds));
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

std::vector<MetricFamily> TSnapshotCollectable::Collect() const
{
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    return MakeFamilies(*Current(), now);
}

} // namespace Exporter
