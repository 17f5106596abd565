// QoS commands (0x0500 to 0x0507): the scheduling scheme and priority type, each physical
// port's queue, the 802.1p priority to queue mapping with each port's default priority, and
// the DSCP to queue mapping. The switch has four queues, 0 (lowest) to 3 (highest).
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <array>
#include <vector>

namespace Intp {

// Per-port Sets carry their bytes after a head of this size; the port bytes follow.
INTP_COMMAND_TRAITS(1280, 4, 2);
INTP_COMMAND_TRAITS(1281, 2, 4);
INTP_COMMAND_TRAITS(1282, 4, 1);
INTP_COMMAND_TRAITS(1283, 0, 4);
INTP_COMMAND_TRAITS(1284, 4, 8);
INTP_COMMAND_TRAITS(1285, 8, 4);
INTP_COMMAND_TRAITS(1286, 4, 64);
INTP_COMMAND_TRAITS(1287, 64, 4);

constexpr uint8_t QosQueues = 4;
constexpr uint8_t CosPriorities = 8;
constexpr std::size_t DscpValues = 64;

enum TQosScheme : uint8_t { qsWeighted, qsStrict };
enum TQosType : uint8_t { qtDisable, qtPortBased, qtCosOnly, qtTosOnly, qtCosFirst, qtTosFirst, qtCount };

struct TPropertyQos {
    static constexpr uint16_t GetCommand = 1280;
    bool Valid = false;
    uint8_t Scheme = qsWeighted;
    uint8_t Type = qtDisable;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
    // A scheme of 2 or more gives 0x1100, a type of 6 or more 0x1101.
    static uint16_t Check(const TPropertyQos& r);
};

inline constexpr TValueName QosSchemeNames[] = {{"Weighted", "weighted"}, {"Strict", "strict"}};
inline constexpr TValueName QosTypeNames[] = {{"Disable", "disable"},   {"Port Based", "port"},
                                              {"COS Only", "cos"},      {"TOS Only", "tos"},
                                              {"COS First", "cos-first"}, {"TOS First", "tos-first"}};
// The four egress queues, lowest first.
inline constexpr TValueName QueueNames[] = {{"Lowest", "lowest"}, {"Low", "low"}, {"Middle", "middle"}, {"High", "high"}};
// 802.1p priorities of a port's untagged frames.
inline constexpr TValueName CosPriorityNames[] = {{"Priority.00", "0"}, {"Priority.01", "1"}, {"Priority.02", "2"},
                                                  {"Priority.03", "3"}, {"Priority.04", "4"}, {"Priority.05", "5"},
                                                  {"Priority.06", "6"}, {"Priority.07", "7"}};

// One byte of a per-port list: a queue, or a default 802.1p priority.
struct TQosByte {
    uint8_t Value = 0;
    bool operator==(const TQosByte&) const = default;
    void Decode(TReader& r) { Value = r.U8(); }
    void Encode(TWriter& w) const { w.U8(Value); }
};

// Each physical port's queue; a length other than the port count gives 0x1101, a queue
// above 3 0x1100.
struct TPropertyQosPort {
    static constexpr uint16_t GetCommand = 1282;
    using Entry = TQosByte;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 1;
    static constexpr TListCount Count = TListCount::Ports;
    static constexpr uint16_t CountStatus = stListRange;
    bool Valid = false;
    std::vector<Entry> Entries;
    static uint16_t Check(const TDevice&, const std::vector<Entry>&, const Entry& e);
};

// The queues of 802.1p priorities 0 to 7, then each physical port's default priority. A
// length other than 8 plus the port count gives 0x1102, a queue above 3 0x1100, a priority
// above 7 0x1101.
struct TPropertyQosCos {
    static constexpr uint16_t GetCommand = 1284;
    using Entry = TQosByte;
    static constexpr std::size_t HeadSize = CosPriorities;
    static constexpr std::size_t EntrySize = 1;
    static constexpr TListCount Count = TListCount::Ports;
    static constexpr uint16_t CountStatus = stListOverlap;
    bool Valid = false;
    std::array<uint8_t, CosPriorities> Queues{};
    std::vector<Entry> Entries;
    void DecodeHead(TReader& r);
    void EncodeHead(TWriter& w) const;
    static uint16_t CheckHead(const TPropertyQosCos& r);
    static uint16_t Check(const TDevice&, const std::vector<Entry>&, const Entry& e);
};

// The queues of DSCP values 0 to 63; a queue above 3 gives 0x1100.
struct TPropertyQosTos {
    static constexpr uint16_t GetCommand = 1286;
    bool Valid = false;
    std::array<uint8_t, DscpValues> Queues{};
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
    static uint16_t Check(const TPropertyQosTos& r);
};

class TSessionQosGet : public TSessionGetRecord<1280, TPropertyQos> {
public:
    const char* Name() const override { return "QosGet"; }
};

class TSessionQosSet : public TSessionSetRecord<1281, TPropertyQos, TSessionQosGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "QosSet"; }
};

class TSessionQosPortGet : public TSessionListGet<1282, TPropertyQosPort> {
public:
    const char* Name() const override { return "QosPortGet"; }
};

// Sent only with exactly one byte per physical port of the device.
class TSessionQosPortSet : public TSessionListSet<1283, TPropertyQosPort, TSessionQosPortGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "QosPortSet"; }
};

class TSessionQosCosGet : public TSessionListGet<1284, TPropertyQosCos> {
public:
    const char* Name() const override { return "QosCosGet"; }
};

// Sent only with exactly one default priority per physical port of the device.
class TSessionQosCosSet : public TSessionListSet<1285, TPropertyQosCos, TSessionQosCosGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "QosCosSet"; }
};

class TSessionQosTosGet : public TSessionGetRecord<1286, TPropertyQosTos> {
public:
    const char* Name() const override { return "QosTosGet"; }
};

class TSessionQosTosSet : public TSessionSetRecord<1287, TPropertyQosTos, TSessionQosTosGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "QosTosSet"; }
};

} // namespace Intp
