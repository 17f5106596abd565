// "IP Security": the management stations allowed to reach the first selected switch and
// the ways they may manage it; the list is edited on the page and applied to every
// selected switch with as many address slots.
#pragma once

#include "ui/ModulePage.h"
#include "core/Security.h"

#include <memory>

namespace Ui {
class TModuleSecurityIP;
}

class TModuleSecurityIP : public TModuleGetPage {
    Q_OBJECT
public:
    explicit TModuleSecurityIP(QWidget* parent = nullptr);
    ~TModuleSecurityIP() override;

    bool Hide(bool force) override;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == Intp::TSessionSecurityIpGet::Command; }
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    // The management checks, the list and the address follow "Enable".
    void ModeRule();
    // Add and Delete need a host address, Add also a free slot.
    void AddressRule();
    void EventOnAdd();
    void EventOnDelete();
    void EventOnApply();
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::unique_ptr<Ui::TModuleSecurityIP> m_Ui;
    int m_Slots = 0;        // of the last valid record drawn
    uint32_t m_Address = 0; // converted from the address text
};
