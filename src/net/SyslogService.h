// The received syslog messages: the bounded store the receiver fills and the pages and
// views read. Views follow it through Added and Cleared instead of owning it, so the
// messages outlive any window.
#pragma once

#include "core/Services.h"
#include "core/SyslogStore.h"

#include <QObject>

class TSyslogService : public QObject, public Syslog::TSyslogServer {
    Q_OBJECT
public:
    explicit TSyslogService(Syslog::TSyslogLimits limits = {}, QObject* parent = nullptr);

    const Syslog::TSyslogStore& Store() const { return m_Store; }

    void ClearEvents() override;
    bool ParseEvent(std::string_view text, int& facility, int& severity, std::string& message) override;
    void AddEvent(uint32_t address, std::string_view text) override;
    int CountEvents(uint32_t address) override;
    std::string FacilityText(int facility) override;
    std::string SeverityText(int severity) override;
    void CollectEvents(uint32_t address, std::vector<Syslog::TSyslogListNode>& out, bool mark) override;
    bool SaveEvents(const std::vector<Syslog::TSyslogListNode>& list, const std::string& fileName) override;

signals:
    // A message was stored (and the oldest may have been discarded).
    void Added();
    void Cleared();

private:
    Syslog::TSyslogStore m_Store;
};
