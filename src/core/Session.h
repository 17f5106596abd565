// The session engine: one session is one request/reply exchange with one device for one
// command code, ending with exactly one status report.
#pragma once

#include "IntpHeader.h"
#include "Device.h"
#include "MacAddr.h"

#include <cstdint>
#include <list>
#include <span>
#include <utility>
#include <vector>

namespace Intp {

enum TReplyResult { rrDone = 0, rrKeep = 1, rrNotMine = 2 };

// A received message: header fields in host order, Length replaced by the received
// payload length (datagram size minus the header).
struct TMessage {
    uint16_t Command = 0;
    uint16_t Status = 0;
    uint16_t Length = 0;
    TMacAddr Mac;
    const uint8_t* Payload = nullptr;

    std::span<const uint8_t> PayloadSpan() const { return {Payload, Length}; }
    // Parses a datagram of at least HeaderSize bytes.
    static TMessage FromDatagram(const uint8_t* data, std::size_t length);
};

class TSession;
struct TTransferProgress;

// What a result carries besides its command and status: a transfer's progress (its reports
// while it runs, and its end), or the session whose time ran out. Valid during the call only.
struct TResultData {
    const TTransferProgress* Progress = nullptr;
    const TSession* TimedOut = nullptr;
};

// Receives the results of sessions it started.
class TWizard {
public:
    virtual ~TWizard() = default;
    virtual void OnResult(TDevice* device, uint16_t command, uint16_t status, const TResultData& data) = 0;
};

// Timers, sending and result fan-out; implemented by the main window (and by tests).
class TSessionCallback {
public:
    virtual ~TSessionCallback() = default;
    virtual void StartTimer(TSession* session, unsigned interval) = 0;
    virtual void StopTimer(TSession* session) = 0;
    virtual void EnableTimer(TSession* session, bool on) = 0;
    virtual void SendTo(uint32_t address, const uint8_t* bytes, std::size_t length) = 0;
    virtual void Result(TDevice* device, uint16_t code, uint16_t status, const TResultData& data,
                        TWizard* receiver, const char* name) = 0;
    virtual void SetInterval(TSession* session, unsigned interval) = 0;
};

void SetSessionCallback(TSessionCallback* callback);
TSessionCallback* SessionCallback();

// 0 stands for the default reply time.
constexpr unsigned DefaultInterval = 60000;
inline unsigned EffectiveInterval(unsigned interval) { return interval ? interval : DefaultInterval; }

class TSession {
public:
    TSession() = default;
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // Builds the request, sends it and arms the reply timer; false when nothing was sent.
    virtual bool Send(TDevice& device) = 0;
    // True when the message is this session's reply (the dispatch moves the device to the
    // sender's address only then).
    virtual bool Claims(const TDevice& device, const TMessage& message) const = 0;
    virtual TReplyResult OnReply(TDevice& device, const TMessage& message) = 0;
    // Stops the timer and leaves the pending list.
    virtual ~TSession();
    // Default: the session ends.
    virtual void OnTimeout();
    virtual const char* Name() const = 0;

    TWizard* Receiver() const { return m_Receiver; }
    bool IsPending() const { return m_Pending; }
    // Built and waiting for a free place in the send window: not on the wire yet.
    bool IsWaiting() const { return m_Wire == wsWaiting; }
    // A request sent to one address is answered from there; any other sender naming the
    // device's MAC is someone else. Only a request to the limited broadcast (a switch
    // whose address does not fit ours) may be answered from anywhere.
    bool AcceptsFrom(uint32_t address) const
    {
        return m_Destination == LimitedBroadcast || address == m_Destination;
    }

    friend bool Start(TSession* session, TDevice* device, TWizard* receiver);
    friend struct TEngine;

protected:
    void Report(TDevice* device, uint16_t code, uint16_t status, const TResultData& data = {});
    void SetReceiver(TWizard* receiver) { m_Receiver = receiver; }
    // Sends the datagram now, or as soon as the send window has room for a request to this
    // device; the reply timer is armed when it goes out. A session already on the wire sends
    // again at once (resends).
    void Transmit(const TDevice& device, uint32_t address, std::vector<uint8_t> datagram);
    // Starts the reply timer; called when the request goes out.
    virtual void ArmTimer();

private:
    enum TWireState { wsNone, wsWaiting, wsInFlight };
    void PutOnWire(uint32_t address, const std::vector<uint8_t>& datagram);

