// Feeds arbitrary datagrams through the receive dispatch while sessions of every command
// built so far wait for replies. Each input is split into datagrams by a one-byte length prefix.
#include "core/DeviceType.h"
#include "core/Basics.h"
#include "core/Dhcp.h"
#include "core/Dispatch.h"
#include "net/FindHook.h"
#include "core/Igmp.h"
#include "core/IntpCore.h"
#include "core/Port.h"
#include "core/Monitor.h"
#include "core/Qos.h"
#include "core/Redundancy.h"
#include "core/Security.h"
#include "core/Snmp.h"
#include "core/Sntp.h"
#include "core/Transfer.h"
#include "core/Vlan.h"
#include "core/Warning.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include <unistd.h>

namespace {

class TFuzzCallback : public Intp::TSessionCallback {
public:
    std::map<Intp::TSession*, unsigned> Timers;
    void StartTimer(Intp::TSession* s, unsigned interval) override { Timers.emplace(s, interval); }
    void StopTimer(Intp::TSession* s) override { Timers.erase(s); }
    void EnableTimer(Intp::TSession*, bool) override {}
    void SendTo(uint32_t, const uint8_t*, std::size_t) override {}
    void Result(TDevice* d, uint16_t code, uint16_t status, const Intp::TResultData& data, Intp::TWizard* receiver,
                const char*) override
    {
        // The discovery chain starts further sessions from here.
        if (receiver)
            receiver->OnResult(d, code, status, data);
    }
    void SetInterval(Intp::TSession*, unsigned) override {}
};

const uint8_t TargetMac[6] = {0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x01};

// A small file for the built-in senders and a place for the backup's file; removed at exit.
struct TTransferFolder {
    std::filesystem::path Path = std::filesystem::temp_directory_path() / ("zode-fuzz-" + std::to_string(::getpid()));
    TTransferFolder()
    {
        std::filesystem::create_directories(Path);
        if (std::FILE* f = std::fopen((Path / "image.bin").c_str(), "wb")) {
            std::fputs("a firmware image of a few bytes, shorter than two blocks", f);
            std::fclose(f);
        }
    }
    ~TTransferFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

const std::filesystem::path& TransferFolder()
{
    static const TTransferFolder folder;
    return folder.Path;
}

template <typename S>
void StartSender(TDevice* d)
{
    auto* session = new S;
    if (!session->OpenSourceFile((TransferFolder() / "image.bin").string()) || !Intp::Start(session, d, nullptr))
        delete session;
}

template <typename S>
void StartRemote(TDevice* d)
{
    auto* session = new S;
    session->SetRequest({0x0A000063, 69, "image.bin"});
    if (!Intp::Start(session, d, nullptr))
        delete session;
}

void StartEverything(TDevice* d, Intp::TWizard* hook)
{
    using namespace Intp;
    StartNew<TSessionIntpLogin>(d, nullptr, "admin", "admin");
    Start(TSessionIntpLogin::Logout(), d, nullptr);
    StartNew<TSessionIntpPing2>(d, nullptr, 1000u);
    StartNew<TSessionIntpSipGet>(d, hook);
    StartNew<TSessionBasicsReboot>(d, nullptr);
    StartNew<TSessionBasicsSettingsGet>(d, hook);
    StartNew<TSessionBasicsIPConfGet>(d, hook);
    StartNew<TSessionBasicsSave>(d, nullptr);
    StartNew<TSessionBasicsDefault>(d, nullptr, 3u, true);
    StartNew<TSessionBasicsSettingsSet>(d, nullptr, TBasicsSettingsTexts{"n", "d", "l", "c"});
    StartNew<TSessionBasicsPassword>(d, nullptr, std::string("admin"), std::string("admin"));
    StartNew<TSessionBasicsIPConfSet>(d, nullptr, CredentialDigest("admin", "admin"), TBasicsIPSettings{false, 0x0A000002, 0xFFFFFF00, 0, 0, 0});
    StartNew<TSessionBasicsSntpGet>(d, nullptr);
    StartNew<TSessionBasicsSntpSet>(d, nullptr, TPropertyBasicsSntp{});
    StartNew<TSessionPortNameGet>(d, nullptr);
    StartNew<TSessionPortConfigGet>(d, nullptr);
    StartNew<TSessionPortConfigSet>(d, nullptr, std::vector<TPortConfigEntry>(std::size_t(d->LogicalPortCount())));
    StartNew<TSessionPortStatusGet>(d, nullptr);
    StartNew<TSessionPortLimitGet>(d, nullptr);
    StartNew<TSessionPortLimitSet>(d, nullptr, std::vector<TPortLimitEntry>(std::size_t(d->PortCount())));
    StartNew<TSessionPortTrunkGet>(d, nullptr);
    StartNew<TSessionPortTrunkSet>(d, nullptr, std::vector<TPortTrunkEntry>(std::size_t(d->TrunkCount())));
    StartNew<TSessionVlanGet>(d, nullptr);
    StartNew<TSessionVlanPortGet>(d, nullptr);
    StartNew<TSessionVlan8021qGet>(d, nullptr);
    StartNew<TSessionVlan8021qSet>(d, nullptr, TPropertyVlan8021q{});
    StartNew<TSessionVlan8021qPortGet>(d, nullptr);
    StartNew<TSessionVlan8021qPortSet>(d, nullptr, std::vector<uint16_t>{0x0102, 1, 2, 0});
    StartNew<TSessionRedundancySringGet>(d, hook);
    StartNew<TSessionRedundancySringSet>(d, nullptr, TPropertyRedundancySring{});
    StartNew<TSessionRedundancyRstpGet>(d, hook);
    StartNew<TSessionRedundancyRstpSet>(d, nullptr, std::vector<TPropertyRedundancyRstpEntry>(std::size_t(d->PortCount())));
    StartNew<TSessionRedundancyRstpInfoGet>(d, hook);
    StartNew<TSessionRedundancyGet>(d, hook);
    StartNew<TSessionWarningFaultGet>(d, hook);
    StartNew<TSessionWarningFaultSet>(d, nullptr, TPropertyWarningFault{});
    StartNew<TSessionWarningSyslogGet>(d, hook);
    StartNew<TSessionWarningSyslogSet>(d, nullptr, TPropertyWarningSyslog{});
    StartNew<TSessionWarningSmtpGet>(d, hook);
    TPropertyWarningSmtp smtp;
    smtp.Entries.resize(std::size_t(d->RecipientCount()));
    StartNew<TSessionWarningSmtpSet>(d, nullptr, smtp, std::string());
    StartNew<TSessionWarningEventGet>(d, hook);
    StartNew<TSessionWarningEventSet>(d, nullptr, TPropertyWarningEvent{});
    StartNew<TSessionQosGet>(d, hook);
    StartNew<TSessionQosSet>(d, nullptr, TPropertyQos{});
    StartNew<TSessionQosPortGet>(d, hook);
    StartNew<TSessionQosPortSet>(d, nullptr, std::vector<TQosByte>(std::size_t(d->PortCount())));
    StartNew<TSessionQosCosGet>(d, hook);
    TPropertyQosCos cos;
    cos.Entries.resize(std::size_t(d->PortCount()));
    StartNew<TSessionQosCosSet>(d, nullptr, cos);
    StartNew<TSessionQosTosGet>(d, hook);
    StartNew<TSessionQosTosSet>(d, nullptr, TPropertyQosTos{});
    StartNew<TSessionMonitorMacGet>(d, hook);
    StartNew<TSessionMonitorMacClear>(d, nullptr);
    StartNew<TSessionMonitorPortGet>(d, hook);
    StartNew<TSessionMonitorPortClear>(d, nullptr);
    StartNew<TSessionMonitorMirrorGet>(d, hook);
    StartNew<TSessionMonitorMirrorSet>(d, nullptr, TPropertyMonitorMirror{});
    StartNew<TSessionMonitorEventGet>(d, hook);
    StartNew<TSessionMonitorEventClear>(d, nullptr);
    StartNew<TSessionLldpGet>(d, hook);
    StartNew<TSessionLldpSet>(d, nullptr, TPropertyLldp{});
    StartNew<TSessionSecurityIpGet>(d, hook);
    TPropertySecurityIp access;
    access.Addresses.resize(std::size_t(d->AccessListCount()));
    StartNew<TSessionSecurityIpSet>(d, nullptr, access);
    StartNew<TSessionSecurityPortGet>(d, hook);
    StartNew<TSessionSecurityPortAdd>(d, nullptr, TPropertySecurityPortEntry{});
    StartNew<TSessionSecurityPortDel>(d, nullptr, TMacAddr());
    StartNew<TSessionSecurityMacGet>(d, hook);
    StartNew<TSessionSecurityMacAdd>(d, nullptr, TMacAddr());
    StartNew<TSessionSecurityMacDel>(d, nullptr, TMacAddr());
    StartNew<TSessionSecurity8021xGet>(d, hook);
    StartNew<TSessionSecurity8021xSet>(d, nullptr, TPropertySecurity8021x{});
    StartNew<TSessionSecurity8021xPortGet>(d, hook);
    StartNew<TSessionSecurity8021xPortSet>(d, nullptr, std::vector<uint8_t>(std::size_t(d->PortCount())));
    StartNew<TSessionSnmpGet>(d, hook);
    StartNew<TSessionSnmpSet>(d, nullptr, TPropertySnmp{});
    StartNew<TSessionSnmpCommunityGet>(d, hook);
    StartNew<TSessionSnmpCommunitySet>(d, nullptr,
                                       std::vector<TPropertySnmpCommunityEntry>(std::size_t(d->CommunityCount())));
    StartNew<TSessionSnmpUserGet>(d, hook);
    StartNew<TSessionSnmpUserAdd>(d, nullptr, TSnmpUserRequest{"u", "a", "p"});
    StartNew<TSessionSnmpUserDel>(d, nullptr, TSnmpUserRequest{"u", "", ""});
    StartNew<TSessionSnmpTrapGet>(d, hook);
    StartNew<TSessionSnmpTrapAdd>(d, nullptr, TPropertySnmpTrapEntry{0x0A000002, "t", 1});
    StartNew<TSessionSnmpTrapDel>(d, nullptr, TSnmpTrapAddress{0x0A000002});
    StartNew<TSessionBasicsDhcpGet>(d, hook);
    StartNew<TSessionBasicsDhcpSet>(d, nullptr, TPropertyBasicsDhcp{});
    StartNew<TSessionBasicsDhcpEntry>(d, hook);
    StartNew<TSessionBasicsDhcpPortIpGet>(d, hook);
    StartNew<TSessionBasicsDhcpPortIpSet>(d, nullptr, std::vector<uint32_t>(std::size_t(d->PortCount())));
    StartNew<TSessionIgmpGet>(d, hook);
    StartNew<TSessionIgmpSet>(d, nullptr, TPropertyIgmp{});
    StartNew<TSessionIgmpTable>(d, hook);
    StartSender<TSessionBasicsUpgradeBuildin>(d);
    StartSender<TSessionBasicsRestoreBuildin>(d);
    auto* backup = new TSessionBasicsBackupBuildin;
    if (!backup->OpenTargetFile((TransferFolder() / "backup.bin").string()) || !Start(backup, d, nullptr))
        delete backup;
    StartRemote<TSessionBasicsBackupTftp>(d);
    StartRemote<TSessionBasicsRestoreTftp>(d);
    StartRemote<TSessionBasicsUpgradeTftp>(d);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TFuzzCallback callback;
    static TFindHook hook(nullptr, nullptr);
    static bool once = [] {
        Intp::RegisterKnownModels();
        Intp::SetSessionCallback(&callback);
        return true;
    }();
    (void)once;

    Registry::Clear();
    // Each input is a discovery of its own: every switch may answer it once.
    Intp::TSessionIntpFind::Instance().Discover({{0x0A000000, 0xFFFFFF00}}, &hook);
    TDevice* device = Registry::Find(TMacAddr(TargetMac), true);
    device->SetAddress(0x0A000001);
    // A known model, so that lists counted by ports and trunks can be accepted and Sets go out.
    device->SetType(Intp::RegisterKnownModels()[0]);
    StartEverything(device, &hook);

    std::vector<uint8_t> datagram;
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t length = data[pos++];
        bool aim = length & 0x80; // point the datagram at the waiting device
        length &= 0x7F;
        if (length == 0x7F)
            length = size - pos; // the rest, however long
        length = std::min(length, size - pos);
        datagram.assign(data + pos, data + pos + length);
        pos += length;
        if (aim && datagram.size() >= Intp::HeaderSize)
            std::memcpy(datagram.data() + Intp::OffMac, TargetMac, 6);
        Intp::Dispatch(0x0A000001, datagram.data(), datagram.size());
    }
    Intp::DestroyPendingSessions();
    return 0;
}
