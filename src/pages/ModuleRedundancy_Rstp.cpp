#include "ModuleRedundancy_Rstp.h"

#include "ui_ModuleRedundancy_Rstp.h"

#include "ui/Images.h"

#include <QLineEdit>

namespace {

enum TColumn { colPort, colCost, colPriority, colP2p, colEdge, colStp };

enum TMode { modeDisable, modeEnable };

constexpr unsigned MaxPathCost = 200000000;
constexpr unsigned MaxPortPriority = 240;
constexpr unsigned PortPriorityStep = 16;

// "(low - high)" beside a spin edit, from its limits.
void ShowRange(QLabel* range, const QSpinBox* box)
{
    range->setText(QStringLiteral("(%1 - %2)").arg(box->minimum()).arg(box->maximum()));
}

// Stepped values are chosen with the arrows only, never typed.
void StepOnly(QSpinBox* box)
{
    box->findChild<QLineEdit*>()->setReadOnly(true);
}

} // namespace

TModuleRedundancyRstp::TModuleRedundancyRstp(QWidget* parent)
    : TListPageOf(QStringLiteral("RSTP Settings"), parent), m_Ui(std::make_unique<Ui::TModuleRedundancyRstp>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView);
    m_Ui->m_Mode->addItems(ValueTexts(Intp::EnableNames));
    for (auto [box, range] : {std::pair(m_Ui->m_BridgePriority, m_Ui->m_BridgePriorityRange),
                              std::pair(m_Ui->m_BridgeAge, m_Ui->m_BridgeAgeRange),
                              std::pair(m_Ui->m_BridgeHello, m_Ui->m_BridgeHelloRange),
                              std::pair(m_Ui->m_BridgeDelay, m_Ui->m_BridgeDelayRange)})
        ShowRange(range, box);
    StepOnly(m_Ui->m_BridgePriority);
    StepOnly(m_Ui->m_PortPriority);
    BindNumber(colCost, m_Ui->m_PortCost, m_Ui->m_PortCostLabel, m_Ui->m_PortCostRange);
    BindNumber(colPriority, m_Ui->m_PortPriority, m_Ui->m_PortPriorityLabel, m_Ui->m_PortPriorityRange);
    BindChoice(colP2p, m_Ui->m_PortP2p, Intp::PointToPointNames, m_Ui->m_PortP2pLabel);
    BindChoice(colEdge, m_Ui->m_PortEdge, Intp::TruthNames, m_Ui->m_PortEdgeLabel);
    BindChoice(colStp, m_Ui->m_PortStp, Intp::TruthNames, m_Ui->m_PortStpLabel);
    FollowSelection(m_Ui->m_ModeLabel);
    FollowSelection(m_Ui->m_Mode);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Mode, &QComboBox::currentIndexChanged, this, [this] {
        ApplyModeRule();
        List()->clearSelection();
    });
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleRedundancyRstp::EventOnApply);
}

TModuleRedundancyRstp::~TModuleRedundancyRstp() = default;

void TModuleRedundancyRstp::BindNumber(int column, QSpinBox* box, QLabel* label, QLabel* range)
{
    ShowRange(range, box);
    AddEditor(box, label);
    AddEditor(range, label);
    connect(box, &QSpinBox::valueChanged, this, [this, column](int value) {
        QTreeWidgetItem* row = SelectedRow();
        if (row && !IsLoading())
            SetNumber(row, column, unsigned(value));
    });
}

void TModuleRedundancyRstp::EnableControls(bool on)
{
    TListPageOf::EnableControls(on);
    m_Ui->m_Mode->setCurrentIndex(modeDisable);
    ApplyModeRule();
}

