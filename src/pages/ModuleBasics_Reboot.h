// "Reboot": restarts every selected switch.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleBasicsReboot;
}

class TModuleBasicsReboot : public TModulePage {
    Q_OBJECT
public:
    explicit TModuleBasicsReboot(QWidget* parent = nullptr);
    ~TModuleBasicsReboot() override;

    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

private:
    void EventOnReboot();

    std::unique_ptr<Ui::TModuleBasicsReboot> m_Ui;
};
