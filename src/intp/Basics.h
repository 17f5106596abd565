// Basics commands: reboot (259), system information (260), network settings (262),
// save to flash (264) and factory default (271).
#pragma once

#include "SessionShapes.h"

#include <string>

namespace Intp {

INTP_COMMAND_TRAITS(259, 4, 4);
INTP_COMMAND_TRAITS(260, 4, 1289);
INTP_COMMAND_TRAITS(262, 4, 21);
INTP_COMMAND_TRAITS(264, 4, 4);
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

class TSessionBasicsIPConfGet : public TSessionGetRecord<262, TPropertyBasicsIPConf> {
public:
    const char* Name() const override { return "NetGet"; }
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
