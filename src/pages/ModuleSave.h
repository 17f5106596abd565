// "Save To Flash": writes the running configuration of every listed switch to its flash,
// one status row per switch.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleSave;
}

class TModuleSave : public TModuleDeviceListPage {
    Q_OBJECT
public:
    explicit TModuleSave(QWidget* parent = nullptr);
    ~TModuleSave() override;

    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    void OnFinished() override;

private:
    void EventOnSave();
    void UpdateSave();

    std::unique_ptr<Ui::TModuleSave> m_Ui;
};
