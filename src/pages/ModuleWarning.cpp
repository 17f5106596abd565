#include "ModuleWarning.h"

#include "ui_ModuleWarning_Fault.h"
#include "ui_ModuleWarning_Smtp.h"
#include "ui_ModuleWarning_Syslog.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"
#include "core/AddressRules.h"

namespace {

constexpr int PortBits = 32;

uint32_t Bit(int index) { return uint32_t(1) << (index % PortBits); }

Qt::CheckState CheckOf(bool on) { return on ? Qt::Checked : Qt::Unchecked; }

// Bit i for every checked item i of the list.
uint32_t CheckedMask(const QListWidget* list)
{
    uint32_t mask = 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            mask |= Bit(i);
    return mask;
}

} // namespace

TModuleWarningFault::TModuleWarningFault(QWidget* parent)
    : TListPageOf(QStringLiteral("Fault Alarm"), parent), m_Ui(std::make_unique<Ui::TModuleWarningFault>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleWarningFault::EventOnApply);
}

TModuleWarningFault::~TModuleWarningFault() = default;

void TModuleWarningFault::EnableControls(bool on)
{
    TModuleGetPage::EnableControls(on);
    m_Ui->m_SysList->setEnabled(on);
    m_Ui->m_PortList->setEnabled(on);
    m_Ui->m_PortList->clear();
    for (int i = 0; i < m_Ui->m_SysList->count(); ++i)
        m_Ui->m_SysList->item(i)->setCheckState(Qt::Unchecked);
}

void TModuleWarningFault::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyWarningFault>(*device);
    for (int i = 0; i < m_Ui->m_SysList->count(); ++i)
        m_Ui->m_SysList->item(i)->setCheckState(CheckOf(record.Valid && (record.System & Bit(i))));
    for (int port = 0; port < device->PortCount(); ++port) {
        auto* item = new QListWidgetItem(PortCaption(port), m_Ui->m_PortList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(CheckOf(record.Valid && (record.LinkDown & Bit(port))));
    }
}

void TModuleWarningFault::EventOnApply()
{
    Intp::TPropertyWarningFault fault;
    fault.System = CheckedMask(m_Ui->m_SysList);
    fault.LinkDown = CheckedMask(m_Ui->m_PortList);
    StartOnSelection([&](TDevice*) { return new Intp::TSessionWarningFaultSet(fault); });
}

TModuleWarningSyslog::TModuleWarningSyslog(QWidget* parent)
    : TListPageOf(QStringLiteral("Syslog Settings"), parent), m_Ui(std::make_unique<Ui::TModuleWarningSyslog>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Mode, &QComboBox::currentIndexChanged, this, &TModuleWarningSyslog::ModeRule);
    connect(m_Ui->m_Address, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_Address = AddressOf(text);
        ModeRule();
    });
    connect(m_Ui->m_Address, &QLineEdit::editingFinished, this,
            [this] { m_Ui->m_Address->setText(AddressText(m_Address)); });
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleWarningSyslog::EventOnApply);
}

TModuleWarningSyslog::~TModuleWarningSyslog() = default;

void TModuleWarningSyslog::EnableControls(bool on)
{
    m_Selected = on;
    m_Ui->m_Label1->setEnabled(on);
    m_Ui->m_Mode->setEnabled(on);
    m_Ui->m_Mode->setCurrentIndex(Intp::smDisable);
    m_Ui->m_Address->setText(AddressText(0));
    ModeRule();
}

// A mode the page has no item for (4) leaves the choice empty, and Apply waits for one.
void TModuleWarningSyslog::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertyWarningSyslog>(*device);
    if (record.Valid) {
        m_Ui->m_Mode->setCurrentIndex(record.Mode < m_Ui->m_Mode->count() ? int(record.Mode) : -1);
        m_Ui->m_Address->setText(AddressText(record.Server));
    }
    ModeRule();
}

void TModuleWarningSyslog::ModeRule()
{
    const int mode = m_Ui->m_Mode->currentIndex();
    const bool server = mode == Intp::smServer || mode == Intp::smBoth;
    m_Ui->m_Label2->setEnabled(server);
    m_Ui->m_Address->setEnabled(server);
    m_Ui->m_Apply->setEnabled(m_Selected && mode >= 0 && (!server || IsValidHostAddress(m_Address)));
}

void TModuleWarningSyslog::EventOnApply()
{
    const Intp::TPropertyWarningSyslog syslog{false, uint8_t(std::max(0, m_Ui->m_Mode->currentIndex())), m_Address};
    StartOnSelection([&](TDevice*) { return new Intp::TSessionWarningSyslogSet(syslog); });
}

TModuleWarningSmtp::TModuleWarningSmtp(QWidget* parent)
    : TListPageOf(QStringLiteral("SMTP Settings"), parent), m_Ui(std::make_unique<Ui::TModuleWarningSmtp>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Mode, &QComboBox::currentIndexChanged, this, &TModuleWarningSmtp::ModeRule);
    connect(m_Ui->m_Address, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_Address = AddressOf(text);
        ValidityRule();
    });
    connect(m_Ui->m_Address, &QLineEdit::editingFinished, this,
            [this] { m_Ui->m_Address->setText(AddressText(m_Address)); });
    connect(m_Ui->m_Account, &QLineEdit::textChanged, this, &TModuleWarningSmtp::AccountRule);
    for (QLineEdit* text : {m_Ui->m_Sender, m_Ui->m_Subject, m_Ui->m_Password, m_Ui->m_Confirm})
        connect(text, &QLineEdit::textChanged, this, &TModuleWarningSmtp::ValidityRule);
    connect(m_Ui->m_Recipients, &QPlainTextEdit::textChanged, this, &TModuleWarningSmtp::ValidityRule);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleWarningSmtp::EventOnApply);
}

