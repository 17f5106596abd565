// Handlers of the SNMP commands: the agent version, the four community slots, the SNMPv3
// users and the trap receivers; payload layouts follow the wire tables of each command.
// Community strings and passwords only ever go into replies.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

#include <algorithm>

namespace Sim {

namespace {

constexpr int TextWidth = 32;
constexpr int CommunitySlots = 4;
constexpr int CommunityEntry = TextWidth + 1;
constexpr int UserRequest = 3 * TextWidth;
constexpr int TrapHead = 4;
constexpr int TrapEntry = 4 + TextWidth + 1;
constexpr int MaxUsers = 8;
constexpr int MaxTraps = 8;
constexpr uint8_t MaxVersion = 1;
constexpr uint8_t MaxPrivilege = 1;
constexpr uint8_t FaultValue = 2;
constexpr uint32_t FaultTrapAddress = 0xC0000263; // 192.0.2.99

const TReply BadRequest{stBadRequest, {}, 0};

TReply Version(TSwitch& sw, const TRequest& rq)
{
    const bool bad = rq.options->badSnmpVersion.contains(sw.Index());
    return Written([&](TWriter& w) { w.U8(bad ? FaultValue : sw.running.snmp.version); });
}

TReply SetVersion(TSwitch& sw, const TRequest& rq)
{
    if (rq.payload[0] > MaxVersion)
        return BadRequest;
    sw.running.snmp.version = rq.payload[0];
    return {};
}

TReply Communities(TSwitch& sw, const TRequest& rq)
{
    const bool badPrivilege = rq.options->badCommunityPrivilege.contains(sw.Index());
    const QList<TSnmpCommunity>& communities = sw.running.snmp.communities;
    TReply reply = Written([&](TWriter& w) {
        for (qsizetype i = 0; i < communities.size(); ++i) {
            w.Text(communities[i].name, TextWidth);
            w.U8(badPrivilege && i == 0 ? FaultValue : communities[i].privilege);
        }
    });
    if (rq.options->shortCommunities.contains(sw.Index()))
        reply.payload.chop(1);
    return reply;
}

// Exactly the four slots; nothing changes when a privilege is out of range.
TReply SetCommunities(TSwitch& sw, const TRequest& rq)
{
    if (rq.size != std::size_t(CommunitySlots * CommunityEntry))
        return BadRequest;
    QList<TSnmpCommunity> next;
    for (int i = 0; i < CommunitySlots; ++i) {
        const uint8_t* e = rq.payload + i * CommunityEntry;
        if (e[TextWidth] > MaxPrivilege)
            return BadRequest;
        next.append({ReadText(e, TextWidth), e[TextWidth]});
    }
    sw.running.snmp.communities = next;
    return {};
}

TReply Users(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        for (const TSnmpUser& u : sw.running.snmp.users) {
            w.Text(u.name, TextWidth);
            w.Bool(!u.auth.isEmpty());
            w.Bool(!u.privacy.isEmpty());
        }
    });
}

TSnmpUser UserOf(const TRequest& rq)
{
    return {ReadText(rq.payload, TextWidth), ReadText(rq.payload + TextWidth, TextWidth),
            ReadText(rq.payload + 2 * TextWidth, TextWidth)};
}

QList<TSnmpUser>::iterator FindUser(QList<TSnmpUser>& users, const QByteArray& name)
{
    return std::find_if(users.begin(), users.end(), [&](const TSnmpUser& u) { return u.name == name; });
}

TReply AddUser(TSwitch& sw, const TRequest& rq)
{
    QList<TSnmpUser>& users = sw.running.snmp.users;
    const TSnmpUser user = UserOf(rq);
    if (user.name.isEmpty() || users.size() >= MaxUsers || FindUser(users, user.name) != users.end())
        return BadRequest;
    users.append(user);
    return {};
}

// Removal needs the passwords the user was given.
TReply DeleteUser(TSwitch& sw, const TRequest& rq)
{
    QList<TSnmpUser>& users = sw.running.snmp.users;
    const TSnmpUser user = UserOf(rq);
    const auto found = FindUser(users, user.name);
    if (found == users.end() || found->auth != user.auth || found->privacy != user.privacy)
        return BadRequest;
    users.erase(found);
    return {};
}

