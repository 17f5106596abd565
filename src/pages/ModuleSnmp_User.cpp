#include "ModuleSnmp_User.h"

#include "ui_ModuleSnmp_User.h"

#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"

#include <QTreeWidget>

namespace {

enum TColumn { colNumber, colName, colAuth, colPrivacy };

bool ShowsEnabled(const QTreeWidgetItem* row, int column)
{
    return row->text(column) == ValueText(Intp::EnabledNames, 1);
}

} // namespace

TModuleSnmpUser::TModuleSnmpUser(QWidget* parent)
    : TListPageOf(QStringLiteral("SNMPv3 User"), parent), m_Ui(std::make_unique<Ui::TModuleSnmpUser>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_List);
    SortByValue(colNumber);
    m_Ui->m_Add->setIcon(Icon(TImage::Add));
    m_Ui->m_Delete->setIcon(Icon(TImage::Remove));
    for (QLineEdit* edit : {m_Ui->m_Username, m_Ui->m_Auth, m_Ui->m_Privacy})
        connect(edit, &QLineEdit::textChanged, this, &TModuleSnmpUser::NameRule);
    connect(m_Ui->m_Add, &QPushButton::clicked, this, &TModuleSnmpUser::EventOnAdd);
    connect(m_Ui->m_Delete, &QPushButton::clicked, this, &TModuleSnmpUser::EventOnDelete);
}

TModuleSnmpUser::~TModuleSnmpUser() = default;

void TModuleSnmpUser::EnableControls(bool on)
{
    TReportPage::EnableControls(on);
    SetUsable(false);
}

void TModuleSnmpUser::AddRows(TDevice* device)
{
    // The agent record is the one last read by another page; this page never asks for it.
    const auto& agent = Intp::GetProperty<Intp::TPropertySnmp>(*device);
    const bool usable = agent.Valid && agent.Version == Intp::svV3;
    SetUsable(usable);
    if (!usable)
        return;
    const auto& users = Intp::GetProperty<Intp::TPropertySnmpUser>(*device);
    if (users.Valid) {
        unsigned number = 0;
        for (const Intp::TPropertySnmpUserEntry& user : users.Entries) {
            if (user.Name.empty())
                continue;
            ++number;
            QTreeWidgetItem* row = AddRow(QString::number(number), number);
            row->setText(colName, RecordText(user.Name));
            SetCell(row, colAuth, Intp::EnabledNames, user.Auth ? 1 : 0);
            SetCell(row, colPrivacy, Intp::EnabledNames, user.Privacy ? 1 : 0);
        }
    }
    NameRule();
}

void TModuleSnmpUser::SetUsable(bool usable)
{
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_List, m_Ui->m_UsernameLabel, m_Ui->m_Username,
                                                             m_Ui->m_AuthLabel, m_Ui->m_Auth, m_Ui->m_PrivacyLabel,
                                                             m_Ui->m_Privacy})
        control->setEnabled(usable);
    if (!usable) {
        m_Ui->m_Add->setEnabled(false);
        m_Ui->m_Delete->setEnabled(false);
    }
}

void TModuleSnmpUser::NameRule()
{
    const bool named = !m_Ui->m_Username->text().isEmpty();
    m_Ui->m_Add->setEnabled(named);
    m_Ui->m_Delete->setEnabled(named);
}

void TModuleSnmpUser::EventOnRowChange()
{
    const QList<QTreeWidgetItem*> rows = m_Ui->m_List->selectedItems();
    if (rows.isEmpty())
        return;
    m_Ui->m_Username->setText(rows.first()->text(colName));
    m_Ui->m_Auth->clear();
    m_Ui->m_Privacy->clear();
}

QTreeWidgetItem* TModuleSnmpUser::RowNamed(const QString& name) const
{
    const QList<QTreeWidgetItem*> rows = Rows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        if ((*row)->text(colName) == name)
            return *row;
    return nullptr;
}

bool TModuleSnmpUser::CheckTexts()
{
    return Dialogs::CheckCredentialTexts(this, {m_Ui->m_Username->text(), m_Ui->m_Auth->text(), m_Ui->m_Privacy->text()});
}

Intp::TSnmpUserRequest TModuleSnmpUser::FromControls() const
{
    return {RecordBytes(m_Ui->m_Username->text()), RecordBytes(m_Ui->m_Auth->text()),
            RecordBytes(m_Ui->m_Privacy->text())};
}

void TModuleSnmpUser::EventOnAdd()
{
    if (RowNamed(m_Ui->m_Username->text())) {
        Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("Entry already exists!"));
        return;
    }
    if (!CheckTexts())
        return;
    const Intp::TSnmpUserRequest user = FromControls();
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSnmpUserAdd(user); });
}

void TModuleSnmpUser::EventOnDelete()
{
    const QTreeWidgetItem* row = RowNamed(m_Ui->m_Username->text());
    QString missing;
    if (!row)
        missing = QStringLiteral("Entry not found!");
    else if (ShowsEnabled(row, colAuth) && m_Ui->m_Auth->text().isEmpty())
        missing = QStringLiteral("Auth Password needed!");
    else if (ShowsEnabled(row, colPrivacy) && m_Ui->m_Privacy->text().isEmpty())
        missing = QStringLiteral("Privacy Password needed!");
    if (!missing.isEmpty()) {
        Dialogs::Show(this, Dialogs::TKind::Information, missing);
        return;
    }
    if (!CheckTexts())
        return;
    const Intp::TSnmpUserRequest user = FromControls();
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSnmpUserDel(user); });
}
