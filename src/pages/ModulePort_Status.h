// "Port Status": the type, link, state, speed/duplex and flow control of every port of the
// first selected switch, read only and sortable by any column.
#pragma once

#include "ui/ListPage.h"

#include <memory>

namespace Ui {
class TModulePortStatus;
}

class TModulePortStatus : public TListPageOf<TReportPage, Intp::TSessionPortStatusGet> {
    Q_OBJECT
public:
    explicit TModulePortStatus(QWidget* parent = nullptr);
    ~TModulePortStatus() override;

protected:
    void AddRows(TDevice* device) override;

private:
    std::unique_ptr<Ui::TModulePortStatus> m_Ui;
};
