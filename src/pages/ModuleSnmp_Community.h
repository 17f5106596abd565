// "Community": the community slots of the first selected switch, edited row by row and
// applied to every selected switch that has as many slots.
#pragma once

#include "ui/ListPage.h"
#include "core/Snmp.h"

#include <memory>

namespace Ui {
class TModuleSnmpCommunity;
}

class TModuleSnmpCommunity : public TListPageOf<TEditorPage, Intp::TSessionSnmpCommunityGet> {
    Q_OBJECT
public:
    explicit TModuleSnmpCommunity(QWidget* parent = nullptr);
    ~TModuleSnmpCommunity() override;

protected:
    void FillFrom(TDevice* device) override;
    void LoadRow(const QTreeWidgetItem* row) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleSnmpCommunity> m_Ui;
};
