#include "SessionManager.h"

#include "IntpSocketThread.h"

#include <QTimer>

TSessionManager::TSessionManager(Intp::TIntpSocket* socket, QObject* parent) : QObject(parent), m_Socket(socket) {}

TSessionManager::~TSessionManager()
{
    for (QTimer* timer : std::as_const(m_Timers))
        delete timer;
}

void TSessionManager::StartTimer(Intp::TSession* session, unsigned interval)
{
    if (!session || m_Timers.contains(session))
        return;
    auto* timer = new QTimer(this);
    timer->setInterval(int(Intp::EffectiveInterval(interval)));
    connect(timer, &QTimer::timeout, this, &TSessionManager::OnTick);
    m_Timers.insert(session, timer);
    m_Sessions.insert(timer, session);
    timer->start();
}

void TSessionManager::StopTimer(Intp::TSession* session)
{
    QTimer* timer = m_Timers.take(session);
    if (!timer)
        return;
    timer->stop();
    m_Sessions.remove(timer);
    // A session may end from inside its own tick.
    timer->deleteLater();
}

void TSessionManager::EnableTimer(Intp::TSession* session, bool on)
{
    if (QTimer* timer = m_Timers.value(session))
        on ? timer->start() : timer->stop();
}

void TSessionManager::SendTo(uint32_t address, const uint8_t* bytes, std::size_t length)
{
    if (!m_Socket || !m_Socket->SendTo(address, bytes, length))
        emit SendFailed();
}

void TSessionManager::Result(TDevice* device, uint16_t code, uint16_t status, const Intp::TResultData& data,
                             Intp::TWizard* receiver, const char*)
{
    if (m_NotifyShown)
        m_NotifyShown(device, code, status);
    if (receiver)
        receiver->OnResult(device, code, status, data);
}

void TSessionManager::SetInterval(Intp::TSession* session, unsigned interval)
{
    if (QTimer* timer = m_Timers.value(session))
        timer->setInterval(int(Intp::EffectiveInterval(interval)));
}

void TSessionManager::OnTick()
{
    auto* timer = qobject_cast<QTimer*>(sender());
    if (Intp::TSession* session = m_Sessions.value(timer))
        session->OnTimeout();
}
