#include "StatusFrame.h"

#include "ui_StatusFrame.h"

#include "Images.h"
#include "devices/AddressRules.h"
#include "devices/Device.h"
#include "intp/IntpCore.h"

#include <QAction>
#include <QHeaderView>
#include <QLocale>

// One monitored switch. Sorting compares the column's own key, not its text.
class TStatusFrame::TRow : public QTreeWidgetItem {
public:
    int Number = 0;
    uint32_t Reference = 0;
    TMacAddr Mac;
    uint32_t Flags = 0;
    QDateTime Reported;

    bool operator<(const QTreeWidgetItem& other) const override
    {
        const auto& o = static_cast<const TRow&>(other);
        switch (treeWidget() ? treeWidget()->sortColumn() : colNumber) {
        case colNumber: return Number < o.Number;
        case colIp: return Reference < o.Reference;
        case colMac: return Mac < o.Mac;
        case colTime: return Reported < o.Reported;
        default: return text(treeWidget()->sortColumn()) < o.text(treeWidget()->sortColumn());
        }
    }
};

TStatusFrame::TStatusFrame(QWidget* parent) : QWidget(parent), m_Ui(std::make_unique<Ui::TStatusFrame>())
{
    m_Ui->setupUi(this);
    m_Ui->m_List->header()->setSectionsClickable(true);
    m_Ui->m_List->header()->setSortIndicatorShown(true);
    m_Ui->m_List->header()->setSortIndicator(colNumber, Qt::AscendingOrder);
    m_Ui->m_List->setColumnWidth(colNumber, 60);
    m_Ui->m_List->setColumnWidth(colIp, 220);
    m_Ui->m_List->setColumnWidth(colMac, 140);
    m_Ui->m_List->setColumnWidth(colModel, 300);
    m_Ui->m_List->setColumnWidth(colTime, 180);

    m_acClearError = new QAction(QStringLiteral("&Clear Error"), this);
    m_acClearError->setObjectName(QStringLiteral("m_acClearError"));
    m_acClearError->setEnabled(false);
    m_acRefresh = new QAction(QStringLiteral("&Refresh"), this);
    m_acRefresh->setObjectName(QStringLiteral("m_acRefresh"));
    m_Ui->m_List->addAction(m_acClearError);
    m_Ui->m_List->addAction(m_acRefresh);
    connect(m_acClearError, &QAction::triggered, this, &TStatusFrame::EventOnClearError);
    connect(m_acRefresh, &QAction::triggered, this, &TStatusFrame::PollAll);
    connect(m_Ui->m_ClearError, &QPushButton::clicked, m_acClearError, &QAction::trigger);
    connect(m_Ui->m_Refresh, &QPushButton::clicked, m_acRefresh, &QAction::trigger);
    connect(m_acClearError, &QAction::changed, this, [this] { m_Ui->m_ClearError->setEnabled(m_acClearError->isEnabled()); });
    connect(m_acRefresh, &QAction::changed, this, [this] { m_Ui->m_Refresh->setEnabled(m_acRefresh->isEnabled()); });
    connect(m_Ui->m_List, &QTreeWidget::itemSelectionChanged, this, &TStatusFrame::EventOnSelectionChange);
    connect(m_Ui->m_List->header(), &QHeaderView::sectionClicked, this, &TStatusFrame::EventOnHeaderClick);
    connect(m_Ui->m_QueryPeriod, &QSpinBox::valueChanged, this, &TStatusFrame::EventOnPeriodChange);
    connect(m_Ui->m_Beep, &QCheckBox::toggled, this, [this](bool on) { on ? m_BeepTimer.start() : m_BeepTimer.stop(); });

    m_Timer.setInterval(10000);
    connect(&m_Timer, &QTimer::timeout, this, &TStatusFrame::PollAll);
    m_Timer.start();
    m_BeepTimer.setInterval(2000);
    connect(&m_BeepTimer, &QTimer::timeout, this, &TStatusFrame::BeepTick);
}

TStatusFrame::~TStatusFrame() = default;

