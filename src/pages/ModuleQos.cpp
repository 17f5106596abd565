#include "ModuleQos.h"

#include "ui_ModuleQos.h"
#include "ui_ModuleQos_Cos.h"
#include "ui_ModuleQos_Port.h"
#include "ui_ModuleQos_Tos.h"

#include "ui/Images.h"
#include "core/Device.h"

#include <QScopedValueRollback>

namespace {

enum TColumn { colCaption, colValue };

// The value of index i of a record's list, 0 where the record has none.
template <typename List>
unsigned ValueAt(const List& values, bool valid, std::size_t i)
{
    return valid && i < values.size() ? unsigned(values[i]) : 0;
}

} // namespace

// ---- Traffic Prioritization ---------------------------------------------------------------

TModuleQos::TModuleQos(QWidget* parent)
    : TListPageOf(QStringLiteral("Traffic Prioritization"), parent), m_Ui(std::make_unique<Ui::TModuleQos>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleQos::EventOnApply);
}

TModuleQos::~TModuleQos() = default;

void TModuleQos::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyQos>(*device);
    const bool strict = record.Valid && record.Scheme == Intp::qsStrict;
    (strict ? m_Ui->m_Strict : m_Ui->m_Weighted)->setChecked(true);
    m_Ui->m_Mode->setCurrentIndex(record.Valid ? int(record.Type) : int(Intp::qtDisable));
}

void TModuleQos::EventOnApply()
{
    Intp::TPropertyQos qos;
    qos.Scheme = m_Ui->m_Weighted->isChecked() ? Intp::qsWeighted : Intp::qsStrict;
    qos.Type = uint8_t(m_Ui->m_Mode->currentIndex());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionQosSet(qos); });
}

// ---- Port Based Priority ------------------------------------------------------------------

TModuleQosPort::TModuleQosPort(QWidget* parent)
    : TListPageOf(QStringLiteral("Port Based Priority"), parent), m_Ui(std::make_unique<Ui::TModuleQosPort>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {96, 96});
    BindChoice(colValue, m_Ui->m_Priority, Intp::QueueNames, m_Ui->m_PriorityLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleQosPort::EventOnApply);
}

TModuleQosPort::~TModuleQosPort() = default;

void TModuleQosPort::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyQosPort>(*device);
    std::vector<uint8_t> queues;
    for (const auto& entry : record.Entries)
        queues.push_back(entry.Value);
    for (int port = 0; port < device->PortCount(); ++port)
        SetCell(AddRow(PortCaption(port), unsigned(port)), colValue, Intp::QueueNames,
                ValueAt(queues, record.Valid, std::size_t(port)));
}

void TModuleQosPort::EventOnApply()
{
    std::vector<Intp::TQosByte> queues;
    for (const QTreeWidgetItem* row : Rows())
        queues.push_back({uint8_t(Value(row, colValue))});
    StartOnSelection([&](TDevice*) { return new Intp::TSessionQosPortSet(queues); });
}

// ---- COS Settings -------------------------------------------------------------------------

TModuleQosCos::TModuleQosCos(QWidget* parent)
    : TListPageOf(QStringLiteral("COS Settings"), parent), m_Ui(std::make_unique<Ui::TModuleQosCos>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_CosList, {96, 96});
    BindChoice(colValue, m_Ui->m_CosMapping, Intp::QueueNames, m_Ui->m_CosMappingLabel);
    StyleList(m_Ui->m_PortList);
    m_Ui->m_PortPriority->addItems(ValueTexts(Intp::CosPriorityNames));
    for (QWidget* control : {static_cast<QWidget*>(m_Ui->m_CosLabel), static_cast<QWidget*>(m_Ui->m_PortLabel),
                             static_cast<QWidget*>(m_Ui->m_Apply)})
        FollowSelection(control);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_PortList, &QTreeWidget::itemSelectionChanged, this, &TModuleQosCos::EventOnPortRowChange);
    connect(m_Ui->m_PortList->header(), &QHeaderView::sectionClicked, this, &TModuleQosCos::EventOnPortHeaderClick);
    connect(m_Ui->m_PortPriority, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (QTreeWidgetItem* row = SelectedPortRow(); row && !m_LoadingPort && index >= 0)
            SetCell(row, colValue, Intp::CosPriorityNames, unsigned(index));
    });
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleQosCos::EventOnApply);
}

