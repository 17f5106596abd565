#include "SyslogService.h"

#include "SyslogFile.h"

#include <QDateTime>
#include <QString>

TSyslogService::TSyslogService(Syslog::TSyslogLimits limits, QObject* parent) : QObject(parent), m_Store(limits) {}

void TSyslogService::ClearEvents()
{
    m_Store.Clear();
    emit Cleared();
}

bool TSyslogService::ParseEvent(std::string_view text, int& facility, int& severity, std::string& message)
{
    return Syslog::ParseEvent(text, facility, severity, message);
}

void TSyslogService::AddEvent(uint32_t address, std::string_view text)
{
    m_Store.Add(address, text, QDateTime::currentMSecsSinceEpoch());
    emit Added();
}

int TSyslogService::CountEvents(uint32_t address) { return m_Store.Count(address); }

std::string TSyslogService::FacilityText(int facility) { return Syslog::FacilityText(facility); }

std::string TSyslogService::SeverityText(int severity) { return Syslog::SeverityText(severity); }

void TSyslogService::CollectEvents(uint32_t address, std::vector<Syslog::TSyslogListNode>& out, bool mark)
{
    m_Store.Collect(address, out, mark);
}

bool TSyslogService::SaveEvents(const std::vector<Syslog::TSyslogListNode>& list, const std::string& fileName)
{
    return Syslog::SaveEvents(list, QString::fromStdString(fileName));
}
