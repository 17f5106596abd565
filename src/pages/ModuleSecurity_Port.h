// "Port Security": the static MAC-to-port bindings of the first selected switch, named by
// its port names and offered on its configured ports; a binding typed in is added to or
// deleted from every selected switch. The bindings are read after the port names and the
// port configuration, one Get after the other.
#pragma once

#include "SecurityLists.h"
#include "core/Security.h"

#include <memory>

namespace Ui {
class TModuleSecurityPort;
}

class TModuleSecurityPort : public TModuleSecurityMacList {
    Q_OBJECT
public:
    explicit TModuleSecurityPort(QWidget* parent = nullptr);
    ~TModuleSecurityPort() override;

    // A fresh page starts with the port names, a refresh with the bindings alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    bool IsGetCommand(uint16_t code) const override { return code == Intp::TSessionSecurityPortGet::Command; }
    int StartGets(TDevice* device) override;
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;
    bool Matches(const TSecurityListModel::TRow& row, const TMacAddr& mac) const override;
    // A binding needs a port: the box is empty when the chain ended early or the switch
    // has no configured port.
    bool CanAdd() const override;
    void EventOnRowClick(const TSecurityListModel::TRow& row) override;
    void EventOnAdd(const TMacAddr& mac) override;
    void EventOnDelete(const TMacAddr& mac) override;

private:
    // Starts the chain's next Get; when it cannot, the first selected device is drawn.
    template <typename G>
    void Continue(TDevice* device, bool valid);

    std::unique_ptr<Ui::TModuleSecurityPort> m_Ui;
};
