// VLAN commands (0x0400 to 0x0409): the switch's VLAN mode, its port-based VLAN list, GVRP
// and the management VLAN, and the 802.1Q VLAN list with the per-port settings that change it.
// Port masks: bit i is the logical port with index i (ports, then trunks).
#pragma once

#include "SessionShapes.h"
#include "ValueNames.h"

#include <string>
#include <string_view>
#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(1024, 4, 1);
INTP_COMMAND_TRAITS(1026, 4, 4);
INTP_COMMAND_TRAITS(1030, 4, 3);
INTP_COMMAND_TRAITS(1031, 3, 4);
INTP_COMMAND_TRAITS(1032, 4, 4);
INTP_COMMAND_TRAITS(1033, 0, 4);

enum TVlanMode : uint8_t { vmDisable = 0, vmPortBased = 1, vm8021q = 2 };
enum TVlanLinkType : uint8_t { ltAccess = 0, lt8021q = 1, ltHybrid = 2 };

constexpr uint16_t MinVlanId = 1;
constexpr uint16_t MaxVlanId = 4094;
constexpr std::size_t VlanNameWidth = 16;

struct TPropertyVlan {
    static constexpr uint16_t GetCommand = 1024;
    bool Valid = false;
    uint8_t Mode = vmDisable;
    void Decode(TReader& r) { Mode = r.U8(); }
    // A mode the console does not know rejects the reply.
    static uint16_t Check(const TPropertyVlan& record) { return record.Mode <= vm8021q ? stSuccess : stListCount; }
};

inline constexpr TValueName VlanModeNames[] = {{"Disable", "disable"}, {"Port Based", "port"}, {"802.1Q", "802.1q"}};

struct TPropertyVlan8021q {
    static constexpr uint16_t GetCommand = 1030;
    bool Valid = false;
    bool Gvrp = false;
    uint16_t ManagementVid = 0; // 0: none
    void Decode(TReader& r);
    void Encode(TWriter& w) const;
};

struct TPropertyVlanPortEntry {
    uint16_t Vid = 0;
    uint32_t Members = 0;
    std::string Name;
    bool operator==(const TPropertyVlanPortEntry&) const = default;
    void Decode(TReader& r);
};

// The port-based VLAN list; a full datagram of 32 entries means that more follow.
struct TPropertyVlanPort {
    static constexpr uint16_t GetCommand = 1026;
    using Entry = TPropertyVlanPortEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 22;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 32;
    static constexpr std::size_t MaxEntries = 4094; // one a VLAN ID
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    std::vector<TPropertyVlanPortEntry> Entries;
    // VLAN ID 1..4094 (else 0x1100), members among the logical ports (else 0x1101), a name (else 0x1102).
    static uint16_t Check(const TDevice& device, const std::vector<Entry>& earlier, const Entry& entry);
};

struct TPropertyVlan8021qPortEntry {
    uint16_t Vid = 0; // 0 on the wire marks the hybrid mask, which never becomes an entry
    uint32_t Untagged = 0;
    uint32_t Tagged = 0;
    bool operator==(const TPropertyVlan8021qPortEntry&) const = default;
    void Decode(TReader& r);
};

// The 802.1Q VLAN list; a full datagram of 128 entries means that more follow.
struct TPropertyVlan8021qPort {
    static constexpr uint16_t GetCommand = 1032;
    using Entry = TPropertyVlan8021qPortEntry;
    static constexpr std::size_t HeadSize = 4;
    static constexpr std::size_t EntrySize = 10;
    static constexpr TListCount Count = TListCount::Free;
    static constexpr std::size_t PerDatagram = 128;
    static constexpr std::size_t MaxEntries = 4094; // one a VLAN ID
    static constexpr bool ClearOnError = true;
    bool Valid = false;
    uint32_t HybridMask = 0; // the ports whose link type is Hybrid; kept when a new answer begins
    std::vector<TPropertyVlan8021qPortEntry> Entries;
    // The entry with VLAN ID 0 carries the hybrid mask in its untagged mask.
    static bool TakeApart(TPropertyVlan8021qPort& record, const Entry& entry);
};

class TSessionVlanGet : public TSessionGetRecord<1024, TPropertyVlan> {
public:
    const char* Name() const override { return "VlanGet"; }
};

class TSessionVlanPortGet : public TSessionListGet<1026, TPropertyVlanPort> {
public:
    const char* Name() const override { return "VlanPortGet"; }
};

class TSessionVlan8021qGet : public TSessionGetRecord<1030, TPropertyVlan8021q> {
public:
    const char* Name() const override { return "Vlan8021qGet"; }
};

class TSessionVlan8021qSet : public TSessionSetRecord<1031, TPropertyVlan8021q, TSessionVlan8021qGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "Vlan8021qSet"; }
};

class TSessionVlan8021qPortGet : public TSessionListGet<1032, TPropertyVlan8021qPort> {
public:
    const char* Name() const override { return "Vlan8021qPortGet"; }
};

// One request of per-port records (see AppendPortWords); sent only when the words are not
// empty and end with the 0 that closes a port's record.
class TSessionVlan8021qPortSet : public TSessionSetBase<1033, TSessionVlan8021qPortGet> {
public:
    explicit TSessionVlan8021qPortSet(std::vector<uint16_t> words) : m_Words(std::move(words)) {}
    const char* Name() const override { return "Vlan8021qPortSet"; }
    const std::vector<uint16_t>& Words() const { return m_Words; }

protected:
    bool BuildRequest(TDevice& device, std::vector<uint8_t>& payload) override;

private:
    std::vector<uint16_t> m_Words;
};

// One port's 802.1Q settings as the port list shows and sends them.
struct TVlanPortSettings {
    uint8_t Port = 0; // 0-based index
    uint8_t LinkType = ltAccess;
    uint16_t Untagged = 1;
    std::vector<uint16_t> Tagged;
    bool operator==(const TVlanPortSettings&) const = default;
};

inline constexpr TValueName LinkTypeNames[] = {{"Access", "access"}, {"802.1Q", "802.1q"}, {"Hybrid", "hybrid"}};

// A port's settings read from the 802.1Q list: untagged in the last VLAN whose untagged mask
// holds the port (1 when none does), tagged in every VLAN whose tagged mask holds it, in list
// order; Access without tagged VLANs, otherwise Hybrid or 802.1Q by the hybrid mask. Port
// indices from 32 on wrap onto the bit of index modulo 32.
TVlanPortSettings PortSettingsFrom(const TPropertyVlan8021qPort& list, uint8_t port);

// Tagged VLAN IDs typed by the operator: tokens separated by runs of commas, blanks and tabs,
// each read from its leading decimal digits as a 16-bit value. False when a token is not
// 1..4094 (a token without digits reads as 0).
bool ParseTaggedVids(std::string_view text, std::vector<uint16_t>& vids);

// The words of one port: (port << 8) | link type, the untagged VID, the tagged VIDs, 0.
void AppendPortWords(const TVlanPortSettings& port, std::vector<uint16_t>& words);

// The ports' words in requests of fewer than 700 words; a port's words are never split. The
// first buffer stays empty when the first port alone reaches the limit.
constexpr std::size_t PortSetWordLimit = 700;
std::vector<std::vector<uint16_t>> SplitPortSettings(const std::vector<TVlanPortSettings>& ports);

// Numbers written "%d," one after the other, without the last comma: "2,3".
std::string NumberListText(const std::vector<uint16_t>& numbers);
// The ports of a mask, numbered from 1: bits 0 and 2 give "1,3".
std::string MaskPortsText(uint32_t mask);

} // namespace Intp
