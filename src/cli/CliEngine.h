// The protocol engine run from a command line: the engine host without any window, and
// waiting in the event loop until the sessions started have reported. Results are
// collected per switch for the caller to print.
#pragma once

#include "core/Session.h"
#include "core/IpMask.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>
#include <vector>

class TEngineHost;
class TCliFindHook;

class TCliEngine : public QObject, public Intp::TWizard {
    Q_OBJECT
public:
    TCliEngine();
    ~TCliEngine() override;

    // Runs discovery to the targets, takes answers for waitMs, then lets every answering
    // switch's discovery chain (system information, network settings, warning state) end.
    void Discover(const std::vector<TIpMask>& targets, int waitMs);
    // Runs the event loop until every session has reported (or limitMs passed).
    void WaitIdle(int limitMs = 120000);
    // Runs start(device) on every device at once, and again on those whose session timed
    // out, up to attempts times in all; start returns false when nothing was sent.
    void RunWithRetries(const std::vector<TDevice*>& devices, uint16_t command,
                        const std::function<bool(TDevice*)>& start, int attempts = 3);

    // The last status each switch reported for the command (none: absent).
    uint16_t Result(TDevice* device, uint16_t command) const;
    // The last status the switch reported for any command (0xFFFF: none).
    uint16_t LastResult(TDevice* device) const;
    // Whether the switch reported at least once since ForgetResults, and always success.
    bool AllSucceeded(TDevice* device) const;
    // The state of a transfer's last progress report (tsDone when it ended well).
    uint32_t TransferState(TDevice* device, uint16_t command) const;
    void ForgetResults()
    {
        m_Results.clear();
        m_States.clear();
        m_Last.clear();
        m_Failures.clear();
    }

    // Called with every progress report of a transfer (status 0 with data).
    using Progress = std::function<void(TDevice* device, uint16_t command, uint16_t block, uint32_t state)>;
    void SetProgress(Progress progress) { m_Progress = std::move(progress); }

    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

private:
    std::unique_ptr<TEngineHost> m_Host;
    std::unique_ptr<TCliFindHook> m_FindHook;
    QHash<QPair<quint64, quint16>, quint16> m_Results;
    QHash<QPair<quint64, quint16>, quint32> m_States;
    QHash<quint64, quint16> m_Last;
    QSet<quint64> m_Failures;
    Progress m_Progress;
};
