// The fleet: every simulated switch behind one UDP socket. A datagram goes to the switches
// its destination address reaches and whose MAC it names; each answers from its own address.
#pragma once

#include "Commands.h"
#include "Options.h"
#include "Switch.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>

#include <deque>
#include <vector>

class QNetworkDatagram;

namespace Sim {

class TFleet : public QObject {
    Q_OBJECT

public:
    explicit TFleet(const TOptions& options, QObject* parent = nullptr);

    // Binds the socket; false with a message when it cannot, or when listening on all
    // addresses could reach a network outside the lab.
    bool Listen(QString& error);

    const std::vector<TSwitch>& Switches() const { return m_Switches; }

private:
    void OnReadyRead();
    void Receive(const QNetworkDatagram& datagram);
    void Answer(TSwitch& sw, const TRequest& request, const QHostAddress& to, uint16_t port);
    static QByteArray ReplyDatagram(const TSwitch& sw, uint16_t command, uint16_t status, const QByteArray& payload);
    // The request with a way to reply again later, from the switch to the requester.
    // The request with the switch's callbacks: later replies to the requester, and events
    // through its own syslog client.
    TRequest WithCallbacks(TSwitch& sw, const TRequest& request, const QHostAddress& to, uint16_t port);
    void Send(QByteArray datagram, uint32_t from, const QHostAddress& to, uint16_t port, int delayMs);
    void Write(const QByteArray& datagram, uint32_t from, const QHostAddress& to, uint16_t port);
    void FlushBacklog();
    uint16_t InjectedStatus(uint16_t command, int index) const;
    // Sends the syslog messages due by now at the chosen rate, each switch in turn.
    void SendSyslog();

    const TOptions& m_Options;
    std::vector<TSwitch> m_Switches;
    QUdpSocket m_Socket;
    QRandomGenerator m_Random;
    QElapsedTimer m_Clock;

    struct TPending {
        QByteArray datagram;
        uint32_t from;
        QHostAddress to;
        uint16_t port;
    };
    std::deque<TPending> m_Backlog; // replies waiting for room in the send buffer
    QTimer m_SyslogTimer;
    uint64_t m_SyslogSent = 0;
};

} // namespace Sim
