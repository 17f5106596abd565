// The program's session manager: one QTimer per pending session, sending through the
// protocol socket, and the fan-out of results to the shown module and the receiver.
#pragma once

#include "core/Session.h"

#include <QHash>
#include <QObject>

#include <functional>

class QTimer;

namespace Intp {
class TIntpSocket;
}

class TSessionManager : public QObject, public Intp::TSessionCallback {
    Q_OBJECT
public:
    using NotifyShown = std::function<void(TDevice* device, uint16_t code, uint16_t status)>;

    explicit TSessionManager(Intp::TIntpSocket* socket, QObject* parent = nullptr);
    ~TSessionManager() override;

    // Called first with every result: the module shown in the main window.
    void SetNotifyShown(NotifyShown notify) { m_NotifyShown = std::move(notify); }

    void StartTimer(Intp::TSession* session, unsigned interval) override;
    void StopTimer(Intp::TSession* session) override;
    void EnableTimer(Intp::TSession* session, bool on) override;
    void SendTo(uint32_t address, const uint8_t* bytes, std::size_t length) override;
    void Result(TDevice* device, uint16_t code, uint16_t status, const Intp::TResultData& data, Intp::TWizard* receiver,
                const char* name) override;
    void SetInterval(Intp::TSession* session, unsigned interval) override;

    int TimerCount() const { return int(m_Timers.size()); }
    QTimer* TimerOf(Intp::TSession* session) const { return m_Timers.value(session); }

signals:
    // A datagram could not be sent; the session ends by time-out.
    void SendFailed();

private:
    void OnTick();

    Intp::TIntpSocket* m_Socket;
    NotifyShown m_NotifyShown;
    QHash<Intp::TSession*, QTimer*> m_Timers;
    QHash<QTimer*, Intp::TSession*> m_Sessions;
};
