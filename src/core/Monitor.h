// Monitor and diagnostic commands (0x0A00 to 0x0A07) and LLDP (0x0B00, 0x0B01): the learned
// MAC address table, each physical port's frame counters, port mirroring, the switch's
// event log and the LLDP agent. Clearing a table or applying a setting re-reads it.
#pragma once

#include "SessionShapes.h"

#include <array>
#include <string>
#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(2560, 4, 4);
INTP_COMMAND_TRAITS(2561, 4, 4);
INTP_COMMAND_TRAITS(2562, 4, 1);
INTP_COMMAND_TRAITS(2563, 4, 4);
INTP_COMMAND_TRAITS(2564, 4, 10);
INTP_COMMAND_TRAITS(2565, 10, 4);
INTP_COMMAND_TRAITS(2566, 4, 4);
INTP_COMMAND_TRAITS(2567, 4, 4);
INTP_COMMAND_TRAITS(2816, 4, 4);
INTP_COMMAND_TRAITS(2817, 4, 4);

// One learned or static address of the MAC table, on a logical port (ports, then trunks).
struct TPropertyMonitorMacEntry {
    int32_t Port = 0;
    TMacAddr Mac;
    bool Static = false;
    bool operator==(const TPropertyMonitorMacEntry&) const = default;
    void Decode(TReader& r);
};

// The MAC table, in datagrams of 128 entries after 4 uninterpreted bytes. Entries stay in
// the order they arrived; a port at or beyond the logical port count empties the table
// and gives 0x1100.
struct TPropertyMonitorMac {
    static constexpr uint16_t GetCommand = 2560;
    using Entry = TPropertyMonitorMacEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 8;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 128;
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<Entry> Entries;
    static uint16_t Check(const TDevice& device, const std::vector<Entry>&, const Entry& e);
};

// The six frame counters of a physical port, in wire order.
enum TMonitorCounter { mcTxGood, mcTxBad, mcRxGood, mcRxBad, mcTxAbort, mcCollision, mcCount };

struct TPropertyMonitorPortEntry {
    std::array<uint32_t, mcCount> Counters{};
    bool operator==(const TPropertyMonitorPortEntry&) const = default;
    void Decode(TReader& r);
};

// One entry per physical port, no head; any other number of whole entries gives 0x1100.
struct TPropertyMonitorPort {
    static constexpr uint16_t GetCommand = 2562;
    using Entry = TPropertyMonitorPortEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 24;
    static constexpr TListCount Count = TListCount::Ports;
    bool Valid = false;
    std::vector<Entry> Entries;
};

// Where mirrored frames go (physical port indexes) and the ports mirrored, per direction
// (bit i: physical port i).
struct TPropertyMonitorMirror {
    static constexpr uint16_t GetCommand = 2564;
    bool Valid = false;
    uint8_t DestRx = 0;
    uint8_t DestTx = 0;
    uint32_t SrcRx = 0;
    uint32_t SrcTx = 0;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
    // A destination port the device lacks gives 0x1100.
    static uint16_t Check(const TDevice& device, const TPropertyMonitorMirror& r);
};

constexpr std::size_t EventTextWidth = 128;

struct TPropertyMonitorEventEntry {
    std::string First;
    std::string Second;
    bool operator==(const TPropertyMonitorEventEntry&) const = default;
    void Decode(TReader& r);
};

// The event log, in datagrams of 5 entries after 4 uninterpreted bytes.
struct TPropertyMonitorEvent {
    static constexpr uint16_t GetCommand = 2566;
    using Entry = TPropertyMonitorEventEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 2 * EventTextWidth;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 5;
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<Entry> Entries;
};

struct TPropertyLldp {
    static constexpr uint16_t GetCommand = 2816;
    bool Valid = false;
    bool Enabled = false;
    uint16_t Interval = 30;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

class TSessionMonitorMacGet : public TSessionListGet<2560, TPropertyMonitorMac> {
public:
    const char* Name() const override { return "MacTableGet"; }
};

class TSessionMonitorMacClear : public TSessionSetBase<2561, TSessionMonitorMacGet> {
public:
    const char* Name() const override { return "MacTableClear"; }
};

class TSessionMonitorPortGet : public TSessionListGet<2562, TPropertyMonitorPort> {
public:
    const char* Name() const override { return "StatiticsGet"; }
};

class TSessionMonitorPortClear : public TSessionSetBase<2563, TSessionMonitorPortGet> {
public:
    const char* Name() const override { return "StatiticsClear"; }
};

class TSessionMonitorMirrorGet : public TSessionGetRecord<2564, TPropertyMonitorMirror> {
public:
    const char* Name() const override { return "MirrorGet"; }
};

class TSessionMonitorMirrorSet : public TSessionSetRecord<2565, TPropertyMonitorMirror, TSessionMonitorMirrorGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "MirrorSet"; }
};

class TSessionMonitorEventGet : public TSessionListGet<2566, TPropertyMonitorEvent> {
public:
    const char* Name() const override { return "EvnTblGet"; }
};

class TSessionMonitorEventClear : public TSessionSetBase<2567, TSessionMonitorEventGet> {
public:
    const char* Name() const override { return "EvnTblClear"; }
};

class TSessionLldpGet : public TSessionGetRecord<2816, TPropertyLldp> {
public:
    const char* Name() const override { return "LldpGet"; }
};

class TSessionLldpSet : public TSessionSetRecord<2817, TPropertyLldp, TSessionLldpGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "LldpSet"; }
};

} // namespace Intp
