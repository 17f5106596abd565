#include "Warning.h"

namespace Intp {

void TPropertyWarningFault::Decode(TReader& r)
{
    System = r.U32();
    LinkDown = r.U32();
}

void TPropertyWarningFault::Encode(TWriter& w) const
{
    w.U32(System);
    w.U32(LinkDown);
}

void TPropertyWarningSyslog::Decode(TReader& r)
{
    Mode = r.U8();
    Server = r.U32();
}

void TPropertyWarningSyslog::Encode(TWriter& w) const
{
    w.U8(Mode);
    w.U32(Server);
}

uint16_t TPropertyWarningSyslog::Check(const TPropertyWarningSyslog& record)
{
    return record.Mode > 4 ? stListCount : stSuccess;
}

void TPropertyWarningSmtp::DecodeHead(TReader& r)
{
    Enabled = r.Bool();
    Server = r.U32();
    Sender = r.Text(TextSize);
    Subject = r.Text(TextSize);
    Account = r.Text(TextSize);
}

void TPropertyWarningSmtp::EncodeHead(TWriter& w) const
{
    w.Bool(Enabled);
    w.U32(Server);
    w.Text(Sender, TextSize);
    w.Text(Subject, TextSize);
    w.Text(Account, TextSize);
}

void TPropertyWarningEvent::Decode(TReader& r)
{
    for (uint32_t* mask : {&SyslogSystem, &SyslogLinkUp, &SyslogLinkDown, &SmtpSystem, &SmtpLinkUp, &SmtpLinkDown})
        *mask = r.U32();
}

void TPropertyWarningEvent::Encode(TWriter& w) const
{
    for (uint32_t mask : {SyslogSystem, SyslogLinkUp, SyslogLinkDown, SmtpSystem, SmtpLinkUp, SmtpLinkDown})
        w.U32(mask);
}

void TPropertyWarningEvent::ClipPorts(const TDevice& device)
{
    for (uint32_t* mask : {&SyslogLinkUp, &SyslogLinkDown, &SmtpLinkUp, &SmtpLinkDown})
        *mask &= PortsMask(device);
}

// The masks are meant for a whole selection: a switch with fewer ports than they name
// still gets its system alarms and events, for the ports it has.
bool TSessionWarningFaultSet::BuildRequest(TDevice& device, std::vector<uint8_t>& payload)
{
    m_Record.LinkDown &= PortsMask(device);
    return TSessionSetRecord::BuildRequest(device, payload);
}

bool TSessionWarningSmtpSet::BuildRequest(TDevice& device, std::vector<uint8_t>& payload)
{
    if (m_Record.Entries.empty() || !CountFits<TPropertyWarningSmtp>(device, m_Record.Entries.size()))
        return false;
    payload.clear();
    TWriter writer(payload);
    m_Record.EncodeHead(writer);
    writer.Text(m_Password, TPropertyWarningSmtp::PasswordSize);
    for (const auto& recipient : m_Record.Entries)
        TPropertyWarningSmtp::EncodeEntry(writer, recipient);
    return true;
}

bool TSessionWarningEventSet::BuildRequest(TDevice& device, std::vector<uint8_t>& payload)
{
    m_Record.ClipPorts(device);
    return TSessionSetRecord::BuildRequest(device, payload);
}

} // namespace Intp
