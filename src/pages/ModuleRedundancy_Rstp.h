// "RSTP Settings": the RSTP settings of the bridge and of every port of the first selected
// switch, and applying them to every selected switch with as many ports as the rows.
#pragma once

#include "ui/ListPage.h"
#include "core/Redundancy.h"

#include <memory>

class QSpinBox;

namespace Ui {
class TModuleRedundancyRstp;
}

class TModuleRedundancyRstp : public TListPageOf<TEditorPage, Intp::TSessionRedundancyRstpGet> {
    Q_OBJECT
public:
    explicit TModuleRedundancyRstp(QWidget* parent = nullptr);
    ~TModuleRedundancyRstp() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;
    void LoadRow(const QTreeWidgetItem* row) override;
    void EventOnHeaderClick(int column) override;

private:
    // The bridge settings and the port list are open only while RSTP is set to run.
    void ApplyModeRule();
    // A spin edit that edits a numeric column of the selected row.
    void BindNumber(int column, QSpinBox* box, QLabel* label, QLabel* range);
    void EventOnApply();

    std::unique_ptr<Ui::TModuleRedundancyRstp> m_Ui;
};
