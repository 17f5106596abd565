// "Port Trunk": the type and member ports of every trunk group of the first selected switch,
// and applying the groups to every selected switch.
#pragma once

#include "ui/ListPage.h"

#include <memory>

class QListWidgetItem;

namespace Ui {
class TModulePortTrunk;
}

class TModulePortTrunk : public TListPageOf<TEditorPage, Intp::TSessionPortTrunkGet> {
    Q_OBJECT
public:
    explicit TModulePortTrunk(QWidget* parent = nullptr);
    ~TModulePortTrunk() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;
    void LoadRow(const QTreeWidgetItem* row) override;

private:
    void EventOnMemberChange(QListWidgetItem* item);
    void EventOnApply();

    std::unique_ptr<Ui::TModulePortTrunk> m_Ui;
};