TModuleQosCos::~TModuleQosCos() = default;

void TModuleQosCos::EnableControls(bool on)
{
    TListPageOf::EnableControls(on);
    m_Ui->m_PortList->clear();
    m_Ui->m_PortList->setEnabled(on);
    EventOnPortRowChange();
}

void TModuleQosCos::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyQosCos>(*device);
    for (uint8_t priority = 0; priority < Intp::CosPriorities; ++priority)
        SetCell(AddRow(ValueText(Intp::CosPriorityNames, priority), priority), colValue, Intp::QueueNames,
                ValueAt(record.Queues, record.Valid, priority));
    std::vector<uint8_t> defaults;
    for (const auto& entry : record.Entries)
        defaults.push_back(entry.Value);
    QList<QTreeWidgetItem*> rows;
    for (int port = 0; port < device->PortCount(); ++port) {
        auto* row = new QTreeWidgetItem(QStringList(PortCaption(port)));
        SetCell(row, colValue, Intp::CosPriorityNames, ValueAt(defaults, record.Valid, std::size_t(port)));
        rows << row;
    }
    m_Ui->m_PortList->addTopLevelItems(rows);
}

QTreeWidgetItem* TModuleQosCos::SelectedPortRow() const
{
    const QList<QTreeWidgetItem*> rows = m_Ui->m_PortList->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

void TModuleQosCos::EventOnPortRowChange()
{
    const QTreeWidgetItem* row = SelectedPortRow();
    m_Ui->m_PortPriority->setEnabled(row != nullptr);
    m_Ui->m_PortPriorityLabel->setEnabled(row != nullptr);
    if (row) {
        const QScopedValueRollback loading(m_LoadingPort, true);
        m_Ui->m_PortPriority->setCurrentIndex(int(Value(row, colValue)));
    }
}

// A click on "Priority" moves every port to the priority after the first port's.
void TModuleQosCos::EventOnPortHeaderClick(int column)
{
    QTreeWidget* list = m_Ui->m_PortList;
    if (column != colValue || list->topLevelItemCount() == 0)
        return;
    const unsigned value = (Value(list->topLevelItem(0), colValue) + 1) % Intp::CosPriorities;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        SetCell(list->topLevelItem(i), colValue, Intp::CosPriorityNames, value);
    EventOnPortRowChange();
}

void TModuleQosCos::EventOnApply()
{
    Intp::TPropertyQosCos cos;
    const QList<QTreeWidgetItem*> rows = Rows();
    for (int i = 0; i < rows.size() && i < int(cos.Queues.size()); ++i)
        cos.Queues[std::size_t(i)] = uint8_t(Value(rows[i], colValue));
    for (int i = 0; i < m_Ui->m_PortList->topLevelItemCount(); ++i)
        cos.Entries.push_back({uint8_t(Value(m_Ui->m_PortList->topLevelItem(i), colValue))});
    StartOnSelection([&](TDevice*) { return new Intp::TSessionQosCosSet(cos); });
}

// ---- TOS Settings -------------------------------------------------------------------------

TModuleQosTos::TModuleQosTos(QWidget* parent)
    : TListPageOf(QStringLiteral("TOS Settings"), parent), m_Ui(std::make_unique<Ui::TModuleQosTos>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {96, 96});
    BindChoice(colValue, m_Ui->m_Priority, Intp::QueueNames, m_Ui->m_PriorityLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleQosTos::EventOnApply);
}

TModuleQosTos::~TModuleQosTos() = default;

void TModuleQosTos::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyQosTos>(*device);
    for (unsigned dscp = 0; dscp < Intp::DscpValues; ++dscp)
        SetCell(AddRow(QString::number(dscp), dscp), colValue, Intp::QueueNames,
                ValueAt(record.Queues, record.Valid, dscp));
}

void TModuleQosTos::EventOnApply()
{
    Intp::TPropertyQosTos tos;
    const QList<QTreeWidgetItem*> rows = Rows();
    for (int i = 0; i < rows.size() && i < int(tos.Queues.size()); ++i)
        tos.Queues[std::size_t(i)] = uint8_t(Value(rows[i], colValue));
    StartOnSelection([&](TDevice*) { return new Intp::TSessionQosTosSet(tos); });
}
