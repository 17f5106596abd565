#include "ModuleVlan_8021q.h"

#include "ui_ModuleVlan_8021q.h"

#include "ui/Images.h"
#include "core/Vlan.h"

TModuleVlan8021q::TModuleVlan8021q(QWidget* parent)
    : TModuleGetPage(QStringLiteral("802.1Q VLAN"), parent), m_Ui(std::make_unique<Ui::TModuleVlan8021q>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleVlan8021q::EventOnApply);
}

TModuleVlan8021q::~TModuleVlan8021q() = default;

int TModuleVlan8021q::Refresh(bool current)
{
    if (!current)
        return TModuleGetPage::Refresh(false);
    return StartOnSelection([](TDevice*) { return new Intp::TSessionVlanGet; });
}

void TModuleVlan8021q::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    // GVRP means something only in 802.1Q mode, so it is asked for once the mode is known.
    if (code == Intp::TSessionVlanGet::Command && device && Intp::GetProperty<Intp::TPropertyVlan>(*device).Valid &&
        Intp::StartNew<Intp::TSessionVlan8021qGet>(device, nullptr))
        return;
    TModuleGetPage::Notify(device, code, status);
}

bool TModuleVlan8021q::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionVlanGet::Command || code == Intp::TSessionVlan8021qGet::Command;
}

int TModuleVlan8021q::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionVlan8021qGet>(device, nullptr) ? 1 : 0;
}

void TModuleVlan8021q::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_Gvrp->setCurrentIndex(0);
    m_Ui->m_Vid->setValue(0);
}

void TModuleVlan8021q::FillFrom(TDevice* device)
{
    const auto& vlan = Intp::GetProperty<Intp::TPropertyVlan>(*device);
    // A switch whose mode is unknown may still take the settings.
    const bool editing = !vlan.Valid || vlan.Mode == Intp::vm8021q;
    EnableControls(editing);
    const auto& record = Intp::GetProperty<Intp::TPropertyVlan8021q>(*device);
    if (!editing || !record.Valid)
        return;
    m_Ui->m_Gvrp->setCurrentIndex(record.Gvrp ? 1 : 0);
    m_Ui->m_Vid->setValue(record.ManagementVid);
}

void TModuleVlan8021q::EventOnApply()
{
    Intp::TPropertyVlan8021q record;
    record.Gvrp = m_Ui->m_Gvrp->currentIndex() != 0;
    record.ManagementVid = uint16_t(m_Ui->m_Vid->value());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionVlan8021qSet(record); });
}
