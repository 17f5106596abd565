// "VLAN Table": the VLANs of the first selected switch, from its port-based or its 802.1Q list
// as its mode says, with their untagged and tagged ports; up to 4,094 rows in a table model,
// sortable by any column.
#pragma once

#include "ui/ModulePage.h"
#include "ui/ReportModel.h"

#include <memory>

namespace Ui {
class TModuleVlanTable;
}

class TModuleVlanTable : public TModuleGetPage {
    Q_OBJECT
public:
    enum TColumn { colNumber, colVid, colUntagged, colTagged, colCount };

    explicit TModuleVlanTable(QWidget* parent = nullptr);
    ~TModuleVlanTable() override;

    // Shown: the mode, then the list it names; in the background nothing.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    // The list only ever shows a fresh answer: it is emptied while the page is away.
    bool Hide(bool force) override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    std::unique_ptr<Ui::TModuleVlanTable> m_Ui;
    TReportModel* m_Model;
};