    TWizard* m_Receiver = nullptr;
    bool m_Pending = false;
    std::list<TSession*>::iterator m_Position;
    TMacAddr m_Key;                                 // the device it was started for
    std::list<TSession*>::iterator m_DevicePosition;
    TWireState m_Wire = wsNone;
    bool m_ToSilent = false;                        // for a device that did not answer (yet)
    uint64_t m_Ticket = 0;                          // start order among the waiting
    std::list<TSession*>::iterator m_WaitPosition;
    uint32_t m_Destination = 0;                     // where the request went, or will go
    std::vector<uint8_t> m_Datagram;                // while waiting
};

// Sends the session; on success the engine owns it and it joins the pending list.
// On failure the caller still owns it.
bool Start(TSession* session, TDevice* device, TWizard* receiver);

// Creates a session, starts it and destroys it again when it could not be started.
template <typename S, typename... Args>
bool StartNew(TDevice* device, TWizard* receiver, Args&&... args)
{
    auto* session = new S(std::forward<Args>(args)...);
    if (Start(session, device, receiver))
        return true;
    delete session;
    return false;
}

// The sessions started and not yet finished, oldest first.
const std::list<TSession*>& PendingSessions();
// Offers a message from address to the device's pending sessions, oldest first, until one
// claims it and accepts the sender; the device takes the sender's address only then. True
// when one took it.
bool OfferToSessions(TDevice& device, const TMessage& message, uint32_t address);

// At most this many requests are on the wire without their session having ended; later
// ones wait in start order. Keeps a burst of thousands of requests from overrunning the
// switches' and our own receive buffers. Requests to devices that have not answered, or
// whose last request timed out, hold at most half of it: each holds its place until its
// time-out, and however many of them there are (switches gone silent, or devices a flood
// of forged discovery replies made), the switches that answer keep the other half.
constexpr std::size_t DefaultSendWindow = 128;
void SetSendWindow(std::size_t window);
std::size_t SendWindow();
// The part of the window that requests to devices that do not answer may hold.
std::size_t SilentWindow();
// Requests on the wire, and built requests waiting for room.
std::size_t InFlightCount();
std::size_t WaitingCount();
// Destroys every pending session without a report (shutdown).
void DestroyPendingSessions();

// Request and reply sizes of each command; every command specialises it.
template <uint16_t N>
struct TCommandTraits;

#define INTP_COMMAND_TRAITS(code, request, minReply)                                     \
    template <>                                                                          \
    struct TCommandTraits<code> {                                                        \
        static constexpr std::size_t RequestLength = request;                            \
        static constexpr std::size_t MinReply = minReply;                                \
    }

template <uint16_t N>
class TSessionGeneral : public TSession {
public:
    static constexpr uint16_t Command = N;
    static constexpr std::size_t RequestLength = TCommandTraits<N>::RequestLength;
    static constexpr std::size_t MinReply = TCommandTraits<N>::MinReply;

    bool Send(TDevice& device) override
    {
        m_Target = device.Mac();
        m_TargetSerial = device.Serial();
        std::vector<uint8_t> payload(RequestLength, 0);
        if (!BuildRequest(device, payload))
            return false;
        std::vector<uint8_t> datagram(HeaderSize + payload.size());
        WriteHeader(datagram.data(), N, 0, uint16_t(payload.size()), m_Target.Data());
        std::copy(payload.begin(), payload.end(), datagram.begin() + HeaderSize);
        Transmit(device, Destination(device), std::move(datagram));
        return true;
    }

    bool Claims(const TDevice& device, const TMessage& message) const override
    {
        // A session started for a device that has since been destroyed and made again
        // (a new discovery) is nobody's: it must not take the new device's replies.
        return message.Command == N && !m_Target.IsNull() && device.Mac() == m_Target &&
               device.Serial() == m_TargetSerial && !IsWaiting();
    }

    TReplyResult OnReply(TDevice& device, const TMessage& message) override
    {
        if (!Claims(device, message))
            return rrNotMine;
        if (auto* cb = SessionCallback())
            cb->EnableTimer(this, false);
        if (message.Length < MinReply) {
            Report(&device, N, stShortReply);
            return rrDone;
        }
        if (message.Status == stNotLoggedIn) {
            device.SetLoggedIn(false);
            Report(&device, N, stNotLoggedIn);
            return rrDone;
        }
        return HandleReply(device, message, message.PayloadSpan());
    }

    void OnTimeout() override
    {
        // Nothing to say when the device left the registry, even if a new discovery has
        // made it again since: the new one was never asked.
        TDevice* device = Registry::Find(m_Target, false);
        if (device && device->Serial() == m_TargetSerial) {
            device->SetAnswers(false);
            Report(device, N, stTimeout, {.TimedOut = this});
        }
        delete this;
    }

    const TMacAddr& Target() const { return m_Target; }

protected:
    // Where the request goes: the device's address, unless the command says otherwise.
    virtual uint32_t Destination(TDevice& device) const { return device.Address(); }

    // Writes the request payload; the buffer holds RequestLength zero bytes and may be
    // resized by requests of variable length. False cancels the send.
    virtual bool BuildRequest(TDevice&, std::vector<uint8_t>&) { return true; }

    virtual TReplyResult HandleReply(TDevice& device, const TMessage& message,
                                     std::span<const uint8_t>)
    {
        Report(&device, N, message.Status);
        return rrDone;
    }

    // For decoders that wait for further datagrams.
    void KeepWaiting()
    {
        if (auto* cb = SessionCallback())
            cb->EnableTimer(this, true);
    }

    TMacAddr m_Target;
    uint64_t m_TargetSerial = 0;
};

} // namespace Intp
