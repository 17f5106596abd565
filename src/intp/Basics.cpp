#include "Basics.h"

namespace Intp {

TReplyResult TSessionBasicsReboot::HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>)
{
    // A rebooting switch leaves the tree until the next discovery finds it again.
    if (message.Status == stSuccess)
        device.SetAddress(0);
    Report(&device, Command, message.Status);
    return rrDone;
}

void TSessionBasicsSettingsGet::Decode(TDevice& device, TPropertyBasicsSettings& record, TReader& reader)
{
    record.KernelVersion = reader.U16();
    record.FirmwareVersion = reader.U16();
    record.HardwareVersion = reader.U32();
    bool loggedIn = reader.Bool();
    std::string name = reader.Text(SettingsTextWidth);
    record.Description = reader.Text(SettingsTextWidth);
    record.Location = reader.Text(SettingsTextWidth);
    record.Contact = reader.Text(SettingsTextWidth);
    record.OidSuffix = reader.Text(SettingsTextWidth);
    device.SetName(name);
    device.SetLoggedIn(loggedIn);
}

bool TSessionBasicsPassword::BuildRequest(TDevice&, std::vector<uint8_t>& payload)
{
    payload.clear();
    TWriter writer(payload);
    writer.Text(m_User, CredentialWidth);
    writer.Text(m_Password, CredentialWidth);
    return true;
}

bool TSessionBasicsDefault::BuildRequest(TDevice&, std::vector<uint8_t>& payload)
{
    payload.clear();
    TWriter(payload).U32(m_Flags);
    return true;
}

TReplyResult TSessionBasicsDefault::HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>)
{
    if (message.Status == stSuccess && m_Reboot)
        StartNew<TSessionBasicsReboot>(&device, nullptr);
    Report(&device, Command, message.Status);
    return rrDone;
}

} // namespace Intp

namespace Intp {

bool TSessionBasicsIPConfSet::BuildRequest(TDevice&, std::vector<uint8_t>& payload)
{
    payload.clear();
    TWriter writer(payload);
    writer.Bytes(m_Digest);
    writer.Bool(m_Settings.Dhcp);
    writer.Ip(m_Settings.Dhcp ? 0 : m_Settings.Address);
    writer.Ip(m_Settings.Netmask);
    writer.Ip(m_Settings.Gateway);
    writer.Ip(m_Settings.Dns1);
    writer.Ip(m_Settings.Dns2);
    return true;
}

TReplyResult TSessionBasicsIPConfSet::HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>)
{
    // The switch answered from its old address; it is reachable at the new one from now on,
    // so the refreshing Get (and the tree) follow it there at once.
    if (message.Status == stSuccess && !m_Settings.Dhcp && m_Settings.Address != 0)
        device.SetAddress(m_Settings.Address);
    StartNew<TSessionBasicsIPConfGet>(&device, nullptr);
    Report(&device, Command, message.Status);
    return rrDone;
}

} // namespace Intp
