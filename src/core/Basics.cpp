#include "Basics.h"

#include "IntpCore.h"

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
    payload.assign(m_Digest.begin(), m_Digest.end());
    TWriter writer(payload);
    writer.Bool(m_Settings.Dhcp);
    writer.Ip(m_Settings.Address);
    writer.Ip(m_Settings.Netmask);
    writer.Ip(m_Settings.Gateway);
    writer.Ip(m_Settings.Dns1);
    writer.Ip(m_Settings.Dns2);
    return true;
}

TReplyResult TSessionBasicsIPConfSet::HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>)
{
    // The switch answered from its old address and takes the new one afterwards, late or
    // not at all. The refreshing Get asks where it should be now (with DHCP, wherever that
    // is: the limited broadcast with its MAC in the header) and the device keeps its
    // address until an answer comes from the new one.
    uint32_t at = device.Address();
    if (message.Status == stSuccess && m_Settings.Dhcp)
        at = LimitedBroadcast;
    else if (message.Status == stSuccess && m_Settings.Address != 0)
        at = m_Settings.Address;
    StartNew<TSessionBasicsIPConfGetAt>(&device, Receiver(), at);
    Report(&device, Command, message.Status);
    return rrDone;
}

} // namespace Intp
