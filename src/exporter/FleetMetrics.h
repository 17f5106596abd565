// The exporter's picture of the fleet and the metric families made from it. The event-loop
// thread changes the picture as answers arrive and publishes a copy of it now and then;
// the web server's threads turn the latest published copy into metric families. A scrape
// so always sees one whole picture (never half of a rediscovery), and neither side waits
// for the other longer than it takes to hand over a pointer.
#pragma once

#include <prometheus/collectable.h>
#include <prometheus/metric_family.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Exporter {

// A switch's 32-bit counter, which wraps, as a total that only grows. A reading below the
// last one is a wrap when the distance over the top is less than half the range (a port
// cannot move two billion frames between two polls); otherwise the switch started again
// from zero (a reboot or a cleared counter) and the reading itself is what came since.
class TCounterTotal {
public:
    void Update(uint32_t reading);
    uint64_t Total() const { return m_Total; }
    bool Known() const { return m_Known; }

private:
    uint64_t m_Total = 0;
    uint32_t m_Last = 0;
    bool m_Known = false;
};

// The port counters the exporter keeps, in the order of the families.
enum TPortCounter { pcReceivePackets, pcTransmitPackets, pcReceiveErrors, pcTransmitErrors, pcCount };

struct TPortState {
    bool Up = false;
    std::array<TCounterTotal, pcCount> Counters;
};

// How the last login went.
enum class TLogin { None, Ok, Refused };

struct TSwitchState {
    std::string Ip, Model, Name, Firmware;
    bool Answered = false;    // a status poll was answered once at least
    bool Offline = false;     // the last status poll timed out
    bool QueryFailed = false; // the last status poll was answered with an error
    int64_t LastReplyMs = 0;  // of the last answered status poll, ms since the epoch
    uint32_t PowerAlarms = 0; // of the last successful status poll
    uint32_t PortAlarms = 0;
    bool Warning = false; // the warning state's active flag
    TLogin Login = TLogin::None;
    // A refused login is tried again once after each discovery, not at every poll (some
    // switches lock an account after many failures); its line is written once.
    bool RetryLogin = false;
    uint32_t Address = 0;          // the one the identity texts were made for
    std::vector<TPortState> Ports; // physical ports, from 1
};

// One histogram with fixed bucket bounds (seconds).
struct THistogram {
    std::vector<double> Bounds;
    std::vector<uint64_t> Counts; // per bucket, not cumulative; one more for +Inf
    uint64_t Count = 0;
    double Sum = 0;
    void Observe(double value);
};

// Everything a scrape shows.
struct TFleetState {
    std::map<std::string, TSwitchState> Switches; // by MAC text
    // A switch counts up while its last poll was answered and that answer is not older
    // than this (a poll still waiting for room in the send window answers nothing).
    int64_t StaleAfterMs = 25000;
    uint64_t Discoveries = 0;
    uint64_t QueueDrops = 0, KernelDrops = 0, SendFailures = 0;
    THistogram StatusRounds, PortRounds;
    bool CountersPolled = false; // a password was given
};

// Whether the switch counts as up at the moment now.
bool IsUp(const TSwitchState& s, int64_t nowMs, int64_t staleAfterMs);

// The metric families of a picture at the moment now (ms since the epoch), in a fixed
// order with the switches by MAC, handed over one at a time: a scrape of a large fleet
// holds one family's samples at once, not all of them.
void ForEachFamily(const TFleetState& state, int64_t nowMs,
                   const std::function<void(prometheus::MetricFamily&&)>& take);
// All of them.
std::vector<prometheus::MetricFamily> MakeFamilies(const TFleetState& state, int64_t nowMs);
// The system clock in ms since the epoch.
int64_t NowMs();

// Holds the published picture for the web server's threads, which collect it at the
// system clock's time.
class TSnapshotCollectable : public prometheus::Collectable {
public:
    void Publish(std::shared_ptr<const TFleetState> state);
    std::shared_ptr<const TFleetState> Current() const;
    std::vector<prometheus::MetricFamily> Collect() const override;

private:
    mutable std::mutex m_Lock;
    std::shared_ptr<const TFleetState> m_State = std::make_shared<TFleetState>();
};

} // namespace Exporter
