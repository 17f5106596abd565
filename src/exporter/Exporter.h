// zode-exporter's engine: one engine host that discovers the fleet now and at every
// rediscovery, lets the host's status monitor poll every switch by its rules (answer,
// power and port alarms) and asks for the warning state in the same rhythm; with
// credentials it logs in to each switch that answers and reads its port status and port
// counters at the poll interval, all switches at once through the engine's send window.
// Whatever it learns it keeps in a fleet picture that it publishes to the web server at
// most once a second.
#pragma once

#include "FleetMetrics.h"

#include "core/IpMask.h"
#include "core/MacAddr.h"
#include "core/Session.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TEngineHost;
class TExporterFindHook;

namespace Exporter {

struct TSettings {
    std::vector<TIpMask> Targets;
    int RediscoverSeconds = 600;
    int StatusSeconds = 10;
    int PollSeconds = 30;
    // Without them no switch is logged in to and no port is read.
    std::optional<std::string> User, Password;
};

class TExporter : public QObject, public Intp::TWizard {
    Q_OBJECT
public:
    TExporter(TSettings settings, std::shared_ptr<TSnapshotCollectable> published);
    ~TExporter() override;

    // Discovers and starts the timers.
    void Start();
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

    // A step of the discovery chain: takes the switch's identity.
    void OnDiscovered(TDevice* device);
    // Publishes the picture now (the timer does it while anything changed).
    void Publish();
    TEngineHost& Host() const { return *m_Host; }

private:
    void Rediscover();
    void OnStatusRow(int index, uint32_t keys);
    void OnStatusRound();
    void PollPorts();
    // Logs in to the switch, or reads its port status and counters when logged in.
    void ReadPorts(TDevice* device);
    // Starts a session for the switch's port round, counting it as outstanding.
    template <typename S, typename... Args>
    void StartPortSession(TDevice* device, Args&&... args);
    void EndPortSession(TDevice* device);
    // The switch's state, made with its identity when new.
    TSwitchState& Switch(TDevice* device);
    // Takes the switch's identity texts, port count and warning flag from the device.
    void Identify(TDevice* device, TSwitchState& s);

    TSettings m_Settings;
    std::shared_ptr<TSnapshotCollectable> m_Published;
    std::unique_ptr<TEngineHost> m_Host;
    std::unique_ptr<TExporterFindHook> m_FindHook;
    TFleetState m_State;
    bool m_Dirty = true;
    QTimer m_RediscoverTimer, m_RoundTimer, m_PortTimer, m_PublishTimer;
    int m_DiscoveryRound = 0;
    // Status rows polled in the current status round and not answered or timed out yet.
    // (Standard containers: the keys are consecutive, which Qt's open addressing makes
    // slow to erase from by the thousand.)
    std::unordered_set<int> m_StatusPending;
    QElapsedTimer m_StatusRound;
    // Sessions of the current port round not reported yet, per switch.
    std::unordered_map<TMacAddr, int> m_PortPending;
    std::unordered_set<TMacAddr> m_Relogged; // a session of this round found the login gone
    QElapsedTimer m_PortRound;
};

} // namespace Exporter
