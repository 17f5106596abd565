// Redundancy commands (0x0300 to 0x0304, 0x0307): the ring settings, the RSTP settings of
// the bridge and of every physical port, the RSTP state, and which protocol is active.
// Per-port lists count the device type's physical ports.
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <array>
#include <vector>

namespace Intp {

// The RSTP Set's request size is its bridge part; the port entries follow it.
INTP_COMMAND_TRAITS(768, 4, 9);
INTP_COMMAND_TRAITS(769, 9, 4);
INTP_COMMAND_TRAITS(770, 4, 6);
INTP_COMMAND_TRAITS(771, 6, 4);
INTP_COMMAND_TRAITS(772, 4, 19);
INTP_COMMAND_TRAITS(775, 4, 2);

// Ring settings; port fields are 0-based port indexes, taken as they come.
struct TPropertyRedundancySring {
    static constexpr uint16_t GetCommand = 768;
    bool Valid = false;
    bool Enabled = false;
    bool Master = false;
    uint8_t RingPort1 = 0;
    uint8_t RingPort2 = 0;
    bool Coupling = false;
    uint8_t ControlPort = 0;
    uint8_t CouplingPort = 0;
    bool Homing = false;
    uint8_t HomingPort = 0;
    void Decode(TReader& r);
    // Fields that are off go out as zeros: everything after the first byte while the ring is
    // off, the coupling ports while coupling is off, the homing port while homing is off.
    void Encode(TWriter& w) const;
};

// Point-to-point values of both RSTP records.
enum TRstpP2p : uint8_t { p2pFalse, p2pTrue, p2pAuto };

struct TPropertyRedundancyRstpEntry {
    uint32_t PathCost = 200000; // 1 to 200000000
    uint8_t Priority = 128;     // 0 to 240 in steps of 16
    uint8_t P2p = p2pFalse;
    bool Edge = false;
    bool NonStp = false;
    bool operator==(const TPropertyRedundancyRstpEntry&) const = default;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

inline constexpr TValueName PointToPointNames[] = {{"False", "false"}, {"True", "true"}, {"Auto", "auto"}};

// The bridge part, then one entry per physical port.
struct TPropertyRedundancyRstp {
    static constexpr uint16_t GetCommand = 770;
    using Entry = TPropertyRedundancyRstpEntry;
    static constexpr std::size_t HeadSize = 6;
    static constexpr std::size_t EntrySize = 8;
    static constexpr TListCount Count = TListCount::Ports;
    bool Valid = false;
    bool Enabled = false;
    uint16_t BridgePriority = 32768; // 0 to 61440 in steps of 4096
    uint8_t MaxAge = 20;             // seconds, 6 to 40
    uint8_t Hello = 2;               // seconds, 1 to 10
    uint8_t ForwardDelay = 15;       // seconds, 4 to 30
    std::vector<Entry> Entries;
    void DecodeHead(TReader& r);
    void EncodeHead(TWriter& w) const;
};

struct TPropertyRedundancyRstpInfoEntry {
    uint32_t PathCost = 0;
    uint8_t Priority = 0;
    uint8_t P2p = p2pFalse;
    bool Edge = false;
    bool Neighbour = false; // an STP bridge answers on the port
    uint8_t State = 0;      // 0 disabled ... 4 non-STP
    uint8_t Role = 0;       // 0 disabled ... 6 unknown
    bool operator==(const TPropertyRedundancyRstpInfoEntry&) const = default;
    void Decode(TReader& r);
};

inline constexpr TValueName RstpStateNames[] = {{"Disabled", "disabled"},     {"Discarding", "discarding"},
                                                {"Learning", "learning"},     {"Forwarding", "forwarding"},
                                                {"Non Stp", "non-stp"}};
inline constexpr TValueName RstpRoleNames[] = {{"Disabled", "disabled"}, {"Root", "root"},       {"Designated", "designated"},
                                               {"Alternated", "alternate"}, {"Backup", "backup"}, {"Non Stp", "non-stp"},
                                               {"Unknown", "unknown"}};

// The RSTP state in use: the root bridge and the bridge's timers, then one entry per
// physical port.
struct TPropertyRedundancyRstpInfo {
    static constexpr uint16_t GetCommand = 772;
    static constexpr uint8_t ThisBridgeIsRoot = 255;
    using Entry = TPropertyRedundancyRstpInfoEntry;
    static constexpr std::size_t HeadSize = 19;
    static constexpr std::size_t EntrySize = 10;
    static constexpr TListCount Count = TListCount::Ports;
    bool Valid = false;
    bool Running = false;
    std::array<uint8_t, 8> RootBridgeId{};
    uint16_t RootPriority = 0;
    uint8_t RootPort = 0; // as received: ThisBridgeIsRoot, or the port's number
    uint32_t RootPathCost = 0;
    uint8_t MaxAge = 0;
    uint8_t Hello = 0;
    uint8_t ForwardDelay = 0;
    std::vector<Entry> Entries;
    void DecodeHead(TReader& r);
};

// Which redundancy protocol runs.
struct TPropertyRedundancy {
    static constexpr uint16_t GetCommand = 775;
    enum TProtocol : uint8_t { rpRing = 1, rpRstp = 2 };
    bool Valid = false;
    bool Flag = false;
    uint8_t Protocol = 0;
    void Decode(TReader& r);
};

class TSessionRedundancySringGet : public TSessionGetRecord<768, TPropertyRedundancySring> {
public:
    const char* Name() const override { return "SringGet"; }
};

class TSessionRedundancySringSet
    : public TSessionSetRecord<769, TPropertyRedundancySring, TSessionRedundancySringGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SringSet"; }
};

// An entry count other than the device's port count gives 0x1100.
class TSessionRedundancyRstpGet : public TSessionListGet<770, TPropertyRedundancyRstp> {
public:
    const char* Name() const override { return "RstpGet"; }
};

// Sent only with exactly one entry per physical port of the device.
class TSessionRedundancyRstpSet
    : public TSessionListSet<771, TPropertyRedundancyRstp, TSessionRedundancyRstpGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "RstpSet"; }
};

class TSessionRedundancyRstpInfoGet : public TSessionListGet<772, TPropertyRedundancyRstpInfo> {
public:
    const char* Name() const override { return "RstpInfoGet"; }
};

class TSessionRedundancyGet : public TSessionGetRecord<775, TPropertyRedundancy> {
public:
    const char* Name() const override { return "RedundancyGet"; }
};

} // namespace Intp
