// "802.1x": the 802.1X settings of the first selected switch (the RADIUS server, its
// shared key and the timers), applied to every selected switch. The shared key is typed
// into a masked field and goes nowhere but into the request.
#pragma once

#include "ui/ModulePage.h"
#include "core/Security.h"

#include <memory>

namespace Ui {
class TModuleSecurity8021x;
}

class TModuleSecurity8021x : public TModuleGetPage {
    Q_OBJECT
public:
    explicit TModuleSecurity8021x(QWidget* parent = nullptr);
    ~TModuleSecurity8021x() override;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == Intp::TSessionSecurity8021xGet::Command; }
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void Show(const Intp::TPropertySecurity8021x& record);
    // Every field follows "Enable"; with it, Apply needs a host address, a key and a NAS
    // identifier.
    void ProtocolRule();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleSecurity8021x> m_Ui;
    bool m_Selected = false;
    uint32_t m_Address = 0; // converted from the server address text
};
