// Port commands (0x0200 to 0x0207): port names, port configuration, port status, rate
// limits and trunks. Lists count the device type's ports P and trunks T.
#pragma once

#include "SessionShapes.h"

#include <string>
#include <vector>

namespace Intp {

// Names of P + T ports (ports, then trunks), 8 bytes each.
struct TPropertyPortName {
    static constexpr uint16_t GetCommand = 512;
    bool Valid = false;
    std::vector<std::string> Names;
};

struct TPortConfigEntry {
    uint8_t Port = 0;     // 0-based; trunks after the ports
    uint8_t Type = 0;     // 0 to 9, not shown by the pages
    bool Enabled = false;
    uint8_t Duplex = 0;   // 0 auto negotiation ... 6 "10 Half"; 7 is accepted but has no text
    uint8_t Flow = 0;     // 0 disable, 1 symmetric, 2 asymmetric
    bool Security = false;
    bool operator==(const TPortConfigEntry&) const = default;
};

struct TPropertyPortConfig {
    static constexpr uint16_t GetCommand = 513;
    bool Valid = false;
    std::vector<TPortConfigEntry> Entries; // at most P + T
};

struct TPortStatusEntry {
    uint8_t Type = 0; // 0 to 9
    bool Link = false;
    bool Enabled = false;
    uint8_t Duplex = 0; // 0 to 7
    bool Flow = false;
    bool operator==(const TPortStatusEntry&) const = default;
};

struct TPropertyPortStatus {
    static constexpr uint16_t GetCommand = 515;
    bool Valid = false;
    std::vector<TPortStatusEntry> Entries; // P
};

struct TPortLimitEntry {
    uint8_t FrameType = 3;  // 0 all ... 3 broadcast only
    uint32_t Ingress = 8192; // kbps, 0 no limit
    uint32_t Egress = 0;
    bool operator==(const TPortLimitEntry&) const = default;
};

struct TPropertyPortLimit {
    static constexpr uint16_t GetCommand = 516;
    bool Valid = false;
    std::vector<TPortLimitEntry> Entries; // P
};

struct TPortTrunkEntry {
    uint32_t Members = 0; // bit i: port i + 1
    bool Lacp = false;
    bool operator==(const TPortTrunkEntry&) const = default;
};

struct TPropertyPortTrunk {
    static constexpr uint16_t GetCommand = 518;
    bool Valid = false;
    std::vector<TPortTrunkEntry> Entries; // T
};

class TSessionPortNameGet;    // 0x0200 "PortName"
class TSessionPortConfigGet;  // 0x0201 "PortConfigGet"
class TSessionPortConfigSet;  // 0x0202 "PortConfigSet": TSessionPortConfigSet(const std::vector<TPortConfigEntry>&)
class TSessionPortStatusGet;  // 0x0203 "PortStatusGet"
class TSessionPortLimitGet;   // 0x0204 "PortLimitGet"
class TSessionPortLimitSet;   // 0x0205 "PortLimitSet": TSessionPortLimitSet(const std::vector<TPortLimitEntry>&)
class TSessionPortTrunkGet;   // 0x0206 "TrunkGet"
class TSessionPortTrunkSet;   // 0x0207 "TrunkSet": TSessionPortTrunkSet(const std::vector<TPortTrunkEntry>&)

} // namespace Intp
