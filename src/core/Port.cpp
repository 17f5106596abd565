#include "Port.h"

#include <algorithm>

namespace Intp {

uint32_t PortsMask(const TDevice& device)
{
    // Bits at or above bit P name no port; shifted in 64 bits, so that P = 32 allows all.
    return uint32_t((uint64_t(1) << std::clamp(device.PortCount(), 0, 32)) - 1);
}

namespace {

constexpr uint8_t MaxPortType = 9;
constexpr uint8_t MaxDuplex = 7;
constexpr uint8_t MaxFlow = 2;
constexpr uint8_t MaxFrameType = 3;

} // namespace

void TPortConfigEntry::Decode(TReader& r)
{
    Port = r.U8();
    Type = r.U8();
    Enabled = r.Bool();
    Duplex = r.U8();
    Flow = r.U8();
    Security = r.Bool();
}

void TPortConfigEntry::Encode(TWriter& w) const
{
    w.U8(Port);
    w.Bool(Enabled);
    w.U8(Duplex);
    w.U8(Flow);
    w.Bool(Security);
}

uint16_t TPropertyPortConfig::Check(const TDevice& device, const std::vector<Entry>&, const Entry& entry)
{
    bool fits = entry.Port < device.LogicalPortCount() && entry.Type <= MaxPortType &&
                entry.Duplex <= MaxDuplex && entry.Flow <= MaxFlow;
    return fits ? stSuccess : stListRange;
}

void TPortStatusEntry::Decode(TReader& r)
{
    Type = r.U8();
    Link = r.Bool();
    Enabled = r.Bool();
    Duplex = r.U8();
    Flow = r.Bool();
}

uint16_t TPropertyPortStatus::Check(const TDevice&, const std::vector<Entry>&, const Entry& entry)
{
    return entry.Type <= MaxPortType && entry.Duplex <= MaxDuplex ? stSuccess : stListRange;
}

void TPortLimitEntry::Decode(TReader& r)
{
    FrameType = r.U8();
    Ingress = r.U32();
    Egress = r.U32();
}

void TPortLimitEntry::Encode(TWriter& w) const
{
    w.U8(FrameType);
    w.U32(Ingress);
    w.U32(Egress);
}

uint16_t TPropertyPortLimit::Check(const TDevice&, const std::vector<Entry>&, const Entry& entry)
{
    return entry.FrameType <= MaxFrameType ? stSuccess : stListRange;
}

void TPortTrunkEntry::Decode(TReader& r)
{
    Members = r.U32();
    Lacp = r.Bool();
}

void TPortTrunkEntry::Encode(TWriter& w) const
{
    w.U32(Members);
    w.Bool(Lacp);
}

uint16_t TPropertyPortTrunk::Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry)
{
    if (!PortMaskFits(device, entry.Members))
        return stListRange;
    for (const Entry& e : earlier)
        if (e.Members & entry.Members)
            return stListOverlap;
    return stSuccess;
}

} // namespace Intp
