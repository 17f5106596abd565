#include "ModuleSnmp_Community.h"

#include "ui_ModuleSnmp_Community.h"

#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "net/RecordText.h"

#include <QTreeWidget>

namespace {

enum TColumn { colSlot, colCommunity, colPrivilege };

} // namespace

TModuleSnmpCommunity::TModuleSnmpCommunity(QWidget* parent)
    : TListPageOf(QStringLiteral("Community"), parent), m_Ui(std::make_unique<Ui::TModuleSnmpCommunity>())
{
    m_Ui->setupUi(this);
    SetList(m_Ui->m_ListView, {44, 220, 120});
    AddEditor(m_Ui->m_Community, m_Ui->m_CommunityLabel);
    BindChoice(colPrivilege, m_Ui->m_Privilege, Intp::PrivilegeNames, m_Ui->m_PrivilegeLabel);
    FollowSelection(m_Ui->m_Apply);
    m_Ui->m_Apply->setIcon(Icon(TImage::Accept));
    connect(m_Ui->m_Community, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (QTreeWidgetItem* row = SelectedRow())
            row->setText(colCommunity, text);
    });
    connect(m_Ui->m_Apply, &QPushButton::clicked, this, &TModuleSnmpCommunity::EventOnApply);
}

TModuleSnmpCommunity::~TModuleSnmpCommunity() = default;

void TModuleSnmpCommunity::FillFrom(TDevice* device)
{
    const auto& record = Intp::GetProperty<Intp::TPropertySnmpCommunity>(*device);
    for (int slot = 0; slot < device->CommunityCount(); ++slot) {
        // Without a record, or past the slots it holds, a slot shows empty and read only.
        const Intp::TPropertySnmpCommunityEntry entry =
            record.Valid && slot < int(record.Entries.size()) ? record.Entries[size_t(slot)]
                                                              : Intp::TPropertySnmpCommunityEntry{};
        QTreeWidgetItem* row = AddRow(QString::number(slot), unsigned(slot));
        row->setText(colCommunity, RecordText(entry.Community));
        SetCell(row, colPrivilege, Intp::PrivilegeNames, entry.Privilege);
    }
}

void TModuleSnmpCommunity::LoadRow(const QTreeWidgetItem* row)
{
    TEditorPage::LoadRow(row);
    m_Ui->m_Community->setText(row->text(colCommunity));
}

void TModuleSnmpCommunity::EventOnApply()
{
    QStringList strings;
    std::vector<Intp::TPropertySnmpCommunityEntry> entries;
    for (const QTreeWidgetItem* row : Rows()) {
        strings << row->text(colCommunity);
        entries.push_back({RecordBytes(strings.back()), uint8_t(Value(row, colPrivilege))});
    }
    if (!Dialogs::CheckCredentialTexts(this, strings))
        return;
    StartOnSelection([&](TDevice*) { return new Intp::TSessionSnmpCommunitySet(entries); });
}
