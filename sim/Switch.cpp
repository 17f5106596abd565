#include "Switch.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace Sim {

namespace {
constexpr uint32_t DefaultKeepCredentials = 1;
constexpr uint32_t DefaultKeepIp = 2;
} // namespace

TSwitch::TSwitch(int index, const TMac& mac, const QByteArray& model, const TConfig& factory)
    : running(factory), m_Index(index), m_Mac(mac), m_Model(model), m_Saved(factory), m_Factory(factory)
{
}

bool TSwitch::Reaches(uint32_t destination) const
{
    return destination == running.address || destination == 0xFFFFFFFFu ||
        destination == (running.address | ~running.netmask);
}

bool TSwitch::CredentialsMatch(const uint8_t digest[16]) const
{
    const auto expected = CredentialDigest(running.user, running.password);
    return std::memcmp(expected.data(), digest, expected.size()) == 0;
}

bool TSwitch::IsSilent(int64_t nowMs) const
{
    return (m_SilentFrom >= 0 && nowMs >= m_SilentFrom) || nowMs < m_SilentUntil;
}

void TSwitch::Reboot(int64_t nowMs, int durationMs)
{
    m_SilentUntil = nowMs + durationMs;
    m_Logins.clear();
    running = m_Saved;
}

void TSwitch::FactoryDefault(uint32_t flags)
{
    TConfig fresh = m_Factory;
    if (flags & DefaultKeepCredentials) {
        fresh.user = running.user;
        fresh.password = running.password;
    }
    if (flags & DefaultKeepIp) {
        fresh.dhcp = running.dhcp;
        fresh.address = running.address;
        fresh.netmask = running.netmask;
        fresh.gateway = running.gateway;
        fresh.dns1 = running.dns1;
        fresh.dns2 = running.dns2;
    }
    running = fresh;
    m_Saved = fresh;
}

uint32_t TSwitch::Clock() const
{
    return hasClock ? uint32_t(QDateTime::currentSecsSinceEpoch() + clockAheadSec) : NoClock;
}

QByteArray TSwitch::SyslogMessage(uint64_t n, const QDateTime& at) const
{
    struct TEvent {
        int priority;
        const char* text;
    };
    // local7 with notice, warning and informational severities.
    static const TEvent Events[] = {{189, "Port %d link up"},
                                    {188, "Port %d link down"},
                                    {190, "Port %d: settings changed by the management console"}};
    const TEvent& event = Events[n % std::size(Events)];
    const int port = int(n % uint64_t(std::max(1, running.ports.PortCount()))) + 1;
    return SyslogLine(event.priority, QString::asprintf(event.text, port).toLatin1(), at);
}

QByteArray TSwitch::SyslogLine(int priority, const QByteArray& text, const QDateTime& at) const
{
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = at.date();
    const QTime time = at.time();
    return QByteArray("<") + QByteArray::number(priority) + '>' +
        QString::asprintf("%s %2d %02d:%02d:%02d ", Months[date.month() - 1], date.day(), time.hour(), time.minute(),
                          time.second())
            .toLatin1() +
        running.name + ' ' + text;
}

} // namespace Sim
