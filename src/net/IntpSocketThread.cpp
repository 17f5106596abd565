#include "IntpSocketThread.h"

#include "core/IntpHeader.h"

#include <QDebug>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

#include <linux/sock_diag.h>
#include <sys/socket.h>

namespace Intp {

TIntpSocketThread::TIntpSocketThread(Handler dispatch, QObject* parent, const char* queueName)
    : QThread(parent), m_Dispatch(std::move(dispatch)), m_Name(queueName)
{
    m_IdleTimer.setInterval(1000);
    connect(&m_IdleTimer, &QTimer::timeout, this, &TIntpSocketThread::IdleTick);
    m_IdleTimer.start();
    start();
}

TIntpSocketThread::~TIntpSocketThread() { Shutdown(); }

bool TIntpSocketThread::Enqueue(uint32_t address, QByteArray data)
{
    std::lock_guard queueLock(m_QueueLock);
    if (m_Queue.size() + m_InFlight >= MaxQueue) {
        ++m_Dropped;
        return false;
    }
    TListElement element;
    element.Address = address;
    element.Length = uint16_t(data.size());
    element.Data = std::move(data);
    m_Queue.push_back(std::move(element));
    m_Suspended = false;
    m_Wake.notify_one();
    return true;
}

uint64_t TIntpSocketThread::Dropped() const
{
    std::lock_guard queueLock(m_QueueLock);
    return m_Dropped;
}

uint64_t TIntpSocketThread::Batches() const
{
    std::lock_guard queueLock(m_QueueLock);
    return m_Batches;
}

void TIntpSocketThread::Terminate()
{
    std::scoped_lock both(m_QueueLock, m_HandOverLock);
    m_Terminate = true;
    m_Wake.notify_all();
    m_Handed.notify_all();
}

void TIntpSocketThread::Shutdown()
{
    m_IdleTimer.stop();
    Terminate();
    wait();
}

bool TIntpSocketThread::IsSuspended() const
{
    std::lock_guard queueLock(m_QueueLock);
    return m_Suspended;
}

std::size_t TIntpSocketThread::QueueSize() const
{
    std::lock_guard queueLock(m_QueueLock);
    return m_Queue.size();
}

void TIntpSocketThread::IdleTick()
{
    std::lock_guard queueLock(m_QueueLock);
    // One line a second at most while a flood lasts.
    if (m_Dropped != m_DroppedLogged) {
        qWarning("%s receive queue full: %llu datagrams dropped (%llu in all)", m_Name,
                 static_cast<unsigned long long>(m_Dropped - m_DroppedLogged),
                 static_cast<unsigned long long>(m_Dropped));
        m_DroppedLogged = m_Dropped;
    }
    if (!m_Queue.empty() || m_Suspended)
        return;
    std::lock_guard handOverLock(m_HandOverLock);
    if (!m_Busy)
        m_Suspended = true;
}

void TIntpSocketThread::run()
{
    for (;;) {
        {
            std::unique_lock queueLock(m_QueueLock);
            m_Wake.wait(queueLock, [&] { return m_Terminate || (!m_Suspended && !m_Queue.empty()); });
            if (m_Terminate)
                return;
            // Everything waiting, up to a batch: what arrives meanwhile waits for the next one.
            const std::size_t count = std::min(m_Queue.size(), MaxBatch);
            m_Batch.clear();
            m_Batch.reserve(count);
            for (std::size_t i = 0; i < count; ++i) {
                m_Batch.push_back(std::move(m_Queue.front()));
                m_Queue.pop_front();
            }
            m_InFlight = count;
            ++m_Batches;
            std::lock_guard handOverLock(m_HandOverLock);
            m_Busy = true;
            m_HandedOver = false;
        }
        // Synchronous hand-over: the user-interface thread dispatches the batch while the
        // worker waits, holding no lock.
        QMetaObject::invokeMethod(this, &TIntpSocketThread::HandOver, Qt::QueuedConnection);
        {
            std::unique_lock handOverLock(m_HandOverLock);
            m_Handed.wait(handOverLock, [&] { return m_HandedOver || m_Terminate; });
            m_Busy = false;
            if (m_Terminate)
                return;
        }
        std::lock_guard queueLock(m_QueueLock);
        m_InFlight = 0;
    }
}

void TIntpSocketThread::HandOver()
{
    {
        std::lock_guard handOverLock(m_HandOverLock);
        if (m_Terminate || !m_Busy || m_HandedOver)
            return;
    }
    for (TListElement& element : m_Batch) {
        m_Dispatch(element.Address, reinterpret_cast<const uint8_t*>(element.Data.constData()), element.Length);
        element.Data = QByteArray();
        // A dispatch that ends the program (the window closing) ends the batch too.
        std::lock_guard handOverLock(m_HandOverLock);
        if (m_Terminate)
            return;
    }
    std::lock_guard handOverLock(m_HandOverLock);
    m_HandedOver = true;
    m_Handed.notify_one();
}

TIntpSocket::TIntpSocket(TIntpSocketThread* queue, QObject* parent)
    : QObject(parent), m_Queue(queue), m_Socket(new QUdpSocket(this)), m_RemotePort(IntpPort)
{
    if (m_Socket->bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        SetReceiveBufferSize(DefaultReceiveBuffer);
    connect(m_Socket, &QUdpSocket::readyRead, this, &TIntpSocket::OnReadyRead);
}

void SetSocketReceiveBuffer(QUdpSocket& socket, int bytes)
{
    int fd = int(socket.socketDescriptor());
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(bytes));
}

uint64_t SocketKernelDrops(const QUdpSocket& socket)
{
    uint32_t info[SK_MEMINFO_VARS] = {};
    socklen_t size = sizeof info;
    int fd = int(socket.socketDescriptor());
    if (fd < 0 || getsockopt(fd, SOL_SOCKET, SO_MEMINFO, info, &size) != 0 || size <= SK_MEMINFO_DROPS * sizeof(uint32_t))
        return 0;
    return info[SK_MEMINFO_DROPS];
}

void TIntpSocket::SetReceiveBufferSize(int bytes)
{
    SetSocketReceiveBuffer(*m_Socket, bytes);
    m_ReceiveBuffer = bytes;
}

int TIntpSocket::ReceiveBufferSize() const { return m_ReceiveBuffer; }

int TIntpSocket::EffectiveReceiveBufferSize() const
{
    return m_Socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
}

uint64_t TIntpSocket::KernelDrops() const { return SocketKernelDrops(*m_Socket); }

bool TIntpSocket::IsOpen() const { return m_Socket->state() == QAbstractSocket::BoundState; }

quint16 TIntpSocket::LocalPort() const { return m_Socket->localPort(); }

bool TIntpSocket::SendTo(uint32_t address, const uint8_t* bytes, std::size_t length)
{
    QHostAddress to = address == LimitedBroadcast ? QHostAddress(QHostAddress::Broadcast) : QHostAddress(address);
    qint64 sent = m_Socket->writeDatagram(reinterpret_cast<const char*>(bytes), qint64(length), to,
                                          m_RemotePort);
    return sent == qint64(length);
}

void TIntpSocket::OnReadyRead()
{
    // Only copy and queue here: protocol work happens when the worker hands the datagram back.
    while (m_Socket->hasPendingDatagrams()) {
        QNetworkDatagram datagram = m_Socket->receiveDatagram();
        const QByteArray& data = datagram.data();
        if (data.isEmpty() || std::size_t(data.size()) >= MaxDatagram)
            continue;
        bool ok = false;
        uint32_t sender = datagram.senderAddress().toIPv4Address(&ok);
        if (!ok)
            continue;
        m_Queue->Enqueue(sender, data);
    }
}

} // namespace Intp
