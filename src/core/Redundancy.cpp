#include "Redundancy.h"

namespace Intp {

void TPropertyRedundancySring::Decode(TReader& r)
{
    Enabled = r.Bool();
    Master = r.Bool();
    RingPort1 = r.U8();
    RingPort2 = r.U8();
    Coupling = r.Bool();
    ControlPort = r.U8();
    CouplingPort = r.U8();
    Homing = r.Bool();
    HomingPort = r.U8();
}

void TPropertyRedundancySring::Encode(TWriter& w) const
{
    w.Bool(Enabled);
    if (!Enabled) {
        w.Zero(8);
        return;
    }
    w.Bool(Master);
    w.U8(RingPort1);
    w.U8(RingPort2);
    w.Bool(Coupling);
    w.U8(Coupling ? ControlPort : 0);
    w.U8(Coupling ? CouplingPort : 0);
    w.Bool(Homing);
    w.U8(Homing ? HomingPort : 0);
}

void TPropertyRedundancyRstpEntry::Decode(TReader& r)
{
    PathCost = r.U32();
    Priority = r.U8();
    P2p = r.U8();
    Edge = r.Bool();
    NonStp = r.Bool();
}

void TPropertyRedundancyRstpEntry::Encode(TWriter& w) const
{
    w.U32(PathCost);
    w.U8(Priority);
    w.U8(P2p);
    w.Bool(Edge);
    w.Bool(NonStp);
}

void TPropertyRedundancyRstp::DecodeHead(TReader& r)
{
    Enabled = r.Bool();
    BridgePriority = r.U16();
    MaxAge = r.U8();
    Hello = r.U8();
    ForwardDelay = r.U8();
}

void TPropertyRedundancyRstp::EncodeHead(TWriter& w) const
{
    w.Bool(Enabled);
    w.U16(BridgePriority);
    w.U8(MaxAge);
    w.U8(Hello);
    w.U8(ForwardDelay);
}

void TPropertyRedundancyRstpInfoEntry::Decode(TReader& r)
{
    PathCost = r.U32();
    Priority = r.U8();
    P2p = r.U8();
    Edge = r.Bool();
    Neighbour = r.Bool();
    State = r.U8();
    Role = r.U8();
}

void TPropertyRedundancyRstpInfo::DecodeHead(TReader& r)
{
    Running = r.Bool();
    for (uint8_t& byte : RootBridgeId)
        byte = r.U8();
    RootPriority = r.U16();
    RootPort = r.U8();
    RootPathCost = r.U32();
    MaxAge = r.U8();
    Hello = r.U8();
    ForwardDelay = r.U8();
}

void TPropertyRedundancy::Decode(TReader& r)
{
    Flag = r.Bool();
    Protocol = r.U8();
}

} // namespace Intp
