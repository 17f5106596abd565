#include "ModuleBasics_Dhcp.h"

#include "ui_ModuleBasics_Dhcp.h"
#include "ui_ModuleBasics_DhcpEntry.h"
#include "ui_ModuleBasics_DhcpPortIp.h"

#include "SecurityLists.h"
#include "net/AddressText.h"
#include "ui/Images.h"
#include "core/AddressRules.h"

#include <QHeaderView>

#include <algorithm>
#include <limits>

namespace {

const char* const TypeTexts[Intp::dtCount] = {"Error", "BootpTab", "Dynamic ", "Sniffed ", "Dbase   "};
const char* const StateTexts[Intp::dsCount] = {"Unassigned", "Bootp", "DhcpOffer", "Dhcp"};

// The decoder refuses other values; a text is at hand for every index regardless.
QString TextOf(const char* const* texts, std::size_t count, unsigned index)
{
    return index < count ? QString::fromLatin1(texts[index]) : QString::number(index);
}

} // namespace

TModuleBasicsDhcp::TModuleBasicsDhcp(QWidget* parent)
    : TListPageOf(QStringLiteral("DHCP Server"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsDhcp>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    for (int address = 0; address < adCount; ++address) {
        connect(Edit(address), &QLineEdit::textChanged, this, [this, address] {
            ReadAddress(address);
            EnablingRule();
        });
        connect(Edit(address), &QLineEdit::editingFinished, this,
                [this, address] { Edit(address)->setText(AddressText(m_Addresses[address])); });
    }
    connect(m_Ui->m_Server, &QComboBox::currentIndexChanged, this, &TModuleBasicsDhcp::EnablingRule);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsDhcp::EventOnApply);
}

TModuleBasicsDhcp::~TModuleBasicsDhcp() = default;

QLineEdit* TModuleBasicsDhcp::Edit(int address) const
{
    QLineEdit* const edits[adCount] = {m_Ui->m_Start, m_Ui->m_End, m_Ui->m_Mask, m_Ui->m_Gateway, m_Ui->m_Dns};
    return edits[address];
}

void TModuleBasicsDhcp::ReadAddress(int address)
{
    const uint32_t value = AddressOf(Edit(address)->text());
    const bool optional = address == adGateway || address == adDns;
    m_Addresses[address] = optional && !IsValidHostAddress(value) ? 0 : value;
}

void TModuleBasicsDhcp::EnablingRule()
{
    const bool enabled = m_Selected && m_Ui->m_Server->currentIndex() == 1;
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_Ui->m_Label2, m_Ui->m_Label3, m_Ui->m_Label4, m_Ui->m_Label5, m_Ui->m_Label6, m_Ui->m_Label7,
             m_Ui->m_Label8, m_Ui->m_Start, m_Ui->m_End, m_Ui->m_Mask, m_Ui->m_Gateway, m_Ui->m_Dns, m_Ui->m_Lease})
        control->setEnabled(enabled);
    const uint32_t start = m_Addresses[adStart];
    const uint32_t end = m_Addresses[adEnd];
    const bool pool = IsValidHostAddress(start) && IsValidHostAddress(end) && IsValidMask(m_Addresses[adMask]) &&
                      start < end;
    m_Ui->m_Apply->setEnabled(m_Selected && (!enabled || pool));
}

void TModuleBasicsDhcp::EnableControls(bool on)
{
    m_Selected = on;
    m_Ui->m_Label1->setEnabled(on);
    m_Ui->m_Server->setEnabled(on);
    m_Ui->m_Server->setCurrentIndex(0);
    EnablingRule();
}

void TModuleBasicsDhcp::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsDhcp>(*device);
    if (record.Valid) {
        m_Ui->m_Server->setCurrentIndex(record.Enabled ? 1 : 0);
        const uint32_t values[adCount] = {record.Start, record.End, record.Mask, record.Gateway, record.Dns};
        for (int address = 0; address < adCount; ++address)
            Edit(address)->setText(AddressText(values[address]));
        m_Ui->m_Lease->setValue(int(std::clamp<uint32_t>(record.Lease, 1, uint32_t(std::numeric_limits<int>::max()))));
    }
    EnablingRule();
}

void TModuleBasicsDhcp::EventOnApply()
{
    Intp::TPropertyBasicsDhcp dhcp;
    dhcp.Enabled = m_Ui->m_Server->currentIndex() == 1;
    dhcp.Start = m_Addresses[adStart];
    dhcp.End = m_Addresses[adEnd];
    dhcp.Mask = m_Addresses[adMask];
    dhcp.Gateway = m_Addresses[adGateway];
    dhcp.Dns = m_Addresses[adDns];
    dhcp.Lease = uint32_t(m_Ui->m_Lease->value());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionBasicsDhcpSet(dhcp); });
}

