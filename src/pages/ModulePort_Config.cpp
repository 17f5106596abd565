#include "ModulePort_Config.h"

#include "ui_ModulePort_Config.h"

#include "ui/Images.h"

#include <algorithm>

namespace {

enum TColumn { colPort, colState, colDuplex, colFlow, colSecurity };

} // namespace

TModulePortConfig::TModulePortConfig(QWidget* parent)
    : TEditorPage(QStringLiteral("Port Configuration"), parent), m_Ui(std::make_unique<Ui::TModulePortConfig>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {44, 80, 124, 100, 80});
    BindChoice(colState, m_Ui->m_State, Intp::EnableNames, m_Ui->m_StateLabel);
    BindChoice(colDuplex, m_Ui->m_Duplex, Intp::SpeedDuplexNames, m_Ui->m_DuplexLabel);
    BindChoice(colFlow, m_Ui->m_Flow, Intp::FlowControlNames, m_Ui->m_FlowLabel);
    BindChoice(colSecurity, m_Ui->m_Security, Intp::EnableNames, m_Ui->m_SecurityLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModulePortConfig::EventOnApply);
}

TModulePortConfig::~TModulePortConfig() = default;

int TModulePortConfig::Refresh(bool current)
{
    if (!current)
        return TEditorPage::Refresh(false);
    return StartOnSelection([](TDevice*) { return new Intp::TSessionPortNameGet; });
}

void TModulePortConfig::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    // Rows are captioned with the names, so the configuration is asked for only once they are known.
    if (code == Intp::TSessionPortNameGet::Command && device &&
        Intp::GetProperty<Intp::TPropertyPortName>(*device).Valid) {
        Intp::StartNew<Intp::TSessionPortConfigGet>(device, nullptr);
        return;
    }
    TEditorPage::Notify(device, code, status);
}

bool TModulePortConfig::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionPortNameGet::Command || code == Intp::TSessionPortConfigGet::Command;
}

int TModulePortConfig::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionPortConfigGet>(device, nullptr) ? 1 : 0;
}

void TModulePortConfig::FillFrom(TDevice* device)
{
    const auto& names = Intp::GetProperty<Intp::TPropertyPortName>(*device);
    const auto& config = Intp::GetProperty<Intp::TPropertyPortConfig>(*device);
    // Both records were checked against the device's type, but maybe not against the same type.
    const bool named = std::all_of(config.Entries.begin(), config.Entries.end(),
                                   [&](const Intp::TPortConfigEntry& e) { return e.Port < names.Names.size(); });
    if (!names.Valid || !config.Valid || !named) {
        m_Ui->m_Apply->setEnabled(false);
        return;
    }
    for (const Intp::TPortConfigEntry& entry : config.Entries) {
        QTreeWidgetItem* row = AddRow(PortName(names, entry.Port), entry.Port);
        SetCell(row, colState, Intp::EnableNames, entry.Enabled ? 1 : 0);
        SetCell(row, colDuplex, Intp::SpeedDuplexNames, entry.Duplex);
        SetCell(row, colFlow, Intp::FlowControlNames, entry.Flow);
        SetCell(row, colSecurity, Intp::EnableNames, entry.Security ? 1 : 0);
    }
    SortRows(colPort, Qt::AscendingOrder);
}

void TModulePortConfig::EventOnApply()
{
    std::vector<Intp::TPortConfigEntry> entries;
    for (const QTreeWidgetItem* row : Rows()) {
        Intp::TPortConfigEntry entry;
        entry.Port = uint8_t(Value(row, colPort));
        entry.Enabled = Value(row, colState) != 0;
        // A speed/duplex no editor lists (7) goes back as the switch reported it.
        entry.Duplex = uint8_t(Value(row, colDuplex));
        entry.Flow = uint8_t(Value(row, colFlow));
        entry.Security = Value(row, colSecurity) != 0;
        entries.push_back(entry);
    }
    StartOnSelection([&](TDevice*) { return new Intp::TSessionPortConfigSet(entries); });
}
