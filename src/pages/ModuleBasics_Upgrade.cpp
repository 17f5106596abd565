#include "ModuleBasics_Upgrade.h"

namespace {

const TFileLoadKind Upgrade = {
    "Upgrade", "m_Upgrade", "&Upgrade", TImage::Firmware, "&Reboot", "Select Firmware Image ...", 15,
    Intp::TSessionBasicsUpgradeBuildin::Command, Intp::TSessionBasicsUpgradeTftp::Command,
    &NewFileSender<Intp::TSessionBasicsUpgradeBuildin>, &NewRemoteTransfer<Intp::TSessionBasicsUpgradeTftp>,
};

} // namespace

TModuleBasicsUpgrade::TModuleBasicsUpgrade(QWidget* parent) : TModuleBasicsFileLoad(Upgrade, parent) {}
