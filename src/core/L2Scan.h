// The layer-2 scan: one Ethernet broadcast of type 0xDEAD asks every switch on the segment
// for its MAC and IPv4 address, whatever its IP settings; libpcap sends it and captures
// the answers.
#pragma once

#include "MacAddr.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct pcap;

namespace Scan {

constexpr std::size_t FrameSize = 40;
constexpr uint16_t EtherType = 0xDEAD;
constexpr uint16_t ManagementPort = 1638;

using TFrame = std::array<uint8_t, FrameSize>;

// The request: broadcast from the adapter, carrying its address and a discovery header.
TFrame BuildFrame(const TMacAddr& adapter, uint32_t address);

struct TReply {
    TMacAddr Mac;
    uint32_t Address = 0; // host order
};
// An answer to the adapter's request, or nothing for any other frame: shorter than 40
// bytes, to another destination, from a null or broadcast source, of another type, or
// not a successful discovery answer.
std::optional<TReply> ParseReply(std::span<const uint8_t> frame, const TMacAddr& adapter);

struct TInterface {
    std::string Name;
    std::string Description;
    std::vector<uint32_t> Ipv4; // in the library's order, host order
};
// The capture interfaces libpcap knows; false when it cannot list them.
bool ListInterfaces(std::vector<TInterface>& interfaces);

// An open capture: 40-byte snapshots, incoming 0xDEAD frames only, non-blocking reads.
class TCapture {
public:
    enum TOpen { opOk, opNoPermission, opFailed };

    TCapture() = default;
    TCapture(const TCapture&) = delete;
    TCapture& operator=(const TCapture&) = delete;
    ~TCapture() { Close(); }

    TOpen Open(const std::string& name, bool promiscuous, std::string& error);
    void Close();
    bool IsOpen() const { return m_Handle != nullptr; }
    bool Send(const TFrame& frame, std::string& error);
    // A descriptor that becomes readable when frames wait; -1 when there is none.
    int Descriptor() const;
    // The next waiting frame into bytes; false when none waits (or on a read error).
    bool Next(std::vector<uint8_t>& bytes);

private:
    pcap* m_Handle = nullptr;
};

} // namespace Scan

namespace Scan {
// Whether this process may capture and send raw frames (root or CAP_NET_RAW).
bool CanCapture();
} // namespace Scan
