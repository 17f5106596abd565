// The "Syslog Events" page: every stored message in arrival order (or those that pass a
// filter), their number and how many older ones the bounded store discarded, and saving
// and clearing them. The messages
// are the engine host's; the page only shows them.
#pragma once

#include "SyslogModel.h"
#include "net/SyslogService.h"
#include "ui/Module.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TSyslogFrame;
}

class TSyslogFrame : public QWidget, public TModule {
    Q_OBJECT
public:
    explicit TSyslogFrame(TSyslogService& syslog, QWidget* parent = nullptr);
    ~TSyslogFrame() override;

    QString GetName() const override { return QStringLiteral("Syslog Events"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool current) override;

    TSyslogModel& Model() { return m_Model; }

private:
    // Runs the save dialog and saves every message; false only when writing failed.
    bool SaveAll();
    // The number of stored messages, and of discarded ones while there are any.
    void ShowCounts();
    void EventOnClear();
    // Text, host and lowest severity: the list shows the messages that pass all three.
    void EventOnFilterChange();
    // How many messages pass the filter, while there is one.
    void ShowMatched();
    void EventOnDoubleClick(const QModelIndex& index);

    std::unique_ptr<Ui::TSyslogFrame> m_Ui;
    TSyslogService& m_Syslog;
    TSyslogModel m_Model{m_Syslog.Store()};
};
