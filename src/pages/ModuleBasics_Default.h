// "Factory Default": resets every selected switch, optionally keeping its address settings
// and its account, and reboots it afterwards when asked to.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleBasicsDefault;
}

class TModuleBasicsDefault : public TModulePage {
    Q_OBJECT
public:
    explicit TModuleBasicsDefault(QWidget* parent = nullptr);
    ~TModuleBasicsDefault() override;

    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleBasicsDefault> m_Ui;
};
