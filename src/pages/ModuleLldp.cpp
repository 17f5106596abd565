#include "ModuleLldp.h"

#include "ui_ModuleLldp.h"

#include "ui/Images.h"

#include <limits>

namespace {

enum TChoice { chDisable, chEnable };

} // namespace

TModuleLldp::TModuleLldp(QWidget* parent)
    : TListPageOf(QStringLiteral("LLDP"), parent), m_Ui(std::make_unique<Ui::TModuleLldp>())
{
    m_Ui->setupUi(this);
    // The interval travels in 16 bits: the box offers no value the switch cannot receive.
    m_Ui->m_Interval->setRange(0, std::numeric_limits<uint16_t>::max());
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleLldp::EventOnApply);
}

TModuleLldp::~TModuleLldp() = default;

void TModuleLldp::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_Enable->setCurrentIndex(chDisable);
    m_Ui->m_Interval->setValue(DefaultInterval);
}

void TModuleLldp::FillFrom(TDevice* device)
{
    const auto& lldp = Intp::GetProperty<Intp::TPropertyLldp>(*device);
    if (!lldp.Valid)
        return;
    m_Ui->m_Enable->setCurrentIndex(lldp.Enabled ? chEnable : chDisable);
    m_Ui->m_Interval->setValue(lldp.Interval);
}

void TModuleLldp::EventOnApply()
{
    Intp::TPropertyLldp lldp;
    lldp.Enabled = m_Ui->m_Enable->currentIndex() == chEnable;
    lldp.Interval = uint16_t(m_Ui->m_Interval->value());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionLldpSet(lldp); });
}
