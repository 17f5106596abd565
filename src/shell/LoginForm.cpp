#include "LoginForm.h"

#include "ui_LoginForm.h"

#include "ui/Dialogs.h"
#include "net/RecordText.h"

TLoginForm::TLoginForm(QWidget* parent) : QDialog(parent), m_Ui(std::make_unique<Ui::TLoginForm>())
{
    m_Ui->setupUi(this);
    connect(m_Ui->m_Username, &QLineEdit::textChanged, this, &TLoginForm::EventOnChange);
    connect(m_Ui->m_Password, &QLineEdit::textChanged, this, &TLoginForm::EventOnChange);
    connect(m_Ui->m_Login, &QPushButton::clicked, this, &TLoginForm::EventOnLogin);
    connect(m_Ui->m_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TLoginForm::~TLoginForm() = default;

std::string TLoginForm::User() const { return RecordBytes(m_Ui->m_Username->text()); }
std::string TLoginForm::Password() const { return RecordBytes(m_Ui->m_Password->text()); }

// A refused text keeps the dialog open for correcting it.
void TLoginForm::EventOnLogin()
{
    if (Dialogs::CheckCredentialTexts(this, {m_Ui->m_Username->text(), m_Ui->m_Password->text()}))
        accept();
}

void TLoginForm::EventOnChange()
{
    m_Ui->m_Login->setEnabled(!m_Ui->m_Username->text().isEmpty() && !m_Ui->m_Password->text().isEmpty());
}
