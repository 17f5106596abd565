#include "ModuleSecurity_Port.h"

#include "ui_ModuleSecurity_Port.h"

#include "ui/PortTexts.h"
#include "core/Port.h"

#include <QHeaderView>

TModuleSecurityPort::TModuleSecurityPort(QWidget* parent)
    : TModuleSecurityMacList(QStringLiteral("Port Security"), parent), m_Ui(std::make_unique<Ui::TModuleSecurityPort>())
{
    m_Ui->setupUi(this);
    auto* model = new TSecurityListModel({QStringLiteral("Port No."), QStringLiteral("MAC Address")}, this);
    SetControls(m_Ui->m_List, model, m_Ui->m_MAC, m_Ui->m_Add, m_Ui->m_Delete, true);
    m_Ui->m_List->header()->resizeSection(0, 120);
    // Each column keeps its own direction, the first click ascending.
    model->SetOrderPerColumn();
    model->FollowHeader(m_Ui->m_List->header());
    // Whether a typed binding is listed depends on the chosen port too.
    connect(m_Ui->m_Port, &QComboBox::currentIndexChanged, this, &TModuleSecurityPort::MacRule);
}

TModuleSecurityPort::~TModuleSecurityPort() = default;

int TModuleSecurityPort::Refresh(bool current)
{
    if (!current)
        return TModuleSecurityMacList::Refresh(current);
    int started = 0;
    for (TDevice* device : SelectedDevices())
        started += Intp::StartNew<Intp::TSessionPortNameGet>(device, nullptr) ? 1 : 0;
    return started;
}

int TModuleSecurityPort::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionSecurityPortGet>(device, nullptr) ? 1 : 0;
}

template <typename G>
void TModuleSecurityPort::Continue(TDevice* device, bool valid)
{
    if ((!valid || !Intp::StartNew<G>(device, nullptr)) && device == FirstSelected())
        Redraw();
}

void TModuleSecurityPort::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    if (device && code == Intp::TSessionPortNameGet::Command)
        Continue<Intp::TSessionPortConfigGet>(device, Intp::GetProperty<Intp::TPropertyPortName>(*device).Valid);
    else if (device && code == Intp::TSessionPortConfigGet::Command)
        Continue<Intp::TSessionSecurityPortGet>(device, Intp::GetProperty<Intp::TPropertyPortConfig>(*device).Valid);
    else if (code == Intp::TSessionSecurityPortGet::Command && device && device == FirstSelected())
        Redraw();
    else if (code == ncSelect || code == ncDeviceRemoved)
        TModuleSecurityMacList::Notify(device, code, status);
}

void TModuleSecurityPort::EnableControls(bool on)
{
    m_Ui->m_Port->clear();
    TModuleSecurityMacList::EnableControls(on);
}

void TModuleSecurityPort::FillFrom(TDevice* device)
{
    const auto& bindings = Intp::GetProperty<Intp::TPropertySecurityPort>(*device);
    const auto& names = Intp::GetProperty<Intp::TPropertyPortName>(*device);
    const auto& config = Intp::GetProperty<Intp::TPropertyPortConfig>(*device);
    if (!bindings.Valid || !names.Valid || !config.Valid)
        return;
    for (const Intp::TPortConfigEntry& entry : config.Entries)
        m_Ui->m_Port->addItem(PortName(names, entry.Port), entry.Port);
    m_Ui->m_Port->setCurrentIndex(0);
    std::vector<TSecurityListModel::TRow> rows;
    rows.reserve(bindings.Entries.size());
    for (const Intp::TPropertySecurityPortEntry& entry : bindings.Entries)
        rows.push_back({PortName(names, entry.Port), entry.Mac, entry.Port});
    Model()->SetRows(std::move(rows));
    MacRule();
}

bool TModuleSecurityPort::Matches(const TSecurityListModel::TRow& row, const TMacAddr& mac) const
{
    return row.Port == m_Ui->m_Port->currentIndex() && row.Mac == mac;
}

bool TModuleSecurityPort::CanAdd() const
{
    return m_Ui->m_Port->currentIndex() >= 0;
}

// The port box's item at the row's port index (a position, as the box lists the ports in
// the configuration's order).
void TModuleSecurityPort::EventOnRowClick(const TSecurityListModel::TRow& row)
{
    m_Ui->m_Port->setCurrentIndex(row.Port < m_Ui->m_Port->count() ? row.Port : -1);
    TModuleSecurityMacList::EventOnRowClick(row);
}

void TModuleSecurityPort::EventOnAdd(const TMacAddr& mac)
{
    const Intp::TPropertySecurityPortEntry binding{uint8_t(m_Ui->m_Port->currentData().toUInt()), mac};
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurityPortAdd(binding); });
}

void TModuleSecurityPort::EventOnDelete(const TMacAddr& mac)
{
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurityPortDel(mac); });
}
