// The protocol socket and the worker that hands received datagrams, in batches and in
// arrival order, to the user-interface thread.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class QUdpSocket;

namespace Intp {

struct TListElement {
    uint32_t Address = 0; // sender, host order
    uint16_t Length = 0;
    QByteArray Data;      // the whole datagram, header included
};

class TIntpSocketThread : public QThread {
    Q_OBJECT
public:
    using Handler = std::function<void(uint32_t address, const uint8_t* data, std::size_t length)>;

    // The handler runs on the thread this object lives on (the user-interface thread).
    // The worker starts suspended; the first datagram resumes it.
    // A flood must not grow the queue without limit: beyond this many waiting datagrams
    // new ones are dropped and counted (about 32 MiB at the largest datagrams a switch sends).
    static constexpr std::size_t MaxQueue = 32768;
    // The most datagrams one hand-over carries: one wake-up of the user-interface thread and
    // one queued call for all of them, dispatched one after another in arrival order.
    static constexpr std::size_t MaxBatch = 1024;

    // queueName names the queue in the warning about dropped datagrams.
    explicit TIntpSocketThread(Handler dispatch, QObject* parent = nullptr, const char* queueName = "Protocol");
    ~TIntpSocketThread() override;

    // False when the queue was full and the datagram was dropped. A batch being handed over
    // still counts against the queue's bound.
    bool Enqueue(uint32_t address, QByteArray data);
    // Datagrams dropped because the queue was full, since start.
    uint64_t Dropped() const;
    // Hand-overs to the handler's thread since start: datagrams / batches is the batching.
    uint64_t Batches() const;
    // Asks the worker to end at its next turn; Shutdown also waits for it.
    void Terminate();
    void Shutdown();

    bool IsSuspended() const;
    std::size_t QueueSize() const;
    // Suspends the worker when it is idle; runs every second on its own.
    void IdleTick();

protected:
    void run() override;

private:
    void HandOver();

    Handler m_Dispatch;
    const char* m_Name;
    mutable std::mutex m_QueueLock;    // queue, suspended, terminate
    mutable std::mutex m_HandOverLock; // busy, handed
    std::condition_variable m_Wake;
    std::condition_variable m_Handed;
    std::deque<TListElement> m_Queue;
    std::vector<TListElement> m_Batch; // taken from the queue by the worker, dispatched by the handler's thread
    std::size_t m_InFlight = 0;        // the batch's size while it is handed over
    bool m_Suspended = true;
    bool m_Terminate = false;
    bool m_Busy = false;
    bool m_HandedOver = false;
    uint64_t m_Dropped = 0;
    uint64_t m_Batches = 0;
    uint64_t m_DroppedLogged = 0;
    QTimer m_IdleTimer;
};

// Asks the kernel for a receive buffer of that size, beyond rmem_max when the process may
// (CAP_NET_ADMIN).
void SetSocketReceiveBuffer(QUdpSocket& socket, int bytes);
// Datagrams the kernel dropped because the socket's buffer was full.
uint64_t SocketKernelDrops(const QUdpSocket& socket);

// The UDP socket of the protocol: any local port, broadcast on, replies read off at once
// and queued for the worker.
class TIntpSocket : public QObject {
    Q_OBJECT
public:
    // A 64 KiB buffer drops replies when hundreds of switches answer one broadcast at
    // once; the kernel caps this request at its own limit.
    static constexpr int DefaultReceiveBuffer = 1 << 20;

    explicit TIntpSocket(TIntpSocketThread* queue, QObject* parent = nullptr);

    bool IsOpen() const;
    // The receive buffer asked of the kernel (benchmarks compare sizes). A process allowed
    // to (CAP_NET_ADMIN) gets the size even beyond the kernel's rmem_max.
    void SetReceiveBufferSize(int bytes);
    int ReceiveBufferSize() const;
    // The size the kernel actually gave.
    int EffectiveReceiveBufferSize() const;
    // Datagrams the kernel dropped because the socket's buffer was full.
    uint64_t KernelDrops() const;
    quint16 LocalPort() const;
    // Destination port of requests; the switches listen on 1638.
    void SetRemotePort(quint16 port) { m_RemotePort = port; }
    // address in host order; 0xFFFFFFFF is the limited broadcast.
    bool SendTo(uint32_t address, const uint8_t* bytes, std::size_t length);

private:
    void OnReadyRead();

    TIntpSocketThread* m_Queue;
    QUdpSocket* m_Socket;
    quint16 m_RemotePort;
    int m_ReceiveBuffer = 0;
};

} // namespace Intp
