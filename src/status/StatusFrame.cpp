#include "StatusFrame.h"

#include "ui_StatusFrame.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>

TStatusFrame::TStatusFrame(Status::TStatusMonitor& monitor, QWidget* parent)
    : QWidget(parent), m_Ui(std::make_unique<Ui::TStatusFrame>()), m_Monitor(monitor)
{
    using Status::TStatusMonitor;
    m_Ui->setupUi(this);
    m_Ui->m_QueryPeriod->setRange(TStatusMonitor::MinPeriod, TStatusMonitor::MaxPeriod);
    m_Ui->m_QueryPeriod->setValue(m_Monitor.Period());
    m_Ui->m_QueryTmo->setRange(TStatusMonitor::MinTimeout, m_Monitor.MaxTimeout());
    m_Ui->m_QueryTmo->setValue(m_Monitor.Timeout());

    QTableView* list = m_Ui->m_List;
    list->setModel(&m_Model);
    QHeaderView* header = list->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(m_Model.SortColumn(), m_Model.SortOrder());
    list->setColumnWidth(TStatusModel::colNumber, 60);
    list->setColumnWidth(TStatusModel::colIp, 220);
    list->setColumnWidth(TStatusModel::colMac, 140);
    list->setColumnWidth(TStatusModel::colModel, 300);
    list->setColumnWidth(TStatusModel::colTime, 180);
    // One height for every row, so that the view never measures rows.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);

    m_acClearError = new QAction(QStringLiteral("&Clear Error"), this);
    m_acClearError->setObjectName(QStringLiteral("m_acClearError"));
    m_acClearError->setEnabled(false);
    m_acRefresh = new QAction(QStringLiteral("&Refresh"), this);
    m_acRefresh->setObjectName(QStringLiteral("m_acRefresh"));
    list->addAction(m_acClearError);
    list->addAction(m_acRefresh);
    connect(m_acClearError, &QAction::triggered, this, &TStatusFrame::EventOnClearError);
    connect(m_acRefresh, &QAction::triggered, &m_Monitor, &TStatusMonitor::PollAll);
    connect(m_Ui->m_ClearError, &QPushButton::clicked, m_acClearError, &QAction::trigger);
    connect(m_Ui->m_Refresh, &QPushButton::clicked, m_acRefresh, &QAction::trigger);
    connect(m_acClearError, &QAction::changed, this, [this] { m_Ui->m_ClearError->setEnabled(m_acClearError->isEnabled()); });
    connect(m_acRefresh, &QAction::changed, this, [this] { m_Ui->m_Refresh->setEnabled(m_acRefresh->isEnabled()); });
    connect(&m_Monitor, &TStatusMonitor::RowAdded, m_acRefresh, [this] { m_acRefresh->setEnabled(true); });
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TStatusFrame::EventOnSelectionChange);
    connect(header, &QHeaderView::sectionClicked, this, &TStatusFrame::EventOnHeaderClick);
    connect(m_Ui->m_QueryPeriod, &QSpinBox::valueChanged, this, &TStatusFrame::EventOnPeriodChange);
    connect(m_Ui->m_QueryTmo, &QSpinBox::valueChanged, &m_Monitor, &TStatusMonitor::SetTimeout);
    connect(m_Ui->m_Beep, &QCheckBox::toggled, this, [this](bool on) { on ? m_BeepTimer.start() : m_BeepTimer.stop(); });
    connect(m_Ui->m_ProblemsOnly, &QCheckBox::toggled, &m_Model, &TStatusModel::SetProblemsOnly);
    connect(&m_Model, &TStatusModel::SummaryChanged, this, &TStatusFrame::ShowSummary);
    ShowSummary();

    m_BeepTimer.setInterval(2000);
    connect(&m_BeepTimer, &QTimer::timeout, this, &TStatusFrame::BeepTick);
}

TStatusFrame::~TStatusFrame() = default;

void TStatusFrame::Notify(TDevice*, uint16_t code, uint16_t)
{
    if (code == ncSelect)
        show();
}

bool TStatusFrame::Hide(bool)
{
    hide();
    return true;
}

int TStatusFrame::Refresh(bool)
{
    m_Monitor.PollAll();
    return 0;
}

void TStatusFrame::EventOnClearError()
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_Ui->m_List->selectionModel()->selectedRows())
        rows.push_back(m_Model.RowOf(index));
    m_Monitor.ClearErrors(rows);
}

void TStatusFrame::EventOnSelectionChange()
{
    m_acClearError->setEnabled(m_Ui->m_List->selectionModel()->hasSelection());
}

void TStatusFrame::EventOnPeriodChange(int period)
{
    // The time-out follows the period; a larger value is lowered with the maximum.
    m_Monitor.SetPeriod(period);
    m_Ui->m_QueryTmo->setMaximum(m_Monitor.MaxTimeout());
}

void TStatusFrame::EventOnHeaderClick(int column)
{
    const bool reverse = column == m_Model.SortColumn() && m_Model.SortOrder() == Qt::AscendingOrder;
    const Qt::SortOrder order = reverse ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_Model.sort(column, order);
    m_Ui->m_List->horizontalHeader()->setSortIndicator(column, order);
}

QString TStatusFrame::SummaryText(const TStatusModel::TSummary& summary)
{
    QString text = QStringLiteral("Online: %1   Offline: %2   Alarms: %3")
                       .arg(summary.Online)
                       .arg(summary.Offline)
                       .arg(summary.Alarms);
    if (summary.Failed)
        text += QStringLiteral("   Query failed: %1").arg(summary.Failed);
    return text;
}

void TStatusFrame::ShowSummary()
{
    m_Ui->m_Summary->setText(SummaryText(m_Model.Summary()));
}

void TStatusFrame::BeepTick()
{
    if (m_Monitor.AnyRowInTrouble())
        m_Beeper.Beep(341, 100);
}
