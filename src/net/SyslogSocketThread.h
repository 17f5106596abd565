// The syslog UDP socket and the worker that hands received messages, one at a time and in
// arrival order, to the user-interface thread.
#pragma once

#include "IntpSocketThread.h"

#include <QAbstractSocket>
#include <QObject>
#include <QString>

#include <functional>
#include <string_view>

class QUdpSocket;

namespace Syslog {

constexpr quint16 SyslogPort = 514;

// The protocol's queue and worker (same bound, drop count and idle suspension), handing
// each datagram's bytes on as text.
class TSyslogSocketThread : public Intp::TIntpSocketThread {
    Q_OBJECT
public:
    using Handler = std::function<void(uint32_t address, std::string_view text)>;

    // The handler runs on the thread this object lives on (the user-interface thread).
    explicit TSyslogSocketThread(Handler addEvent, QObject* parent = nullptr);
};

// The syslog UDP server on 0.0.0.0; every datagram, empty ones included, is queued.
class TSyslogSocket : public QObject {
    Q_OBJECT
public:
    // Bursts from many switches at once must not overflow a small kernel buffer.
    static constexpr int DefaultReceiveBuffer = 4 << 20;

    TSyslogSocket(TSyslogSocketThread* queue, quint16 port = SyslogPort, QObject* parent = nullptr);

    bool IsOpen() const;
    // Why binding failed (empty when the socket is open).
    QString BindError() const;
    quint16 LocalPort() const;
    uint64_t KernelDrops() const;
    void SetReceiveBufferSize(int bytes);

    // The socket library's text, with the privilege named when the port was refused.
    static QString BindErrorText(QAbstractSocket::SocketError error, const QString& text, quint16 port);

private:
    void OnReadyRead();

    TSyslogSocketThread* m_Queue;
    QUdpSocket* m_Socket;
    QString m_BindError;
};

} // namespace Syslog
