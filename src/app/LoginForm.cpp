#include "LoginForm.h"

#include "ui_LoginForm.h"

#include "Dialogs.h"

TLoginForm::TLoginForm(QWidget* parent) : QDialog(parent), m_Ui(std::make_unique<Ui::TLoginForm>())
{
    m_Ui->setupUi(this);
    connect(m_Ui->m_Username, &QLineEdit::textChanged, this, &TLoginForm::EventOnChange);
    connect(m_Ui->m_Password, &QLineEdit::textChanged, this, &TLoginForm::EventOnChange);
    connect(m_Ui->m_Login, &QPushButton::clicked, this, &TLoginForm::EventOnLogin);
    connect(m_Ui->m_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TLoginForm::~TLoginForm() = default;

// Texts travel as 8-bit characters.
std::string TLoginForm::User() const { return m_Ui->m_Username->text().toLatin1().toStdString(); }
std::string TLoginForm::Password() const { return m_Ui->m_Password->text().toLatin1().toStdString(); }

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
