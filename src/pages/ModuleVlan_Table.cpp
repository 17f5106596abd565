#include "ModuleVlan_Table.h"

#include "ui_ModuleVlan_Table.h"

#include "ui/Dialogs.h"
#include "core/Vlan.h"

#include <QHeaderView>


TModuleVlanTable::TModuleVlanTable(QWidget* parent)
    : TModuleGetPage(QStringLiteral("VLAN Table"), parent), m_Ui(std::make_unique<Ui::TModuleVlanTable>()),
      m_Model(new TReportModel({QString(), QStringLiteral("VLAN ID"), QStringLiteral("Untagged Ports"),
                                QStringLiteral("Tagged Ports")},
                               this))
{
    m_Ui->setupUi(this);
    m_Ui->m_List->setModel(m_Model);
    m_Model->SetAlignment(colNumber, Qt::AlignRight);
    m_Model->SetAlignment(colVid, Qt::AlignRight);
    m_Ui->m_List->verticalHeader()->hide();
    QHeaderView* header = m_Ui->m_List->horizontalHeader();
    header->setStretchLastSection(true);
    header->resizeSection(colNumber, 40);
    header->resizeSection(colUntagged, 200);
    // Each column keeps its own direction, the first click ascending.
    m_Model->SetOrderPerColumn();
    m_Model->FollowHeader(header);
}

TModuleVlanTable::~TModuleVlanTable() = default;

int TModuleVlanTable::Refresh(bool current)
{
    return current ? StartOnSelection([](TDevice*) { return new Intp::TSessionVlanGet; }) : 0;
}

void TModuleVlanTable::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    // The mode says which list the switch keeps.
    if (code == Intp::TSessionVlanGet::Command && device) {
        const auto& vlan = Intp::GetProperty<Intp::TPropertyVlan>(*device);
        if (vlan.Valid && vlan.Mode == Intp::vmPortBased && Intp::StartNew<Intp::TSessionVlanPortGet>(device, nullptr))
            return;
        if (vlan.Valid && vlan.Mode == Intp::vm8021q && Intp::StartNew<Intp::TSessionVlan8021qPortGet>(device, nullptr))
            return;
    }
    TModuleGetPage::Notify(device, code, status);
}

bool TModuleVlanTable::Hide(bool force)
{
    m_Model->SetRows({});
    return TModuleGetPage::Hide(force);
}

bool TModuleVlanTable::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionVlanGet::Command || code == Intp::TSessionVlanPortGet::Command ||
           code == Intp::TSessionVlan8021qPortGet::Command;
}

int TModuleVlanTable::StartGets(TDevice*)
{
    return 0;
}

void TModuleVlanTable::EnableControls(bool on)
{
    m_Model->SetRows({});
    m_Ui->m_List->setEnabled(on);
}

void TModuleVlanTable::FillFrom(TDevice* device)
{
    show();
    const auto& vlan = Intp::GetProperty<Intp::TPropertyVlan>(*device);
    if (!vlan.Valid)
        return;
    std::vector<TReportModel::TRow> rows;
    auto add = [&rows](uint16_t vid, uint32_t untagged, uint32_t tagged) {
        rows.push_back({TReportModel::Number(rows.size() + 1), TReportModel::Number(vid),
                        {QString::fromStdString(Intp::MaskPortsText(untagged))},
                        {QString::fromStdString(Intp::MaskPortsText(tagged))}});
    };
    if (vlan.Mode == Intp::vmPortBased) {
        const auto& list = Intp::GetProperty<Intp::TPropertyVlanPort>(*device);
        if (list.Valid)
            for (const Intp::TPropertyVlanPortEntry& entry : list.Entries)
                add(entry.Vid, entry.Members, 0);
    } else if (vlan.Mode == Intp::vm8021q) {
        const auto& list = Intp::GetProperty<Intp::TPropertyVlan8021qPort>(*device);
        if (list.Valid)
            for (const Intp::TPropertyVlan8021qPortEntry& entry : list.Entries)
                add(entry.Vid, entry.Untagged, entry.Tagged);
    } else {
        Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("VLAN Not Enabled!"));
    }
    m_Model->SetRows(std::move(rows));
}
