#include "SyslogForm.h"

#include "app/AddressText.h"
#include "app/Images.h"
#include "devices/Services.h"
#include "modules/Module.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum TColumn { colEventId, colFacility, colSeverity, colHost, colDate, colTime, colMessage, ColumnCount };

template <typename T>
int Order(const T& a, const T& b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

QLineEdit* Field(QWidget* parent, const char* name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFrame(false);
    return field;
}

QPushButton* Button(QWidget* parent, const char* name, TImage image)
{
    auto* button = new QPushButton(Icon(image), QString(), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setEnabled(false);
    return button;
}

} // namespace

TSyslogForm::TSyslogForm(std::vector<Syslog::TSyslogListNode> nodes) : QWidget(nullptr, Qt::Dialog), m_Nodes(std::move(nodes))
{
    setObjectName(QStringLiteral("TSyslogForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Log"));

    m_Date = Field(page, "m_Date");
    m_Time = Field(page, "m_Time");
    m_Severity = Field(page, "m_Severity");
    m_Facility = Field(page, "m_Facility");
    m_EventId = Field(page, "m_EventId");
    m_Host = Field(page, "m_Host");
    m_Prev = Button(page, "m_Prev", TImage::Previous);
    m_Next = Button(page, "m_Next", TImage::Next);
    m_Copy = Button(page, "m_Copy", TImage::Copy);
    m_Memo = new QPlainTextEdit(page);
    m_Memo->setObjectName(QStringLiteral("m_Memo"));
    m_Memo->setReadOnly(true);
    m_Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_LogList = new QTreeWidget(page);
    m_LogList->setObjectName(QStringLiteral("m_LogList"));
    m_LogList->setRootIsDecorated(false);
    m_LogList->setUniformRowHeights(true);
    m_LogList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_LogList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_LogList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_LogList->setHeaderLabels({QStringLiteral("Event ID"), QStringLiteral("Facility"), QStringLiteral("Severity"),
                                QStringLiteral("Host"), QStringLiteral("Date"), QStringLiteral("Time"),
                                QStringLiteral("Message")});
    m_LogList->header()->setSectionsClickable(true);
    m_LogList->header()->setStretchLastSection(true);
    static const std::pair<int, int> widths[] = {{colEventId, 60}, {colFacility, 100}, {colHost, 100}, {colDate, 80}, {colTime, 80}};
    for (auto [column, width] : widths)
        m_LogList->setColumnWidth(column, width);

    auto* fields = new QGridLayout;
    const std::pair<const char*, QLineEdit*> labelled[] = {{"&Date:", m_Date},         {"&Time:", m_Time},
                                                           {"&Severity:", m_Severity}, {"&Facility:", m_Facility},
                                                           {"&Event ID:", m_EventId},  {"&Host:", m_Host}};
    int cell = 0;
    for (auto [caption, field] : labelled) {
        auto* label = new QLabel(QString::fromLatin1(caption), page);
        label->setBuddy(field);
        fields->addWidget(label, cell / 2, (cell % 2) * 2);
        fields->addWidget(field, cell / 2, (cell % 2) * 2 + 1);
        ++cell;
    }
    auto* content = new QLabel(QStringLiteral("&Content:"), page);
    content->setBuddy(m_Memo);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(content);
    buttons->addStretch(1);
    buttons->addWidget(m_Prev);
    buttons->addWidget(m_Next);
    buttons->addWidget(m_Copy);
    auto* splitter = new QSplitter(Qt::Vertical, page);
    splitter->addWidget(m_Memo);
    splitter->addWidget(m_LogList);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(fields);
    pageLayout->addLayout(buttons);
    pageLayout->addWidget(splitter, 1);

    auto* close = new QPushButton(Icon(TImage::Exit), QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("m_Close"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(bottom);
    resize(640, 520);

    connect(m_LogList, &QTreeWidget::itemSelectionChanged, this, &TSyslogForm::EventOnSelect);
    connect(m_Prev, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(m_Next, &QPushButton::clicked, this, [this] { Step(1); });
    connect(m_Copy, &QPushButton::clicked, this, &TSyslogForm::EventOnCopy);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_LogList->header(), &QHeaderView::sectionClicked, this, &TSyslogForm::EventOnHeaderClick);

    TModuleCallback* callback = ModuleCallback();
    Syslog::TSyslogServer* server = callback ? callback->GetSyslogServer() : nullptr;
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(m_Nodes.size()));
    for (std::size_t i = 0; i < m_Nodes.size(); ++i) {
        const Syslog::TSyslogListNode& node = m_Nodes[i];
        const QDateTime received = QDateTime::fromMSecsSinceEpoch(node.Received);
        const QString facility = server ? QString::fromStdString(server->FacilityText(node.Facility)) : QString::number(node.Facility);
        const QString severity = server ? QString::fromStdString(server->SeverityText(node.Severity)) : QString::number(node.Severity);
        auto* item = new QTreeWidgetItem({QString::number(node.EventId), facility, severity, AddressText(node.Address),
                                          QLocale().toString(received.date(), QStringLiteral("MMM d")),
                                          QLocale().toString(received.time(), QLocale::LongFormat),
                                          QString::fromStdString(node.Message)});
        item->setIcon(colEventId, SeverityIcon(Syslog::SeverityImage(node.Severity)));
        item->setData(colEventId, Qt::UserRole, qulonglong(i));
        items.append(item);
    }
    m_LogList->addTopLevelItems(items);
    if (!items.isEmpty())
        m_LogList->setCurrentItem(items.last());
}

void TSyslogForm::SelectEventId(int eventId)
{
    for (int row = m_LogList->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* item = m_LogList->topLevelItem(row);
        if (NodeOf(item).EventId == eventId) {
            m_LogList->setCurrentItem(item);
            return;
        }
    }
}

void TSyslogForm::EventOnSelect()
{
    const QList<QTreeWidgetItem*> selected = m_LogList->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    m_EventId->setText(item->text(colEventId));
    m_Facility->setText(item->text(colFacility));
    m_Severity->setText(item->text(colSeverity));
    m_Host->setText(item->text(colHost));
    m_Date->setText(item->text(colDate));
    m_Time->setText(item->text(colTime));
    m_Memo->clear();
    m_Memo->setPlainText(item->text(colMessage));
    const int row = m_LogList->indexOfTopLevelItem(item);
    m_Prev->setEnabled(row > 0);
    m_Next->setEnabled(row < m_LogList->topLevelItemCount() - 1);
    m_Copy->setEnabled(true);
}

void TSyslogForm::Step(int delta)
{
    const QList<QTreeWidgetItem*> selected = m_LogList->selectedItems();
    const int target = selected.isEmpty() ? 0 : m_LogList->indexOfTopLevelItem(selected.first()) + delta;
    if (target >= 0 && target < m_LogList->topLevelItemCount())
        m_LogList->setCurrentItem(m_LogList->topLevelItem(target));
}

void TSyslogForm::EventOnCopy()
{
    m_Memo->selectAll();
    m_Memo->copy();
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
    const QList<QTreeWidgetItem*> selected = m_LogList->selectedItems();
    QTreeWidgetItem* current = selected.isEmpty() ? nullptr : selected.first();
    QList<QTreeWidgetItem*> items = m_LogList->invisibleRootItem()->takeChildren();
    std::stable_sort(items.begin(), items.end(), [this](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return Compare(NodeOf(a), NodeOf(b)) * m_SortDirection < 0;
    });
    m_LogList->addTopLevelItems(items);
    if (current)
        m_LogList->setCurrentItem(current);
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
