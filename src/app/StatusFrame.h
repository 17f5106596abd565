// The status monitor: polls every discovered switch and shows whether it answers, whether
// it reports power or port failures, and whether its address changed.
#pragma once

#include "Beeper.h"
#include "devices/Services.h"
#include "intp/MacAddr.h"
#include "intp/Session.h"
#include "modules/Module.h"

#include <QDateTime>
#include <QHash>
#include <QTimer>
#include <QWidget>

#include <memory>

class QAction;
class QTreeWidgetItem;

namespace Ui {
class TStatusFrame;
}

class TStatusFrame : public QWidget, public TModule, public Intp::TWizard, public Status::TStatusServer {
    Q_OBJECT
public:
    enum TColumn { colNumber, colIp, colMac, colModel, colTime, colStatus };

    explicit TStatusFrame(QWidget* parent = nullptr);
    ~TStatusFrame() override;

    // "Online/power1 fail/port 2,5 fail/IP different" and the like.
    static QString StatusText(uint32_t flags, uint32_t powerAlarms, uint32_t portAlarms);
    // The colour a row with these flags is painted in; invalid when it has none.
    static QColor RowColour(uint32_t flags);

    QString GetName() const override { return QStringLiteral("Status Monitor"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool current) override;

    void OnResult(TDevice* device, uint16_t command, uint16_t status, void* data) override;

    void AddDevices(const std::vector<TDevice*>& devices) override;
    void AddDevice(TDevice* device) override;
    uint32_t GetStatusFlags(TDevice* device) const override;

    QTimer* PollTimer() { return &m_Timer; }
    QTimer* BeepTimer() { return &m_BeepTimer; }
    TBeeper& Beeper() { return m_Beeper; }
    // One beep tick: beeps when a row is offline, failed its query or reports an alarm.
    void BeepTick();
    void PollAll();

private:
    class TRow;

    void Poll(TRow* row);
    void ShowRow(TRow* row, bool withAlarms);
    void EventOnClearError();
    void EventOnSelectionChange();
    void EventOnPeriodChange(int period);
    void EventOnHeaderClick(int column);
    void SortRows();
    // Sorts after the current burst of changes, when they touched the sort column's key.
    void SortRowsLater(bool keyChanged);

    std::unique_ptr<Ui::TStatusFrame> m_Ui;
    QHash<TMacAddr, TRow*> m_Rows;
    int m_NextNumber = 1;
    int m_SortColumn = colNumber;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
    bool m_SortPending = false;
    QTimer m_Timer;
    QTimer m_BeepTimer;
    TBeeper m_Beeper;
    QAction* m_acClearError = nullptr;
    QAction* m_acRefresh = nullptr;
};
