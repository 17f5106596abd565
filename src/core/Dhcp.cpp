#include "Dhcp.h"

namespace Intp {

void TPropertyBasicsDhcp::Decode(TReader& r)
{
    Enabled = r.Bool();
    Start = r.Ip();
    End = r.Ip();
    Mask = r.Ip();
    Gateway = r.Ip();
    Dns = r.Ip();
    Lease = r.U32();
}

void TPropertyBasicsDhcp::Encode(TWriter& w) const
{
    w.Bool(Enabled);
    w.Ip(Start);
    w.Ip(End);
    w.Ip(Mask);
    w.Ip(Gateway);
    w.Ip(Dns);
    w.U32(Lease);
}

void TPropertyBasicsDhcpClient::Decode(TReader& r)
{
    Address = r.Ip();
    ClientId = r.Mac();
    Type = r.U16();
    State = r.U16();
    Lease = r.U32();
}

uint16_t TPropertyBasicsDhcpEntry::Check(const TDevice&, const std::vector<Entry>&, const Entry& entry)
{
    return entry.Type >= dtCount || entry.State >= dsCount ? stListCount : stSuccess;
}

} // namespace Intp
