// Handlers of the core commands; payload layouts follow the wire tables of each command.
#include "Commands.h"
#include "Options.h"

#include <algorithm>

namespace Sim {

namespace {

TReply Discover(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        w.U32(ModelKey(sw.Model()));
        w.U32(0);
    });
}

// A digest of sixteen zero bytes logs out; a wrong digest also ends an earlier login, so
// the switch and a console that clears its logged-in state on a refusal agree.
TReply Login(TSwitch& sw, const TRequest& rq)
{
    const bool logout = std::all_of(rq.payload, rq.payload + 16, [](uint8_t b) { return b == 0; });
    if (!logout && sw.CredentialsMatch(rq.payload)) {
        sw.LogIn(rq.workstation);
        return {};
    }
    sw.LogOut(rq.workstation);
    return {logout ? uint16_t(0) : stBadCredentials, {}, 0};
}

TReply StatusPoll(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        w.U32(sw.alarms.power);
        w.U32(sw.alarms.ports);
        w.U32(sw.alarms.linkMask);
    });
}

TReply WarningState(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        w.Bool(sw.alarms.warningEnabled);
        w.Bool(sw.alarms.warningActive);
        w.U16(sw.alarms.warningValue);
    });
}

TReply Reboot(TSwitch& sw, const TRequest& rq)
{
    sw.Reboot(rq.nowMs, rq.options->rebootMs);
    return {};
}

TReply SystemInformation(TSwitch& sw, const TRequest& rq)
{
    return Written([&](TWriter& w) {
        w.U16(sw.kernelVersion);
        w.U16(sw.firmwareVersion);
        w.U32(sw.hardwareVersion);
        w.Bool(sw.IsLoggedIn(rq.workstation));
        const TConfig& c = sw.running;
        for (const QByteArray* text : {&c.name, &c.description, &c.location, &c.contact, &c.oidSuffix})
            w.Text(*text, 256);
    });
}

TReply NetworkSettings(TSwitch& sw, const TRequest&)
{
    return Written([&](TWriter& w) {
        w.Bool(sw.running.dhcp);
        w.U32(sw.running.address);
        w.U32(sw.running.netmask);
        w.U32(sw.running.gateway);
        w.U32(sw.running.dns1);
        w.U32(sw.running.dns2);
    });
}

TReply Save(TSwitch& sw, const TRequest& rq)
{
    sw.Save();
    return {0, {}, rq.options->flashDelayMs};
}

TReply FactoryDefault(TSwitch& sw, const TRequest& rq)
{
    sw.FactoryDefault(ReadU32(rq.payload));
    return {};
}

} // namespace

void AddCoreCommands(TCommandTable& table)
{
    table[0] = {Discover, 0, 8, false};
    table[2] = {Login, 16, 4, false};
    // The queries the console runs for every discovered switch answer without login.
    table[6] = {StatusPoll, 0, 12, false};
    table[7] = {WarningState, 0, 4, false};
    table[259] = {Reboot, 0, 4, true};
    table[260] = {SystemInformation, 0, 1289, false};
    table[262] = {NetworkSettings, 0, 21, false};
    table[264] = {Save, 0, 4, true};
    table[271] = {FactoryDefault, 4, 4, true};
}

} // namespace Sim
