// "Port Mirroring": the first selected switch's mirror destinations and, per port, whether
// its transmitted and received frames are mirrored; edited in the list and applied to every
// selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Monitor.h"

#include <memory>

namespace Ui {
class TModuleMonitorMirror;
}

class TModuleMonitorMirror : public TListPageOf<TModuleGetPage, Intp::TSessionMonitorMirrorGet> {
    Q_OBJECT
public:
    explicit TModuleMonitorMirror(QWidget* parent = nullptr);
    ~TModuleMonitorMirror() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    enum TColumn { colPort, colSrcTx, colSrcRx };

    static bool Flag(const QTreeWidgetItem* row, int column);
    static void SetFlag(QTreeWidgetItem* row, int column, bool on);
    // The check boxes follow the selected row; without one they are disabled.
    void LoadRow();
    void EventOnHeaderClick(int column);
    void EventOnClear();
    void EventOnApply();

    std::unique_ptr<Ui::TModuleMonitorMirror> m_Ui;
};
