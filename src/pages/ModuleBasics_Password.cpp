#include "ModuleBasics_Password.h"

#include "ui_ModuleBasics_Password.h"

#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"
#include "core/Basics.h"

TModuleBasicsPassword::TModuleBasicsPassword(QWidget* parent)
    : TModulePage(QStringLiteral("Admin Password"), parent), m_Ui(std::make_unique<Ui::TModuleBasicsPassword>())
{
    m_Ui->setupUi(this);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    for (QLineEdit* edit : {m_Ui->m_Username, m_Ui->m_Password, m_Ui->m_Confirm})
        connect(edit, &QLineEdit::textChanged, this, &TModuleBasicsPassword::EventOnChange);
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleBasicsPassword::EventOnApply);
    EventOnChange();
}

TModuleBasicsPassword::~TModuleBasicsPassword() = default;

void TModuleBasicsPassword::Notify(TDevice*, uint16_t code, uint16_t)
{
    if (code != ncSelect && code != ncDeviceRemoved)
        return;
    show();
    m_HasDevice = FirstSelected() != nullptr;
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_Label1, m_Ui->m_Label2, m_Ui->m_Label3,
                                                             m_Ui->m_Username, m_Ui->m_Password, m_Ui->m_Confirm})
        control->setEnabled(m_HasDevice);
    for (QLineEdit* edit : {m_Ui->m_Username, m_Ui->m_Password, m_Ui->m_Confirm})
        edit->clear();
    EventOnChange();
}

void TModuleBasicsPassword::EventOnChange()
{
    const QString password = m_Ui->m_Password->text();
    m_Ui->m_Apply->setEnabled(m_HasDevice && !m_Ui->m_Username->text().isEmpty() && !password.isEmpty() &&
                              m_Ui->m_Confirm->text() == password);
}

void TModuleBasicsPassword::EventOnApply()
{
    if (!Dialogs::CheckCredentialTexts(this, {m_Ui->m_Username->text(), m_Ui->m_Password->text()}))
        return;
    const std::string user = RecordBytes(m_Ui->m_Username->text());
    const std::string password = RecordBytes(m_Ui->m_Password->text());
    StartOnSelection([&](TDevice*) { return new Intp::TSessionBasicsPassword(user, password); });
}
