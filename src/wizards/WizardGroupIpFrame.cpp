#include "WizardGroupIpFrame.h"

#include "ui_WizardGroupIpFrame.h"

#include "net/AddressText.h"
#include "ui/Images.h"
#include "core/AddressPlan.h"
#include "core/AddressRules.h"
#include "core/Device.h"
#include "core/NetQueries.h"
#include "core/Basics.h"
#include "core/IntpCore.h"

#include <QLineEdit>

namespace {

enum TColumn { colModel, colMac, colAddress, colNewAddress };
constexpr int ImageRole = Qt::UserRole + 2;

// Leaving an address edit shows what was read from it.
void RewriteOnLeave(QLineEdit* edit, const uint32_t& value)
{
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, &value] { edit->setText(AddressText(value)); });
}

} // namespace

TWizardGroupIpFrame::TWizardGroupIpFrame(QWidget* parent)
    : TWizardStepsFrame(parent), m_Ui(std::make_unique<Ui::TWizardGroupIpFrame>()), m_Flush(&FlushArpEntries)
{
    m_Ui->setupUi(this);
    SetControls({m_Ui->m_Logo, m_Ui->m_Steps, m_Ui->m_Prev, m_Ui->m_Next, m_Ui->m_Step1ToSelect, m_Ui->m_Step1Selected,
                 m_Ui->m_Step2Preview, m_Ui->m_Step1Select, m_Ui->m_Step1SelectAll, m_Ui->m_Step1Unselect,
                 m_Ui->m_Step1UnselectAll, m_Ui->m_Step2Settings, QStringLiteral("&Apply")});
    m_Ui->m_Step2Preview->setIconSize(QSize(16, 16));

    connect(m_Ui->m_Step2Dhcp, &QRadioButton::toggled, this, &TWizardGroupIpFrame::ApplySettingsRules);
    connect(m_Ui->m_Step2DhcpServer, &QLineEdit::textChanged, this, [this] {
        if (m_Ui->m_Step2Dhcp->isChecked())
            ApplyDhcpRules();
    });
    for (QLineEdit* edit : {m_Ui->m_Step2IpBegin, m_Ui->m_Step2IpEnd, m_Ui->m_Step2Netmask, m_Ui->m_Step2Gateway})
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (m_Ui->m_Step2Range->isChecked())
                ApplyRangeRules();
        });
    RewriteOnLeave(m_Ui->m_Step2DhcpServer, m_Server);
    RewriteOnLeave(m_Ui->m_Step2IpBegin, m_Begin);
    RewriteOnLeave(m_Ui->m_Step2IpEnd, m_End);
    RewriteOnLeave(m_Ui->m_Step2Netmask, m_Netmask);
    RewriteOnLeave(m_Ui->m_Step2Gateway, m_Gateway);
}

TWizardGroupIpFrame::~TWizardGroupIpFrame() = default;

void TWizardGroupIpFrame::FillRow(QTreeWidgetItem* row, TDevice& device)
{
    row->setText(colModel, QString::fromStdString(device.TypeDescription()));
    row->setText(colMac, MacText(device.Mac()));
    row->setText(colAddress, AddressText(device.Address()));
}

void TWizardGroupIpFrame::ApplySettingsRules()
{
    if (Step() != 2)
        return;
    if (m_Ui->m_Step2Dhcp->isChecked())
        ApplyDhcpRules();
    else
        ApplyRangeRules();
}

void TWizardGroupIpFrame::ApplyDhcpRules()
{
    SetEnabled({m_Ui->m_Step2DhcpServer, m_Ui->m_Step2DhcpServerLabel}, true);
    SetEnabled({m_Ui->m_Step2IpBegin, m_Ui->m_Step2IpBeginLabel, m_Ui->m_Step2IpEnd, m_Ui->m_Step2IpEndLabel,
                m_Ui->m_Step2Netmask, m_Ui->m_Step2NetmaskLabel, m_Ui->m_Step2Gateway, m_Ui->m_Step2GatewayLabel},
               false);
    m_Server = AddressOf(m_Ui->m_Step2DhcpServer->text());
    if (!IsBusy())
        SetActionEnabled(IsValidHostAddress(m_Server));
    for (QTreeWidgetItem* row : PreviewRows())
        row->setText(colNewAddress, QStringLiteral("DHCP"));
}

void TWizardGroupIpFrame::ApplyRangeRules()
{
    SetEnabled({m_Ui->m_Step2DhcpServer, m_Ui->m_Step2DhcpServerLabel}, false);
    SetEnabled({m_Ui->m_Step2IpBegin, m_Ui->m_Step2IpBeginLabel, m_Ui->m_Step2IpEnd, m_Ui->m_Step2IpEndLabel,
                m_Ui->m_Step2Netmask, m_Ui->m_Step2NetmaskLabel},
               true);
    m_Begin = AddressOf(m_Ui->m_Step2IpBegin->text());
    m_End = AddressOf(m_Ui->m_Step2IpEnd->text());
    m_Netmask = AddressOf(m_Ui->m_Step2Netmask->text());
    std::vector<uint32_t> addresses = PlanRange();
    if (!IsBusy())
        SetActionEnabled(!addresses.empty());
    ShowNewAddresses(addresses);
}

