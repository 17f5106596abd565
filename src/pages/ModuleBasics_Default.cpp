#include "ModuleBasics_Default.h"

#include "ui_ModuleBasics_Default.h"

#include "ui/Images.h"
#include "core/Basics.h"

TModuleBasicsDefault::TModuleBasicsDefault(QWidget* parent)
    : TModulePage(QStringLiteral("Factory Default"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsDefault>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsDefault::EventOnApply);
}

TModuleBasicsDefault::~TModuleBasicsDefault() = default;

void TModuleBasicsDefault::Notify(TDevice*, uint16_t code, uint16_t)
{
    if (code != ncSelect && code != ncDeviceRemoved)
        return;
    show();
    m_Ui->m_KeepNet->setChecked(true);
    m_Ui->m_KeepAuth->setChecked(true);
    m_Ui->m_Reboot->setChecked(false);
    const bool on = FirstSelected() != nullptr;
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_KeepNet, m_Ui->m_KeepAuth, m_Ui->m_Reboot,
                                                             m_Ui->m_Apply})
        control->setEnabled(on);
}

void TModuleBasicsDefault::EventOnApply()
{
    using Intp::TSessionBasicsDefault;
    const uint32_t flags = (m_Ui->m_KeepAuth->isChecked() ? TSessionBasicsDefault::KeepUser : 0) |
                           (m_Ui->m_KeepNet->isChecked() ? TSessionBasicsDefault::KeepIp : 0);
    const bool reboot = m_Ui->m_Reboot->isChecked();
    StartOnSelection([&](TDevice*) { return new TSessionBasicsDefault(flags, reboot); });
}