QString TStatusFrame::StatusText(uint32_t flags, uint32_t powerAlarms, uint32_t portAlarms)
{
    if (flags & Status::sfOffline)
        return QStringLiteral("Offline");
    QString text = QStringLiteral("Online");
    if (flags & Status::sfQueryFailed) {
        text += QStringLiteral("/query fail");
    } else {
        if (powerAlarms & 1)
            text += QStringLiteral("/power1 fail");
        if (powerAlarms & 2)
            text += QStringLiteral("/power2 fail");
        if (portAlarms) {
            QStringList ports;
            for (int i = 0; i < 32; ++i)
                if (portAlarms & (1u << i))
                    ports << QString::number(i + 1);
            text += QStringLiteral("/port ") + ports.join(',') + QStringLiteral(" fail");
        }
    }
    if (flags & Status::sfAddressChanged)
        text += QStringLiteral("/IP different");
    return text;
}

QColor TStatusFrame::RowColour(uint32_t flags)
{
    if (flags & Status::sfOffline)
        return QColor(255, 0, 0);
    if (flags & Status::sfQueryFailed)
        return QColor(255, 255, 0);
    if (flags & Status::sfAddressChanged)
        return QColor(0, 0, 255);
    if (flags & Status::sfAlarm)
        return QColor(0, 102, 255);
    return QColor();
}

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
    PollAll();
    return 0;
}

void TStatusFrame::AddDevices(const std::vector<TDevice*>& devices)
{
    for (TDevice* device : devices)
        AddDevice(device);
}

void TStatusFrame::AddDevice(TDevice* device)
{
    if (!device || m_Rows.contains(device->Mac()))
        return;
    auto* row = new TRow;
    row->Number = m_NextNumber++;
    row->Reference = device->Address();
    row->Mac = device->Mac();
    row->setText(colNumber, QString::number(row->Number));
    row->setText(colIp, QString::fromStdString(AddressToText(row->Reference)));
    row->setText(colMac, QString::fromStdString(row->Mac.Text()));
    row->setText(colModel, QString::fromStdString(device->TypeDescription()));
    row->setText(colTime, QStringLiteral("(No response yet)"));
    row->setText(colStatus, QStringLiteral("Online"));
    row->setIcon(colNumber, Icon(TImage::Devices));
    m_Ui->m_List->addTopLevelItem(row);
    m_Rows.insert(row->Mac, row);
    ShowRow(row, false);
    m_acRefresh->setEnabled(true);
    Poll(row);
    // A new row's number is the highest: only another order moves it.
    SortRowsLater(m_SortColumn != colNumber || m_SortOrder != Qt::AscendingOrder);
}

uint32_t TStatusFrame::GetStatusFlags(TDevice* device) const
{
    if (!device)
        return 0;
    TRow* row = m_Rows.value(device->Mac());
    return row ? row->Flags : 0;
}

void TStatusFrame::Poll(TRow* row)
{
    TDevice* device = Registry::Find(row->Mac, false);
    if (!device) {
        // Gone after a new discovery: ask at the address the row knows.
        device = Registry::Find(row->Mac, true);
        if (device)
            device->SetAddress(row->Reference);
    }
    if (!device) {
        row->Flags |= Status::sfOffline;
        row->setIcon(colNumber, Icon(TImage::Cancel));
    } else {
        unsigned timeout = unsigned(m_Ui->m_QueryTmo->value()) * 1000;
        if (!Intp::StartNew<Intp::TSessionIntpPing2>(device, this, timeout))
            row->Flags |= Status::sfQueryFailed;
    }
    ShowRow(row, false);
}

void TStatusFrame::PollAll()
{
    m_Timer.stop();
    for (int i = 0; i < m_Ui->m_List->topLevelItemCount(); ++i)
        Poll(static_cast<TRow*>(m_Ui->m_List->topLevelItem(i)));
    m_Timer.setInterval(m_Ui->m_QueryPeriod->value() * 1000);
    m_Timer.start();
}

