#include "Sntp.h"

namespace Intp {

void TPropertyBasicsSntp::Decode(TReader& r)
{
    Enabled = r.Bool();
    TimeZone = r.U16();
    Server = r.Ip();
    CurrentTime = r.U32();
    Daylight = r.Bool();
    Begin = r.U32();
    End = r.U32();
    Offset = r.U32();
}

void TPropertyBasicsSntp::Encode(TWriter& w) const
{
    w.Bool(Enabled);
    w.U16(TimeZone);
    w.Ip(Server);
    w.Bool(Daylight);
    w.U32(Begin);
    w.U32(End);
    w.U32(Offset);
}

} // namespace Intp
