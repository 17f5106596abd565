// Security commands (0x0800 to 0x080B): the management access list, static MAC-to-port
// bindings, the MAC blacklist, the 802.1X settings and the per-port authorisation modes.
// The two address lists arrive in datagrams of 128 entries while more follow.
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <string>
#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(2048, 4, 5);
INTP_COMMAND_TRAITS(2049, 5, 4);
INTP_COMMAND_TRAITS(2050, 4, 4);
INTP_COMMAND_TRAITS(2051, 7, 4);
INTP_COMMAND_TRAITS(2052, 6, 4);
INTP_COMMAND_TRAITS(2053, 4, 4);
INTP_COMMAND_TRAITS(2054, 6, 4);
INTP_COMMAND_TRAITS(2055, 6, 4);
INTP_COMMAND_TRAITS(2056, 4, 86);
INTP_COMMAND_TRAITS(2057, 86, 4);
INTP_COMMAND_TRAITS(2058, 4, 1);
INTP_COMMAND_TRAITS(2059, 0, 4);

constexpr std::size_t SecurityTextWidth = 32;
// A datagram of the two address lists with this many entries is followed by another.
constexpr std::size_t SecurityListPerDatagram = 128;

// 802.1X port authentication against a RADIUS server.
struct TPropertySecurity8021x {
    static constexpr uint16_t GetCommand = 2056;
    bool Valid = false;
    bool Enabled = false;
    uint32_t ServerAddress = 0;
    uint16_t ServerPort = 1812;
    uint16_t AccountingPort = 1813;
    std::string SharedKey = "58132604";
    std::string NasId = "NAS_L2_SWITCH";
    uint16_t QuietPeriod = 60;
    uint16_t TxPeriod = 30;
    uint16_t SupplicantTimeout = 30;
    uint16_t ServerTimeout = 30;
    uint8_t MaxRequests = 2;
    uint32_t ReAuthPeriod = 3600;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

// Authorisation mode of each physical port.
enum TAuthMode : uint8_t { amReject, amAccept, amAuthorize, amDisable };

struct TPropertySecurity8021xPort {
    static constexpr uint16_t GetCommand = 2058;
    using Entry = uint8_t;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 1;
    static constexpr TListCount Count = TListCount::Ports;
    static constexpr uint16_t CountStatus = stListRange;
    bool Valid = false;
    std::vector<uint8_t> Modes; // one TAuthMode per port
    static std::vector<uint8_t>& List(TPropertySecurity8021xPort& r) { return r.Modes; }
    static uint8_t DecodeEntry(TReader& r) { return r.U8(); }
    static void EncodeEntry(TWriter& w, uint8_t mode) { w.U8(mode); }
    static uint16_t Check(const TDevice&, const std::vector<uint8_t>&, const uint8_t& mode);
};

// A port's 802.1X authorisation.
inline constexpr TValueName AuthModeNames[] = {{"Reject", "reject"}, {"Accept", "accept"}, {"Authorize", "authorize"},
                                               {"Disable", "disable"}};

// Management stations allowed to reach the switch; an address of 0 is an empty slot.
struct TPropertySecurityIp {
    static constexpr uint16_t GetCommand = 2048;
    enum TManagement : uint32_t { mgWeb = 1, mgTelnet = 2, mgSnmp = 4 };
    using Entry = uint32_t;
    static constexpr std::size_t HeadSize = 5;
    static constexpr std::size_t EntrySize = 4;
    static constexpr TListCount Count = TListCount::AccessList;
    bool Valid = false;
    bool Enabled = false;
    uint32_t Management = 0;
    std::vector<uint32_t> Addresses; // the device type's access-list count
    static std::vector<uint32_t>& List(TPropertySecurityIp& r) { return r.Addresses; }
    static uint32_t DecodeEntry(TReader& r) { return r.Ip(); }
    static void EncodeEntry(TWriter& w, uint32_t address) { w.Ip(address); }
    void DecodeHead(TReader& r);
    void EncodeHead(TWriter& w) const;
};

// The MAC address a blacklist Add or Del, or a binding's Del, carries.
struct TSecurityMacRequest {
    TMacAddr Mac;
    void Encode(TWriter& w) const { w.Mac(Mac); }
};

// Replies carry 4 bytes before the addresses that mean nothing to the console.
struct TPropertySecurityMac {
    static constexpr uint16_t GetCommand = 2053;
    using Entry = TMacAddr;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 6;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = SecurityListPerDatagram;
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<TMacAddr> Addresses;
    static std::vector<TMacAddr>& List(TPropertySecurityMac& r) { return r.Addresses; }
    static TMacAddr DecodeEntry(TReader& r) { return r.Mac(); }
};

struct TPropertySecurityPortEntry {
    uint8_t Port = 0; // 0-based logical port
    TMacAddr Mac;
    bool operator==(const TPropertySecurityPortEntry&) const = default;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

struct TPropertySecurityPort {
    static constexpr uint16_t GetCommand = 2050;
    using Entry = TPropertySecurityPortEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 7;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = SecurityListPerDatagram;
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<TPropertySecurityPortEntry> Entries;
    // A binding must name a port or trunk group of the device.
    static uint16_t Check(const TDevice& device, const std::vector<Entry>&, const Entry& entry);
};

class TSessionSecurityIpGet : public TSessionListGet<2048, TPropertySecurityIp> {
public:
    const char* Name() const override { return "IPsecGet"; }
};

// Sent only with exactly the device type's access-list count of slots.
class TSessionSecurityIpSet : public TSessionListSet<2049, TPropertySecurityIp, TSessionSecurityIpGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "IPsecSet"; }
};

