// "Rate Limit": the ingress frame type and the ingress and egress limits of every port of the
// first selected switch, and applying the rows to every selected switch.
#pragma once

#include "ui/ListPage.h"

#include <memory>

namespace Ui {
class TModulePortLimit;
}

class TModulePortLimit : public TListPageOf<TEditorPage, Intp::TSessionPortLimitGet> {
    Q_OBJECT
public:
    explicit TModulePortLimit(QWidget* parent = nullptr);
    ~TModulePortLimit() override;

protected:
    void FillFrom(TDevice* device) override;
    void LoadRow(const QTreeWidgetItem* row) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModulePortLimit> m_Ui;
};
