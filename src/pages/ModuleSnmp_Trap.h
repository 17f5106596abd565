// "Trap Settings": the trap receivers of the first selected switch; adds and removes a
// receiver on every selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Snmp.h"

#include <memory>

namespace Ui {
class TModuleSnmpTrap;
}

class TModuleSnmpTrap : public TListPageOf<TReportPage, Intp::TSessionSnmpTrapGet> {
    Q_OBJECT
public:
    explicit TModuleSnmpTrap(QWidget* parent = nullptr);
    ~TModuleSnmpTrap() override;

protected:
    void EnableControls(bool on) override;
    void AddRows(TDevice* device) override;
    void EventOnRowChange() override;

private:
    // Add for a valid receiver the list does not show yet, Delete for one it shows.
    void EntryRule();
    void EventOnAdd();
    void EventOnDelete();

    std::unique_ptr<Ui::TModuleSnmpTrap> m_Ui;
    uint32_t m_Address = 0; // parsed from m_ServerIp
};
