// The message window: the messages of one sender as they were when it opened, one of them
// in full, stepping and sorting. It belongs to nobody and deletes itself when closed.
#pragma once

#include "core/Services.h"
#include "core/SyslogStore.h"

#include <QWidget>

#include <memory>
#include <vector>

class QTreeWidgetItem;

namespace Ui {
class TSyslogForm;
}

class TSyslogForm : public QWidget {
    Q_OBJECT
public:
    // The facility and severity show as the server names them, or as numbers without one.
    explicit TSyslogForm(std::vector<Syslog::TSyslogListNode> nodes, Syslog::TSyslogServer* texts = nullptr);
    ~TSyslogForm() override;

    // Selects the row of this event ID, searching from the last row.
    void SelectEventId(int64_t eventId);
    int SortColumn() const { return m_SortColumn; }
    int SortDirection() const { return m_SortDirection; }

private:
    void EventOnSelect();
    void Step(int delta);
    void EventOnCopy();
    void EventOnHeaderClick(int column);
    // Row a against row b under the sort column: -1, 0 or 1, before the direction.
    int Compare(const Syslog::TSyslogListNode& a, const Syslog::TSyslogListNode& b) const;
    const Syslog::TSyslogListNode& NodeOf(const QTreeWidgetItem* item) const;

    std::unique_ptr<Ui::TSyslogForm> m_Ui;
    std::vector<Syslog::TSyslogListNode> m_Nodes;
    int m_SortColumn = -1;
    int m_SortDirection = 1;
};
