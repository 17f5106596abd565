#include "ModuleBasics_Reboot.h"

#include "ui_ModuleBasics_Reboot.h"

#include "ui/Images.h"

TModuleBasicsReboot::TModuleBasicsReboot(QWidget* parent)
    : TModulePage(QStringLiteral("Reboot"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsReboot>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Reboot->setIcon(Icon(TImage::Reboot));
    connect(m_Ui->m_Reboot, &QPushButton::clicked, this, &TModuleBasicsReboot::EventOnReboot);
}

TModuleBasicsReboot::~TModuleBasicsReboot() = default;

void TModuleBasicsReboot::Notify(TDevice*, uint16_t code, uint16_t)
{
    if (code != ncSelect && code != ncDeviceRemoved)
        return;
    show();
    m_Ui->m_Reboot->setEnabled(FirstSelected() != nullptr);
}

void TModuleBasicsReboot::EventOnReboot()
{
    RebootSelected();
}
