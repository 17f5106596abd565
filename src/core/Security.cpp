#include "Security.h"

namespace Intp {

void TPropertySecurity8021x::Decode(TReader& r)
{
    Enabled = r.Bool();
    ServerAddress = r.Ip();
    ServerPort = r.U16();
    AccountingPort = r.U16();
    SharedKey = r.Text(SecurityTextWidth);
    NasId = r.Text(SecurityTextWidth);
    QuietPeriod = r.U16();
    TxPeriod = r.U16();
    SupplicantTimeout = r.U16();
    ServerTimeout = r.U16();
    MaxRequests = r.U8();
    ReAuthPeriod = r.U32();
}

void TPropertySecurity8021x::Encode(TWriter& w) const
{
    w.Bool(Enabled);
    w.Ip(ServerAddress);
    w.U16(ServerPort);
    w.U16(AccountingPort);
    w.Text(SharedKey, SecurityTextWidth);
    w.Text(NasId, SecurityTextWidth);
    w.U16(QuietPeriod);
    w.U16(TxPeriod);
    w.U16(SupplicantTimeout);
    w.U16(ServerTimeout);
    w.U8(MaxRequests);
    w.U32(ReAuthPeriod);
}

uint16_t TPropertySecurity8021xPort::Check(const TDevice&, const std::vector<uint8_t>&, const uint8_t& mode)
{
    return mode <= amDisable ? stSuccess : stListCount;
}

void TPropertySecurityIp::DecodeHead(TReader& r)
{
    Enabled = r.Bool();
    Management = r.U32();
}

void TPropertySecurityIp::EncodeHead(TWriter& w) const
{
    w.Bool(Enabled);
    w.U32(Management);
}

void TPropertySecurityPortEntry::Decode(TReader& r)
{
    Port = r.U8();
    Mac = r.Mac();
}

void TPropertySecurityPortEntry::Encode(TWriter& w) const
{
    w.U8(Port);
    w.Mac(Mac);
}

uint16_t TPropertySecurityPort::Check(const TDevice& device, const std::vector<Entry>&, const Entry& entry)
{
    return entry.Port < device.LogicalPortCount() ? stSuccess : stListCount;
}

} // namespace Intp