TModuleWarningSmtp::~TModuleWarningSmtp() = default;

bool TModuleWarningSmtp::Hide(bool force)
{
    m_Ui->m_Recipients->clear();
    return TModulePage::Hide(force);
}

void TModuleWarningSmtp::EnableControls(bool on)
{
    m_Selected = on;
    m_Ui->m_Label1->setEnabled(on);
    m_Ui->m_Mode->setEnabled(on);
    m_Ui->m_Mode->setCurrentIndex(0);
    m_Ui->m_Address->setText(AddressText(0));
    for (QLineEdit* text : {m_Ui->m_Sender, m_Ui->m_Subject, m_Ui->m_Account, m_Ui->m_Password, m_Ui->m_Confirm})
        text->clear();
    m_Ui->m_Recipients->clear();
    ModeRule();
}

void TModuleWarningSmtp::FillFrom(TDevice* device)
{
    m_Recipients = std::size_t(std::max(0, device->RecipientCount()));
    const auto& record = Intp::GetProperty<Intp::TPropertyWarningSmtp>(*device);
    if (record.Valid) {
        m_Ui->m_Mode->setCurrentIndex(record.Enabled ? 1 : 0);
        m_Ui->m_Address->setText(AddressText(record.Server));
        m_Ui->m_Sender->setText(RecordText(record.Sender));
        m_Ui->m_Subject->setText(RecordText(record.Subject));
        m_Ui->m_Account->setText(RecordText(record.Account));
        QStringList lines;
        for (const std::string& recipient : record.Entries)
            if (!recipient.empty())
                lines << RecordText(recipient);
        m_Ui->m_Recipients->setPlainText(lines.join('\n'));
    }
    ModeRule();
}

// Blank lines name no recipient and take no slot.
QStringList TModuleWarningSmtp::RecipientLines() const
{
    QStringList lines;
    for (const QString& line : m_Ui->m_Recipients->toPlainText().split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

void TModuleWarningSmtp::ModeRule()
{
    const bool enabled = m_Selected && m_Ui->m_Mode->currentIndex() == 1;
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_Ui->m_Label2, m_Ui->m_Address, m_Ui->m_Label3, m_Ui->m_Sender, m_Ui->m_Label4, m_Ui->m_Subject,
             m_Ui->m_Label5, m_Ui->m_Account, m_Ui->m_Label8, m_Ui->m_Recipients, m_Ui->m_Label9})
        control->setEnabled(enabled);
    AccountRule();
}

void TModuleWarningSmtp::AccountRule()
{
    const bool enabled = m_Selected && m_Ui->m_Mode->currentIndex() == 1 && !m_Ui->m_Account->text().isEmpty();
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_Label6, m_Ui->m_Password, m_Ui->m_Label7, m_Ui->m_Confirm})
        control->setEnabled(enabled);
    ValidityRule();
}

void TModuleWarningSmtp::ValidityRule()
{
    const QString password = m_Ui->m_Password->text();
    const qsizetype lines = RecipientLines().size();
    const bool valid = IsValidHostAddress(m_Address) && !m_Ui->m_Sender->text().isEmpty() &&
                       !m_Ui->m_Subject->text().isEmpty() &&
                       (m_Ui->m_Account->text().isEmpty() || (!password.isEmpty() && password == m_Ui->m_Confirm->text())) &&
                       lines >= 1 && std::size_t(lines) <= m_Recipients;
    m_Ui->m_Apply->setEnabled(m_Selected && (m_Ui->m_Mode->currentIndex() != 1 || valid));
}

void TModuleWarningSmtp::EventOnApply()
{
    const QStringList lines = RecipientLines();
    for (const QString& line : lines) {
        if (line.size() > qsizetype(Intp::TPropertyWarningSmtp::TextSize)) {
            Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("E-mail address too long!"));
            return;
        }
    }
    const QString password = m_Ui->m_Password->text();
    if (!Dialogs::CheckCredentialTexts(this, {m_Ui->m_Account->text(), password}))
        return;
    constexpr auto Width = qsizetype(Intp::TPropertyWarningSmtp::TextSize);
    Intp::TPropertyWarningSmtp smtp;
    smtp.Enabled = m_Ui->m_Mode->currentIndex() == 1;
    smtp.Server = m_Address;
    smtp.Sender = RecordBytes(m_Ui->m_Sender->text(), Width);
    smtp.Subject = RecordBytes(m_Ui->m_Subject->text(), Width);
    smtp.Account = RecordBytes(m_Ui->m_Account->text(), Width);
    smtp.Entries.resize(m_Recipients);
    for (std::size_t i = 0; i < m_Recipients && i < std::size_t(lines.size()); ++i)
        smtp.Entries[i] = RecordBytes(lines[qsizetype(i)], Width);
    const std::string secret = RecordBytes(password, qsizetype(Intp::TPropertyWarningSmtp::PasswordSize));
    StartOnSelection([&](TDevice*) { return new Intp::TSessionWarningSmtpSet(smtp, secret); });
}
