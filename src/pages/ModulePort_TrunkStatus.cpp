#include "ModulePort_TrunkStatus.h"

#include "ui_ModulePort_TrunkStatus.h"

TModulePortTrunkStatus::TModulePortTrunkStatus(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Trunk Status"), parent),
      m_Ui(std::make_unique<Ui::TModulePortTrunkStatus>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_List);
}

TModulePortTrunkStatus::~TModulePortTrunkStatus() = default;

int TModulePortTrunkStatus::Refresh(bool current)
{
    return current ? TListPageOf::Refresh(true) : 0;
}

void TModulePortTrunkStatus::AddRows(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyPortTrunk>(*device);
    if (!record.Valid)
        return;
    for (std::size_t trunk = 0; trunk < record.Entries.size(); ++trunk)
        AddTrunkRow(int(trunk), record.Entries[trunk]);
}