void TStatusFrame::OnResult(TDevice* device, uint16_t, uint16_t status, void*)
{
    if (!device)
        return;
    TRow* row = m_Rows.value(device->Mac());
    if (!row)
        return;
    if (status == Intp::stTimeout) {
        row->Flags |= Status::sfOffline;
        row->setIcon(colNumber, Icon(TImage::Cancel));
        ShowRow(row, false);
        SortRowsLater(m_SortColumn == colStatus);
        return;
    }
    row->Flags &= ~Status::sfOffline;
    row->setIcon(colNumber, Icon(TImage::Devices));
    if (status != Intp::stSuccess) {
        row->Flags |= Status::sfQueryFailed;
    } else {
        row->Flags &= ~Status::sfQueryFailed;
        const auto& record = Intp::GetProperty<Intp::TPropertyIntpPing2>(*device);
        if (record.PowerAlarms || record.PortAlarms)
            row->Flags |= Status::sfAlarm;
        else
            row->Flags &= ~Status::sfAlarm;
    }
    if (device->Address() == row->Reference) {
        row->Flags &= ~Status::sfAddressChanged;
        row->setText(colIp, QString::fromStdString(AddressToText(row->Reference)));
    } else {
        row->Flags |= Status::sfAddressChanged;
        row->setText(colIp, QStringLiteral("Original: %1, Now: %2")
                                .arg(QString::fromStdString(AddressToText(row->Reference)),
                                     QString::fromStdString(AddressToText(device->Address()))));
    }
    row->Reported = QDateTime::currentDateTime();
    QLocale locale;
    row->setText(colTime, locale.toString(row->Reported.date(), QLocale::ShortFormat) + ' ' +
                              locale.toString(row->Reported.time(), QLocale::LongFormat));
    ShowRow(row, status == Intp::stSuccess);
    SortRowsLater(m_SortColumn == colTime || m_SortColumn == colStatus);
}

void TStatusFrame::ShowRow(TRow* row, bool withAlarms)
{
    uint32_t power = 0, port = 0;
    if (withAlarms)
        if (TDevice* device = Registry::Find(row->Mac, false)) {
            const auto& record = Intp::GetProperty<Intp::TPropertyIntpPing2>(*device);
            power = record.PowerAlarms;
            port = record.PortAlarms;
        }
    row->setText(colStatus, StatusText(row->Flags, power, port));
    QColor colour = RowColour(row->Flags);
    for (int c = 0; c <= colStatus; ++c) {
        row->setBackground(c, colour.isValid() ? QBrush(colour) : QBrush());
        row->setForeground(c, colour.isValid() && colour.lightness() < 128 ? QBrush(Qt::white) : QBrush());
    }
    QString hint = QStringLiteral("IP Address: %1\nMAC Address: %2\nDevice Model: %3\nLast Reported Time: %4\nStatus: %5")
                       .arg(row->text(colIp), row->text(colMac), row->text(colModel), row->text(colTime),
                            row->text(colStatus));
    for (int c = 0; c <= colStatus; ++c)
        row->setToolTip(c, hint);
}

void TStatusFrame::EventOnClearError()
{
    QList<QTreeWidgetItem*> selected = m_Ui->m_List->selectedItems();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        auto* row = static_cast<TRow*>(*it);
        row->Flags = 0;
        if (TDevice* device = Registry::Find(row->Mac, false))
            row->Reference = device->Address();
        row->setIcon(colNumber, Icon(TImage::Devices));
        ShowRow(row, false);
    }
    SortRowsLater(m_SortColumn == colIp || m_SortColumn == colStatus);
}

void TStatusFrame::EventOnSelectionChange()
{
    m_acClearError->setEnabled(!m_Ui->m_List->selectedItems().isEmpty());
}

void TStatusFrame::EventOnPeriodChange(int period)
{
    // The time-out stays below the period; a larger value is lowered with the maximum.
    m_Ui->m_QueryTmo->setMaximum(period - 1);
}

void TStatusFrame::EventOnHeaderClick(int column)
{
    if (column == m_SortColumn)
        m_SortOrder = m_SortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_SortOrder = Qt::AscendingOrder;
    m_SortColumn = column;
    SortRows();
}

void TStatusFrame::SortRows()
{
    m_Ui->m_List->sortItems(m_SortColumn, m_SortOrder);
    m_Ui->m_List->header()->setSortIndicator(m_SortColumn, m_SortOrder);
}

void TStatusFrame::SortRowsLater(bool keyChanged)
{
    // One sort serves a whole burst of changes.
    if (!keyChanged || m_SortPending)
        return;
    m_SortPending = true;
    QTimer::singleShot(0, this, [this] {
        m_SortPending = false;
        SortRows();
    });
}

void TStatusFrame::BeepTick()
{
    for (TRow* row : std::as_const(m_Rows))
        if (row->Flags & (Status::sfOffline | Status::sfQueryFailed | Status::sfAlarm)) {
            m_Beeper.Beep(341, 100);
            return;
        }
}
