// How a switch reports faults and events, and the warning options.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>

#include <array>
#include <cstdint>

namespace Sim {

// How the switch reports faults and events: which failures raise its alarm, its syslog
// (mode 0 off, 1 local log only, 2 to the server, 3 both), its SMTP client with one
// recipient per slot, and six event masks (syslog system, link up, link down, then the same for SMTP).
// The SMTP password is never part of a reply.
struct TWarning {
    static constexpr int RecipientSlots = 6;
    uint32_t faultSystem = 0;
    uint32_t faultLinkDown = 0;
    uint8_t syslogMode = 0;
    uint32_t syslogServer = 0;
    bool smtpEnabled = false;
    uint32_t smtpServer = 0;
    QByteArray sender;
    QByteArray subject;
    QByteArray account;
    QByteArray password;
    QList<QByteArray> recipients = QList<QByteArray>(RecipientSlots);
    std::array<uint32_t, 6> events{};

    // Whether the switch sends its events to syslogServer.
    bool SendsToServer() const { return (syslogMode == 2 || syslogMode == 3) && syslogServer != 0; }
};

// Warning faults: syslog mode 5 (2306) and SMTP settings with n recipient slots (2308).
struct TWarningOptions {
    QSet<int> badSyslogMode;
    QMap<int, int> smtpSlots;
};

} // namespace Sim
