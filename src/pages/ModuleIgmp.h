// IGMP snooping: "IGMP Snooping" (snooping and the query function of the first selected
// switch, applied to every selected switch) and "IGMP Snooping Table" (the multicast groups
// it has learned, read only, through a model for tables of any length).
#pragma once

#include "ui/ListPage.h"
#include "ui/ReportModel.h"
#include "core/Igmp.h"

#include <memory>

namespace Ui {
class TModuleIgmp;
class TModuleIgmpTable;
}

class TModuleIgmp : public TListPageOf<TModuleGetPage, Intp::TSessionIgmpGet> {
    Q_OBJECT
public:
    explicit TModuleIgmp(QWidget* parent = nullptr);
    ~TModuleIgmp() override;

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    void EventOnApply();

    std::unique_ptr<Ui::TModuleIgmp> m_Ui;
};

class TModuleIgmpTable : public TListPageOf<TModuleGetPage, Intp::TSessionIgmpTable> {
    Q_OBJECT
public:
    enum TColumn { colNumber, colGroup, colVid, colMembers, colCount };

    explicit TModuleIgmpTable(QWidget* parent = nullptr);
    ~TModuleIgmpTable() override;

    bool Hide(bool force) override;
    const TReportModel& Model() const { return *m_Model; }

    // The member ports as bit positions below the port count, "0, 2"; empty without any.
    static QString MemberText(uint32_t members, int portCount);

protected:
    void EnableControls(bool on) override;
    void FillFrom(TDevice* device) override;

private:
    std::unique_ptr<Ui::TModuleIgmpTable> m_Ui;
    TReportModel* m_Model;
};
