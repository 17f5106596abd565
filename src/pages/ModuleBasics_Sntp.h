// "Time (SNTP)": the SNTP client, time zone and daylight-saving period of the first
// selected switch with its running clock, and applying the settings to every selected switch.
#pragma once

#include "ui/ModulePage.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace Ui {
class TModuleBasicsSntp;
}
namespace Intp {
struct TPropertyBasicsSntp;
}

class TModuleBasicsSntp : public TModuleGetPage {
    Q_OBJECT
public:
    // The workstation's clock in seconds since 1970-01-01 00:00:00 UTC.
    using TClock = std::function<int64_t()>;

    explicit TModuleBasicsSntp(QWidget* parent = nullptr);
    ~TModuleBasicsSntp() override;

    // Replaces the workstation's clock (tests); the next loaded record uses it.
    void SetClock(TClock clock);
    // One tick of m_Timer: shows the switch's clock and refreshes after a daylight-saving
    // switch.
    void EventOnTimer();

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void Reset();
    void Load(const Intp::TPropertyBasicsSntp& record);
    void ShowClock(int64_t deviceTime);
    void ApplyRules();
    bool CanApply() const;
    void EventOnAddressChanged();
    void EventOnAddressLeft();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleBasicsSntp> m_Ui;
    QTimer* m_Timer;
    TClock m_Clock;
    bool m_Selected = false;
    uint32_t m_Server = 0;
    // The switch's clock minus the workstation's, in seconds.
    int64_t m_Difference = 0;
    // The switch time the last tick showed.
    int64_t m_Shown = 0;
    // Switch times just after a daylight-saving switch, when the settings are read again.
    std::vector<int64_t> m_Triggers;
};
