// "MAC Address Table": the addresses the first selected switch has learned or holds
// statically on one chosen port, with their counts; Clear empties the tables of every
// selected switch. The table is read after the port names and the port configuration, one
// Get after the other. Tables of thousands of addresses go through a model that takes a
// port's rows at once.
#pragma once

#include "ui/ModulePage.h"
#include "ui/ReportModel.h"
#include "core/Monitor.h"

#include <memory>

namespace Ui {
class TModuleMonitorMac;
}

class TModuleMonitorMac : public TModuleGetPage {
    Q_OBJECT
public:
    enum TColumn { colNumber, colMac, colType, colCount };

    explicit TModuleMonitorMac(QWidget* parent = nullptr);
    ~TModuleMonitorMac() override;

    // A fresh page starts with the port names, a refresh with the table alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == Intp::TSessionMonitorMacGet::Command; }
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    // Starts the chain's next Get; when it cannot, the page is drawn for a selected device.
    template <typename G>
    void Continue(TDevice* device, bool valid);
    // Lists the chosen port's addresses and counts them.
    void ShowPort();

    std::unique_ptr<Ui::TModuleMonitorMac> m_Ui;
    TReportModel* m_Model;
};
