// "SNMPv3 User": the SNMPv3 users of the first selected switch, usable only while the
// cached agent record of that switch says version 3; adds and removes users on every
// selected switch.
#pragma once

#include "ui/ListPage.h"
#include "core/Snmp.h"

#include <memory>

namespace Ui {
class TModuleSnmpUser;
}

class TModuleSnmpUser : public TListPageOf<TReportPage, Intp::TSessionSnmpUserGet> {
    Q_OBJECT
public:
    explicit TModuleSnmpUser(QWidget* parent = nullptr);
    ~TModuleSnmpUser() override;

protected:
    void EnableControls(bool on) override;
    void AddRows(TDevice* device) override;
    void EventOnRowChange() override;

private:
    // The list, the texts and their labels; without use the buttons are off as well.
    void SetUsable(bool usable);
    // Add and Delete need a user name.
    void NameRule();
    QTreeWidgetItem* RowNamed(const QString& name) const;
    // The name and passwords go out only as typed (a message says why not).
    bool CheckTexts();
    Intp::TSnmpUserRequest FromControls() const;
    void EventOnAdd();
    void EventOnDelete();

    std::unique_ptr<Ui::TModuleSnmpUser> m_Ui;
};
