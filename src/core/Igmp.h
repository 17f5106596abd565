// IGMP snooping commands (0x0600 to 0x0602): snooping and the query function, and the
// multicast groups the switch has learned, in datagrams of 64 groups. The Set reads the
// settings again before it reports.
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(1536, 4, 2);
INTP_COMMAND_TRAITS(1537, 2, 4);
INTP_COMMAND_TRAITS(1538, 4, 4);

enum TIgmpQueryMode : uint8_t { iqDisable, iqEnable, iqAuto, iqCount };

// A query mode without a meaning gives 0x1100.
struct TPropertyIgmp {
    static constexpr uint16_t GetCommand = 1536;
    bool Valid = false;
    bool Snooping = false;
    uint8_t QueryMode = iqDisable;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
    static uint16_t Check(const TPropertyIgmp& record) { return record.QueryMode < iqCount ? stSuccess : stListCount; }
};

inline constexpr TValueName IgmpQueryNames[] = {{"Disable", "disable"}, {"Enable", "enable"}, {"Auto", "auto"}};

struct TPropertyIgmpTableEntry {
    uint32_t Members = 0; // bit i: physical port i
    uint32_t Group = 0;   // multicast address, host order
    uint16_t Vid = 0;
    bool operator==(const TPropertyIgmpTableEntry&) const = default;
    void Decode(TReader& r);
};

// The learned groups after 4 uninterpreted bytes, 64 a datagram; every entry is taken.
struct TPropertyIgmpTable {
    static constexpr uint16_t GetCommand = 1538;
    using Entry = TPropertyIgmpTableEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 10;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 64;
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<Entry> Entries;
};

class TSessionIgmpGet : public TSessionGetRecord<1536, TPropertyIgmp> {
public:
    const char* Name() const override { return "IgmpGet"; }
};

class TSessionIgmpSet : public TSessionSetRecord<1537, TPropertyIgmp, TSessionIgmpGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "IgmpSet"; }
};

class TSessionIgmpTable : public TSessionListGet<1538, TPropertyIgmpTable> {
public:
    const char* Name() const override { return "IgmpTblGet"; }
};

} // namespace Intp