void WriteTrap(TWriter& w, uint32_t address, const QByteArray& community, uint8_t version)
{
    w.U32(address);
    w.Text(community, TextWidth);
    w.U8(version);
}

TReply Traps(TSwitch& sw, const TRequest& rq)
{
    return Written([&](TWriter& w) {
        w.U32(0);
        for (const TTrapReceiver& t : sw.running.snmp.traps)
            WriteTrap(w, t.address, t.community, t.version);
        if (rq.options->unusedTrapSlots.contains(sw.Index())) {
            WriteTrap(w, 0, "unused", 0);
            WriteTrap(w, FaultTrapAddress, "unknown", FaultValue);
        }
    });
}

QList<TTrapReceiver>::iterator FindTrap(QList<TTrapReceiver>& traps, uint32_t address)
{
    return std::find_if(traps.begin(), traps.end(), [&](const TTrapReceiver& t) { return t.address == address; });
}

TReply AddTrap(TSwitch& sw, const TRequest& rq)
{
    QList<TTrapReceiver>& traps = sw.running.snmp.traps;
    const TTrapReceiver trap{ReadU32(rq.payload), ReadText(rq.payload + 4, TextWidth), rq.payload[4 + TextWidth]};
    if (trap.address == 0 || trap.community.isEmpty() || trap.version > MaxVersion || traps.size() >= MaxTraps ||
        FindTrap(traps, trap.address) != traps.end())
        return BadRequest;
    traps.append(trap);
    return {};
}

TReply DeleteTrap(TSwitch& sw, const TRequest& rq)
{
    QList<TTrapReceiver>& traps = sw.running.snmp.traps;
    const auto found = FindTrap(traps, ReadU32(rq.payload));
    if (found == traps.end())
        return BadRequest;
    traps.erase(found);
    return {};
}

} // namespace

void AddSnmpCommands(TCommandTable& table)
{
    table[1792] = {Version, 0, 4, true};
    table[1793] = {SetVersion, 1, 4, true};
    table[1794] = {Communities, 0, 4, true};
    table[1795] = {SetCommunities, CommunitySlots * CommunityEntry, 4, true};
    table[1796] = {Users, 0, 4, true};
    table[1797] = {AddUser, UserRequest, 4, true};
    table[1798] = {DeleteUser, UserRequest, 4, true};
    table[1799] = {Traps, 0, TrapHead, true};
    table[1800] = {AddTrap, TrapEntry, 4, true};
    table[1801] = {DeleteTrap, 4, 4, true};
}

void AddSnmpOptions(TOptionTable& table)
{
    table.about += "SNMP: switches start with version 1/2c (0), the communities \"public\" (read only)\n"
                   "and \"private\" (read and write) in the first two of four slots, no users and no\n"
                   "trap receivers. The version set (1793) takes 0 or 1; the community set (1795) four\n"
                   "33-byte slots with privilege 0 or 1. Users (1797) are added under a new, non-empty\n"
                   "name, at most 8, and removed (1798) by name with the passwords they were given;\n"
                   "trap receivers (1800) need an address, a community and version 0 or 1, at most 8,\n"
                   "one per address, and are removed (1801) by address (status 4 otherwise). Save\n"
                   "keeps the SNMP settings too; community strings and passwords are never printed.\n";
    table.entries += {
        SwitchFault({"bad-snmp-version", "Switch i reports SNMP agent version 2 (1792) (repeatable).", "i"},
                    &TOptions::badSnmpVersion),
        SwitchFault({"short-communities",
                     "Switch i answers communities (1794) one byte short of four slots (repeatable).", "i"},
                    &TOptions::shortCommunities),
        SwitchFault({"bad-community-privilege",
                     "Switch i reports privilege 2 in its first community slot (1794) (repeatable).", "i"},
                    &TOptions::badCommunityPrivilege),
        SwitchFault(
            {"unused-trap-slots",
             "Switch i lists an unused receiver (address 0) and one of trap version 2 after its receivers (1799) "
             "(repeatable).",
             "i"},
            &TOptions::unusedTrapSlots),
    };
}

} // namespace Sim
