// "Switch Setting": the identity texts of the first selected switch with its versions, and
// applying the texts to every selected switch.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleBasicsSettings;
}

class TModuleBasicsSettings : public TModuleGetPage {
    Q_OBJECT
public:
    explicit TModuleBasicsSettings(QWidget* parent = nullptr);
    ~TModuleBasicsSettings() override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EventOnApply();
    void EventOnWeb();
    void ClearRecordFields();

    std::unique_ptr<Ui::TModuleBasicsSettings> m_Ui;
};
