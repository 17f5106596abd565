#include "EngineHost.h"

#include "FindHook.h"
#include "IntpSocketThread.h"
#include "SessionManager.h"
#include "StatusMonitor.h"
#include "SyslogService.h"
#include "SyslogSocketThread.h"
#include "core/Dispatch.h"
#include "core/IntpCore.h"

TEngineHost::TEngineHost(Syslog::TSyslogLimits limits, QObject* parent) : QObject(parent)
{
    m_IntpThread = new Intp::TIntpSocketThread(&Intp::Dispatch, this);
    m_IntpSock = new Intp::TIntpSocket(m_IntpThread, this);
    m_Sessions = new TSessionManager(m_IntpSock, this);
    connect(m_Sessions, &TSessionManager::SendFailed, this, &TEngineHost::SendFailed);
    m_Status = new Status::TStatusMonitor(this);
    m_Syslog = new TSyslogService(limits, this);
    m_FindHook = std::make_unique<TFindHook>([this] { return m_Filter; }, [this] { return m_Status; });
    Intp::SetSessionCallback(m_Sessions);
}

TEngineHost::~TEngineHost()
{
    Shutdown();
    // The discovery session outlives the host; its hook does not.
    StopDiscovery();
}

void TEngineHost::Discover()
{
    std::vector<TIpMask> targets;
    m_Filter->GetTargets(targets);
    Discover(targets);
}

void TEngineHost::Discover(const std::vector<TIpMask>& targets, Intp::TWizard* hook)
{
    Intp::TSessionIntpFind::Instance().Discover(targets, hook ? hook : m_FindHook.get());
}

void TEngineHost::StopDiscovery() { Intp::TSessionIntpFind::Instance().Discover({}, nullptr); }

bool TEngineHost::OpenSyslog(quint16 port, QString* error)
{
    if (m_SyslogSock)
        return true;
    if (!m_SyslogThread)
        m_SyslogThread = new Syslog::TSyslogSocketThread(
            [this](uint32_t address, std::string_view text) { m_Syslog->AddEvent(address, text); }, this);
    m_SyslogSock = new Syslog::TSyslogSocket(m_SyslogThread, port, this);
    if (m_SyslogSock->IsOpen())
        return true;
    if (error)
        *error = m_SyslogSock->BindError();
    delete m_SyslogSock;
    m_SyslogSock = nullptr;
    return false;
}

void TEngineHost::Shutdown()
{
    if (m_ShutDown)
        return;
    m_ShutDown = true;
    m_IntpThread->Shutdown();
    if (m_SyslogThread)
        m_SyslogThread->Shutdown();
    Intp::DestroyPendingSessions();
    if (Intp::SessionCallback() == m_Sessions)
        Intp::SetSessionCallback(nullptr);
}
