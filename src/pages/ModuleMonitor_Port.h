// "Port Statistics": each physical port of the first selected switch with its type, link,
// state and six frame counters, sortable by any column (counters as unsigned numbers);
// Clear zeroes the counters of every selected switch. The counters are read after the
// port status.
#pragma once

#include "ui/ListPage.h"
#include "core/Monitor.h"

#include <memory>

namespace Ui {
class TModuleMonitorPort;
}

class TModuleMonitorPort : public TListPageOf<TReportPage, Intp::TSessionMonitorPortGet> {
    Q_OBJECT
public:
    explicit TModuleMonitorPort(QWidget* parent = nullptr);
    ~TModuleMonitorPort() override;

    // A fresh page starts with the port status, a refresh with the counters alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    void AddRows(TDevice* device) override;

private:
    std::unique_ptr<Ui::TModuleMonitorPort> m_Ui;
};
