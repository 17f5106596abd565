#include "ModuleRedundancy_RstpInfo.h"

#include "ui_ModuleRedundancy_RstpInfo.h"

namespace {

enum TColumn { colPort, colCost, colPriority, colP2p, colEdge, colNeighbour, colState, colRole };

} // namespace

TModuleRedundancyRstpInfo::TModuleRedundancyRstpInfo(QWidget* parent)
    : TListPageOf(QStringLiteral("RSTP Information"), parent), m_Ui(std::make_unique<Ui::TModuleRedundancyRstpInfo>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_List);
    SortByValue(colCost);
    SortByValue(colPriority);
    // Each column keeps its own direction, the first click ascending.
    SetOrderPerColumn();
    for (QLabel* label : findChildren<QLabel*>())
        FollowSelection(label);
}

TModuleRedundancyRstpInfo::~TModuleRedundancyRstpInfo() = default;

void TModuleRedundancyRstpInfo::AddRows(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyRedundancyRstpInfo>(*device);
    // Without a record the labels keep what they showed, disabled.
    if (!record.Valid) {
        EnableControls(false);
        return;
    }
    const std::pair<QLabel*, QString> values[] = {
        {m_Ui->m_BridgeId, QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(record.RootBridgeId.data()),
                                                          qsizetype(record.RootBridgeId.size()))
                                                   .toHex()
                                                   .toUpper())},
        {m_Ui->m_Priority, QString::number(record.RootPriority)},
        {m_Ui->m_RootPort, record.RootPort == Intp::TPropertyRedundancyRstpInfo::ThisBridgeIsRoot
                               ? QStringLiteral("Root")
                               : PortCaption(record.RootPort - 1)},
        {m_Ui->m_PathCost, QString::number(record.RootPathCost)},
        {m_Ui->m_MaxAge, QString::number(record.MaxAge)},
        {m_Ui->m_Hello, QString::number(record.Hello)},
        {m_Ui->m_Delay, QString::number(record.ForwardDelay)},
    };
    for (const auto& [label, text] : values)
        label->setText(record.Running ? text : QStringLiteral("N/A"));
    if (!record.Running)
        return;
    for (std::size_t port = 0; port < record.Entries.size(); ++port) {
        const Intp::TPropertyRedundancyRstpInfoEntry& entry = record.Entries[port];
        QTreeWidgetItem* row = AddRow(PortCaption(int(port)), unsigned(port));
        SetNumber(row, colCost, entry.PathCost);
        SetNumber(row, colPriority, entry.Priority);
        for (int column : {colCost, colPriority})
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        SetCell(row, colP2p, Intp::PointToPointNames, entry.P2p);
        SetCell(row, colEdge, Intp::TruthNames, entry.Edge ? 1 : 0);
        SetCell(row, colNeighbour, Intp::TruthNames, entry.Neighbour ? 1 : 0);
        SetCell(row, colState, Intp::RstpStateNames, entry.State);
        SetCell(row, colRole, Intp::RstpRoleNames, entry.Role);
    }
}
