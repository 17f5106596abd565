// "RSTP Information": the root bridge and the state of every port of the first selected
// switch as its RSTP runs, read only and sortable by any column.
#pragma once

#include "ui/ListPage.h"
#include "core/Redundancy.h"

#include <memory>

namespace Ui {
class TModuleRedundancyRstpInfo;
}

class TModuleRedundancyRstpInfo : public TListPageOf<TReportPage, Intp::TSessionRedundancyRstpInfoGet> {
    Q_OBJECT
public:
    explicit TModuleRedundancyRstpInfo(QWidget* parent = nullptr);
    ~TModuleRedundancyRstpInfo() override;

protected:
    // The root bridge's labels and, while RSTP runs, one row per port.
    void AddRows(TDevice* device) override;

private:
    std::unique_ptr<Ui::TModuleRedundancyRstpInfo> m_Ui;
};
