#include "SecurityLists.h"

#include "ui/Images.h"
#include "core/AddressRules.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>


// ---- the list model ----------------------------------------------------------------------

TSecurityListModel::TSecurityListModel(QStringList headers, QObject* parent)
    : TSortedModel(parent), m_Headers(std::move(headers))
{
}

int TSecurityListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Rows.size());
}

int TSecurityListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_Headers.size());
}

QString TSecurityListModel::Text(const TRow& row, int column) const
{
    return column + 1 == m_Headers.size() ? MacText(row.Mac) : row.Caption;
}

QVariant TSecurityListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return Text(Row(index.row()), index.column());
}

QVariant TSecurityListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_Headers.size())
        return m_Headers[section];
    return {};
}

void TSecurityListModel::SetRows(std::vector<TRow> rows)
{
    beginResetModel();
    m_Rows = std::move(rows);
    SortRows();
    endResetModel();
}

std::vector<int> TSecurityListModel::SortRows()
{
    return Sorted(m_Rows, [this](const TRow& a, const TRow& b, int column) {
        return Text(a, column).compare(Text(b, column), Qt::CaseInsensitive);
    });
}

// ---- the pages' base ----------------------------------------------------------------------

void TModuleSecurityMacList::SetControls(QTreeView* view, TSecurityListModel* model, QLineEdit* mac, QPushButton* add,
                                         QPushButton* del, bool upperCase)
{
    m_View = view;
    m_Model = model;
    m_Mac = mac;
    m_Add = add;
    m_Delete = del;
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->viewport()->installEventFilter(this);
    add->setIcon(Icon(TImage::Add));
    del->setIcon(Icon(TImage::Remove));
    connect(view, &QTreeView::clicked, this, [this](const QModelIndex& index) { EventOnRowClick(m_Model->Row(index.row())); });
    connect(mac, &QLineEdit::textChanged, this, [this, upperCase](const QString& text) {
        const QString shown = upperCase ? text.toUpper() : text.toLower();
        if (shown != text) {
            const int cursor = m_Mac->cursorPosition();
            m_Mac->setText(shown);
            m_Mac->setCursorPosition(cursor);
            return;
        }
        MacRule();
    });
    connect(add, &QPushButton::clicked, this, [this] { EventOnAdd(m_Parsed); });
    connect(del, &QPushButton::clicked, this, [this] { EventOnDelete(m_Parsed); });
}

bool TModuleSecurityMacList::Hide(bool force)
{
    m_Model->Clear();
    return TModuleGetPage::Hide(force);
}

void TModuleSecurityMacList::EnableControls(bool on)
{
    m_Model->Clear();
    for (QWidget* control : findChildren<QWidget*>())
        if (control != m_Add && control != m_Delete && control->parentWidget() == this)
            control->setEnabled(on);
    m_Mac->clear();
    MacRule();
}

void TModuleSecurityMacList::EventOnRowClick(const TSecurityListModel::TRow& row)
{
    m_Mac->setText(MacDigits(row.Mac));
}

void TModuleSecurityMacList::MacRule()
{
    const bool valid = ParseMacText(m_Mac->text().toStdString(), m_Parsed);
    const bool listed = valid && std::any_of(m_Model->Rows().begin(), m_Model->Rows().end(),
                                             [this](const TSecurityListModel::TRow& row) { return Matches(row, m_Parsed); });
    m_Add->setEnabled(valid && !listed && CanAdd());
    m_Delete->setEnabled(valid && listed);
}

// A press beside the rows empties the address.
bool TModuleSecurityMacList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_View->viewport() && event->type() == QEvent::MouseButtonPress &&
        !m_View->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
        m_Mac->clear();
    return TModuleGetPage::eventFilter(watched, event);
}