void TModuleRedundancyRstp::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyRedundancyRstp>(*device);
    const int ports = device->PortCount();
    // Without a record the bridge and every port show the switches' defaults.
    Intp::TPropertyRedundancyRstp shown;
    shown.Entries.resize(std::size_t(ports));
    if (record.Valid && int(record.Entries.size()) == ports)
        shown = record;
    m_Ui->m_Mode->setCurrentIndex(shown.Enabled ? modeEnable : modeDisable);
    m_Ui->m_BridgePriority->setValue(shown.BridgePriority);
    m_Ui->m_BridgeAge->setValue(shown.MaxAge);
    m_Ui->m_BridgeHello->setValue(shown.Hello);
    m_Ui->m_BridgeDelay->setValue(shown.ForwardDelay);
    for (int port = 0; port < ports; ++port) {
        const Intp::TPropertyRedundancyRstpEntry& entry = shown.Entries[std::size_t(port)];
        QTreeWidgetItem* row = AddRow(PortCaption(port), unsigned(port));
        SetNumber(row, colCost, entry.PathCost);
        SetNumber(row, colPriority, entry.Priority);
        SetCell(row, colP2p, Intp::PointToPointNames, entry.P2p);
        SetCell(row, colEdge, Intp::TruthNames, entry.Edge ? 1 : 0);
        SetCell(row, colStp, Intp::TruthNames, entry.NonStp ? 1 : 0);
    }
    ApplyModeRule();
}

void TModuleRedundancyRstp::LoadRow(const QTreeWidgetItem* row)
{
    TListPageOf::LoadRow(row);
    m_Ui->m_PortCost->setValue(int(std::min(Value(row, colCost), MaxPathCost)));
    m_Ui->m_PortPriority->setValue(int(Value(row, colPriority)));
}

void TModuleRedundancyRstp::EventOnHeaderClick(int column)
{
    const QList<QTreeWidgetItem*> rows = Rows();
    if ((column != colCost && column != colPriority) || rows.isEmpty()) {
        TListPageOf::EventOnHeaderClick(column);
        return;
    }
    // Every row takes the first row's value and one step more, wrapping round the range.
    const unsigned first = Value(rows.first(), column);
    const unsigned value = column == colCost ? (first + 1 > MaxPathCost ? 1 : first + 1)
                                             : (first + PortPriorityStep > MaxPortPriority ? 0 : first + PortPriorityStep);
    for (QTreeWidgetItem* row : rows)
        SetNumber(row, column, value);
    EventOnRowChange();
}

void TModuleRedundancyRstp::ApplyModeRule()
{
    const bool on = m_Ui->m_Mode->isEnabled() && m_Ui->m_Mode->currentIndex() == modeEnable;
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_Ui->m_BridgeLabel, m_Ui->m_BridgePriorityLabel, m_Ui->m_BridgePriority, m_Ui->m_BridgePriorityRange,
             m_Ui->m_BridgeAgeLabel, m_Ui->m_BridgeAge, m_Ui->m_BridgeAgeRange, m_Ui->m_BridgeHelloLabel,
             m_Ui->m_BridgeHello, m_Ui->m_BridgeHelloRange, m_Ui->m_BridgeDelayLabel, m_Ui->m_BridgeDelay,
             m_Ui->m_BridgeDelayRange, m_Ui->m_PortLabel, m_Ui->m_ListView})
        control->setEnabled(on);
}

void TModuleRedundancyRstp::EventOnApply()
{
    Intp::TPropertyRedundancyRstp rstp;
    rstp.Enabled = m_Ui->m_Mode->currentIndex() == modeEnable;
    rstp.BridgePriority = uint16_t(m_Ui->m_BridgePriority->value());
    rstp.MaxAge = uint8_t(m_Ui->m_BridgeAge->value());
    rstp.Hello = uint8_t(m_Ui->m_BridgeHello->value());
    rstp.ForwardDelay = uint8_t(m_Ui->m_BridgeDelay->value());
    for (const QTreeWidgetItem* row : Rows())
        rstp.Entries.push_back({Value(row, colCost), uint8_t(Value(row, colPriority)), uint8_t(Value(row, colP2p)),
                                Value(row, colEdge) != 0, Value(row, colStp) != 0});
    // A switch with another number of ports gets nothing: its Set does not start.
    StartOnSelection([&](TDevice*) { return new Intp::TSessionRedundancyRstpSet(rstp); });
}
