#include "IntpCore.h"

#include <openssl/evp.h>

#include <algorithm>

namespace Intp {

TDigest CredentialDigest(std::string_view user, std::string_view password)
{
    uint8_t fields[2 * CredentialWidth] = {};
    std::copy_n(user.begin(), std::min(user.size(), CredentialWidth), fields);
    std::copy_n(password.begin(), std::min(password.size(), CredentialWidth), fields + CredentialWidth);
    TDigest digest{};
    unsigned int size = 0;
    EVP_Digest(fields, sizeof fields, digest.data(), &size, EVP_md5(), nullptr);
    return digest;
}

TSessionIntpFind& TSessionIntpFind::Instance()
{
    static TSessionIntpFind* find = [] {
        auto* session = new TSessionIntpFind;
        SetDiscoveryHook(session);
        return session;
    }();
    return *find;
}

void TSessionIntpFind::Discover(const std::vector<TIpMask>& targets, TWizard* receiver)
{
    uint8_t request[HeaderSize + ReservedPayload] = {};
    WriteHeader(request, 0, 0, ReservedPayload, nullptr);
    m_Answered.clear();
    m_Open = !targets.empty();
    if (auto* cb = SessionCallback()) {
        cb->StopTimer(this);
        if (m_Open) {
            cb->StartTimer(this, ReplyWindow);
            cb->EnableTimer(this, true);
        }
        for (const auto& target : targets)
            cb->SendTo(target.Broadcast(), request, sizeof request);
    }
    SetReceiver(receiver);
}

void TSessionIntpFind::OnTimeout()
{
    m_Open = false;
    m_Answered.clear();
    if (auto* cb = SessionCallback())
        cb->StopTimer(this);
}

void TSessionIntpFind::OnDiscoveryReply(const TMessage& message, uint32_t address)
{
    if (!m_Open || m_Answered.contains(message.Mac))
        return;
    // A reply that cannot make a device is reported only for a switch the console knows.
    if (message.Length < TCommandTraits<0>::MinReply || message.Status != stSuccess) {
        if (TDevice* known = Registry::Find(message.Mac, false))
            Report(known, 0, message.Length < TCommandTraits<0>::MinReply ? stShortReply : message.Status);
        return;
    }
    if (m_Answered.size() >= MaxDevices)
        return;
    m_Answered.insert(message.Mac);
    TDevice* device = Registry::Find(message.Mac, true);
    TReader reader(message.PayloadSpan());
    device->SetType(TypeOfKey(reader.U32()));
    // The main window puts the device into its tree on this change, so the type comes first.
    device->SetAddress(address);
    Report(device, 0, stSuccess);
}

TSessionIntpLogin::TSessionIntpLogin(std::string_view user, std::string_view password)
    : m_Digest(CredentialDigest(user, password))
{
}

TSessionIntpLogin* TSessionIntpLogin::Logout() { return new TSessionIntpLogin(); }

bool TSessionIntpLogin::BuildRequest(TDevice&, std::vector<uint8_t>& payload)
{
    std::copy(m_Digest.begin(), m_Digest.end(), payload.begin());
    return true;
}

TReplyResult TSessionIntpLogin::HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>)
{
    // After a logout the console is not logged in, whatever the switch answered.
    device.SetLoggedIn(!m_Logout && message.Status == stSuccess);
    Report(&device, Command, message.Status);
    return rrDone;
}

void TSessionIntpPing2::ArmTimer()
{
    if (auto* cb = SessionCallback()) {
        cb->StartTimer(this, m_Interval);
        cb->EnableTimer(this, true);
    }
}

void TSessionIntpSipGet::Decode(TDevice& device, TPropertyIntpSip& record, TReader& reader)
{
    record.Enabled = reader.Bool();
    bool warning = reader.Bool();
    record.Value = reader.U16();
    warning ? device.SetFlags(TDevice::flWarning) : device.ClearFlags(TDevice::flWarning);
}

} // namespace Intp
