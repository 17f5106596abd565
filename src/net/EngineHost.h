// One engine for a program: the protocol socket and its worker, the session manager, the
// discovery chain's hook, the discovery filter, the status monitor, and the syslog
// receiver with its store. The window, zode-cli and the benchmarks each create one and
// put their views or printing on top; while it lives, the engine's sessions report and
// send through it.
//
// Shutdown order: the workers stop first (no datagram arrives any more), then every
// pending session ends, then the engine's callback is cleared. The destructor does the
// same, so a program that simply lets the host go is safe.
#pragma once

#include "core/FilterSettings.h"
#include "core/IpMask.h"
#include "core/SyslogStore.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class TFindHook;
class TSessionManager;
class TSyslogService;

namespace Intp {
class TIntpSocket;
class TIntpSocketThread;
class TWizard;
} // namespace Intp

namespace Status {
class TStatusMonitor;
}

namespace Syslog {
class TSyslogSocket;
class TSyslogSocketThread;
} // namespace Syslog

class TEngineHost : public QObject {
    Q_OBJECT
public:
    explicit TEngineHost(Syslog::TSyslogLimits limits = {}, QObject* parent = nullptr);
    ~TEngineHost() override;

    Intp::TIntpSocketThread* IntpThread() const { return m_IntpThread; }
    Intp::TIntpSocket* IntpSocket() const { return m_IntpSock; }
    TSessionManager* Sessions() const { return m_Sessions; }
    Status::TStatusMonitor& StatusMonitor() const { return *m_Status; }
    TSyslogService& Syslog() const { return *m_Syslog; }

    // The discovery filter: the host's own settings unless another server was set.
    Filter::TFilterSettings& FilterSettings() { return m_OwnFilter.Settings; }
    Filter::TFilterServer* FilterServer() const { return m_Filter; }
    // Replaces the filter discovery consults (tests, benchmarks); null: the host's own.
    void SetFilterServer(Filter::TFilterServer* filter) { m_Filter = filter ? filter : &m_OwnFilter; }

    // Sends discovery to the filter's targets, or to the given ones; every accepted
    // switch's answers run the discovery chain, and hook (when given) hears every step of it.
    void Discover();
    void Discover(const std::vector<TIpMask>& targets, Intp::TWizard* hook = nullptr);
    // Later discovery answers are not taken.
    void StopDiscovery();

    // Starts receiving syslog messages into the store; false, with the reason in error,
    // when the port cannot be bound (the receiver is then closed again).
    bool OpenSyslog(quint16 port, QString* error = nullptr);
    // Null while no syslog is received.
    Syslog::TSyslogSocket* SyslogSocket() const { return m_SyslogSock; }
    Syslog::TSyslogSocketThread* SyslogThread() const { return m_SyslogThread; }

    void Shutdown();
    bool IsShutDown() const { return m_ShutDown; }

signals:
    // A datagram could not be sent; the session ends by time-out.
    void SendFailed();

private:
    Intp::TIntpSocketThread* m_IntpThread = nullptr;
    Intp::TIntpSocket* m_IntpSock = nullptr;
    TSessionManager* m_Sessions = nullptr;
    Status::TStatusMonitor* m_Status = nullptr;
    TSyslogService* m_Syslog = nullptr;
    Syslog::TSyslogSocketThread* m_SyslogThread = nullptr;
    Syslog::TSyslogSocket* m_SyslogSock = nullptr;
    Filter::TFilterSettingsServer m_OwnFilter;
    Filter::TFilterServer* m_Filter = &m_OwnFilter;
    std::unique_ptr<TFindHook> m_FindHook;
    bool m_ShutDown = false;
};
