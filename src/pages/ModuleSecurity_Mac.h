// "MAC Blacklist": the blacklisted addresses of the first selected switch; an address typed
// in is added to or deleted from every selected switch's blacklist.
#pragma once

#include "SecurityLists.h"
#include "core/Security.h"

#include <memory>

namespace Ui {
class TModuleSecurityMac;
}

class TModuleSecurityMac : public TModuleSecurityMacList {
    Q_OBJECT
public:
    explicit TModuleSecurityMac(QWidget* parent = nullptr);
    ~TModuleSecurityMac() override;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == Intp::TSessionSecurityMacGet::Command; }
    int StartGets(TDevice* device) override;
    void FillFrom(TDevice* device) override;
    bool Matches(const TSecurityListModel::TRow& row, const TMacAddr& mac) const override { return row.Mac == mac; }
    void EventOnAdd(const TMacAddr& mac) override;
    void EventOnDelete(const TMacAddr& mac) override;

private:
    std::unique_ptr<Ui::TModuleSecurityMac> m_Ui;
};
