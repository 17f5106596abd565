// Handlers of the QoS commands: scheduling scheme and priority type, each port's queue, the
// 802.1p priority to queue mapping with each port's default priority, the DSCP mapping;
// payload layouts follow the wire tables of each command.
#include "Commands.h"
#include "OptionTable.h"
#include "Options.h"

namespace Sim {

namespace {

constexpr uint8_t Queues = 4;
constexpr uint8_t Priorities = 8;
constexpr int CosSize = 8;
constexpr int DscpSize = 64;
constexpr uint8_t FaultPriority = 8;

const TReply BadRequest{stBadRequest, {}, 0};

// The per-port lists follow the port count; new ports start at 0.
TQos& QosOf(TSwitch& sw)
{
    TQos& q = sw.running.qos;
    const int ports = sw.running.ports.PortCount();
    q.portQueues.resize(ports, 0);
    q.portPriorities.resize(ports, 0);
    return q;
}

template <class Bytes>
bool AllBelow(const Bytes& bytes, uint8_t limit)
{
    return std::all_of(bytes.begin(), bytes.end(), [limit](uint8_t b) { return b < limit; });
}

TReply Qos(TSwitch& sw, const TRequest&)
{
    const TQos& q = QosOf(sw);
    return Written([&](TWriter& w) {
        w.U8(q.scheme);
        w.U8(q.type);
    });
}

TReply SetQos(TSwitch& sw, const TRequest& rq)
{
    if (rq.payload[0] > 1 || rq.payload[1] > 5)
        return BadRequest;
    TQos& q = QosOf(sw);
    q.scheme = rq.payload[0];
    q.type = rq.payload[1];
    return {};
}

TReply PortQueues(TSwitch& sw, const TRequest&)
{
    const TQos& q = QosOf(sw);
    return Written([&](TWriter& w) {
        for (uint8_t queue : q.portQueues)
            w.U8(queue);
    });
}

TReply SetPortQueues(TSwitch& sw, const TRequest& rq)
{
    TQos& q = QosOf(sw);
    const QList<uint8_t> queues(rq.payload, rq.payload + rq.size);
    if (queues.size() != q.portQueues.size() || !AllBelow(queues, Queues))
        return BadRequest;
    q.portQueues = queues;
    return {};
}

TReply Cos(TSwitch& sw, const TRequest& rq)
{
    const TQos& q = QosOf(sw);
    const bool fault = rq.options->badCosPriority.contains(sw.Index());
    return Written([&](TWriter& w) {
        for (uint8_t queue : q.cosQueues)
            w.U8(queue);
        for (int i = 0; i < q.portPriorities.size(); ++i)
            w.U8(fault && i == 0 ? FaultPriority : q.portPriorities[i]);
    });
}

TReply SetCos(TSwitch& sw, const TRequest& rq)
{
    TQos& q = QosOf(sw);
    const QList<uint8_t> queues(rq.payload, rq.payload + CosSize);
    const QList<uint8_t> priorities(rq.payload + CosSize, rq.payload + rq.size);
    if (priorities.size() != q.portPriorities.size() || !AllBelow(queues, Queues) || !AllBelow(priorities, Priorities))
        return BadRequest;
    std::copy(queues.begin(), queues.end(), q.cosQueues.begin());
    q.portPriorities = priorities;
    return {};
}

TReply Tos(TSwitch& sw, const TRequest&)
{
    const TQos& q = QosOf(sw);
    return Written([&](TWriter& w) {
        for (uint8_t queue : q.dscpQueues)
            w.U8(queue);
    });
}

TReply SetTos(TSwitch& sw, const TRequest& rq)
{
    if (!AllBelow(QList<uint8_t>(rq.payload, rq.payload + DscpSize), Queues))
        return BadRequest;
    std::copy(rq.payload, rq.payload + DscpSize, QosOf(sw).dscpQueues.begin());
    return {};
}

} // namespace

void AddQosCommands(TCommandTable& table)
{
    table[1280] = {Qos, 0, 4, true};
    table[1281] = {SetQos, 2, 4, true};
    table[1282] = {PortQueues, 0, 4, true};
    table[1283] = {SetPortQueues, 1, 4, true};
    table[1284] = {Cos, 0, 4, true};
    table[1285] = {SetCos, CosSize + 1, 4, true};
    table[1286] = {Tos, 0, 4, true};
    table[1287] = {SetTos, DscpSize, 4, true};
}

void AddQosOptions(TOptionTable& table)
{
    table.entries += {
        SwitchFault({"bad-cos-priority",
                     "Switch i reports default 802.1p priority 8 on port 1 in COS settings (1284) (repeatable).", "i"},
                    &TOptions::badCosPriority),
    };
}

} // namespace Sim
