#include "ModulePort_Limit.h"

#include "ui_ModulePort_Limit.h"

#include "ui/Images.h"

#include <algorithm>
#include <climits>

namespace {

enum TColumn { colPort, colType, colIngress, colEgress };

} // namespace

TModulePortLimit::TModulePortLimit(QWidget* parent)
    : TListPageOf(QStringLiteral("Rate Limit"), parent), m_Ui(std::make_unique<Ui::TModulePortLimit>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {60, 200, 80, 80});
    BindChoice(colType, m_Ui->m_Type, Intp::FrameTypeNames, m_Ui->m_TypeLabel);
    // The range is the switch's to check; the spin boxes take any rate they can hold.
    for (auto [column, box, label] : {std::tuple(colIngress, m_Ui->m_Ingress, m_Ui->m_IngressLabel),
                                      std::tuple(colEgress, m_Ui->m_Egress, m_Ui->m_EgressLabel)}) {
        AddEditor(box, label);
        connect(box, &QSpinBox::valueChanged, this, [this, column](int kbps) {
            QTreeWidgetItem* row = SelectedRow();
            if (row && !IsLoading())
                SetNumber(row, column, uint32_t(kbps));
        });
    }
    FollowSelection(m_Ui->m_Description);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModulePortLimit::EventOnApply);
}

TModulePortLimit::~TModulePortLimit() = default;

void TModulePortLimit::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyPortLimit>(*device);
    const int ports = device->PortCount();
    const bool valid = record.Valid && int(record.Entries.size()) == ports;
    for (int port = 0; port < ports; ++port) {
        // Without a record every port shows the entry's defaults: "Broadcast Only", 8192, 0.
        const Intp::TPortLimitEntry entry = valid ? record.Entries[std::size_t(port)] : Intp::TPortLimitEntry{};
        QTreeWidgetItem* row = AddRow(PortCaption(port), unsigned(port));
        SetCell(row, colType, Intp::FrameTypeNames, entry.FrameType);
        SetNumber(row, colIngress, entry.Ingress);
        SetNumber(row, colEgress, entry.Egress);
    }
}

void TModulePortLimit::LoadRow(const QTreeWidgetItem* row)
{
    TListPageOf::LoadRow(row);
    m_Ui->m_Ingress->setValue(int(std::min<unsigned>(Value(row, colIngress), INT_MAX)));
    m_Ui->m_Egress->setValue(int(std::min<unsigned>(Value(row, colEgress), INT_MAX)));
}

void TModulePortLimit::EventOnApply()
{
    std::vector<Intp::TPortLimitEntry> entries;
    for (const QTreeWidgetItem* row : Rows())
        entries.push_back({uint8_t(Value(row, colType)), Value(row, colIngress), Value(row, colEgress)});
    StartOnSelection([&](TDevice*) { return new Intp::TSessionPortLimitSet(entries); });
}
