// "LLDP": whether the first selected switch runs LLDP and how often it advertises; applied
// to every selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Monitor.h"

#include <memory>

namespace Ui {
class TModuleLldp;
}

class TModuleLldp : public TListPageOf<TModuleGetPage, Intp::TSessionLldpGet> {
    Q_OBJECT
public:
    // What the page shows for a switch whose settings are not known.
    static constexpr int DefaultInterval = 30;

    explicit TModuleLldp(QWidget* parent = nullptr);
    ~TModuleLldp() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleLldp> m_Ui;
};
