// Basics commands: reboot (259), system information (260, 261), network settings (262),
// save to flash (264), administrator account (268) and factory default (271).
#pragma once

#include "SessionShapes.h"

#include <initializer_list>
#include <array>
#include <string>
#include <utility>

namespace Intp {

INTP_COMMAND_TRAITS(259, 4, 4);
INTP_COMMAND_TRAITS(260, 4, 1289);
INTP_COMMAND_TRAITS(261, 1024, 4);
INTP_COMMAND_TRAITS(262, 4, 21);
INTP_COMMAND_TRAITS(263, 37, 4);
INTP_COMMAND_TRAITS(264, 4, 4);
INTP_COMMAND_TRAITS(268, 32, 4);
INTP_COMMAND_TRAITS(271, 4, 4);

constexpr std::size_t SettingsTextWidth = 256;

struct TPropertyBasicsSettings {
    static constexpr uint16_t GetCommand = 260;
    bool Valid = false;
    uint16_t KernelVersion = 0;   // high byte major, low byte minor
    uint16_t FirmwareVersion = 0;
    uint32_t HardwareVersion = 0; // main board major, minor, auxiliary board major, minor
    std::string Description;
    std::string Location;
    std::string Contact;
    std::string OidSuffix;
};

// The identity texts 261 writes; the name reaches the device's name with the next 260.
struct TBasicsSettingsTexts {
    std::string Name;
    std::string Description;
    std::string Location;
    std::string Contact;
    void Encode(TWriter& w) const
    {
        for (const std::string* text : {&Name, &Description, &Location, &Contact})
            w.Text(*text, SettingsTextWidth);
    }
};

struct TPropertyBasicsIPConf {
    static constexpr uint16_t GetCommand = 262;
    bool Valid = false;
    bool Dhcp = false;
    uint32_t Netmask = 0;
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
    void Decode(TReader& r)
    {
        Dhcp = r.Bool();
        r.Skip(4); // the address: replies' source address is authoritative
        Netmask = r.Ip();
        Gateway = r.Ip();
        Dns1 = r.Ip();
        Dns2 = r.Ip();
    }
};

class TSessionBasicsReboot : public TSessionGeneral<259> {
public:
    const char* Name() const override { return "Reboot"; }

protected:
    TReplyResult HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>) override;
};

class TSessionBasicsSettingsGet : public TSessionGetRecord<260, TPropertyBasicsSettings> {
public:
    const char* Name() const override { return "GetSys"; }

protected:
    void Decode(TDevice& device, TPropertyBasicsSettings& record, TReader& reader) override;
};

class TSessionBasicsSettingsSet
    : public TSessionSetRecord<261, TBasicsSettingsTexts, TSessionBasicsSettingsGet> {
public:
    using TSessionSetRecord::TSessionSetRecord;
    const char* Name() const override { return "SetSys"; }
};

// New administrator user name and password, each cut to 16 bytes.
class TSessionBasicsPassword : public TSessionGeneral<268> {
public:
    TSessionBasicsPassword(std::string user, std::string password)
        : m_User(std::move(user)), m_Password(std::move(password)) {}
    const char* Name() const override { return "AdminPassword"; }

protected:
    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override;

private:
    std::string m_User;
    std::string m_Password;
};

class TSessionBasicsIPConfGet : public TSessionGetRecord<262, TPropertyBasicsIPConf> {
public:
    const char* Name() const override { return "NetGet"; }
};

// Reads the network settings at an address the device may not have yet: the address a
// switch was just given. The device moves there only when the answer comes from there.
class TSessionBasicsIPConfGetAt : public TSessionBasicsIPConfGet {
public:
    explicit TSessionBasicsIPConfGetAt(uint32_t address) : m_Address(address) {}

protected:
    uint32_t Destination(TDevice&) const override { return m_Address; }

private:
    uint32_t m_Address;
};

// New network settings for one switch, as planned by the IP configuration page.
struct TBasicsIPSettings {
    bool Dhcp = false;
    uint32_t Address = 0; // with DHCP: the DHCP server the group wizard names, else 0
    uint32_t Netmask = 0;
    uint32_t Gateway = 0; // 0: none
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
    bool operator==(const TBasicsIPSettings&) const = default;
};

// Sent to the limited broadcast address, so that a switch whose address does not fit the
// workstation's subnet is reached too; the header's MAC names the switch. It carries the
// credential digest instead of relying on a login.
class TSessionBasicsIPConfSet : public TSessionGeneral<263> {
public:
    TSessionBasicsIPConfSet(const std::array<uint8_t, 16>& digest, const TBasicsIPSettings& settings)
        : m_Digest(digest), m_Settings(settings) {}
    const char* Name() const override { return "NetSet"; }

protected:
    uint32_t Destination(TDevice&) const override { return LimitedBroadcast; }
    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override;
    TReplyResult HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>) override;

private:
    std::array<uint8_t, 16> m_Digest;
    TBasicsIPSettings m_Settings;
};

class TSessionBasicsSave : public TSessionGeneral<264> {
public:
    const char* Name() const override { return "SaveCfg"; }
};

class TSessionBasicsDefault : public TSessionGeneral<271> {
public:
    static constexpr uint32_t KeepUser = 1;
    static constexpr uint32_t KeepIp = 2;

    TSessionBasicsDefault(uint32_t flags, bool reboot) : m_Flags(flags), m_Reboot(reboot) {}
    const char* Name() const override { return "Default"; }

protected:
    bool BuildRequest(TDevice&, std::vector<uint8_t>& payload) override;
    TReplyResult HandleReply(TDevice& device, const TMessage& message, std::span<const uint8_t>) override;

private:
    uint32_t m_Flags;
    bool m_Reboot;
};

} // namespace Intp
