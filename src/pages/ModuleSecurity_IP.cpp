#include "ModuleSecurity_IP.h"

#include "ui_ModuleSecurity_IP.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"

#include <QMouseEvent>

TModuleSecurityIP::TModuleSecurityIP(QWidget* parent)
    : TModuleGetPage(QStringLiteral("IP Security"), parent), m_Ui(std::make_unique<Ui::TModuleSecurityIP>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    m_Ui->m_Add->setIcon(Icon(TImage::Add));
    m_Ui->m_Delete->setIcon(Icon(TImage::Remove));
    m_Ui->m_SecureIPs->viewport()->installEventFilter(this);
    connect(m_Ui->m_Mode, &QComboBox::currentIndexChanged, this, &TModuleSecurityIP::ModeRule);
    connect(m_Ui->m_Address, &QLineEdit::textChanged, this, &TModuleSecurityIP::AddressRule);
    connect(m_Ui->m_Address, &QLineEdit::editingFinished, this,
            [this] { m_Ui->m_Address->setText(AddressText(m_Address)); });
    connect(m_Ui->m_SecureIPs, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { m_Ui->m_Address->setText(item->text()); });
    connect(m_Ui->m_Add, &QPushButton::clicked, this, &TModuleSecurityIP::EventOnAdd);
    connect(m_Ui->m_Delete, &QPushButton::clicked, this, &TModuleSecurityIP::EventOnDelete);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleSecurityIP::EventOnApply);
}

TModuleSecurityIP::~TModuleSecurityIP() = default;

bool TModuleSecurityIP::Hide(bool force)
{
    m_Ui->m_SecureIPs->clear();
    return TModuleGetPage::Hide(force);
}

int TModuleSecurityIP::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionSecurityIpGet>(device, nullptr) ? 1 : 0;
}

void TModuleSecurityIP::EnableControls(bool on)
{
    m_Ui->m_Mode->setEnabled(on);
    m_Ui->m_ModeLabel->setEnabled(on);
    m_Ui->m_Apply->setEnabled(on);
    m_Ui->m_Mode->setCurrentIndex(0);
    for (int i = 0; i < m_Ui->m_Management->count(); ++i)
        m_Ui->m_Management->item(i)->setCheckState(Qt::Unchecked);
    m_Ui->m_SecureIPs->clear();
    ModeRule();
}

void TModuleSecurityIP::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySecurityIp>(*device);
    if (!record.Valid)
        return;
    m_Slots = device->AccessListCount();
    m_Ui->m_Mode->setCurrentIndex(record.Enabled ? 1 : 0);
    for (int i = 0; i < m_Ui->m_Management->count(); ++i)
        m_Ui->m_Management->item(i)->setCheckState(record.Management & (1u << i) ? Qt::Checked : Qt::Unchecked);
    for (uint32_t address : record.Addresses) {
        if (address == 0)
            break;
        m_Ui->m_SecureIPs->addItem(AddressText(address));
    }
    ModeRule();
}

void TModuleSecurityIP::ModeRule()
{
    const bool enabled = m_Ui->m_Mode->currentIndex() == 1;
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_Management, m_Ui->m_SecureIPsLabel, m_Ui->m_SecureIPs,
                                                             m_Ui->m_AddressLabel, m_Ui->m_Address})
        control->setEnabled(enabled);
    if (enabled) {
        AddressRule();
    } else {
        m_Ui->m_Add->setEnabled(false);
        m_Ui->m_Delete->setEnabled(false);
    }
}

// The list never holds more addresses than the switch has slots, so Apply sends them all.
void TModuleSecurityIP::AddressRule()
{
    m_Address = AddressOf(m_Ui->m_Address->text());
    const bool valid = IsValidHostAddress(m_Address);
    m_Ui->m_Add->setEnabled(valid && m_Ui->m_SecureIPs->count() < m_Slots);
    m_Ui->m_Delete->setEnabled(valid);
}

void TModuleSecurityIP::EventOnAdd()
{
    const QString text = m_Ui->m_Address->text();
    if (!m_Ui->m_SecureIPs->findItems(text, Qt::MatchFixedString).isEmpty()) {
        Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("Entry already exists!"));
        return;
    }
    m_Ui->m_SecureIPs->addItem(text);
    AddressRule();
}

void TModuleSecurityIP::EventOnDelete()
{
    const QList<QListWidgetItem*> found = m_Ui->m_SecureIPs->findItems(m_Ui->m_Address->text(), Qt::MatchFixedString);
    if (found.isEmpty()) {
        Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("Entry not found!"));
        return;
    }
    delete found.first();
    AddressRule();
}

// "Disable" sends zeros after the first byte, so it also clears the switch's list.
void TModuleSecurityIP::EventOnApply()
{
    Intp::TPropertySecurityIp record;
    record.Enabled = m_Ui->m_Mode->currentIndex() == 1;
    if (record.Enabled) {
        for (int i = 0; i < m_Ui->m_Management->count(); ++i)
            if (m_Ui->m_Management->item(i)->checkState() == Qt::Checked)
                record.Management |= 1u << i;
        for (int i = 0; i < m_Ui->m_SecureIPs->count(); ++i)
            record.Addresses.push_back(AddressOf(m_Ui->m_SecureIPs->item(i)->text()));
    }
    // Empty slots fill up to N. The list is never cut: a switch with fewer slots than
    // addresses would refuse the whole request.
    record.Addresses.resize(std::max(record.Addresses.size(), std::size_t(m_Slots)), 0);
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurityIpSet(record); });
}

// A press beside the rows empties the address.
bool TModuleSecurityIP::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_Ui->m_SecureIPs->viewport() && event->type() == QEvent::MouseButtonPress &&
        !m_Ui->m_SecureIPs->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
        m_Ui->m_Address->clear();
    return TModuleGetPage::eventFilter(watched, event);
}
