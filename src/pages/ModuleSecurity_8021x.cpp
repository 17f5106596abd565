#include "ModuleSecurity_8021x.h"

#include "ui_ModuleSecurity_8021x.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"

TModuleSecurity8021x::TModuleSecurity8021x(QWidget* parent)
    : TModuleGetPage(QStringLiteral("802.1x"), parent), m_Ui(std::make_unique<Ui::TModuleSecurity8021x>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Protocol, &QComboBox::currentIndexChanged, this, &TModuleSecurity8021x::ProtocolRule);
    connect(m_Ui->m_ServerIp, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_Address = AddressOf(text);
        ProtocolRule();
    });
    connect(m_Ui->m_ServerIp, &QLineEdit::editingFinished, this,
            [this] { m_Ui->m_ServerIp->setText(AddressText(m_Address)); });
    for (QLineEdit* text : {m_Ui->m_SharedKey, m_Ui->m_NasId})
        connect(text, &QLineEdit::textChanged, this, &TModuleSecurity8021x::ProtocolRule);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleSecurity8021x::EventOnApply);
}

TModuleSecurity8021x::~TModuleSecurity8021x() = default;

int TModuleSecurity8021x::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionSecurity8021xGet>(device, nullptr) ? 1 : 0;
}

// Without a device every field is empty: neither the last switch's settings nor the
// defaults (with their shared key) show.
void TModuleSecurity8021x::EnableControls(bool on)
{
    m_Selected = on;
    m_Ui->m_Protocol->setEnabled(on);
    m_Ui->m_ProtocolLabel->setEnabled(on);
    if (on)
        return;
    m_Ui->m_Protocol->setCurrentIndex(-1);
    for (QLineEdit* text : {m_Ui->m_ServerIp, m_Ui->m_SharedKey, m_Ui->m_NasId})
        text->clear();
    for (QSpinBox* number : findChildren<QSpinBox*>())
        number->clear();
    ProtocolRule();
}

void TModuleSecurity8021x::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySecurity8021x>(*device);
    Show(record.Valid ? record : Intp::TPropertySecurity8021x{});
}

void TModuleSecurity8021x::Show(const Intp::TPropertySecurity8021x& record)
{
    m_Ui->m_Protocol->setCurrentIndex(record.Enabled ? 1 : 0);
    m_Ui->m_ServerIp->setText(AddressText(record.ServerAddress));
    m_Ui->m_ServerPort->setValue(record.ServerPort);
    m_Ui->m_AccountingPort->setValue(record.AccountingPort);
    m_Ui->m_SharedKey->setText(RecordText(record.SharedKey));
    m_Ui->m_NasId->setText(RecordText(record.NasId));
    m_Ui->m_Quiet->setValue(record.QuietPeriod);
    m_Ui->m_TX->setValue(record.TxPeriod);
    m_Ui->m_Supplicant->setValue(record.SupplicantTimeout);
    m_Ui->m_ServerTimeout->setValue(record.ServerTimeout);
    m_Ui->m_MaxRequest->setValue(record.MaxRequests);
    m_Ui->m_ReAuth->setValue(int(std::min<uint32_t>(record.ReAuthPeriod, uint32_t(m_Ui->m_ReAuth->maximum()))));
    ProtocolRule();
}

void TModuleSecurity8021x::ProtocolRule()
{
    const bool enabled = m_Ui->m_Protocol->currentIndex() == 1;
    for (QWidget* control : findChildren<QWidget*>())
        if (control->parentWidget() == this && control != m_Ui->m_Protocol && control != m_Ui->m_ProtocolLabel &&
            control != m_Ui->m_Apply)
            control->setEnabled(enabled);
    const bool valid = IsValidHostAddress(m_Address) && !m_Ui->m_SharedKey->text().isEmpty() &&
                       !m_Ui->m_NasId->text().isEmpty();
    m_Ui->m_Apply->setEnabled(m_Selected && (!enabled || valid));
}

void TModuleSecurity8021x::EventOnApply()
{
    if (!Dialogs::CheckCredentialTexts(this, {m_Ui->m_SharedKey->text()}))
        return;
    Intp::TPropertySecurity8021x record;
    record.Enabled = m_Ui->m_Protocol->currentIndex() == 1;
    record.ServerAddress = m_Address;
    record.ServerPort = uint16_t(m_Ui->m_ServerPort->value());
    record.AccountingPort = uint16_t(m_Ui->m_AccountingPort->value());
    record.SharedKey = RecordBytes(m_Ui->m_SharedKey->text(), qsizetype(Intp::SecurityTextWidth));
    record.NasId = RecordBytes(m_Ui->m_NasId->text(), qsizetype(Intp::SecurityTextWidth));
    record.QuietPeriod = uint16_t(m_Ui->m_Quiet->value());
    record.TxPeriod = uint16_t(m_Ui->m_TX->value());
    record.SupplicantTimeout = uint16_t(m_Ui->m_Supplicant->value());
    record.ServerTimeout = uint16_t(m_Ui->m_ServerTimeout->value());
    record.MaxRequests = uint8_t(m_Ui->m_MaxRequest->value());
    record.ReAuthPeriod = uint32_t(m_Ui->m_ReAuth->value());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSecurity8021xSet(record); });
}
