#include "Igmp.h"

namespace Intp {

void TPropertyIgmp::Decode(TReader& r)
{
    Snooping = r.Bool();
    QueryMode = r.U8();
}

void TPropertyIgmp::Encode(TWriter& w) const
{
    w.Bool(Snooping);
    w.U8(QueryMode);
}

void TPropertyIgmpTableEntry::Decode(TReader& r)
{
    Members = r.U32();
    Group = r.Ip();
    Vid = r.U16();
}

} // namespace Intp
