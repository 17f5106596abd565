#include "SyslogForm.h"

#include "net/AddressText.h"
#include "Images.h"
#include "ui_SyslogForm.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLocale>
#include <QTreeWidget>

#include <algorithm>

namespace {

enum TColumn { colEventId, colFacility, colSeverity, colHost, colDate, colTime, colMessage, ColumnCount };

template <typename T>
int Order(const T& a, const T& b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

} // namespace

TSyslogForm::TSyslogForm(std::vector<Syslog::TSyslogListNode> nodes, Syslog::TSyslogServer* texts)
    : QWidget(nullptr, Qt::Dialog), m_Ui(std::make_unique<Ui::TSyslogForm>()), m_Nodes(std::move(nodes))
{
    m_Ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    m_Ui->m_Prev->setIcon(Icon(TImage::Previous));
    m_Ui->m_Next->setIcon(Icon(TImage::Next));
    m_Ui->m_Copy->setIcon(Icon(TImage::Copy));
    m_Ui->m_Close->setIcon(Icon(TImage::Exit));
    QTreeWidget* list = m_Ui->m_LogList;
    static const std::pair<int, int> widths[] = {{colEventId, 60}, {colFacility, 100}, {colHost, 100}, {colDate, 80}, {colTime, 80}};
    for (auto [column, width] : widths)
        list->setColumnWidth(column, width);
    list->header()->setSectionsClickable(true);

    connect(list, &QTreeWidget::itemSelectionChanged, this, &TSyslogForm::EventOnSelect);
    connect(m_Ui->m_Prev, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(m_Ui->m_Next, &QPushButton::clicked, this, [this] { Step(1); });
    connect(m_Ui->m_Copy, &QPushButton::clicked, this, &TSyslogForm::EventOnCopy);
    connect(m_Ui->m_Close, &QPushButton::clicked, this, &QWidget::close);
    connect(list->header(), &QHeaderView::sectionClicked, this, &TSyslogForm::EventOnHeaderClick);

    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(m_Nodes.size()));
    for (std::size_t i = 0; i < m_Nodes.size(); ++i) {
        const Syslog::TSyslogListNode& node = m_Nodes[i];
        const QDateTime received = QDateTime::fromMSecsSinceEpoch(node.Received);
        const QString facility = texts ? QString::fromStdString(texts->FacilityText(node.Facility)) : QString::number(node.Facility);
        const QString severity = texts ? QString::fromStdString(texts->SeverityText(node.Severity)) : QString::number(node.Severity);
        auto* item = new QTreeWidgetItem({QString::number(node.EventId), facility, severity, AddressText(node.Address),
                                          QLocale().toString(received.date(), QStringLiteral("MMM d")),
                                          QLocale().toString(received.time(), QLocale::LongFormat),
                                          QString::fromStdString(node.Message)});
        item->setIcon(colEventId, SeverityIcon(Syslog::SeverityImage(node.Severity)));
        item->setData(colEventId, Qt::UserRole, qulonglong(i));
        items.append(item);
    }
    list->addTopLevelItems(items);
    if (!items.isEmpty())
        list->setCurrentItem(items.last());
}

TSyslogForm::~TSyslogForm() = default;

void TSyslogForm::SelectEventId(int64_t eventId)
{
    for (int row = m_Ui->m_LogList->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* item = m_Ui->m_LogList->topLevelItem(row);
        if (NodeOf(item).EventId == eventId) {
            m_Ui->m_LogList->setCurrentItem(item);
            return;
        }
    }
}

void TSyslogForm::EventOnSelect()
{
    const QList<QTreeWidgetItem*> selected = m_Ui->m_LogList->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    m_Ui->m_EventId->setText(item->text(colEventId));
    m_Ui->m_Facility->setText(item->text(colFacility));
    m_Ui->m_Severity->setText(item->text(colSeverity));
    m_Ui->m_Host->setText(item->text(colHost));
    m_Ui->m_Date->setText(item->text(colDate));
    m_Ui->m_Time->setText(item->text(colTime));
    m_Ui->m_Memo->clear();
    m_Ui->m_Memo->setPlainText(item->text(colMessage));
    const int row = m_Ui->m_LogList->indexOfTopLevelItem(item);
    m_Ui->m_Prev->setEnabled(row > 0);
    m_Ui->m_Next->setEnabled(row < m_Ui->m_LogList->topLevelItemCount() - 1);
    m_Ui->m_Copy->setEnabled(true);
}

void TSyslogForm::Step(int delta)
{
    const QList<QTreeWidgetItem*> selected = m_Ui->m_LogList->selectedItems();
    const int target = selected.isEmpty() ? 0 : m_Ui->m_LogList->indexOfTopLevelItem(selected.first()) + delta;
    if (target >= 0 && target < m_Ui->m_LogList->topLevelItemCount())
        m_Ui->m_LogList->setCurrentItem(m_Ui->m_LogList->topLevelItem(target));
}

void TSyslogForm::EventOnCopy()
{
    m_Ui->m_Memo->selectAll();
    m_Ui->m_Memo->copy();
}

void TSyslogForm::EventOnHeaderClick(int column)
{
    const int sortColumn = column - 1;
    if (sortColumn == m_SortColumn) {
        m_SortDirection = -m_SortDirection;
    } else {
        m_SortColumn = sortColumn;
        m_SortDirection = 1;
    }
    const QList<QTreeWidgetItem*> selected = m_Ui->m_LogList->selectedItems();
    QTreeWidgetItem* current = selected.isEmpty() ? nullptr : selected.first();
    QList<QTreeWidgetItem*> items = m_Ui->m_LogList->invisibleRootItem()->takeChildren();
    std::stable_sort(items.begin(), items.end(), [this](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return Compare(NodeOf(a), NodeOf(b)) * m_SortDirection < 0;
    });
    m_Ui->m_LogList->addTopLevelItems(items);
    if (current)
        m_Ui->m_LogList->setCurrentItem(current);
}

int TSyslogForm::Compare(const Syslog::TSyslogListNode& a, const Syslog::TSyslogListNode& b) const
{
    const QDateTime x = QDateTime::fromMSecsSinceEpoch(a.Received);
    const QDateTime y = QDateTime::fromMSecsSinceEpoch(b.Received);
    switch (m_SortColumn + 1) {
    case colFacility: return Order(a.Facility, b.Facility);
    case colSeverity: return Order(a.Severity, b.Severity);
    case colHost: return Order(a.Address, b.Address);
    case colDate: return Order(x.date(), y.date());
    case colTime: return Order(x.time(), y.time());
    case colMessage: return Order(a.Message, b.Message);
    default: return Order(a.EventId, b.EventId);
    }
}

const Syslog::TSyslogListNode& TSyslogForm::NodeOf(const QTreeWidgetItem* item) const
{
    return m_Nodes[item->data(colEventId, Qt::UserRole).toULongLong()];
}
