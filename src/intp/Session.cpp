#include "Session.h"

#include <algorithm>

namespace Intp {

namespace {

TSessionCallback* g_SessionCallback = nullptr;

std::list<TSession*>& Pending()
{
    static std::list<TSession*> pending;
    return pending;
}

} // namespace

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
    if (g_SessionCallback)
        g_SessionCallback->StopTimer(this);
    if (m_Pending)
        Pending().erase(m_Position);
}

void TSession::OnTimeout() { delete this; }

void TSession::Report(TDevice* device, uint16_t code, uint16_t status, void* data)
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
    auto& pending = Pending();
    session->m_Position = pending.insert(pending.end(), session);
    session->m_Pending = true;
    return true;
}

const std::list<TSession*>& PendingSessions() { return Pending(); }

bool OfferToSessions(TDevice& device, const TMessage& message)
{
    auto& pending = Pending();
    // Sessions started while the message is handled join the end of the list and are
    // not offered this message.
    std::size_t count = pending.size();
    auto it = pending.begin();
    for (std::size_t i = 0; i < count && it != pending.end(); ++i) {
        TSession* session = *it;
        ++it;
        TReplyResult result = session->OnReply(device, message);
        if (result == rrNotMine)
            continue;
        if (result == rrDone && session->IsPending())
            delete session;
        return true;
    }
    return false;
}

void DestroyPendingSessions()
{
    auto& pending = Pending();
    while (!pending.empty())
        delete pending.front();
}

} // namespace Intp
