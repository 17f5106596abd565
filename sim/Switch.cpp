#include "Switch.h"

#include <QDateTime>

#include <cstring>

namespace Sim {

namespace {
constexpr uint32_t DefaultKeepCredentials = 1;
constexpr uint32_t DefaultKeepIp = 2;
}

TSwitch::TSwitch(int index, const TMac& mac, const QByteArray& model, const TConfig& factory)
    : running(factory), m_Index(index), m_Mac(mac), m_Model(model), m_Saved(factory),
      m_Factory(factory)
{
}

bool TSwitch::Reaches(uint32_t destination) const
{
    return destination == running.address || destination == 0xFFFFFFFFu
        || destination == (running.address | ~running.netmask);
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

} // namespace Sim
