#include "ListPage.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Report lists draw grid lines as the right and bottom borders of every cell; a style sheet
// for items also needs the selection's colours, or selected rows lose their text.
const QString GridLines =
    QStringLiteral("QTreeView::item { border: 1px solid palette(midlight); border-top: none; border-left: none; }"
                   "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }");

// The header item marks the columns that sort by value.
constexpr int SortByValueRole = Qt::UserRole;

// Rows compare by the sort column's texts ignoring case, as the operator reads them, or by
// the values of a numeric column.
class TPortRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (treeWidget() && treeWidget()->headerItem()->data(column, SortByValueRole).toBool())
            return data(column, Qt::UserRole).toUInt() < other.data(column, Qt::UserRole).toUInt();
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

// ---- the list ----------------------------------------------------------------------------

void TListPage::SetList(QTreeWidget* list, std::initializer_list<int> minimumWidths)
{
    m_List = list;
    StyleList(list);
    QHeaderView* header = list->header();
    const std::vector<int> minimum(minimumWidths);
    for (int column = 0; column < int(minimum.size()); ++column)
        header->resizeSection(column, std::max(minimum[column], header->sectionSizeHint(column)));
    connect(header, &QHeaderView::sectionResized, this, [header, minimum](int column, int, int size) {
        if (column < int(minimum.size()) && size < minimum[column])
            header->resizeSection(column, minimum[column]);
    });
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this] { EventOnRowChange(); });
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { EventOnHeaderClick(column); });
}

void TListPage::StyleList(QTreeView* list)
{
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setStyleSheet(GridLines);
    list->header()->setSectionsClickable(true);
    list->header()->setSectionsMovable(false);
}

void TListPage::EnableControls(bool on)
{
    m_List->clear();
    m_List->setEnabled(on);
    for (QWidget* control : m_Followers)
        control->setEnabled(on);
}

QTreeWidgetItem* TListPage::AddRow(const QString& caption, unsigned value)
{
    auto* row = new TPortRow(m_List);
    SetCell(row, 0, value, caption);
    return row;
}

QTreeWidgetItem* TListPage::AddTrunkRow(int index, const Intp::TPortTrunkEntry& entry)
{
    QTreeWidgetItem* row = AddRow(TrunkCaption(index), unsigned(index));
    SetCell(row, 1, Intp::TrunkTypeNames, entry.Lacp ? 1 : 0);
    SetCell(row, 2, entry.Members, MemberPortsText(entry.Members));
    return row;
}

QList<QTreeWidgetItem*> TListPage::Rows() const
{
    QList<QTreeWidgetItem*> rows;
    for (int i = 0; i < m_List->topLevelItemCount(); ++i)
        rows << m_List->topLevelItem(i);
    return rows;
}

unsigned TListPage::Value(const QTreeWidgetItem* row, int column)
{
    return row->data(column, Qt::UserRole).toUInt();
}

void TListPage::SetCell(QTreeWidgetItem* row, int column, unsigned value, const QString& text)
{
    row->setData(column, Qt::UserRole, value);
    row->setText(column, text);
}

void TListPage::SetNumber(QTreeWidgetItem* row, int column, unsigned value)
{
    SetCell(row, column, value, QString::number(value));
}

void TListPage::SetCell(QTreeWidgetItem* row, int column, Intp::TValueNames kind, unsigned value)
{
    SetCell(row, column, value, ValueText(kind, value));
}

void TListPage::SortRows(int column, Qt::SortOrder order)
{
    m_List->sortItems(column, order);
}

void TListPage::SortByValue(int column)
{
    m_List->headerItem()->setData(column, SortByValueRole, true);
}

// ---- read-only lists ---------------------------------------------------------------------

bool TReportPage::Hide(bool force)
{
    List()->clear();
    return TListPage::Hide(force);
}

void TReportPage::FillFrom(TDevice* device)
{
    AddRows(device);
    Sort();
    // These lists have no set widths: every text shows whole.
    for (int column = 0; column < List()->columnCount() - 1; ++column)
        List()->resizeColumnToContents(column);
}

void TReportPage::EventOnHeaderClick(int column)
{
    m_Sort.Click(column);
    Sort();
}

void TReportPage::Sort()
{
    if (m_Sort.Column() < 0)
        return;
    List()->header()->setSortIndicatorShown(true);
    SortRows(m_Sort.Column(), m_Sort.Order());
}

// ---- editable lists ----------------------------------------------------------------------

void TEditorPage::BindChoice(int column, QComboBox* box, Intp::TValueNames kind, QLabel* label)
{
    box->addItems(ValueTexts(kind));
    m_Choices.push_back({column, box, kind});
    AddEditor(box, label);
    connect(box, &QComboBox::currentIndexChanged, this, [this, column, kind](int index) {
        QTreeWidgetItem* row = SelectedRow();
        if (row && !m_Loading && index >= 0)
            SetCell(row, column, kind, unsigned(index));
    });
}

void TEditorPage::AddEditor(QWidget* editor, QLabel* label)
{
    m_Editors.push_back(editor);
    m_Editors.push_back(label);
}

QTreeWidgetItem* TEditorPage::SelectedRow() const
{
    const QList<QTreeWidgetItem*> rows = List()->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

void TEditorPage::LoadRow(const QTreeWidgetItem* row)
{
    // A value the box does not list (speed/duplex 7) leaves it without a current item.
    for (const TChoice& choice : m_Choices) {
        const unsigned value = Value(row, choice.Column);
        choice.Box->setCurrentIndex(value < unsigned(choice.Box->count()) ? int(value) : -1);
    }
}

void TEditorPage::EnableControls(bool on)
{
    TListPage::EnableControls(on);
    // Emptying the list selects nothing without a signal.
    EventOnRowChange();
}

void TEditorPage::EventOnRowChange()
{
    QTreeWidgetItem* row = SelectedRow();
    for (QWidget* editor : m_Editors)
        editor->setEnabled(row != nullptr);
    if (row) {
        const QScopedValueRollback loading(m_Loading, true);
        LoadRow(row);
    }
}

void TEditorPage::EventOnHeaderClick(int column)
{
    const auto choice =
        std::find_if(m_Choices.begin(), m_Choices.end(), [column](const TChoice& c) { return c.Column == column; });
    const QList<QTreeWidgetItem*> rows = Rows();
    if (choice == m_Choices.end() || rows.isEmpty())
        return;
    // An unlisted first value is followed by the box's first item.
    const unsigned next = Value(rows.first(), column) + 1;
    const unsigned value = next < unsigned(choice->Box->count()) ? next : 0;
    for (QTreeWidgetItem* row : rows)
        SetCell(row, column, choice->Kind, value);
    EventOnRowChange();
}
