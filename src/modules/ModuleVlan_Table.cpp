#include "ModuleVlan_Table.h"

#include "ui_ModuleVlan_Table.h"

#include "app/Dialogs.h"
#include "intp/Vlan.h"

#include <QHeaderView>

#include <algorithm>

// ---- the model ---------------------------------------------------------------------------

int TVlanTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Rows.size());
}

int TVlanTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QVariant TVlanTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_Rows.size()))
        return {};
    const TRow& row = m_Rows[std::size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() <= colVid)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case colNumber: return QString::number(row.Number);
    case colVid: return QString::number(row.Vid);
    case colUntagged: return row.Untagged;
    case colTagged: return row.Tagged;
    }
    return {};
}

QVariant TVlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const Titles[] = {"", "VLAN ID", "Untagged Ports", "Tagged Ports"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= colCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(Titles[section]);
}

void TVlanTableModel::SetRows(std::vector<TRow> rows)
{
    beginResetModel();
    m_Rows = std::move(rows);
    endResetModel();
}

void TVlanTableModel::Sort(int column, int direction)
{
    auto compare = [column](const TRow& a, const TRow& b) {
        switch (column) {
        case colNumber: return (a.Number > b.Number) - (a.Number < b.Number);
        case colVid: return (a.Vid > b.Vid) - (a.Vid < b.Vid);
        case colUntagged: return a.Untagged.compare(b.Untagged, Qt::CaseInsensitive);
        }
        return a.Tagged.compare(b.Tagged, Qt::CaseInsensitive);
    };
    beginResetModel();
    std::stable_sort(m_Rows.begin(), m_Rows.end(),
                     [&](const TRow& a, const TRow& b) { return compare(a, b) * direction < 0; });
    endResetModel();
}

// ---- the page ----------------------------------------------------------------------------

TModuleVlanTable::TModuleVlanTable(QWidget* parent)
    : TModuleGetPage(QStringLiteral("VLAN Table"), parent), m_Ui(std::make_unique<Ui::TModuleVlanTable>())
{
    m_Ui->setupUi(this);
    m_Ui->m_List->setModel(&m_Model);
    m_Ui->m_List->verticalHeader()->hide();
    QHeaderView* header = m_Ui->m_List->horizontalHeader();
    header->setSectionsClickable(true);
    header->setStretchLastSection(true);
    header->resizeSection(TVlanTableModel::colNumber, 40);
    header->resizeSection(TVlanTableModel::colUntagged, 200);
    connect(header, &QHeaderView::sectionClicked, this, &TModuleVlanTable::EventOnHeaderClick);
}

TModuleVlanTable::~TModuleVlanTable() = default;

int TModuleVlanTable::Refresh(bool current)
{
    return current ? StartOnSelection([](TDevice*) { return new Intp::TSessionVlanGet; }) : 0;
}

void TModuleVlanTable::Notify(TDevice* device, uint16_t code, uint16_t status)
{
    // The mode says which list the switch keeps.
    if (code == Intp::TSessionVlanGet::Command && device) {
        const auto& vlan = Intp::GetProperty<Intp::TPropertyVlan>(*device);
        if (vlan.Valid && vlan.Mode == Intp::vmPortBased && Intp::StartNew<Intp::TSessionVlanPortGet>(device, nullptr))
            return;
        if (vlan.Valid && vlan.Mode == Intp::vm8021q && Intp::StartNew<Intp::TSessionVlan8021qPortGet>(device, nullptr))
            return;
    }
    TModuleGetPage::Notify(device, code, status);
}

bool TModuleVlanTable::Hide(bool force)
{
    m_Model.SetRows({});
    return TModuleGetPage::Hide(force);
}

bool TModuleVlanTable::IsGetCommand(uint16_t code) const
{
    return code == Intp::TSessionVlanGet::Command || code == Intp::TSessionVlanPortGet::Command ||
           code == Intp::TSessionVlan8021qPortGet::Command;
}

int TModuleVlanTable::StartGets(TDevice*)
{
    return 0;
}

void TModuleVlanTable::EnableControls(bool on)
{
    m_Model.SetRows({});
    m_Ui->m_List->setEnabled(on);
}

void TModuleVlanTable::FillFrom(TDevice* device)
{
    show();
    const auto& vlan = Intp::GetProperty<Intp::TPropertyVlan>(*device);
    if (!vlan.Valid)
        return;
    std::vector<TVlanTableModel::TRow> rows;
    auto add = [&rows](uint16_t vid, uint32_t untagged, uint32_t tagged) {
        rows.push_back({int(rows.size()) + 1, vid, QString::fromStdString(Intp::MaskPortsText(untagged)),
                        QString::fromStdString(Intp::MaskPortsText(tagged))});
    };
    if (vlan.Mode == Intp::vmPortBased) {
        const auto& list = Intp::GetProperty<Intp::TPropertyVlanPort>(*device);
        if (list.Valid)
            for (const Intp::TPropertyVlanPortEntry& entry : list.Entries)
                add(entry.Vid, entry.Members, 0);
    } else if (vlan.Mode == Intp::vm8021q) {
        const auto& list = Intp::GetProperty<Intp::TPropertyVlan8021qPort>(*device);
        if (list.Valid)
            for (const Intp::TPropertyVlan8021qPortEntry& entry : list.Entries)
                add(entry.Vid, entry.Untagged, entry.Tagged);
    } else {
        Dialogs::Show(this, Dialogs::TKind::Information, QStringLiteral("VLAN Not Enabled!"));
    }
    m_Model.SetRows(std::move(rows));
    Sort();
}

void TModuleVlanTable::EventOnHeaderClick(int column)
{
    if (column < 0 || column >= TVlanTableModel::colCount)
        return;
    m_Directions[std::size_t(column)] = -m_Directions[std::size_t(column)];
    m_SortColumn = column;
    Sort();
}

void TModuleVlanTable::Sort()
{
    if (m_SortColumn < 0)
        return;
    const int direction = m_Directions[std::size_t(m_SortColumn)];
    m_Ui->m_List->horizontalHeader()->setSortIndicatorShown(true);
    m_Ui->m_List->horizontalHeader()->setSortIndicator(m_SortColumn, direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_Model.Sort(m_SortColumn, direction);
}
