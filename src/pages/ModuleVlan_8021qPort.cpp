#include "ModuleVlan_8021qPort.h"

#include "ui_ModuleVlan_8021qPort.h"

#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "core/Vlan.h"

namespace {

enum TColumn { colPort, colType, colUntagged, colTagged };

QString TaggedText(const QTreeWidgetItem* row) { return row->text(colTagged); }

} // namespace

TModuleVlan8021qPort::TModuleVlan8021qPort(QWidget* parent)
    : TEditorPage(QStringLiteral("Port Configuration"), parent), m_Ui(std::make_unique<Ui::TModuleVlan8021qPort>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView);
    BindChoice(colType, m_Ui->m_Type, Intp::LinkTypeNames, m_Ui->m_TypeLabel);
    AddEditor(m_Ui->m_Untagged, m_Ui->m_UntaggedLabel);
    AddEditor(m_Ui->m_Tagged, m_Ui->m_TaggedLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Type, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (QTreeWidgetItem* row = SelectedRow(); row && !IsLoading() && index >= 0)
            ApplyLinkType(row, unsigned(index));
    });
    connect(m_Ui->m_Untagged, &QSpinBox::valueChanged, this, [this](int value) {
        if (QTreeWidgetItem* row = SelectedRow(); row && !IsLoading())
            SetCell(row, colUntagged, unsigned(value), QString::number(value));
    });
    connect(m_Ui->m_Tagged, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (QTreeWidgetItem* row = SelectedRow(); row && !IsLoading()) {
            row->setText(colTagged, text);
            EnableApply();
        }
    });
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleVlan8021qPort::EventOnApply);
}

TModuleVlan8021qPort::~TModuleVlan8021qPort() = default;

int TModuleVlan8021qPort::Refresh(bool current)
{
    if (!current)
        return TEditorPage::Refresh(false);
    return StartOnSelection([](TDevice*) { return new Intp::TSessionPortNameGet; });
}

bool TModuleVlan8021qPort::StartNext(TDevice* device, uint16_t code)
{
    using namespace Intp;
    switch (code) {
    case TSessionPortNameGet::Command:
        return GetProperty<TPropertyPortName>(*device).Valid && StartNew<TSessionPortConfigGet>(device, nullptr);
    case TSessionPortConfigGet::Command:
        return GetProperty<TPropertyPortConfig>(*device).Valid && StartNew<TSessionVlanGet>(device, nullptr);
    case TSessionVlanGet::Command:
        return GetProperty<TPropertyVlan>(*device).Valid && StartNew<TSessionVlan8021qPortGet>(device, nullptr);
    }
    return false;
}

void TModuleVlan8021qPort::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    if (device && StartNext(device, code))
        return;
    TEditorPage::Notify(device, code, status);
}

bool TModuleVlan8021qPort::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionPortNameGet::Command || code == Intp::TSessionPortConfigGet::Command ||
           code == Intp::TSessionVlanGet::Command || code == Intp::TSessionVlan8021qPortGet::Command;
}

int TModuleVlan8021qPort::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionVlan8021qPortGet>(device, nullptr) ? 1 : 0;
}

void TModuleVlan8021qPort::FillFrom(TDevice* device)
{
    const auto& vlan = Intp::GetProperty<Intp::TPropertyVlan>(*device);
    const bool allowed = vlan.Valid && vlan.Mode == Intp::vm8021q;
    List()->setEnabled(allowed);
    m_Ui->m_Apply->setEnabled(allowed);
    const auto& names = Intp::GetProperty<Intp::TPropertyPortName>(*device);
    const auto& config = Intp::GetProperty<Intp::TPropertyPortConfig>(*device);
    const auto& list = Intp::GetProperty<Intp::TPropertyVlan8021qPort>(*device);
    if (!allowed || !names.Valid || !config.Valid || !list.Valid)
        return;
    for (const Intp::TPortConfigEntry& entry : config.Entries) {
        // Both records were checked against the device's type, but maybe not against the same type.
        if (entry.Port >= names.Names.size())
            continue;
        const Intp::TVlanPortSettings port = Intp::PortSettingsFrom(list, entry.Port);
        QTreeWidgetItem* row = AddRow(PortName(names, entry.Port), entry.Port);
        SetCell(row, colType, Intp::LinkTypeNames, port.LinkType);
        SetCell(row, colUntagged, port.Untagged, QString::number(port.Untagged));
        row->setTextAlignment(colUntagged, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(colTagged, QString::fromStdString(Intp::NumberListText(port.Tagged)));
    }
}

void TModuleVlan8021qPort::LoadRow(const QTreeWidgetItem* row)
{
    TEditorPage::LoadRow(row);
    m_Ui->m_Untagged->setValue(int(Value(row, colUntagged)));
    m_Ui->m_Tagged->setText(TaggedText(row));
    // The editors follow the row's link type; the row is the selected one, which they edit.
    ApplyLinkType(SelectedRow(), Value(row, colType));
}

void TModuleVlan8021qPort::ApplyLinkType(QTreeWidgetItem* row, unsigned type)
{
    SetCell(row, colType, Intp::LinkTypeNames, type);
    if (type == Intp::lt8021q) {
        SetCell(row, colUntagged, 1, QStringLiteral("1"));
        m_Ui->m_Untagged->setValue(1);
    }
    if (type == Intp::ltAccess) {
        row->setText(colTagged, QString());
        m_Ui->m_Tagged->clear();
    }
    m_Ui->m_Untagged->setEnabled(type != Intp::lt8021q);
    m_Ui->m_UntaggedLabel->setEnabled(type != Intp::lt8021q);
    m_Ui->m_Tagged->setEnabled(type != Intp::ltAccess);
    m_Ui->m_TaggedLabel->setEnabled(type != Intp::ltAccess);
}

void TModuleVlan8021qPort::EnableApply()
{
    bool complete = true;
    for (const QTreeWidgetItem* row : Rows())
        if (Value(row, colType) != Intp::ltAccess && TaggedText(row).isEmpty())
            complete = false;
    m_Ui->m_Apply->setEnabled(complete);
}

void TModuleVlan8021qPort::EventOnHeaderClick(int column)
{
    TEditorPage::EventOnHeaderClick(column);
    if (column != colType)
        return;
    for (QTreeWidgetItem* row : Rows()) {
        const unsigned type = Value(row, colType);
        if (type == Intp::lt8021q)
            SetCell(row, colUntagged, 1, QStringLiteral("1"));
        if (type == Intp::ltAccess)
            row->setText(colTagged, QString());
    }
    EventOnRowChange();
}

void TModuleVlan8021qPort::EventOnApply()
{
    std::vector<Intp::TVlanPortSettings> ports;
    for (const QTreeWidgetItem* row : Rows()) {
        Intp::TVlanPortSettings port;
        port.Port = uint8_t(Value(row, colPort));
        port.LinkType = uint8_t(Value(row, colType));
        port.Untagged = uint16_t(Value(row, colUntagged));
        if (!Intp::ParseTaggedVids(TaggedText(row).toStdString(), port.Tagged)) {
            Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("Wrong tagged VIDs format!"));
            return;
        }
        ports.push_back(std::move(port));
    }
    const std::vector<std::vector<uint16_t>> requests = Intp::SplitPortSettings(ports);
    for (TDevice* device : SelectedDevices())
        for (const std::vector<uint16_t>& words : requests)
            Intp::StartNew<Intp::TSessionVlan8021qPortSet>(device, nullptr, words);
}
