// The pages built so far, by their path in the function tree. The frame puts a folder
// node with the caption wherever this returns null.
#include "ui/Module.h"

#include "pages/ModuleBasics.h"
#include "pages/ModuleBasics_Backup.h"
#include "pages/ModuleBasics_Default.h"
#include "pages/ModuleBasics_IPConf.h"
#include "pages/ModuleBasics_Password.h"
#include "pages/ModuleBasics_Reboot.h"
#include "pages/ModuleBasics_Restore.h"
#include "pages/ModuleBasics_Settings.h"
#include "pages/ModuleBasics_Sntp.h"
#include "pages/ModuleBasics_Upgrade.h"
#include "pages/ModuleLldp.h"
#include "pages/ModuleMonitor_Event.h"
#include "pages/ModuleMonitor_Mac.h"
#include "pages/ModuleMonitor_Mirror.h"
#include "pages/ModuleMonitor_Port.h"
#include "pages/ModulePort_Config.h"
#include "pages/ModulePort_Limit.h"
#include "pages/ModulePort_Status.h"
#include "pages/ModulePort_Trunk.h"
#include "pages/ModulePort_TrunkStatus.h"
#include "pages/ModuleRedundancy_Rstp.h"
#include "pages/ModuleRedundancy_RstpInfo.h"
#include "pages/ModuleRedundancy_Sring.h"
#include "pages/ModuleBasics_Dhcp.h"
#include "pages/ModuleIgmp.h"
#include "pages/ModuleQos.h"
#include "pages/ModuleSnmp.h"
#include "pages/ModuleSnmp_Community.h"
#include "pages/ModuleSnmp_Trap.h"
#include "pages/ModuleSnmp_User.h"
#include "pages/ModuleSave.h"
#include "pages/ModuleVlan_8021q.h"
#include "pages/ModuleVlan_8021qPort.h"
#include "pages/ModuleVlan_Table.h"
#include "pages/ModuleSecurity_8021x.h"
#include "pages/ModuleSecurity_8021xPort.h"
#include "pages/ModuleSecurity_IP.h"
#include "pages/ModuleSecurity_Mac.h"
#include "pages/ModuleSecurity_Port.h"
#include "pages/ModuleWarning.h"

#include <QHash>
#include <QWidget>

