#include "Monitor.h"

namespace Intp {

void TPropertyMonitorMacEntry::Decode(TReader& r)
{
    Port = r.U8();
    Mac = r.Mac();
    Static = r.Bool();
}

uint16_t TPropertyMonitorMac::Check(const TDevice& device, const std::vector<Entry>&, const Entry& e)
{
    return e.Port >= device.LogicalPortCount() ? stListCount : stSuccess;
}

void TPropertyMonitorPortEntry::Decode(TReader& r)
{
    for (uint32_t& counter : Counters)
        counter = r.U32();
}

void TPropertyMonitorMirror::Decode(TReader& r)
{
    DestRx = r.U8();
    DestTx = r.U8();
    SrcRx = r.U32();
    SrcTx = r.U32();
}

void TPropertyMonitorMirror::Encode(TWriter& w) const
{
    w.U8(DestRx);
    w.U8(DestTx);
    w.U32(SrcRx);
    w.U32(SrcTx);
}

uint16_t TPropertyMonitorMirror::Check(const TDevice& device, const TPropertyMonitorMirror& r)
{
    return r.DestRx >= device.PortCount() || r.DestTx >= device.PortCount() ? stListCount : stSuccess;
}

void TPropertyMonitorEventEntry::Decode(TReader& r)
{
    First = r.Text(EventTextWidth);
    Second = r.Text(EventTextWidth);
}

void TPropertyLldp::Decode(TReader& r)
{
    Enabled = r.Bool();
    r.Skip(1);
    Interval = r.U16();
}

void TPropertyLldp::Encode(TWriter& w) const
{
    w.Bool(Enabled);
    w.U8(0);
    w.U16(Interval);
}

} // namespace Intp
