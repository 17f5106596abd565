// "Port Trunk Status": the type and member ports of every trunk group of the first selected
// switch, read only and sortable by any column.
#pragma once

#include "ui/ListPage.h"

#include <memory>

namespace Ui {
class TModulePortTrunkStatus;
}

class TModulePortTrunkStatus : public TListPageOf<TReportPage, Intp::TSessionPortTrunkGet> {
    Q_OBJECT
public:
    explicit TModulePortTrunkStatus(QWidget* parent = nullptr);
    ~TModulePortTrunkStatus() override;

    // Only the shown page asks; "Port Trunk" already reads the same record in the background.
    int Refresh(bool current) override;

protected:
    void AddRows(TDevice* device) override;

private:
    std::unique_ptr<Ui::TModulePortTrunkStatus> m_Ui;
};
