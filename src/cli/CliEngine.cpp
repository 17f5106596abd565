#include "CliEngine.h"

#include "core/IntpCore.h"
#include "core/Transfer.h"
#include "net/EngineHost.h"
#include "net/FindHook.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

// The discovery chain of the console, unfiltered, reporting every step to the engine as well.
class TCliFindHook : public TFindHook {
public:
    explicit TCliFindHook(TCliEngine* engine) : TFindHook(nullptr, nullptr), m_Engine(engine) {}
    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override
    {
        m_Engine->OnResult(device, command, status, data);
        TFindHook::OnResult(device, command, status, data);
    }

private:
    TCliEngine* m_Engine;
};

namespace {

constexpr int DiscoveryRounds = 3;

quint64 KeyOf(TDevice* device) { return device ? device->Serial() : 0; }

} // namespace

TCliEngine::TCliEngine() : m_Host(std::make_unique<TEngineHost>()), m_FindHook(std::make_unique<TCliFindHook>(this)) {}

// The host stops its workers and ends the sessions, which report into this engine.
TCliEngine::~TCliEngine() { m_Host.reset(); }

void TCliEngine::Discover(const std::vector<TIpMask>& targets, int waitMs)
{
    // Three rounds over the wait: a lost request or answer costs a round, not the switch.
    for (int round = 0; round < DiscoveryRounds; ++round) {
        m_Host->Discover(targets, m_FindHook.get());
        QEventLoop loop;
        QTimer::singleShot(waitMs / DiscoveryRounds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    WaitIdle();
    // Later answers are not taken: the list printed is the list worked on.
    m_Host->StopDiscovery();
}

void TCliEngine::WaitIdle(int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    if (Intp::PendingSessions().empty())
        return;
    // Sessions end in their timers' and the socket's events; a glance every 20 ms finds
    // the moment the last one has reported.
    QEventLoop loop;
    QTimer glance;
    glance.setInterval(20);
    connect(&glance, &QTimer::timeout, &loop, [&] {
        if (Intp::PendingSessions().empty() || deadline.hasExpired())
            loop.quit();
    });
    glance.start();
    loop.exec();
}

void TCliEngine::RunWithRetries(const std::vector<TDevice*>& devices, uint16_t command,
                                const std::function<bool(TDevice*)>& start, int attempts)
{
    std::vector<TDevice*> due = devices;
    for (int attempt = 0; attempt < attempts && !due.empty(); ++attempt) {
        for (TDevice* d : due)
            m_Results.remove({KeyOf(d), command});
        std::vector<TDevice*> sent;
        for (TDevice* d : due)
            if (start(d))
                sent.push_back(d);
        WaitIdle();
        due.clear();
        for (TDevice* d : sent)
            if (Result(d, command) == Intp::stTimeout)
                due.push_back(d);
    }
}

uint16_t TCliEngine::Result(TDevice* device, uint16_t command) const
{
    return m_Results.value({KeyOf(device), command}, 0xFFFF);
}

uint16_t TCliEngine::LastResult(TDevice* device) const
{
    return m_Last.value(KeyOf(device), 0xFFFF);
}

bool TCliEngine::AllSucceeded(TDevice* device) const
{
    return m_Last.contains(KeyOf(device)) && !m_Failures.contains(KeyOf(device));
}

uint32_t TCliEngine::TransferState(TDevice* device, uint16_t command) const
{
    return m_States.value({KeyOf(device), command}, Intp::tsError);
}

void TCliEngine::OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data)
{
    m_Results[{KeyOf(device), command}] = status;
    m_Last[KeyOf(device)] = status;
    if (status != Intp::stSuccess)
        m_Failures.insert(KeyOf(device));
    const bool transfer = command == 256 || command == 257 || command == 258;
    if (!transfer)
        return;
    const auto* progress = data.Progress;
    m_States[{KeyOf(device), command}] = status == Intp::stSuccess && progress ? progress->State : Intp::tsError;
    if (progress && status == Intp::stSuccess && m_Progress)
        m_Progress(device, command, progress->Block, progress->State);
}
