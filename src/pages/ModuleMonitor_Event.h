// "System Event Log": the first selected switch's event log, shown a hundred lines at a
// time; Clear empties the logs of every selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Monitor.h"

#include <memory>

namespace Ui {
class TModuleMonitorEvent;
}

class TModuleMonitorEvent : public TListPageOf<TModuleGetPage, Intp::TSessionMonitorEventGet> {
    Q_OBJECT
public:
    static constexpr int LinesPerPage = 100;

    explicit TModuleMonitorEvent(QWidget* parent = nullptr);
    ~TModuleMonitorEvent() override;

    bool Hide(bool force) override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    // Shows the lines of the chosen page.
    void ShowPage();

    std::unique_ptr<Ui::TModuleMonitorEvent> m_Ui;
};
