#include "ModuleMonitor_Port.h"

#include "ui_ModuleMonitor_Port.h"

#include "ui/Images.h"

#include <QHeaderView>

namespace {

enum TColumn { colPort, colType, colLink, colState, colFirstCounter };

} // namespace

TModuleMonitorPort::TModuleMonitorPort(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Statistics"), parent), m_Ui(std::make_unique<Ui::TModuleMonitorPort>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_List);
    SetSortColumn(colPort);
    SetOrderPerColumn();
    for (int column = colFirstCounter; column < int(colFirstCounter) + int(Intp::mcCount); ++column) {
        SortByValue(column);
        m_Ui->m_List->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_Ui->m_Clear->setIcon(Icon(TImage::Clear));
    FollowSelection(m_Ui->m_Clear);
    connect(m_Ui->m_Clear, &QPushButton::clicked, this, [this] {
        StartOnSelection([](TDevice*) { return new Intp::TSessionMonitorPortClear; });
    });
}

TModuleMonitorPort::~TModuleMonitorPort() = default;

int TModuleMonitorPort::Refresh(bool current)
{
    if (!current)
        return TListPageOf::Refresh(current);
    int started = 0;
    for (TDevice* device : SelectedDevices())
        started += Intp::StartNew<Intp::TSessionPortStatusGet>(device, nullptr) ? 1 : 0;
    return started;
}

void TModuleMonitorPort::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    if (device && code == Intp::TSessionPortStatusGet::Command) {
        // The chain goes on to the counters; where it cannot, the page shows what there is.
        if (Intp::GetProperty<Intp::TPropertyPortStatus>(*device).Valid &&
            Intp::StartNew<Intp::TSessionMonitorPortGet>(device, nullptr))
            return;
        code = Intp::TSessionMonitorPortGet::Command;
    }
    TListPageOf::Notify(device, code, status);
}

void TModuleMonitorPort::AddRows(TDevice* device)
{
    const auto& ports = Intp::GetProperty<Intp::TPropertyPortStatus>(*device);
    const auto& counters = Intp::GetProperty<Intp::TPropertyMonitorPort>(*device);
    if (!ports.Valid || !counters.Valid)
        return;
    const std::size_t count = std::min(ports.Entries.size(), counters.Entries.size());
    for (std::size_t port = 0; port < count; ++port) {
        const Intp::TPortStatusEntry& entry = ports.Entries[port];
        QTreeWidgetItem* row = AddRow(PortCaption(int(port)), unsigned(port));
        SetCell(row, colType, Intp::PortTypeNames, entry.Type);
        SetCell(row, colLink, Intp::LinkNames, entry.Link ? 1 : 0);
        SetCell(row, colState, Intp::EnableNames, entry.Enabled ? 1 : 0);
        for (int i = 0; i < Intp::mcCount; ++i) {
            const uint32_t value = counters.Entries[port].Counters[std::size_t(i)];
            SetCell(row, colFirstCounter + i, value, QString::number(value));
            row->setTextAlignment(colFirstCounter + i, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}
