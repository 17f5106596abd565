// Handlers of the warning commands: the fault alarm masks, the switch's own syslog client,
// its SMTP client and the event masks. An accepted Set is reported through the switch's
// syslog client, so a console named as the server sees the switch's events.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr int TextWidth = 64;
constexpr int PasswordWidth = 32;
constexpr int SmtpHead = 1 + 4 + 3 * TextWidth;
constexpr int SmtpRequest = SmtpHead + PasswordWidth + TWarning::RecipientSlots * TextWidth;
constexpr int EventMasks = 6;
constexpr uint8_t MaxSyslogMode = 3;
constexpr uint8_t FaultSyslogMode = 5;
constexpr uint32_t SystemFailures = 0x3; // power 1, power 2
constexpr uint32_t SystemEvents = 0xF;   // cold start, power, SNMP authentication, ring

const TReply BadRequest{stBadRequest, {}, 0};

void Log(const TRequest& rq, const char* text)
{
    if (rq.log)
        rq.log(text);
}

bool PortsFit(const TSwitch& sw, uint32_t mask)
{
    const int ports = sw.running.ports.PortCount();
    return ports >= 32 || (mask >> ports) == 0;
}

TReply Fault(TSwitch& sw, const TRequest&)
{
    const TWarning& warning = sw.running.warning;
    return Written([&](TWriter& w) {
        w.U32(warning.faultSystem);
        w.U32(warning.faultLinkDown);
    });
}

TReply SetFault(TSwitch& sw, const TRequest& rq)
{
    const uint32_t system = ReadU32(rq.payload);
    const uint32_t linkDown = ReadU32(rq.payload + 4);
    if ((system & ~SystemFailures) != 0 || !PortsFit(sw, linkDown))
        return BadRequest;
    sw.running.warning.faultSystem = system;
    sw.running.warning.faultLinkDown = linkDown;
    Log(rq, "Fault alarm settings changed");
    return {};
}

TReply Syslog(TSwitch& sw, const TRequest& rq)
{
    const TWarning& warning = sw.running.warning;
    const bool bad = rq.options->badSyslogMode.contains(sw.Index());
    return Written([&](TWriter& w) {
        w.U8(bad ? FaultSyslogMode : warning.syslogMode);
        w.U32(warning.syslogServer);
    });
}

TReply SetSyslog(TSwitch& sw, const TRequest& rq)
{
    if (rq.payload[0] > MaxSyslogMode)
        return BadRequest;
    sw.running.warning.syslogMode = rq.payload[0];
    sw.running.warning.syslogServer = ReadU32(rq.payload + 1);
    Log(rq, "Syslog settings changed");
    return {};
}

TReply Smtp(TSwitch& sw, const TRequest& rq)
{
    const TWarning& warning = sw.running.warning;
    const int slotCount = rq.options->smtpSlots.value(sw.Index(), TWarning::RecipientSlots);
    return Written([&](TWriter& w) {
        w.Bool(warning.smtpEnabled);
        w.U32(warning.smtpServer);
        w.Text(warning.sender, TextWidth);
        w.Text(warning.subject, TextWidth);
        w.Text(warning.account, TextWidth);
        for (int i = 0; i < slotCount; ++i)
            w.Text(warning.recipients.value(i), TextWidth);
    });
}

// Exactly one recipient per slot; the password is kept and never answered.
TReply SetSmtp(TSwitch& sw, const TRequest& rq)
{
    if (rq.size != std::size_t(SmtpRequest))
        return BadRequest;
    TWarning& warning = sw.running.warning;
    const uint8_t* p = rq.payload;
    warning.smtpEnabled = p[0] != 0;
    warning.smtpServer = ReadU32(p + 1);
    warning.sender = ReadText(p + 5, TextWidth);
    warning.subject = ReadText(p + 5 + TextWidth, TextWidth);
    warning.account = ReadText(p + 5 + 2 * TextWidth, TextWidth);
    warning.password = ReadText(p + SmtpHead, PasswordWidth);
    for (int i = 0; i < TWarning::RecipientSlots; ++i)
        warning.recipients[i] = ReadText(p + SmtpHead + PasswordWidth + i * TextWidth, TextWidth);
    Log(rq, "SMTP settings changed");
    return {};
}

TReply Events(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        for (uint32_t mask : sw.running.warning.events)
            w.U32(mask);
    });
}

// System masks name the four system events, port masks the switch's ports.
TReply SetEvents(TSwitch& sw, const TRequest& rq)
{
    std::array<uint32_t, EventMasks> masks{};
    for (int i = 0; i < EventMasks; ++i) {
        masks[i] = ReadU32(rq.payload + 4 * i);
        const bool system = i % 3 == 0;
        if (system ? (masks[i] & ~SystemEvents) != 0 : !PortsFit(sw, masks[i]))
            return BadRequest;
    }
    sw.running.warning.events = masks;
    Log(rq, "Event settings changed");
    return {};
}

} // namespace

void AddWarningCommands(TCommandTable& table)
{
    table[2304] = {Fault, 0, 8, true};
    table[2305] = {SetFault, 8, 4, true};
    table[2306] = {Syslog, 0, 5, true};
    table[2307] = {SetSyslog, 5, 4, true};
    table[2308] = {Smtp, 0, SmtpHead + TWarning::RecipientSlots * TextWidth, true};
    table[2309] = {SetSmtp, SmtpHead + PasswordWidth, 4, true};
    table[2310] = {Events, 0, 4 * EventMasks, true};
    table[2311] = {SetEvents, 4 * EventMasks, 4, true};
}

void AddWarningOptions(TOptionTable& table)
{
    table.entries += {
        SwitchFault({"bad-syslog-mode", "Switch i reports syslog mode 5 (2306) (repeatable).", "i"},
                    &TOptions::badSyslogMode),
        SwitchOption({"smtp-slots",
                      "Switch i answers SMTP settings (2308) with n recipient slots instead of 6 (repeatable).", "i=n"},
                     true, 0, [](TOptions& o, int i, uint32_t n) { o.smtpSlots[i] = int(std::min<uint32_t>(n, 16)); }),
    };
}

} // namespace Sim
