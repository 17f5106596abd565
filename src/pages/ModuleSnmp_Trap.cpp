#include "ModuleSnmp_Trap.h"

#include "ui_ModuleSnmp_Trap.h"

#include "net/AddressText.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"
#include "core/AddressRules.h"

#include <QTreeWidget>

namespace {

enum TColumn { colNumber, colAddress, colCommunity, colVersion };

} // namespace

TModuleSnmpTrap::TModuleSnmpTrap(QWidget* parent)
    : TListPageOf(QStringLiteral("Trap Settings"), parent), m_Ui(std::make_unique<Ui::TModuleSnmpTrap>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_List);
    SortByValue(colNumber);
    SortByValue(colAddress);
    // Each column keeps its own direction, the first click ascending.
    SetOrderPerColumn();
    m_Ui->m_Add->setIcon(Icon(TImage::Add));
    m_Ui->m_Delete->setIcon(Icon(TImage::Remove));
    for (QWidget* control : std::initializer_list<QWidget*>{m_Ui->m_Label1, m_Ui->m_ServerIp, m_Ui->m_Label2,
                                                             m_Ui->m_Community, m_Ui->m_Label3, m_Ui->m_V1, m_Ui->m_V2C})
        FollowSelection(control);
    connect(m_Ui->m_ServerIp, &QLineEdit::textChanged, this, &TModuleSnmpTrap::EntryRule);
    connect(m_Ui->m_Community, &QLineEdit::textChanged, this, &TModuleSnmpTrap::EntryRule);
    connect(m_Ui->m_ServerIp, &QLineEdit::editingFinished, this,
            [this] { m_Ui->m_ServerIp->setText(AddressText(m_Address)); });
    connect(m_Ui->m_Add, &QPushButton::clicked, this, &TModuleSnmpTrap::EventOnAdd);
    connect(m_Ui->m_Delete, &QPushButton::clicked, this, &TModuleSnmpTrap::EventOnDelete);
}

TModuleSnmpTrap::~TModuleSnmpTrap() = default;

void TModuleSnmpTrap::EnableControls(bool on)
{
    TReportPage::EnableControls(on);
    m_Ui->m_ServerIp->setText(QStringLiteral("0.0.0.0"));
    m_Address = 0;
    m_Ui->m_Community->clear();
    m_Ui->m_V1->setChecked(true);
    m_Ui->m_Add->setEnabled(false);
    m_Ui->m_Delete->setEnabled(false);
}

void TModuleSnmpTrap::AddRows(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySnmpTrap>(*device);
    if (!record.Valid)
        return;
    unsigned number = 0;
    for (const Intp::TPropertySnmpTrapEntry& entry : record.Entries) {
        ++number;
        QTreeWidgetItem* row = AddRow(QString::number(number), number);
        SetCell(row, colAddress, entry.Address, AddressText(entry.Address));
        row->setText(colCommunity, RecordText(entry.Community));
        SetCell(row, colVersion, Intp::TrapVersionNames, entry.Version);
    }
}

void TModuleSnmpTrap::EventOnRowChange()
{
    const QList<QTreeWidgetItem*> rows = m_Ui->m_List->selectedItems();
    if (rows.isEmpty())
        return;
    const QTreeWidgetItem* row = rows.first();
    m_Ui->m_ServerIp->setText(row->text(colAddress));
    m_Ui->m_Community->setText(row->text(colCommunity));
    const bool v1 = row->text(colVersion) == ValueText(Intp::TrapVersionNames, Intp::tvV1);
    (v1 ? m_Ui->m_V1 : m_Ui->m_V2C)->setChecked(true);
    EntryRule();
}

void TModuleSnmpTrap::EntryRule()
{
    const QString text = m_Ui->m_ServerIp->text();
    m_Address = AddressOf(text);
    bool shown = false;
    const bool valid = IsValidHostAddress(m_Address) && !m_Ui->m_Community->text().isEmpty();
    if (valid)
        for (const QTreeWidgetItem* row : Rows())
            shown = shown || row->text(colAddress) == text;
    m_Ui->m_Add->setEnabled(valid && !shown);
    m_Ui->m_Delete->setEnabled(valid && shown);
}

void TModuleSnmpTrap::EventOnAdd()
{
    if (!Dialogs::CheckCredentialTexts(this, {m_Ui->m_Community->text()}))
        return;
    Intp::TPropertySnmpTrapEntry entry;
    entry.Address = m_Address;
    entry.Community = RecordBytes(m_Ui->m_Community->text());
    entry.Version = m_Ui->m_V1->isChecked() ? Intp::tvV1 : Intp::tvV2c;
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSnmpTrapAdd(entry); });
}

void TModuleSnmpTrap::EventOnDelete()
{
    const Intp::TSnmpTrapAddress receiver{m_Address};
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSnmpTrapDel(receiver); });
}
