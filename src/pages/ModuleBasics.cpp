#include "ModuleBasics.h"

#include "ui_ModuleBasics.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"
#include "core/Basics.h"
#include "core/IntpCore.h"

namespace {

QString MacKey(const TDevice* device) { return MacText(device->Mac()); }

} // namespace

TModuleBasics::TModuleBasics(QWidget* parent)
    : TModuleGetPage(QStringLiteral("Basics"), parent), m_Ui(std::make_unique<Ui::TModuleBasics>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Login->setIcon(Icon(TImage::Login));
    m_Ui->m_Logout->setIcon(Icon(TImage::Logout));
    connect(m_Ui->m_Username, &QLineEdit::textChanged, this, &TModuleBasics::EventOnEdit);
    connect(m_Ui->m_Password, &QLineEdit::textChanged, this, &TModuleBasics::EventOnEdit);
    // A page is no dialog: Return in an edit presses "Login" itself (a disabled one ignores it).
    connect(m_Ui->m_Username, &QLineEdit::returnPressed, m_Ui->m_Login, &QPushButton::click);
    connect(m_Ui->m_Password, &QLineEdit::returnPressed, m_Ui->m_Login, &QPushButton::click);
    connect(m_Ui->m_Login, &QPushButton::clicked, this, &TModuleBasics::EventOnLogin);
    connect(m_Ui->m_Logout, &QPushButton::clicked, this, &TModuleBasics::EventOnLogout);
}

TModuleBasics::~TModuleBasics() = default;

bool TModuleBasics::IsGetCommand(uint16_t code) const { return code == Intp::TSessionBasicsSettingsGet::Command; }

int TModuleBasics::StartGets(TDevice* device)
{
    return Intp::StartNew<Intp::TSessionBasicsSettingsGet>(device, nullptr) ? 1 : 0;
}

// Runs first on every redraw, so the list starts empty.
void TModuleBasics::EnableControls(bool on)
{
    m_HasDevice = on;
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_Label1, m_Ui->m_Label2, m_Ui->m_Username,
                                                             m_Ui->m_Password, m_Ui->m_Logout})
        control->setEnabled(on);
    m_Ui->m_Devices->clear();
    EventOnEdit();
}

void TModuleBasics::FillFrom(TDevice*)
{
    for (TDevice* device : SelectedDevices()) {
        auto* row = new QTreeWidgetItem(m_Ui->m_Devices);
        row->setText(0, AddressText(device->Address()));
        row->setData(0, Qt::UserRole, MacKey(device));
        SetRowImage(row, device);
    }
}

void TModuleBasics::SetRowImage(QTreeWidgetItem* row, const TDevice* device)
{
    row->setIcon(0, Icon(device->IsLoggedIn() ? TImage::Accept : TImage::Cancel));
}

void TModuleBasics::BlankRows()
{
    for (int i = 0; i < m_Ui->m_Devices->topLevelItemCount(); ++i)
        m_Ui->m_Devices->topLevelItem(i)->setIcon(0, QIcon());
}

void TModuleBasics::EventOnEdit()
{
    m_Ui->m_Login->setEnabled(m_HasDevice && !m_Ui->m_Username->text().isEmpty() &&
                              !m_Ui->m_Password->text().isEmpty());
}

void TModuleBasics::EventOnLogin()
{
    if (!Dialogs::CheckCredentialTexts(this, {m_Ui->m_Username->text(), m_Ui->m_Password->text()}))
        return;
    BlankRows();
    const std::string user = RecordBytes(m_Ui->m_Username->text());
    const std::string password = RecordBytes(m_Ui->m_Password->text());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionIntpLogin(user, password); }, this);
}

void TModuleBasics::EventOnLogout()
{
    BlankRows();
    StartOnSelection([](TDevice*) { return Intp::TSessionIntpLogin::Logout(); }, this);
}

void TModuleBasics::OnResult(TDevice* device, uint16_t, uint16_t, const Intp::TResultData&)
{
    if (!device)
        return;
    const QString key = MacKey(device);
    for (int i = 0; i < m_Ui->m_Devices->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_Ui->m_Devices->topLevelItem(i);
        if (row->data(0, Qt::UserRole).toString() == key)
            SetRowImage(row, device);
    }
}
