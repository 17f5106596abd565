// "Port Configuration" of the 802.1Q VLAN branch: link type, untagged VID and tagged VIDs of
// every port of the first selected switch, captioned with its port names, editable and
// applied to every selected switch while that switch runs in 802.1Q mode.
#pragma once

#include "ui/ListPage.h"

#include <memory>

namespace Ui {
class TModuleVlan8021qPort;
}

class TModuleVlan8021qPort : public TEditorPage {
    Q_OBJECT
public:
    explicit TModuleVlan8021qPort(QWidget* parent = nullptr);
    ~TModuleVlan8021qPort() override;

    // Shown: port names, port configuration, VLAN mode and the 802.1Q list, each asked for
    // once the one before arrived; in the background the 802.1Q list alone.
    int Refresh(bool current) override;
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;

protected:
    bool IsGetCommand(uint16_t code) const override;
    int StartGets(TDevice* device) override;
    void FillFrom(TDevice* device) override;
    void LoadRow(const QTreeWidgetItem* row) override;
    void EventOnHeaderClick(int column) override;

private:
    // The next Get of the chain for the device after a result; false when there is none.
    static bool StartNext(TDevice* device, uint16_t code);
    // What a link type implies for the row and the editors.
    void ApplyLinkType(QTreeWidgetItem* row, unsigned type);
    // Ports of link type 802.1Q or Hybrid need tagged VLANs.
    void EnableApply();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleVlan8021qPort> m_Ui;
};
