// "Port Configuration": state, speed/duplex, flow control and port security of every port and
// trunk of the first selected switch, captioned with the switch's port names, and applying
// the rows to every selected switch.
#pragma once

#include "ui/ListPage.h"

#include <memory>

namespace Ui {
class TModulePortConfig;
}

class TModulePortConfig : public TEditorPage {
    Q_OBJECT
public:
    explicit TModulePortConfig(QWidget* parent = nullptr);
    ~TModulePortConfig() override;

    // Shown: the port names first, and the configuration once they arrived; in the
    // background the configuration alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModulePortConfig> m_Ui;
};
