#include "Session.h"

#include <algorithm>
#include <unordered_map>

namespace Intp {

namespace {
TSessionCallback* g_SessionCallback = nullptr;
}

// The pending sessions in start order, the same sessions per device (so a reply is matched
// without walking every pending session), and the send window with the requests waiting for
// it: one queue for devices that answer and one for the others, each in start order.
struct TEngine {
    std::list<TSession*> Pending;
    std::unordered_map<TMacAddr, std::list<TSession*>> ByDevice;
    std::list<TSession*> Waiting[2]; // by TSession::m_ToSilent
    std::size_t InFlight = 0;
    std::size_t InFlightSilent = 0;
    std::size_t Window = DefaultSendWindow;
    uint64_t Tickets = 0;
    bool Draining = false;

    static TEngine& Get()
    {
        static TEngine engine;
        return engine;
    }

    std::size_t SilentWindow() const { return std::max<std::size_t>(Window / 2, 1); }
    bool HasRoom(bool toSilent) const { return InFlight < Window && (!toSilent || InFlightSilent < SilentWindow()); }

    // Sends waiting requests while the window has room, the oldest first among the
    // queues that may send.
    void Pump()
    {
        while (!Draining) {
            TSession* next = nullptr;
            for (bool toSilent : {false, true}) {
                const auto& queue = Waiting[toSilent];
                if (!queue.empty() && HasRoom(toSilent) && (!next || queue.front()->m_Ticket < next->m_Ticket))
                    next = queue.front();
            }
            if (!next)
                return;
            Waiting[next->m_ToSilent].pop_front();
            std::vector<uint8_t> datagram = std::move(next->m_Datagram);
            next->m_Datagram = {};
            next->PutOnWire(next->m_Destination, datagram);
        }
    }
};

TMessage TMessage::FromDatagram(const uint8_t* data, std::size_t length)
{
    TMessage message;
    message.Command = ReadU16(data + OffCommand);
    message.Status = ReadU16(data + OffStatus);
    message.Length = uint16_t(length - HeaderSize);
    message.Mac = TMacAddr(data + OffMac);
    message.Payload = data + HeaderSize;
    return message;
}

void SetSessionCallback(TSessionCallback* callback) { g_SessionCallback = callback; }
TSessionCallback* SessionCallback() { return g_SessionCallback; }

TSession::~TSession()
{
    TEngine& engine = TEngine::Get();
    if (g_SessionCallback)
        g_SessionCallback->StopTimer(this);
    if (m_Pending) {
        engine.Pending.erase(m_Position);
        auto sessions = engine.ByDevice.find(m_Key);
        sessions->second.erase(m_DevicePosition);
        if (sessions->second.empty())
            engine.ByDevice.erase(sessions);
    }
    if (m_Wire == wsWaiting) {
        engine.Waiting[m_ToSilent].erase(m_WaitPosition);
    } else if (m_Wire == wsInFlight) {
        --engine.InFlight;
        if (m_ToSilent)
            --engine.InFlightSilent;
        engine.Pump();
    }
}

void TSession::Transmit(const TDevice& device, uint32_t address, std::vector<uint8_t> datagram)
{
    TEngine& engine = TEngine::Get();
    if (m_Wire == wsWaiting) {
        m_Destination = address;
        m_Datagram = std::move(datagram);
        return;
    }
    if (m_Wire == wsInFlight) {
        PutOnWire(address, datagram);
        return;
    }
    m_ToSilent = !device.Answers();
    // Whatever waits in the same queue is older; what waits in the other one has no room.
    if (engine.HasRoom(m_ToSilent) && engine.Waiting[m_ToSilent].empty()) {
        PutOnWire(address, datagram);
        return;
    }
    m_Wire = wsWaiting;
    m_Ticket = ++engine.Tickets;
    m_Destination = address;
    m_Datagram = std::move(datagram);
    m_WaitPosition = engine.Waiting[m_ToSilent].insert(engine.Waiting[m_ToSilent].end(), this);
}

void TSession::PutOnWire(uint32_t address, const std::vector<uint8_t>& datagram)
{
    if (m_Wire != wsInFlight) {
        m_Wire = wsInFlight;
        TEngine& engine = TEngine::Get();
        ++engine.InFlight;
        if (m_ToSilent)
            ++engine.InFlightSilent;
    }
    m_Destination = address;
    if (g_SessionCallback)
        g_SessionCallback->SendTo(address, datagram.data(), datagram.size());
    ArmTimer();
}

void TSession::ArmTimer()
{
    if (g_SessionCallback) {
        g_SessionCallback->StartTimer(this, 0);
        g_SessionCallback->EnableTimer(this, true);
    }
}

void SetSendWindow(std::size_t window)
{
    TEngine& engine = TEngine::Get();
    engine.Window = std::max<std::size_t>(window, 1);
    engine.Pump();
}

std::size_t SendWindow() { return TEngine::Get().Window; }
std::size_t SilentWindow() { return TEngine::Get().SilentWindow(); }
std::size_t InFlightCount() { return TEngine::Get().InFlight; }
std::size_t WaitingCount()
{
    const TEngine& engine = TEngine::Get();
    return engine.Waiting[false].size() + engine.Waiting[true].size();
}

void TSession::OnTimeout() { delete this; }

void TSession::Report(TDevice* device, uint16_t code, uint16_t status, const TResultData& data)
{
    if (g_SessionCallback)
        g_SessionCallback->Result(device, code, status, data, m_Receiver, Name());
}

bool Start(TSession* session, TDevice* device, TWizard* receiver)
{
    if (!session || !device || session->m_Pending)
        return false;
    if (!session->Send(*device)) {
        // Nothing was sent; make sure no timer outlives the failed attempt.
        if (g_SessionCallback)
            g_SessionCallback->StopTimer(session);
        return false;
    }
    session->m_Receiver = receiver;
    TEngine& engine = TEngine::Get();
    session->m_Position = engine.Pending.insert(engine.Pending.end(), session);
    session->m_Key = device->Mac();
    auto& own = engine.ByDevice[session->m_Key];
    session->m_DevicePosition = own.insert(own.end(), session);
    session->m_Pending = true;
    return true;
}

const std::list<TSession*>& PendingSessions() { return TEngine::Get().Pending; }

bool OfferToSessions(TDevice& device, const TMessage& message, uint32_t address)
{
    auto& byDevice = TEngine::Get().ByDevice;
    auto own = byDevice.find(device.Mac());
    if (own == byDevice.end())
        return false;
    // Only the first session that claims the message sees it, so the walk ends before a
    // session started meanwhile (appended at the end) could be offered it.
    for (TSession* session : own->second) {
        if (!session->Claims(device, message) || !session->AcceptsFrom(address))
            continue;
        device.SetAddress(address);
        device.SetAnswers(true);
        if (session->OnReply(device, message) == rrDone && session->IsPending())
            delete session;
        return true;
    }
    return false;
}

void DestroyPendingSessions()
{
    TEngine& engine = TEngine::Get();
    // Ending sessions must not send the waiting ones on their way out.
    engine.Draining = true;
    while (!engine.Pending.empty())
        delete engine.Pending.front();
    engine.Draining = false;
}

} // namespace Intp
