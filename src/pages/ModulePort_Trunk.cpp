#include "ModulePort_Trunk.h"

#include "ui_ModulePort_Trunk.h"

#include "ui/Images.h"

#include <algorithm>

namespace {

enum TColumn { colGroup, colType, colMembers };

uint32_t Bit(int port) { return uint32_t(1) << port; }

} // namespace

TModulePortTrunk::TModulePortTrunk(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Trunk"), parent), m_Ui(std::make_unique<Ui::TModulePortTrunk>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {64, 100});
    BindChoice(colType, m_Ui->m_Type, Intp::TrunkTypeNames, m_Ui->m_TypeLabel);
    AddEditor(m_Ui->m_Member, m_Ui->m_MemberLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Member, &QListWidget::itemChanged, this, &TModulePortTrunk::EventOnMemberChange);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModulePortTrunk::EventOnApply);
}

TModulePortTrunk::~TModulePortTrunk() = default;

void TModulePortTrunk::EnableControls(bool on)
{
    m_Ui->m_Member->clear();
    TListPageOf::EnableControls(on);
}

void TModulePortTrunk::FillFrom(TDevice* device)
{
    // A member mask has 32 bits.
    const int ports = std::min(device->PortCount(), 32);
    for (int port = 0; port < ports; ++port) {
        auto* item = new QListWidgetItem(PortCaption(port));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        m_Ui->m_Member->addItem(item);
    }
    const auto& record = Intp::GetProperty<Intp::TPropertyPortTrunk>(*device);
    const int trunks = device->TrunkCount();
    const bool valid = record.Valid && int(record.Entries.size()) == trunks;
    // Without a record every group is static and has no members.
    for (int trunk = 0; trunk < trunks; ++trunk)
        AddTrunkRow(trunk, valid ? record.Entries[std::size_t(trunk)] : Intp::TPortTrunkEntry{});
}

void TModulePortTrunk::LoadRow(const QTreeWidgetItem* row)
{
    TListPageOf::LoadRow(row);
    const uint32_t members = Value(row, colMembers);
    for (int port = 0; port < m_Ui->m_Member->count(); ++port)
        m_Ui->m_Member->item(port)->setCheckState(members & Bit(port) ? Qt::Checked : Qt::Unchecked);
}

void TModulePortTrunk::EventOnMemberChange(QListWidgetItem* item)
{
    QTreeWidgetItem* row = SelectedRow();
    if (!row || IsLoading())
        return;
    const uint32_t bit = Bit(m_Ui->m_Member->row(item));
    const uint32_t members = item->checkState() == Qt::Checked ? Value(row, colMembers) | bit
                                                               : Value(row, colMembers) & ~bit;
    SetCell(row, colMembers, members, MemberPortsText(members));
}

void TModulePortTrunk::EventOnApply()
{
    std::vector<Intp::TPortTrunkEntry> entries;
    for (const QTreeWidgetItem* row : Rows())
        entries.push_back({Value(row, colMembers), Value(row, colType) != 0});
    StartOnSelection([&](TDevice*) { return new Intp::TSessionPortTrunkSet(entries); });
}
