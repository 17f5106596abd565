// The core commands: discovery (0), login and logout (2), status poll (6) and the
// warning-state query (7).
#pragma once

#include "Dispatch.h"
#include "SessionShapes.h"
#include "IpMask.h"

#include <array>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace Intp {

INTP_COMMAND_TRAITS(0, 4, 8);
INTP_COMMAND_TRAITS(2, 16, 4);
INTP_COMMAND_TRAITS(6, 4, 12);
INTP_COMMAND_TRAITS(7, 4, 4);

using TDigest = std::array<uint8_t, 16>;

// The characters of a user name or password that reach the switch (the login digest, the
// administrator account).
constexpr std::size_t CredentialWidth = 16;

// MD5 of the user name and the password, each in a zero-padded 16-byte field (cut at 16
// characters, no terminator then).
TDigest CredentialDigest(std::string_view user, std::string_view password);

struct TPropertyIntpPing2 {
    static constexpr uint16_t GetCommand = 6;
    bool Valid = false;
    uint32_t PowerAlarms = 0; // bit 0: power input 1 failed, bit 1: input 2
    uint32_t PortAlarms = 0;  // bit i: port i + 1 link failure
    uint32_t LinkMask = 0;    // bit i: port i + 1 has link
    void Decode(TReader& r)
    {
        PowerAlarms = r.U32();
        PortAlarms = r.U32();
        LinkMask = r.U32();
    }
};

struct TPropertyIntpSip {
    static constexpr uint16_t GetCommand = 7;
    bool Valid = false;
    bool Enabled = false;
    uint16_t Value = 0;
};

// The single discovery session: never pending. Replies are taken while the discovery is
// open: from Discover until its timer ends it (ReplyWindow) and for at most MaxDevices
// switches, each once, so neither spoofed nor duplicated replies can grow the registry or
// restart a discovery chain. Reports go to the receiver of the latest Discover.
class TSessionIntpFind : public TSession, public TDiscoveryHook {
public:
    static constexpr unsigned ReplyWindow = 30000;
    static constexpr std::size_t MaxDevices = 16384;

    static TSessionIntpFind& Instance();

    // Sends the discovery request to each target's directed broadcast address, in order,
    // and opens a new discovery (none when there are no targets).
    void Discover(const std::vector<TIpMask>& targets, TWizard* receiver);
    bool IsOpen() const { return m_Open; }
    // Switches that answered the current discovery while it is open.
    std::size_t Answered() const { return m_Answered.size(); }

    bool Send(TDevice&) override { return false; }
    bool Claims(const TDevice&, const TMessage&) const override { return false; }
    TReplyResult OnReply(TDevice&, const TMessage&) override { return rrNotMine; }
    void OnTimeout() override;
    const char* Name() const override { return "Find"; }
    void OnDiscoveryReply(const TMessage& message, uint32_t address) override;

private:
    TSessionIntpFind() = default;

    bool m_Open = false;
    std::unordered_set<TMacAddr> m_Answered;
};

class TSessionIntpLogin : public TSessionGeneral<2> {
public:
    TSessionIntpLogin(std::string_view user, std::string_view password);
    // The logout request: a digest of 16 zero bytes.
    static TSessionIntpLogin* Logout();

    const char* Name() const override { return "Login"; }
    bool IsLogout() const { return m_Logout; }

protected:
    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override;
    TReplyResult HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>) override;

private:
    TSessionIntpLogin() : m_Logout(true) {}
    TDigest m_Digest{};
    bool m_Logout = false;
};

class TSessionIntpPing2 : public TSessionGetRecord<6, TPropertyIntpPing2> {
public:
    explicit TSessionIntpPing2(unsigned interval) : m_Interval(interval) {}
    const char* Name() const override { return "Ping2"; }
    unsigned Interval() const { return m_Interval; }

protected:
    void ArmTimer() override;

private:
    unsigned m_Interval;
};

class TSessionIntpSipGet : public TSessionGetRecord<7, TPropertyIntpSip> {
public:
    const char* Name() const override { return "IntpSipGet"; }

protected:
    void Decode(TDevice& device, TPropertyIntpSip& record, TReader& reader) override;
};

} // namespace Intp
