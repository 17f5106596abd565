// "802.1Q VLAN": GVRP and the management VLAN of the first selected switch, editable while
// the switch runs in 802.1Q mode (or its mode is unknown), applied to every selected switch.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleVlan8021q;
}

class TModuleVlan8021q : public TModuleGetPage {
    Q_OBJECT
public:
    explicit TModuleVlan8021q(QWidget* parent = nullptr);
    ~TModuleVlan8021q() override;

    // Shown: the mode first, and GVRP and the management VLAN once it arrived; in the
    // background GVRP and the management VLAN alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleVlan8021q> m_Ui;
};
