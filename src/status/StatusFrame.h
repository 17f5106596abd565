// The status monitor page: the controls and the list over the rows of the monitor the
// engine host runs.
#pragma once

#include "ui/Beeper.h"
#include "StatusModel.h"
#include "net/StatusMonitor.h"
#include "ui/Module.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QAction;

namespace Ui {
class TStatusFrame;
}

class TStatusFrame : public QWidget, public TModule {
    Q_OBJECT
public:
    // A view over the monitor, which outlives it.
    explicit TStatusFrame(Status::TStatusMonitor& monitor, QWidget* parent = nullptr);
    ~TStatusFrame() override;

    QString GetName() const override { return QStringLiteral("Status Monitor"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool current) override;

    Status::TStatusMonitor& Monitor() { return m_Monitor; }
    QTimer* BeepTimer() { return &m_BeepTimer; }
    TBeeper& Beeper() { return m_Beeper; }
    // One beep tick: beeps when a row is offline, failed its query or reports an alarm.
    void BeepTick();
    // "Online: 9990   Offline: 7   Alarms: 3", and the failed queries when there are any.
    static QString SummaryText(const TStatusModel::TSummary& summary);

private:
    void EventOnClearError();
    void EventOnSelectionChange();
    void EventOnPeriodChange(int period);
    void EventOnHeaderClick(int column);
    void ShowSummary();

    std::unique_ptr<Ui::TStatusFrame> m_Ui;
    Status::TStatusMonitor& m_Monitor;
    TStatusModel m_Model{m_Monitor};
    QTimer m_BeepTimer;
    TBeeper m_Beeper;
    QAction* m_acClearError = nullptr;
    QAction* m_acRefresh = nullptr;
};
