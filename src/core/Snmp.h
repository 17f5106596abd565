// SNMP commands (0x0700 to 0x0709): the agent's version, its communities, the SNMPv3 users
// and the trap receivers. The user and receiver lists are answered in one datagram each.
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <string>
#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(1792, 4, 1);
INTP_COMMAND_TRAITS(1793, 1, 4);
INTP_COMMAND_TRAITS(1794, 4, 1);
INTP_COMMAND_TRAITS(1795, 0, 4);
INTP_COMMAND_TRAITS(1796, 4, 1);
INTP_COMMAND_TRAITS(1797, 96, 4);
INTP_COMMAND_TRAITS(1798, 96, 4);
INTP_COMMAND_TRAITS(1799, 4, 4);
INTP_COMMAND_TRAITS(1800, 37, 4);
INTP_COMMAND_TRAITS(1801, 4, 4);

constexpr std::size_t SnmpTextWidth = 32;

enum TSnmpVersion : uint8_t { svV1V2c = 0, svV3 = 1 };
enum TSnmpPrivilege : uint8_t { spReadOnly = 0, spReadWrite = 1 };
enum TSnmpTrapVersion : uint8_t { tvV1 = 0, tvV2c = 1 };

struct TPropertySnmp {
    static constexpr uint16_t GetCommand = 1792;
    bool Valid = false;
    uint8_t Version = svV1V2c;
    void Decode(TReader& r) { Version = r.U8(); }
    void Encode(TWriter& w) const { w.U8(Version); }
    static uint16_t Check(const TPropertySnmp& record) { return record.Version <= svV3 ? stSuccess : stListCount; }
};

inline constexpr TValueName SnmpVersionNames[] = {{"SNMP V1/V2c", "v1v2c"}, {"SNMP V3", "v3"}};

struct TPropertySnmpCommunityEntry {
    std::string Community;
    uint8_t Privilege = spReadOnly;
    bool operator==(const TPropertySnmpCommunityEntry&) const = default;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

inline constexpr TValueName PrivilegeNames[] = {{"Read Only", "read-only"}, {"Read And Write", "read-write"}};

// Exactly one entry per community slot of the device type (else 0x1100).
struct TPropertySnmpCommunity {
    static constexpr uint16_t GetCommand = 1794;
    using Entry = TPropertySnmpCommunityEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 33;
    static constexpr TListCount Count = TListCount::Communities;
    bool Valid = false;
    std::vector<Entry> Entries;
    // A privilege other than read only and read-write gives 0x1101.
    static uint16_t Check(const TDevice&, const std::vector<Entry>&, const Entry& entry)
    {
        return entry.Privilege <= spReadWrite ? stSuccess : stListRange;
    }
};

// A user as the switch lists it: never its passwords, only whether each is set.
struct TPropertySnmpUserEntry {
    std::string Name;
    bool Auth = false;
    bool Privacy = false;
    bool operator==(const TPropertySnmpUserEntry&) const = default;
    void Decode(TReader& r);
};

struct TPropertySnmpUser {
    static constexpr uint16_t GetCommand = 1796;
    using Entry = TPropertySnmpUserEntry;
    static constexpr std::size_t HeadSize = 0;
    static constexpr std::size_t EntrySize = 34;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr bool ClearOnRequest = true;
    bool Valid = false;
    std::vector<Entry> Entries;
};

struct TPropertySnmpTrapEntry {
    uint32_t Address = 0;
    std::string Community;
    uint8_t Version = tvV1;
    bool operator==(const TPropertySnmpTrapEntry&) const = default;
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

inline constexpr TValueName TrapVersionNames[] = {{"V1", "v1"}, {"V2c", "v2c"}};

// Four bytes the console does not read, then the receivers.
struct TPropertySnmpTrap {
    static constexpr uint16_t GetCommand = 1799;
    using Entry = TPropertySnmpTrapEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 37;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr bool ClearOnRequest = true;
    bool Valid = false;
    std::vector<Entry> Entries;
    // Unused slots: no address, no community, or a version the console does not know.
    static bool Skipped(const Entry& entry)
    {
        return entry.Address == 0 || entry.Community.empty() || entry.Version > tvV2c;
    }
};

// What adding and removing a user send: the name and both passwords (empty when not set).
struct TSnmpUserRequest {
    std::string Name;
    std::string Auth;
    std::string Privacy;
    void Encode(TWriter& w) const;
};

// A receiver is removed by its address alone.
struct TSnmpTrapAddress {
    uint32_t Address = 0;
    void Encode(TWriter& w) const { w.Ip(Address); }
};

class TSessionSnmpGet : public TSessionGetRecord<1792, TPropertySnmp> {
public:
    const char* Name() const override { return "SnmpGet"; }
};

class TSessionSnmpSet : public TSessionSetRecord<1793, TPropertySnmp, TSessionSnmpGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SnmpSet"; }
};

class TSessionSnmpCommunityGet : public TSessionListGet<1794, TPropertySnmpCommunity> {
public:
    const char* Name() const override { return "SnmpCommunityGet"; }
};

// Sent only with exactly one entry per community slot of the device.
class TSessionSnmpCommunitySet
    : public TSessionListSet<1795, TPropertySnmpCommunity, TSessionSnmpCommunityGet> {
public:
    using TSessionListSet::TSessionListSet;
    const char* Name() const override { return "SnmpCommunitySet"; }
};

class TSessionSnmpUserGet : public TSessionListGet<1796, TPropertySnmpUser> {
public:
    const char* Name() const override { return "SnmpUserGet"; }
};

class TSessionSnmpUserAdd : public TSessionSetRecord<1797, TSnmpUserRequest, TSessionSnmpUserGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SnmpUserAdd"; }
};

class TSessionSnmpUserDel : public TSessionSetRecord<1798, TSnmpUserRequest, TSessionSnmpUserGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SnmpUserDel"; }
};

class TSessionSnmpTrapGet : public TSessionListGet<1799, TPropertySnmpTrap> {
public:
    const char* Name() const override { return "SnmpTrapGet"; }
};

class TSessionSnmpTrapAdd : public TSessionSetRecord<1800, TPropertySnmpTrapEntry, TSessionSnmpTrapGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SnmpTrapAdd"; }
};

class TSessionSnmpTrapDel : public TSessionSetRecord<1801, TSnmpTrapAddress, TSessionSnmpTrapGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SnmpTrapDel"; }
};

} // namespace Intp
