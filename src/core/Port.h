// Port commands (0x0200 to 0x0207): port names, port configuration, port status, rate
// limits and trunks. Lists count the device type's ports P and trunks T.
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <string>
#include <vector>

namespace Intp {

// The bits of a port mask (bit i = port i) that name a physical port of the device.
uint32_t PortsMask(const TDevice& device);
// Whether every set bit of a port mask names a physical port of the device.
inline bool PortMaskFits(const TDevice& device, uint32_t mask) { return (mask & ~PortsMask(device)) == 0; }

// The request sizes of the Sets are their fixed part; the entries follow it.
INTP_COMMAND_TRAITS(512, 4, 1);
INTP_COMMAND_TRAITS(513, 4, 4);
INTP_COMMAND_TRAITS(514, 4, 4);
INTP_COMMAND_TRAITS(515, 4, 1);
INTP_COMMAND_TRAITS(516, 4, 1);
INTP_COMMAND_TRAITS(517, 0, 4);
INTP_COMMAND_TRAITS(518, 4, 1);
INTP_COMMAND_TRAITS(519, 0, 4);

constexpr std::size_t PortNameWidth = 8;

// Names of P + T ports (ports, then trunks), 8 bytes each.
struct TPropertyPortName {
    static constexpr uint16_t GetCommand = 512;
    using Entry = std::string;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = PortNameWidth;
    static constexpr TListCount Count = TListCount::LogicalPorts;
    bool Valid = false;
    std::vector<std::string> Names;
    static std::vector<std::string>& List(TPropertyPortName& r) { return r.Names; }
    static std::string DecodeEntry(TReader& r) { return r.Text(PortNameWidth); }
};

struct TPortConfigEntry {
    uint8_t Port = 0;     // 0-based; trunks after the ports
    uint8_t Type = 0;     // 0 to 9, not shown by the pages
    bool Enabled = false;
    uint8_t Duplex = 0;   // 0 auto negotiation ... 6 "10 Half"; 7 is accepted but has no text
    uint8_t Flow = 0;     // 0 disable, 1 symmetric, 2 asymmetric
    bool Security = false;
    bool operator==(const TPortConfigEntry&) const = default;
    void Decode(TReader& r);
    // The request's entry has no port type.
    void Encode(TWriter& w) const;
};

// Port types as the switches report them.
inline constexpr TValueName PortTypeNames[] = {
    {"N/A", "na"},     {"1000TX", "1000tx"}, {"1000SX", "1000sx"}, {"1000LX", "1000lx"}, {"100TX", "100tx"},
    {"100SX", "100sx"}, {"100LX", "100lx"},   {"mGBIC", "mgbic"},   {"GBIC", "gbic"},     {"1GTX/mGBIC", "1gtx-mgbic"}};
// Speed and duplex; 0 lets the port negotiate.
inline constexpr TValueName SpeedDuplexNames[] = {{"Auto Negotiation", "auto"}, {"1G Full", "1g-full"},
                                                  {"1G Half", "1g-half"},       {"100 Full", "100-full"},
                                                  {"100 Half", "100-half"},     {"10 Full", "10-full"},
                                                  {"10 Half", "10-half"}};
inline constexpr TValueName FlowControlNames[] = {{"Disable", "disable"}, {"Symmetric", "symmetric"},
                                                  {"Asymmetric", "asymmetric"}};

// Replies start with 4 bytes that carry nothing; requests send 4 zero bytes in their place.
struct TPropertyPortConfig {
    static constexpr uint16_t GetCommand = 513;
    using Entry = TPortConfigEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 6;
    static constexpr TListCount Count = TListCount::LogicalPorts;
    static constexpr bool CountIsLimit = true;
    bool Valid = false;
    std::vector<TPortConfigEntry> Entries; // at most P + T
    static uint16_t Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry);
};

struct TPortStatusEntry {
    uint8_t Type = 0; // 0 to 9
    bool Link = false;
    bool Enabled = false;
    uint8_t Duplex = 0; // 0 to 7
    bool Flow = false;
    bool operator==(const TPortStatusEntry&) const = default;
    void Decode(TReader& r);
};

inline constexpr TValueName LinkNames[] = {{"Down", "down"}, {"Up", "up"}};

struct TPropertyPortStatus {
    static constexpr uint16_t GetCommand = 515;
    using Entry = TPortStatusEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 5;
    static constexpr TListCount Count = TListCount::Ports;
    bool Valid = false;
    std::vector<TPortStatusEntry> Entries; // P
    static uint16_t Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry);
};

struct TPortLimitEntry {
    uint8_t FrameType = 3;  // 0 all ... 3 broadcast only
    uint32_t Ingress = 8192; // kbps, 0 no limit
    uint32_t Egress = 0;
    bool operator==(const TPortLimitEntry&) const = default;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

// The frames the ingress limit counts.
inline constexpr TValueName FrameTypeNames[] = {{"All", "all"},
                                                {"Broadcast/Multicast/Flooded Unicast", "broadcast-multicast-flooded"},
                                                {"Broadcast/Multicast", "broadcast-multicast"},
                                                {"Broadcast Only", "broadcast"}};

struct TPropertyPortLimit {
    static constexpr uint16_t GetCommand = 516;
    using Entry = TPortLimitEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 9;
    static constexpr TListCount Count = TListCount::Ports;
    bool Valid = false;
    std::vector<TPortLimitEntry> Entries; // P
    static uint16_t Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry);
};

struct TPortTrunkEntry {
    uint32_t Members = 0; // bit i: port i + 1
    bool Lacp = false;
    bool operator==(const TPortTrunkEntry&) const = default;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

// A trunk's LACP flag.
inline constexpr TValueName TrunkTypeNames[] = {{"Static", "static"}, {"802.3ad LACP", "lacp"}};

struct TPropertyPortTrunk {
    static constexpr uint16_t GetCommand = 518;
    using Entry = TPortTrunkEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 5;
    static constexpr TListCount Count = TListCount::Trunks;
    bool Valid = false;
    std::vector<TPortTrunkEntry> Entries; // T
    // Members must be ports of the device, and no port may be in two trunks.
    static uint16_t Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry);
};

class TSessionPortNameGet : public TSessionListGet<512, TPropertyPortName> {
public:
    const char* Name() const override { return "PortName"; }
};

class TSessionPortConfigGet : public TSessionListGet<513, TPropertyPortConfig> {
public:
    const char* Name() const override { return "PortConfigGet"; }
};

// 1 to P + T entries.
class TSessionPortConfigSet : public TSessionListSet<514, TPropertyPortConfig, TSessionPortConfigGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "PortConfigSet"; }
};

class TSessionPortStatusGet : public TSessionListGet<515, TPropertyPortStatus> {
public:
    const char* Name() const override { return "PortStatusGet"; }
};

class TSessionPortLimitGet : public TSessionListGet<516, TPropertyPortLimit> {
public:
    const char* Name() const override { return "PortLimitGet"; }
};

// Exactly P entries.
class TSessionPortLimitSet : public TSessionListSet<517, TPropertyPortLimit, TSessionPortLimitGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "PortLimitSet"; }
};

class TSessionPortTrunkGet : public TSessionListGet<518, TPropertyPortTrunk> {
public:
    const char* Name() const override { return "TrunkGet"; }
};

// Exactly T entries.
class TSessionPortTrunkSet : public TSessionListSet<519, TPropertyPortTrunk, TSessionPortTrunkGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "TrunkSet"; }
};

} // namespace Intp