class TSessionSecurityPortGet : public TSessionListGet<2050, TPropertySecurityPort> {
public:
    const char* Name() const override { return "SecurityPortGet"; }
};

class TSessionSecurityPortAdd
    : public TSessionSetRecord<2051, TPropertySecurityPortEntry, TSessionSecurityPortGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SecurityPortAdd"; }
};

// Removes the binding by its address alone.
class TSessionSecurityPortDel : public TSessionSetRecord<2052, TSecurityMacRequest, TSessionSecurityPortGet> {
public:
    explicit TSessionSecurityPortDel(const TMacAddr& mac) : TSessionSetRecord(TSecurityMacRequest{mac}) {}
    const char* Name() const override { return "SecurityPortDel"; }
};

class TSessionSecurityMacGet : public TSessionListGet<2053, TPropertySecurityMac> {
public:
    const char* Name() const override { return "SecMacGet"; }
};

class TSessionSecurityMacAdd : public TSessionSetRecord<2054, TSecurityMacRequest, TSessionSecurityMacGet> {
public:
    explicit TSessionSecurityMacAdd(const TMacAddr& mac) : TSessionSetRecord(TSecurityMacRequest{mac}) {}
    const char* Name() const override { return "SecMacAdd"; }
};

class TSessionSecurityMacDel : public TSessionSetRecord<2055, TSecurityMacRequest, TSessionSecurityMacGet> {
public:
    explicit TSessionSecurityMacDel(const TMacAddr& mac) : TSessionSetRecord(TSecurityMacRequest{mac}) {}
    const char* Name() const override { return "SecMacDel"; }
};

class TSessionSecurity8021xGet : public TSessionGetRecord<2056, TPropertySecurity8021x> {
public:
    const char* Name() const override { return "RadiusGet"; }
};

class TSessionSecurity8021xSet
    : public TSessionSetRecord<2057, TPropertySecurity8021x, TSessionSecurity8021xGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "RadiusSet"; }
};

// A length other than the device's port count gives 0x1101, a mode above 3 gives 0x1100.
class TSessionSecurity8021xPortGet : public TSessionListGet<2058, TPropertySecurity8021xPort> {
public:
    const char* Name() const override { return "8021xPortGet"; }
};

// Sent only with exactly one mode per physical port.
class TSessionSecurity8021xPortSet
    : public TSessionListSet<2059, TPropertySecurity8021xPort, TSessionSecurity8021xPortGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "8021xPortSet"; }
};

} // namespace Intp