namespace {

using TPageFactory = TModule* (*)(QWidget* parent);

template <typename T>
TModule* Create(QWidget* parent)
{
    return new T(parent);
}

// The event page lists every system event it knows.
TModule* CreateWarningEvent(QWidget* parent)
{
    auto* page = new TModuleWarningEvent(parent);
    page->SetSystemEvents((1u << TModuleWarningEvent::seCount) - 1);
    return page;
}

const QHash<QString, TPageFactory>& Pages()
{
    static const QHash<QString, TPageFactory> pages = {
        {QStringLiteral("Basics"), &Create<TModuleBasics>},
        {QStringLiteral("Basics/Switch Setting"), &Create<TModuleBasicsSettings>},
        {QStringLiteral("Basics/Admin Password"), &Create<TModuleBasicsPassword>},
        {QStringLiteral("Basics/IP Configuration"), &Create<TModuleBasicsIPConf>},
        {QStringLiteral("Basics/Time (SNTP)"), &Create<TModuleBasicsSntp>},
        {QStringLiteral("Basics/DHCP Server"), &Create<TModuleBasicsDhcp>},
        {QStringLiteral("Basics/DHCP Server/Client Entries"), &Create<TModuleBasicsDhcpEntry>},
        {QStringLiteral("Basics/DHCP Server/Port and IP Binding"), &Create<TModuleBasicsDhcpPortIp>},
        {QStringLiteral("Basics/Backup"), &Create<TModuleBasicsBackup>},
        {QStringLiteral("Basics/Restore"), &Create<TModuleBasicsRestore>},
        {QStringLiteral("Basics/Upgrade"), &Create<TModuleBasicsUpgrade>},
        {QStringLiteral("Basics/Factory Default"), &Create<TModuleBasicsDefault>},
        {QStringLiteral("Basics/Reboot"), &Create<TModuleBasicsReboot>},
        {QStringLiteral("Port Configuration"), &Create<TModulePortConfig>},
        {QStringLiteral("Port Configuration/Port Status"), &Create<TModulePortStatus>},
        {QStringLiteral("Port Configuration/Rate Limit"), &Create<TModulePortLimit>},
        {QStringLiteral("Port Configuration/Port Trunk"), &Create<TModulePortTrunk>},
        {QStringLiteral("Port Configuration/Port Trunk/Port Trunk Status"), &Create<TModulePortTrunkStatus>},
        {QStringLiteral("802.1Q VLAN"), &Create<TModuleVlan8021q>},
        {QStringLiteral("802.1Q VLAN/Port Configuration"), &Create<TModuleVlan8021qPort>},
        {QStringLiteral("802.1Q VLAN/VLAN Table"), &Create<TModuleVlanTable>},
        {QStringLiteral("Redundancy/Vantor Ring"), &Create<TModuleRedundancySring>},
        {QStringLiteral("Redundancy/RSTP Settings"), &Create<TModuleRedundancyRstp>},
        {QStringLiteral("Redundancy/RSTP Settings/RSTP Information"), &Create<TModuleRedundancyRstpInfo>},
        {QStringLiteral("Traffic Prioritization"), &Create<TModuleQos>},
        {QStringLiteral("Traffic Prioritization/Port Based Priority"), &Create<TModuleQosPort>},
        {QStringLiteral("Traffic Prioritization/COS Settings"), &Create<TModuleQosCos>},
        {QStringLiteral("Traffic Prioritization/TOS Settings"), &Create<TModuleQosTos>},
        {QStringLiteral("IGMP Snooping"), &Create<TModuleIgmp>},
        {QStringLiteral("IGMP Snooping/IGMP Snooping Table"), &Create<TModuleIgmpTable>},
        {QStringLiteral("Monitor And Diagnostic/MAC Address Table"), &Create<TModuleMonitorMac>},
        {QStringLiteral("Monitor And Diagnostic/Port Statistics"), &Create<TModuleMonitorPort>},
        {QStringLiteral("Monitor And Diagnostic/Port Mirroring"), &Create<TModuleMonitorMirror>},
        {QStringLiteral("Monitor And Diagnostic/System Event Log"), &Create<TModuleMonitorEvent>},
        {QStringLiteral("Monitor And Diagnostic/LLDP"), &Create<TModuleLldp>},
        {QStringLiteral("Security/IP Security"), &Create<TModuleSecurityIP>},
        {QStringLiteral("Security/Port Security"), &Create<TModuleSecurityPort>},
        {QStringLiteral("Security/MAC Blacklist"), &Create<TModuleSecurityMac>},
        {QStringLiteral("Security/802.1x"), &Create<TModuleSecurity8021x>},
        {QStringLiteral("Security/802.1x/Port Auth"), &Create<TModuleSecurity8021xPort>},
        {QStringLiteral("SNMP"), &Create<TModuleSnmp>},
        {QStringLiteral("SNMP/Community"), &Create<TModuleSnmpCommunity>},
        {QStringLiteral("SNMP/SNMPv3 User"), &Create<TModuleSnmpUser>},
        {QStringLiteral("SNMP/Trap Settings"), &Create<TModuleSnmpTrap>},
        {QStringLiteral("Warning/Fault Alarm"), &Create<TModuleWarningFault>},
        {QStringLiteral("Warning/Syslog Settings"), &Create<TModuleWarningSyslog>},
        {QStringLiteral("Warning/SMTP Settings"), &Create<TModuleWarningSmtp>},
        {QStringLiteral("Warning/Event Settings"), &CreateWarningEvent},
        {QStringLiteral("Save To Flash"), &Create<TModuleSave>},
    };
    return pages;
}

} // namespace

TModule* CreateCataloguePage(const QString& path, QWidget* parent)
{
    TPageFactory create = Pages().value(path);
    return create ? create(parent) : nullptr;
}