TModuleBasicsDhcpEntry::TModuleBasicsDhcpEntry(QWidget* parent)
    : TListPageOf(QStringLiteral("Client Entries"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsDhcpEntry>()),
      m_Model(new TReportModel({QString(), QStringLiteral("IP Address"), QStringLiteral("Client ID"),
                                QStringLiteral("Type"), QStringLiteral("Status"), QStringLiteral("Lease")},
                               this))
{
    m_Ui->setupUi(this);
    m_Ui->m_List->setModel(m_Model);
    TListPage::StyleList(m_Ui->m_List);
    m_Model->SetAlignment(colLease, Qt::AlignRight);
    QHeaderView* header = m_Ui->m_List->header();
    header->resizeSection(colNumber, 48);
    header->resizeSection(colAddress, 120);
    header->resizeSection(colClientId, 140);
    m_Model->FollowHeader(header);
}

TModuleBasicsDhcpEntry::~TModuleBasicsDhcpEntry() = default;

bool TModuleBasicsDhcpEntry::Hide(bool force)
{
    m_Model->SetRows({});
    ShowTotal();
    return TModulePage::Hide(force);
}

void TModuleBasicsDhcpEntry::ShowTotal()
{
    m_Ui->m_Total->setText(QStringLiteral("Total %1 client entries:").arg(m_Model->rowCount()));
}

void TModuleBasicsDhcpEntry::EnableControls(bool on)
{
    m_Ui->m_Total->setEnabled(on);
    m_Ui->m_List->setEnabled(on);
    m_Model->SetRows({});
    ShowTotal();
}

void TModuleBasicsDhcpEntry::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsDhcpEntry>(*device);
    if (!record.Valid)
        return;
    std::vector<TReportModel::TRow> rows;
    rows.reserve(record.Entries.size());
    for (const Intp::TPropertyBasicsDhcpClient& client : record.Entries) {
        rows.push_back({TReportModel::Number(rows.size() + 1), TReportModel::Number(client.Address, AddressText(client.Address)),
                        {MacText(client.ClientId)}, {TextOf(TypeTexts, std::size(TypeTexts), client.Type)},
                        {TextOf(StateTexts, std::size(StateTexts), client.State)}, TReportModel::Number(client.Lease)});
    }
    m_Model->SetRows(std::move(rows));
    ShowTotal();
}

TModuleBasicsDhcpPortIp::TModuleBasicsDhcpPortIp(QWidget* parent)
    : TListPageOf(QStringLiteral("Port and IP Binding"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsDhcpPortIp>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {0, 120});
    m_Ui->m_ListView->header()->setSectionsClickable(false);
    AddEditor(m_Ui->m_IpAddress, m_Ui->m_IpAddressLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_IpAddress, &QLineEdit::textEdited, this, &TModuleBasicsDhcpPortIp::EventOnAddressEdit);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsDhcpPortIp::EventOnApply);
}

TModuleBasicsDhcpPortIp::~TModuleBasicsDhcpPortIp() = default;

void TModuleBasicsDhcpPortIp::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyBasicsDhcpPortIp>(*device);
    for (int port = 0; port < device->PortCount(); ++port) {
        const uint32_t address = record.Valid && std::size_t(port) < record.Addresses.size() ? record.Addresses[std::size_t(port)] : 0;
        SetCell(AddRow(PortCaption(port), unsigned(port)), 1, address, AddressText(address));
    }
}

void TModuleBasicsDhcpPortIp::LoadRow(const QTreeWidgetItem* row)
{
    m_Ui->m_IpAddress->setText(row->text(1));
}

// The row takes each edit at once; what is no host address is no binding.
void TModuleBasicsDhcpPortIp::EventOnAddressEdit(const QString& text)
{
    QTreeWidgetItem* row = SelectedRow();
    if (!row)
        return;
    uint32_t address = AddressOf(text);
    if (!IsValidHostAddress(address))
        address = 0;
    SetCell(row, 1, address, AddressText(address));
}

void TModuleBasicsDhcpPortIp::EventOnApply()
{
    std::vector<uint32_t> addresses;
    for (const QTreeWidgetItem* row : Rows())
        addresses.push_back(Value(row, 1));
    StartOnSelection([&](TDevice*) { return new Intp::TSessionBasicsDhcpPortIpSet(addresses); });
}