std::vector<uint32_t> TWizardGroupIpFrame::PlanRange()
{
    const std::size_t count = std::size_t(PreviewRows().size());
    const bool usable = m_End > m_Begin && IsValidHostAddress(m_Begin) && IsValidHostAddress(m_End) &&
                        IsValidMask(m_Netmask) && PlanAddressRange({m_Begin, m_End, m_Netmask}, count).Complete();
    // The gateway is only offered for a usable range inside one subnet, and then only
    // taken when it is a host of that subnet.
    const bool gatewayOn = usable && (m_Begin & m_Netmask) == (m_End & m_Netmask);
    m_Ui->m_Step2Gateway->setEnabled(gatewayOn);
    m_Ui->m_Step2GatewayLabel->setEnabled(gatewayOn);
    if (gatewayOn) {
        uint32_t gateway = AddressOf(m_Ui->m_Step2Gateway->text());
        m_Gateway = IsValidHostAddress(gateway) && (gateway & m_Netmask) == (m_Begin & m_Netmask) ? gateway : 0;
    } else {
        m_Gateway = 0;
        const QSignalBlocker blocker(m_Ui->m_Step2Gateway);
        m_Ui->m_Step2Gateway->setText(AddressText(0));
    }
    if (!usable)
        return {};
    // No switch gets the subnet's network or broadcast address or the gateway's.
    TAddressPlan plan = PlanAddressRange({m_Begin, m_End, m_Netmask, m_Gateway}, count);
    return plan.Complete() ? plan.Addresses : std::vector<uint32_t>{};
}

void TWizardGroupIpFrame::ShowNewAddresses(const std::vector<uint32_t>& addresses)
{
    const QList<QTreeWidgetItem*> rows = PreviewRows();
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i]->setText(colNewAddress, AddressText(addresses.empty() ? 0 : addresses[size_t(i)]));
}

void TWizardGroupIpFrame::Act()
{
    TPageContext* callback = Context();
    std::string user, password;
    if (!callback || !callback->AskCredentials(user, password) || user.empty())
        return;
    const bool dhcp = m_Ui->m_Step2Dhcp->isChecked();
    const std::vector<uint32_t> addresses = dhcp ? std::vector<uint32_t>{} : PlanRange();
    const QList<QTreeWidgetItem*> rows = PreviewRows();
    if (!dhcp && addresses.size() != size_t(rows.size()))
        return;
    const Intp::TDigest digest = Intp::CredentialDigest(user, password);
    Intp::TBasicsIPSettings settings{.Dhcp = dhcp, .Netmask = m_Netmask, .Gateway = m_Gateway};
    std::vector<uint32_t> previous;
    bool started = false;
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        QTreeWidgetItem* row = rows[i];
        settings.Address = dhcp ? m_Server : addresses[size_t(i)];
        // A switch forgotten since it was chosen (a discovery ran meanwhile) is still
        // reached: the request goes to the limited broadcast with its MAC in the header.
        TDevice* device = Registry::Find(MacOf(row), true);
        const uint32_t old = device ? device->Address() : 0;
        if (device && Intp::StartNew<Intp::TSessionBasicsIPConfSet>(device, this, digest, settings)) {
            SetImage(row, imNone);
            started = true;
            if (old != 0)
                previous.push_back(old);
        } else {
            SetImage(row, imFailed);
        }
    }
    FlushLearned(previous);
    if (started)
        SetBusy(true);
}

void TWizardGroupIpFrame::FlushLearned(const std::vector<uint32_t>& addresses)
{
    // The workstation must not keep sending to a re-addressed switch's old mapping. Only
    // what the kernel learned goes: static entries are the administrator's.
    if (!addresses.empty() && m_Flush)
        m_Flush(addresses, false);
}

void TWizardGroupIpFrame::OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData&)
{
    if (Step() != 2 || !device)
        return;
    QTreeWidgetItem* row = nullptr;
    for (QTreeWidgetItem* candidate : PreviewRows())
        if (MacOf(candidate) == device->Mac())
            row = candidate;
    if (!row)
        return;
    if (command == Intp::TSessionBasicsIPConfSet::Command && IsBusy()) {
        SetImage(row, status == Intp::stSuccess ? imDone : imFailed);
        if (status == Intp::stSuccess) {
            ShowCurrentAddress(row, *device);
            // The confirmation came from the old address (now the device's) and may have
            // taught the workstation its mapping again.
            FlushLearned({device->Address()});
        }
        FinishWhenDone();
    } else if (command == Intp::TSessionBasicsIPConfGet::Command && status == Intp::stSuccess) {
        // The re-reading after the settings: the device has moved when the answer came
        // from its new address.
        ShowCurrentAddress(row, *device);
    }
}

void TWizardGroupIpFrame::ShowCurrentAddress(QTreeWidgetItem* row, const TDevice& device)
{
    const QString address = AddressText(device.Address());
    row->setText(colAddress, address);
    if (QTreeWidgetItem* chosen = SelectedRowOf(device.Mac()))
        chosen->setText(colAddress, address);
}

int TWizardGroupIpFrame::ImageOf(const QTreeWidgetItem* row)
{
    QVariant image = row->data(colModel, ImageRole);
    return image.isValid() ? image.toInt() : imNone;
}

void TWizardGroupIpFrame::SetImage(QTreeWidgetItem* row, int image)
{
    row->setData(colModel, ImageRole, image == imNone ? QVariant() : QVariant(image));
    row->setIcon(colModel, image == imDone ? RowImage(1) : image == imFailed ? RowImage(2) : QIcon());
}
