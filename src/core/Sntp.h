// Time commands: the switch's SNTP client, time zone, daylight-saving period and running
// clock (269), and writing them (270).
#pragma once

#include "SessionShapes.h"

namespace Intp {

INTP_COMMAND_TRAITS(269, 4, 24);
INTP_COMMAND_TRAITS(270, 20, 4);

// Times are seconds since 1970-01-01 00:00:00 as the switch counts them, with no time zone
// applied.
struct TPropertyBasicsSntp {
    static constexpr uint16_t GetCommand = 269;
    // The current time of a switch whose clock is not set.
    static constexpr uint32_t UnknownTime = 0xFFFFFFFF;

    bool Valid = false;
    bool Enabled = false;
    uint16_t TimeZone = 0; // index into the console's list of time zones
    uint32_t Server = 0;
    uint32_t CurrentTime = UnknownTime; // read only; never sent
    bool Daylight = false;
    uint32_t Begin = 0;
    uint32_t End = 0;
    uint32_t Offset = 0; // minutes

    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

class TSessionBasicsSntpGet : public TSessionGetRecord<269, TPropertyBasicsSntp> {
public:
    const char* Name() const override { return "SntpGet"; }
};

class TSessionBasicsSntpSet : public TSessionSetRecord<270, TPropertyBasicsSntp, TSessionBasicsSntpGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SntpSet"; }
};

} // namespace Intp
