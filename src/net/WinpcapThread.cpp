#include "WinpcapThread.h"

#include "core/NetQueries.h"

#include <poll.h>

#include <vector>

namespace {

// How long the worker waits for frames before it looks at the capture again.
constexpr int PollMs = 100;
// Answers read under the lock at a time.
constexpr int Batch = 64;

} // namespace

TWinpcapThread::TWinpcapThread(QObject* parent) : QThread(parent)
{
    qRegisterMetaType<TMacAddr>("TMacAddr");
}

TWinpcapThread::~TWinpcapThread()
{
    m_Ending = true;
    {
        std::lock_guard lock(m_Lock);
        m_Capture.Close();
    }
    m_Wake.notify_all();
    wait();
}

TWinpcapThread::TResult TWinpcapThread::StartScan(const Scan::TInterface* interface, bool promiscuous)
{
    if (!interface)
        return srNoInterface;
    TMacAddr adapter;
    if (!GetAdapterMac(interface->Name, adapter))
        return srNoMac;
    if (interface->Ipv4.empty() || interface->Ipv4.front() == 0)
        return srNoAddress;
    {
        std::lock_guard lock(m_Lock);
        switch (m_Capture.Open(interface->Name, promiscuous, m_Error)) {
        case Scan::TCapture::opNoPermission: return srNoPermission;
        case Scan::TCapture::opFailed: return srOpenFailed;
        case Scan::TCapture::opOk: break;
        }
        ++m_Generation;
        m_Adapter = adapter;
        if (!m_Capture.Send(Scan::BuildFrame(adapter, interface->Ipv4.front()), m_Error))
            return srSendFailed;
    }
    if (!isRunning())
        start();
    m_Wake.notify_all();
    return srOk;
}

void TWinpcapThread::StopScan()
{
    std::lock_guard lock(m_Lock);
    m_Capture.Close();
}

bool TWinpcapThread::IsCapturing()
{
    std::lock_guard lock(m_Lock);
    return m_Capture.IsOpen();
}

void TWinpcapThread::run()
{
    std::vector<uint8_t> frame;
    std::vector<Scan::TReply> replies;
    while (!m_Ending) {
        int descriptor = -1;
        uint64_t generation = 0;
        {
            std::unique_lock lock(m_Lock);
            m_Wake.wait(lock, [this] { return m_Ending || m_Capture.IsOpen(); });
            if (m_Ending)
                break;
            descriptor = m_Capture.Descriptor();
            generation = m_Generation;
        }
        // Waiting happens outside the lock, so StartScan and StopScan never wait for it.
        pollfd waiting{descriptor, POLLIN, 0};
        if (poll(&waiting, 1, PollMs) <= 0)
            continue;
        replies.clear();
        {
            std::lock_guard lock(m_Lock);
            if (generation != m_Generation || !m_Capture.IsOpen())
                continue;
            for (int i = 0; i < Batch && m_Capture.Next(frame); ++i)
                if (auto reply = Scan::ParseReply(frame, m_Adapter))
                    replies.push_back(*reply);
        }
        for (const Scan::TReply& reply : replies)
            HandOver(reply);
    }
}

void TWinpcapThread::HandOver(const Scan::TReply& reply)
{
    QMetaObject::invokeMethod(
        this,
        [this, reply] {
            emit ReplyReceived(reply.Mac, reply.Address);
            m_Taken.release();
        },
        Qt::QueuedConnection);
    while (!m_Taken.tryAcquire(1, PollMs))
        if (m_Ending)
            return;
}
