// "Basics": logging in to and out of the selected switches, one row per switch showing
// whether the console is logged in there. The function tree falls back to this page while
// the first selected switch is not logged in.
#pragma once

#include "ui/ModulePage.h"

#include <memory>

namespace Ui {
class TModuleBasics;
}

class TModuleBasics : public TModuleGetPage, public Intp::TWizard {
    Q_OBJECT
public:
    explicit TModuleBasics(QWidget* parent = nullptr);
    ~TModuleBasics() override;

    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnEdit();
    void EventOnLogin();
    void EventOnLogout();
    void BlankRows();
    void SetRowImage(QTreeWidgetItem* row, const TDevice* device);

    std::unique_ptr<Ui::TModuleBasics> m_Ui;
    bool m_HasDevice = false;
};
