#include "ModulePort_Status.h"

#include "ui_ModulePort_Status.h"

namespace {

enum TColumn { colPort, colType, colLink, colState, colDuplex, colFlow };

} // namespace

TModulePortStatus::TModulePortStatus(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Status"), parent), m_Ui(std::make_unique<Ui::TModulePortStatus>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_List);
    SetSortColumn(colPort);
}

TModulePortStatus::~TModulePortStatus() = default;

void TModulePortStatus::AddRows(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyPortStatus>(*device);
    if (!record.Valid)
        return;
    for (std::size_t port = 0; port < record.Entries.size(); ++port) {
        const Intp::TPortStatusEntry& entry = record.Entries[port];
        QTreeWidgetItem* row = AddRow(PortCaption(int(port)), unsigned(port));
        SetCell(row, colType, Intp::PortTypeNames, entry.Type);
        SetCell(row, colLink, Intp::LinkNames, entry.Link ? 1 : 0);
        SetCell(row, colState, Intp::EnableNames, entry.Enabled ? 1 : 0);
        SetCell(row, colDuplex, Intp::SpeedDuplexNames, entry.Duplex);
        // The status knows only whether flow control is on: "Disable" or "Symmetric".
        SetCell(row, colFlow, Intp::FlowControlNames, entry.Flow ? 1 : 0);
    }
}
