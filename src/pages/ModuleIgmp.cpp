#include "ModuleIgmp.h"

#include "ui_ModuleIgmp.h"
#include "ui_ModuleIgmp_Table.h"

#include "net/AddressText.h"
#include "ui/Images.h"

#include <QHeaderView>

TModuleIgmp::TModuleIgmp(QWidget* parent)
    : TListPageOf(QStringLiteral("IGMP Snooping"), parent), m_Ui(std::make_unique<Ui::TModuleIgmp>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleIgmp::EventOnApply);
}

TModuleIgmp::~TModuleIgmp() = default;

void TModuleIgmp::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_Snooping->setCurrentIndex(0);
    m_Ui->m_QueryMode->setCurrentIndex(Intp::iqDisable);
}

void TModuleIgmp::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyIgmp>(*device);
    if (!record.Valid)
        return;
    m_Ui->m_Snooping->setCurrentIndex(record.Snooping ? 1 : 0);
    m_Ui->m_QueryMode->setCurrentIndex(record.QueryMode);
}

void TModuleIgmp::EventOnApply()
{
    Intp::TPropertyIgmp igmp;
    igmp.Snooping = m_Ui->m_Snooping->currentIndex() != 0;
    igmp.QueryMode = uint8_t(std::max(0, m_Ui->m_QueryMode->currentIndex()));
    StartOnSelection([&](TDevice*) { return new Intp::TSessionIgmpSet(igmp); });
}

TModuleIgmpTable::TModuleIgmpTable(QWidget* parent)
    : TListPageOf(QStringLiteral("IGMP Snooping Table"), parent), m_Ui(std::make_unique<Ui::TModuleIgmpTable>()),
      m_Model(new TReportModel({QString(), QStringLiteral("IP Address"), QStringLiteral("VLAN ID"),
                                QStringLiteral("Member Port")},
                               this))
{
    m_Ui->setupUi(this);
    m_Ui->m_List->setModel(m_Model);
    TListPage::StyleList(m_Ui->m_List);
    m_Model->SetAlignment(colVid, Qt::AlignRight);
    m_Model->SetOrderPerColumn();
    QHeaderView* header = m_Ui->m_List->header();
    header->resizeSection(colNumber, 48);
    header->resizeSection(colGroup, 140);
    m_Model->FollowHeader(header);
}

TModuleIgmpTable::~TModuleIgmpTable() = default;

QString TModuleIgmpTable::MemberText(uint32_t members, int portCount)
{
    QStringList ports;
    for (int bit = 0; bit < std::min(portCount, 32); ++bit)
        if (members & (uint32_t(1) << bit))
            ports << QString::number(bit);
    return ports.join(QStringLiteral(", "));
}

bool TModuleIgmpTable::Hide(bool force)
{
    m_Model->SetRows({});
    return TModulePage::Hide(force);
}

void TModuleIgmpTable::EnableControls(bool on)
{
    m_Ui->m_List->setEnabled(on);
    m_Model->SetRows({});
}

void TModuleIgmpTable::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyIgmpTable>(*device);
    if (!record.Valid)
        return;
    std::vector<TReportModel::TRow> rows;
    rows.reserve(record.Entries.size());
    for (const Intp::TPropertyIgmpTableEntry& group : record.Entries)
        rows.push_back({TReportModel::Number(rows.size() + 1), TReportModel::Number(group.Group, AddressText(group.Group)),
                        TReportModel::Number(group.Vid),
                        TReportModel::Number(group.Members, MemberText(group.Members, device->PortCount()))});
    m_Model->SetRows(std::move(rows));
}
