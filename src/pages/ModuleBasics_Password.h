// "Admin Password": a new administrator user name and password for every selected switch.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleBasicsPassword;
}

class TModuleBasicsPassword : public TModulePage {
    Q_OBJECT
public:
    explicit TModuleBasicsPassword(QWidget* parent = nullptr);
    ~TModuleBasicsPassword() override;

    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

private:
    void EventOnChange();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleBasicsPassword> m_Ui;
    bool m_HasDevice = false;
};
