// "SNMP": the agent version of the first selected switch, applied to every selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Snmp.h"

#include <memory>

namespace Ui {
class TModuleSnmp;
}

class TModuleSnmp : public TListPageOf<TModuleGetPage, Intp::TSessionSnmpGet> {
    Q_OBJECT
public:
    explicit TModuleSnmp(QWidget* parent = nullptr);
    ~TModuleSnmp() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleSnmp> m_Ui;
};
