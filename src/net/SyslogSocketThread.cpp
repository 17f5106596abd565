#include "SyslogSocketThread.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

namespace Syslog {

TSyslogSocketThread::TSyslogSocketThread(Handler addEvent, QObject* parent)
    : Intp::TIntpSocketThread(
          [addEvent = std::move(addEvent)](uint32_t address, const uint8_t* data, std::size_t length) {
              addEvent(address, std::string_view(reinterpret_cast<const char*>(data), length));
          },
          parent, "Syslog")
{
}

TSyslogSocket::TSyslogSocket(TSyslogSocketThread* queue, quint16 port, QObject* parent)
    : QObject(parent), m_Queue(queue), m_Socket(new QUdpSocket(this))
{
    if (m_Socket->bind(QHostAddress(QHostAddress::AnyIPv4), port))
        SetReceiveBufferSize(DefaultReceiveBuffer);
    else
        m_BindError = BindErrorText(m_Socket->error(), m_Socket->errorString(), port);
    connect(m_Socket, &QUdpSocket::readyRead, this, &TSyslogSocket::OnReadyRead);
}

QString TSyslogSocket::BindErrorText(QAbstractSocket::SocketError error, const QString& text, quint16 port)
{
    if (error != QAbstractSocket::SocketAccessError || port >= 1024)
        return text;
    return QStringLiteral("%1: UDP port %2 is below 1024 and needs root or the capability "
                          "CAP_NET_BIND_SERVICE")
        .arg(text)
        .arg(port);
}

bool TSyslogSocket::IsOpen() const { return m_Socket->state() == QAbstractSocket::BoundState; }

QString TSyslogSocket::BindError() const { return m_BindError; }

quint16 TSyslogSocket::LocalPort() const { return m_Socket->localPort(); }

uint64_t TSyslogSocket::KernelDrops() const { return Intp::SocketKernelDrops(*m_Socket); }

void TSyslogSocket::SetReceiveBufferSize(int bytes) { Intp::SetSocketReceiveBuffer(*m_Socket, bytes); }

void TSyslogSocket::OnReadyRead()
{
    // Only copy and queue here: parsing and storing happen when the worker hands it back.
    while (m_Socket->hasPendingDatagrams()) {
        QNetworkDatagram datagram = m_Socket->receiveDatagram();
        bool ok = false;
        uint32_t sender = datagram.senderAddress().toIPv4Address(&ok);
        if (ok)
            m_Queue->Enqueue(sender, datagram.data());
    }
}

} // namespace Syslog
