#include "ModuleSecurity_Mac.h"

#include "ui_ModuleSecurity_Mac.h"

#include <QHeaderView>

TModuleSecurityMac::TModuleSecurityMac(QWidget* parent)
    : TModuleSecurityMacList(QStringLiteral("MAC Blacklist"), parent), m_Ui(std::make_unique<Ui::TModuleSecurityMac>())
{
    m_Ui->setupUi(this);
    auto* model = new TSecurityListModel({QStringLiteral("MAC Address")}, this);
    SetControls(m_Ui->m_List, model, m_Ui->m_MAC, m_Ui->m_Add, m_Ui->m_Delete, false);
    m_Ui->m_List->header()->hide();
}

TModuleSecurityMac::~TModuleSecurityMac() = default;

int TModuleSecurityMac::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionSecurityMacGet>(device, nullptr) ? 1 : 0;
}

void TModuleSecurityMac::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySecurityMac>(*device);
    if (!record.Valid)
        return;
    std::vector<TSecurityListModel::TRow> rows;
    rows.reserve(record.Addresses.size());
    for (const TMacAddr& mac : record.Addresses)
        rows.push_back({QString(), mac, -1});
    Model()->SetRows(std::move(rows));
    MacRule();
}

void TModuleSecurityMac::EventOnAdd(const TMacAddr& mac)
{
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurityMacAdd(mac); });
}

void TModuleSecurityMac::EventOnDelete(const TMacAddr& mac)
{
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurityMacDel(mac); });
}
