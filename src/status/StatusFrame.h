// The status monitor page: the controls and the list over the monitor's rows.
#pragma once

#include "ui/Beeper.h"
#include "StatusModel.h"
#include "net/StatusMonitor.h"
#include "core/Services.h"
#include "ui/Module.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QAction;

namespace Ui {
class TStatusFrame;
}

class TStatusFrame : public QWidget, public TModule, public Status::TStatusServer {
    Q_OBJECT
public:
    explicit TStatusFrame(QWidget* parent = nullptr);
    ~TStatusFrame() override;

    QString GetName() const override { return QStringLiteral("Status Monitor"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool current) override;

    void AddDevices(const std::vector<TDevice*>& devices) override { m_Monitor.AddDevices(devices); }
    void AddDevice(TDevice* device) override { m_Monitor.AddDevice(device); }
    uint32_t GetStatusFlags(TDevice* device) const override { return m_Monitor.GetStatusFlags(device); }

    Status::TStatusMonitor& Monitor() { return m_Monitor; }
    QTimer* BeepTimer() { return &m_BeepTimer; }
    TBeeper& Beeper() { return m_Beeper; }
    // One beep tick: beeps when a row is offline, failed its query or reports an alarm.
    void BeepTick();

private:
    void EventOnClearError();
    void EventOnSelectionChange();
    void EventOnPeriodChange(int period);
    void EventOnHeaderClick(int column);

    std::unique_ptr<Ui::TStatusFrame> m_Ui;
    Status::TStatusMonitor m_Monitor;
    TStatusModel m_Model{m_Monitor};
    QTimer m_BeepTimer;
    TBeeper m_Beeper;
    QAction* m_acClearError = nullptr;
    QAction* m_acRefresh = nullptr;
};
