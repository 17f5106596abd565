// "Vantor Ring": the ring settings of the first selected switch, and applying them to every
// selected switch unless two roles share a port.
#pragma once

#include "ui/ListPage.h"
#include "core/Redundancy.h"

#include <memory>

namespace Ui {
class TModuleRedundancySring;
}

class TModuleRedundancySring : public TListPageOf<TModuleGetPage, Intp::TSessionRedundancySringGet> {
    Q_OBJECT
public:
    explicit TModuleRedundancySring(QWidget* parent = nullptr);
    ~TModuleRedundancySring() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    // The controls that belong to a ring, to coupling and to homing follow their check boxes.
    void ApplyRules();
    Intp::TPropertyRedundancySring FromControls() const;
    // Whether two of the ring ports, control, coupling and homing port are the same port.
    static bool SharesPorts(const Intp::TPropertyRedundancySring& ring);
    void EventOnApply();

    std::unique_ptr<Ui::TModuleRedundancySring> m_Ui;
};
