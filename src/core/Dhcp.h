// DHCP server commands (0x0110 to 0x0114): the server's pool and options, its lease table
// in datagrams of 32 clients, and the address bound to each physical port. The Sets read
// their record again before they report.
#pragma once

#include "SessionShapes.h"

#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(272, 4, 25);
INTP_COMMAND_TRAITS(273, 25, 4);
INTP_COMMAND_TRAITS(274, 4, 4);
INTP_COMMAND_TRAITS(275, 4, 1);
INTP_COMMAND_TRAITS(276, 0, 4);

// Addresses in host order; 0 for gateway or DNS means none.
struct TPropertyBasicsDhcp {
    static constexpr uint16_t GetCommand = 272;
    bool Valid = false;
    bool Enabled = false;
    uint32_t Start = 0;
    uint32_t End = 0;
    uint32_t Mask = 0;
    uint32_t Gateway = 0;
    uint32_t Dns = 0;
    uint32_t Lease = 0; // seconds
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

// How a client got its lease, and where its lease stands.
enum TDhcpClientType : uint16_t { dtError, dtBootpTab, dtDynamic, dtSniffed, dtDbase, dtCount };
enum TDhcpClientState : uint16_t { dsUnassigned, dsBootp, dsDhcpOffer, dsDhcp, dsCount };

struct TPropertyBasicsDhcpClient {
    uint32_t Address = 0;
    TMacAddr ClientId;
    uint16_t Type = dtError;
    uint16_t State = dsUnassigned;
    uint32_t Lease = 0; // seconds
    bool operator==(const TPropertyBasicsDhcpClient&) const = default;
    void Decode(TReader& r);
};

// The lease table after 4 uninterpreted bytes, 32 clients a datagram; a type or state
// without a text empties the table and gives 0x1100.
struct TPropertyBasicsDhcpEntry {
    static constexpr uint16_t GetCommand = 274;
    using Entry = TPropertyBasicsDhcpClient;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 18;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 32;
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<Entry> Entries;
    static uint16_t Check(const TDevice&, const std::vector<Entry>&, const Entry& entry);
};

// One bound address per physical port, 0 where none; any other count gives 0x1100.
struct TPropertyBasicsDhcpPortIp {
    static constexpr uint16_t GetCommand = 275;
    using Entry = uint32_t;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 4;
    static constexpr TListCount Count = TListCount::Ports;
    bool Valid = false;
    std::vector<uint32_t> Addresses;
    static std::vector<uint32_t>& List(TPropertyBasicsDhcpPortIp& r) { return r.Addresses; }
    static uint32_t DecodeEntry(TReader& r) { return r.Ip(); }
    static void EncodeEntry(TWriter& w, uint32_t address) { w.Ip(address); }
};

class TSessionBasicsDhcpGet : public TSessionGetRecord<272, TPropertyBasicsDhcp> {
public:
    const char* Name() const override { return "DhcpGet"; }
};

class TSessionBasicsDhcpSet : public TSessionSetRecord<273, TPropertyBasicsDhcp, TSessionBasicsDhcpGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "DhcpSet"; }
};

class TSessionBasicsDhcpEntry : public TSessionListGet<274, TPropertyBasicsDhcpEntry> {
public:
    const char* Name() const override { return "DhcpEntry"; }
};

class TSessionBasicsDhcpPortIpGet : public TSessionListGet<275, TPropertyBasicsDhcpPortIp> {
public:
    const char* Name() const override { return "DhcpPortIpGet"; }
};

// Sent only with exactly one address per physical port of the device.
class TSessionBasicsDhcpPortIpSet
    : public TSessionListSet<276, TPropertyBasicsDhcpPortIp, TSessionBasicsDhcpPortIpGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "DhcpPortIpSet"; }
};

} // namespace Intp
