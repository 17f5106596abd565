#include "Snmp.h"

namespace Intp {

void TPropertySnmpCommunityEntry::Decode(TReader& r)
{
    Community = r.Text(SnmpTextWidth);
    Privilege = r.U8();
}

void TPropertySnmpCommunityEntry::Encode(TWriter& w) const
{
    w.Text(Community, SnmpTextWidth);
    w.U8(Privilege);
}

void TPropertySnmpUserEntry::Decode(TReader& r)
{
    Name = r.Text(SnmpTextWidth);
    Auth = r.Bool();
    Privacy = r.Bool();
}

void TPropertySnmpTrapEntry::Decode(TReader& r)
{
    Address = r.Ip();
    Community = r.Text(SnmpTextWidth);
    Version = r.U8();
}

void TPropertySnmpTrapEntry::Encode(TWriter& w) const
{
    w.Ip(Address);
    w.Text(Community, SnmpTextWidth);
    w.U8(Version);
}

void TSnmpUserRequest::Encode(TWriter& w) const
{
    w.Text(Name, SnmpTextWidth);
    w.Text(Auth, SnmpTextWidth);
    w.Text(Privacy, SnmpTextWidth);
}

} // namespace Intp
