// The "Syslog Events" page: every stored message in arrival order, their number and how
// many older ones the bounded store discarded, and saving and clearing them. It owns the
// message store and serves it to the other pages.
#pragma once

#include "SyslogModel.h"
#include "core/Services.h"
#include "ui/Module.h"
#include "core/SyslogStore.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TSyslogFrame;
}

class TSyslogFrame : public QWidget, public TModule, public Syslog::TSyslogServer {
    Q_OBJECT
public:
    explicit TSyslogFrame(QWidget* parent = nullptr, Syslog::TSyslogLimits limits = {});
    ~TSyslogFrame() override;

    QString GetName() const override { return QStringLiteral("Syslog Events"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool current) override;

    void ClearEvents() override;
    bool ParseEvent(std::string_view text, int& facility, int& severity, std::string& message) override;
    void AddEvent(uint32_t address, std::string_view text) override;
    int CountEvents(uint32_t address) override;
    std::string FacilityText(int facility) override;
    std::string SeverityText(int severity) override;
    void CollectEvents(uint32_t address, std::vector<Syslog::TSyslogListNode>& out, bool mark) override;
    bool SaveEvents(const std::vector<Syslog::TSyslogListNode>& list, const std::string& fileName) override;

    TSyslogModel& Model() { return m_Model; }

private:
    // Runs the save dialog and saves every message; false only when writing failed.
    bool SaveAll();
    // The number of stored messages, and of discarded ones while there are any.
    void ShowCounts();
    void EventOnClear();
    void EventOnDoubleClick(const QModelIndex& index);

    std::unique_ptr<Ui::TSyslogFrame> m_Ui;
    Syslog::TSyslogStore m_Store;
    TSyslogModel m_Model{m_Store};
};
