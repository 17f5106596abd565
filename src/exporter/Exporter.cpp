#include "Exporter.h"

#include "core/Basics.h"
#include "core/IntpCore.h"
#include "core/Monitor.h"
#include "core/Port.h"
#include "net/AddressText.h"
#include "net/EngineHost.h"
#include "net/FindHook.h"
#include "net/IntpSocketThread.h"
#include "net/StatusMonitor.h"
#include "net/ValueTexts.h"

#include <QDateTime>

// The host's discovery chain (filter, status monitor) that also tells the exporter of
// every switch's identity as it arrives.
class TExporterFindHook : public TFindHook {
public:
    TExporterFindHook(TEngineHost& host, Exporter::TExporter& exporter)
        : TFindHook([&host] { return host.FilterServer(); }, [&host] { return &host.StatusMonitor(); }),
          m_Exporter(exporter)
    {
    }
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override
    {
        TFindHook::OnResult(device, command, status, data);
        if (device && status == Intp::stSuccess)
            m_Exporter.OnDiscovered(device);
    }

private:
    Exporter::TExporter& m_Exporter;
};

namespace Exporter {

namespace {

// Discovery goes out this many times, this far apart: a lost request or answer costs a
// round, not the switch until the next rediscovery.
constexpr int DiscoveryRounds = 3;
constexpr int DiscoveryRoundMs = 3000;
constexpr int PublishMs = 1000;

// Round durations from a few milliseconds (a quiet lab) to minutes (a fleet behind slow
// links, or one whose switches time out).
const std::vector<double> RoundBounds = {0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30, 60, 120};

QString Who(TDevice* device) { return MacText(device->Mac()) + " (" + AddressText(device->Address()) + ")"; }

} // namespace

TExporter::TExporter(TSettings settings, std::shared_ptr<TSnapshotCollectable> published)
    : m_Settings(std::move(settings)), m_Published(std::move(published)), m_Host(std::make_unique<TEngineHost>())
{
    m_FindHook = std::make_unique<TExporterFindHook>(*m_Host, *this);
    m_State.CountersPolled = m_Settings.Password.has_value();
    m_State.StatusRounds.Bounds = RoundBounds;
    m_State.PortRounds.Bounds = RoundBounds;
    Status::TStatusMonitor& monitor = m_Host->StatusMonitor();
    monitor.SetPeriod(m_Settings.StatusSeconds);
    m_State.StaleAfterMs = 2LL * monitor.Period() * 1000 + monitor.Timeout() * 1000;
    connect(&monitor, &Status::TStatusMonitor::RowChanged, this, &TExporter::OnStatusRow);
    // Connected after the monitor's own PollAll: the round's polls have started by then.
    connect(monitor.PollTimer(), &QTimer::timeout, this, &TExporter::OnStatusRound);
    connect(m_Host.get(), &TEngineHost::SendFailed, this, [this] {
        ++m_State.SendFailures;
        m_Dirty = true;
    });
    m_RediscoverTimer.setInterval(m_Settings.RediscoverSeconds * 1000);
    connect(&m_RediscoverTimer, &QTimer::timeout, this, [this] {
        m_DiscoveryRound = 0;
        Rediscover();
    });
    m_RoundTimer.setSingleShot(true);
    m_RoundTimer.setInterval(DiscoveryRoundMs);
    connect(&m_RoundTimer, &QTimer::timeout, this, &TExporter::Rediscover);
    m_PortTimer.setInterval(m_Settings.PollSeconds * 1000);
    connect(&m_PortTimer, &QTimer::timeout, this, &TExporter::PollPorts);
    m_PublishTimer.setInterval(PublishMs);
    connect(&m_PublishTimer, &QTimer::timeout, this, [this] {
        if (m_Dirty)
            Publish();
    });
}

// The host ends the pending sessions, some of which report to this exporter.
TExporter::~TExporter()
{
    m_Host->Shutdown();
    m_Host->StopDiscovery();
}

void TExporter::Start()
{
    m_Host->StatusMonitor().PollTimer()->start(m_Host->StatusMonitor().Period() * 1000);
    m_DiscoveryRound = 0;
    Rediscover();
    m_RediscoverTimer.start();
    if (m_State.CountersPolled)
        m_PortTimer.start();
    m_PublishTimer.start();
}

void TExporter::Rediscover()
{
    if (m_DiscoveryRound == 0) {
        ++m_State.Discoveries;
        m_Dirty = true;
        // Switches that refused the login get one more try after each discovery: their
        // account may have changed since.
        for (auto& [mac, s] : m_State.Switches)
            s.RetryLogin = s.Login == TLogin::Refused;
    }
    m_Host->Discover(m_Settings.Targets, m_FindHook.get());
    if (++m_DiscoveryRound < DiscoveryRounds)
        m_RoundTimer.start();
}

TSwitchState& TExporter::Switch(TDevice* device)
{
    m_Dirty = true;
    auto [it, made] = m_State.Switches.try_emplace(device->Mac().Text());
    TSwitchState& s = it->second;
    // The identity texts are made again only when the discovery chain or a new address
    // may have changed them, not at every answer.
    if (made || device->Address() != s.Address)
        Identify(device, s);
    return s;
}

void TExporter::Identify(TDevice* device, TSwitchState& s)
{
    s.Address = device->Address();
    s.Ip = AddressText(device->Address()).toStdString();
    s.Model = device->Type() ? device->TypeDescription() : "unknown";
    s.Name = device->Name();
    const auto& settings = Intp::GetProperty<Intp::TPropertyBasicsSettings>(*device);
    s.Firmware = settings.Valid ? VersionNumberText(settings.FirmwareVersion).toStdString() : std::string();
    s.Ports.resize(std::size_t(std::max(device->PortCount(), 0)));
    s.Warning = device->HasFlags(TDevice::flWarning);
}

void TExporter::OnDiscovered(TDevice* device) { Identify(device, Switch(device)); }

void TExporter::OnStatusRow(int index, uint32_t keys)
{
    const Status::TStatusMonitor::TRow& row = m_Host->StatusMonitor().Row(index);
    if (row.Polling == 0 && m_StatusPending.erase(index) && m_StatusPending.empty() && m_StatusRound.isValid()) {
        m_State.StatusRounds.Observe(double(m_StatusRound.elapsed()) / 1000.0);
        m_StatusRound.invalidate();
    }
    TDevice* device = Registry::Find(row.Mac, false);
    if (!device)
        return;
    TSwitchState& s = Switch(device);
    const bool wasOffline = s.Offline;
    s.Offline = row.Flags & Status::sfOffline;
    s.QueryFailed = row.Flags & Status::sfQueryFailed;
    if (keys & Status::TStatusMonitor::keyReported) {
        // A switch new to the exporter has its ports read at once, not a poll interval later.
        if (!s.Answered && m_State.CountersPolled && device->Type() && !m_PortPending.contains(device->Mac())) {
            if (m_PortPending.empty())
                m_PortRound.start();
            ReadPorts(device);
        }
        s.Answered = true;
        s.LastReplyMs = row.Reported;
        s.PowerAlarms = row.PowerAlarms;
        s.PortAlarms = row.PortAlarms;
        // Without credentials the status poll's link bits are the ports' state.
        if (!m_State.CountersPolled) {
            const uint32_t links = Intp::GetProperty<Intp::TPropertyIntpPing2>(*device).LinkMask;
            for (std::size_t p = 0; p < s.Ports.size() && p < 32; ++p)
                s.Ports[p].Up = links & (1u << p);
        }
    }
    // One line a change, none for a switch's first answer: a large fleet would fill the
    // journal at every start.
    if (!wasOffline && s.Offline)
        qWarning("switch %s %s", qPrintable(Who(device)), s.Answered ? "stopped answering" : "does not answer");
    else if (wasOffline && !s.Offline)
        qInfo("switch %s answers again", qPrintable(Who(device)));
}

void TExporter::OnStatusRound()
{
    const Status::TStatusMonitor& monitor = m_Host->StatusMonitor();
    if (m_StatusPending.empty())
        m_StatusRound.start();
    for (int i = 0; i < monitor.Count(); ++i) {
        const auto& row = monitor.Row(i);
        if (row.Polling)
            m_StatusPending.insert(i);
        // The warning state beside the status poll, from the switches that answer.
        if (TDevice* device = Registry::Find(row.Mac, false); device && !(row.Flags & Status::sfOffline))
            Intp::StartNew<Intp::TSessionIntpSipGet>(device, this);
    }
    if (m_StatusPending.empty())
        m_StatusRound.invalidate();
}

template <typename S, typename... Args>
void TExporter::StartPortSession(TDevice* device, Args&&... args)
{
    if (Intp::StartNew<S>(device, this, std::forward<Args>(args)...))
        ++m_PortPending[device->Mac()];
}

void TExporter::EndPortSession(TDevice* device)
{
    auto it = m_PortPending.find(device->Mac());
    if (it == m_PortPending.end())
        return;
    if (--it->second <= 0)
        m_PortPending.erase(it);
    if (m_PortPending.empty() && m_PortRound.isValid()) {
        m_State.PortRounds.Observe(double(m_PortRound.elapsed()) / 1000.0);
        m_PortRound.invalidate();
        m_Dirty = true;
    }
}

void TExporter::ReadPorts(TDevice* device)
{
    if (device->IsLoggedIn()) {
        StartPortSession<Intp::TSessionPortStatusGet>(device);
        StartPortSession<Intp::TSessionMonitorPortGet>(device);
    } else {
        StartPortSession<Intp::TSessionIntpLogin>(device, *m_Settings.User, *m_Settings.Password);
    }
}

void TExporter::PollPorts()
{
    if (m_PortPending.empty())
        m_PortRound.start();
    m_Relogged.clear();
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    std::vector<TDevice*> due;
    Registry::ForEach([&](TDevice& device) {
        auto it = m_State.Switches.find(device.Mac().Text());
        // A switch whose last round still waits is skipped: another would queue behind it.
        if (it != m_State.Switches.end() && device.Type() && IsUp(it->second, now, m_State.StaleAfterMs) &&
            (it->second.Login != TLogin::Refused || it->second.RetryLogin) && !m_PortPending.contains(device.Mac()))
            due.push_back(&device);
    });
    for (TDevice* device : due) {
        m_State.Switches[device->Mac().Text()].RetryLogin = false;
        ReadPorts(device);
    }
    if (m_PortPending.empty())
        m_PortRound.invalidate();
}

void TExporter::OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData&)
{
    if (!device)
        return;
    if (command == 7) {
        if (status == Intp::stSuccess)
            Switch(device).Warning = device->HasFlags(TDevice::flWarning);
        return;
    }
    TSwitchState& s = Switch(device);
    if (command == 2 && !device->IsLoggedIn() && status != Intp::stSuccess && status != Intp::stTimeout) {
        if (s.Login != TLogin::Refused)
            qWarning("switch %s refused the login: %s", qPrintable(Who(device)), qPrintable(FailureText(status)));
        s.Login = TLogin::Refused;
    } else if (command == 2 && status == Intp::stSuccess) {
        if (s.Login == TLogin::Refused)
            qInfo("switch %s took the login", qPrintable(Who(device)));
        s.Login = TLogin::Ok;
        ReadPorts(device);
    } else if (status == Intp::stNotLoggedIn && !m_Relogged.contains(device->Mac())) {
        // The switch forgot the login (a reboot, another workstation's wrong login): once
        // a round, log in again and read on.
        m_Relogged.insert(device->Mac());
        StartPortSession<Intp::TSessionIntpLogin>(device, *m_Settings.User, *m_Settings.Password);
    } else if (command == Intp::TPropertyPortStatus::GetCommand && status == Intp::stSuccess) {
        const auto& entries = Intp::GetProperty<Intp::TPropertyPortStatus>(*device).Entries;
        for (std::size_t p = 0; p < s.Ports.size() && p < entries.size(); ++p)
            s.Ports[p].Up = entries[p].Link;
    } else if (command == Intp::TPropertyMonitorPort::GetCommand && status == Intp::stSuccess) {
        const auto& entries = Intp::GetProperty<Intp::TPropertyMonitorPort>(*device).Entries;
        for (std::size_t p = 0; p < s.Ports.size() && p < entries.size(); ++p) {
            const auto& c = entries[p].Counters;
            auto& totals = s.Ports[p].Counters;
            totals[pcReceivePackets].Update(c[Intp::mcRxGood]);
            totals[pcTransmitPackets].Update(c[Intp::mcTxGood]);
            totals[pcReceiveErrors].Update(c[Intp::mcRxBad]);
            totals[pcTransmitErrors].Update(c[Intp::mcTxBad]);
        }
    }
    EndPortSession(device);
}

void TExporter::Publish()
{
    m_State.QueueDrops = m_Host->IntpThread()->Dropped();
    m_State.KernelDrops = m_Host->IntpSocket()->KernelDrops();
    m_Published->Publish(std::make_shared<const TFleetState>(m_State));
    m_Dirty = false;
}

} // namespace Exporter
