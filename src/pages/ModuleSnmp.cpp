#include "ModuleSnmp.h"

#include "ui_ModuleSnmp.h"

#include "ui/Images.h"

TModuleSnmp::TModuleSnmp(QWidget* parent)
    : TListPageOf(QStringLiteral("SNMP"), parent), m_Ui(std::make_unique<Ui::TModuleSnmp>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleSnmp::EventOnApply);
}

TModuleSnmp::~TModuleSnmp() = default;

void TModuleSnmp::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_Version->setCurrentIndex(Intp::svV1V2c);
}

void TModuleSnmp::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySnmp>(*device);
    m_Ui->m_Version->setCurrentIndex(record.Valid ? int(record.Version) : int(Intp::svV1V2c));
}

void TModuleSnmp::EventOnApply()
{
    Intp::TPropertySnmp agent;
    agent.Version = uint8_t(std::max(0, m_Ui->m_Version->currentIndex()));
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSnmpSet(agent); });
}
