#include "Qos.h"

#include <algorithm>

namespace Intp {

void TPropertyQos::Decode(TReader& r)
{
    Scheme = r.U8();
    Type = r.U8();
}

void TPropertyQos::Encode(TWriter& w) const
{
    w.U8(Scheme);
    w.U8(Type);
}

uint16_t TPropertyQos::Check(const TPropertyQos& r)
{
    if (r.Scheme > qsStrict)
        return stListCount;
    return r.Type >= qtCount ? stListRange : stSuccess;
}

uint16_t TPropertyQosPort::Check(const TDevice&, const std::vector<Entry>&, const Entry& e)
{
    return e.Value >= QosQueues ? stListCount : stSuccess;
}

void TPropertyQosCos::DecodeHead(TReader& r)
{
    for (uint8_t& queue : Queues)
        queue = r.U8();
}

void TPropertyQosCos::EncodeHead(TWriter& w) const
{
    for (uint8_t queue : Queues)
        w.U8(queue);
}

uint16_t TPropertyQosCos::CheckHead(const TPropertyQosCos& r)
{
    return std::ranges::any_of(r.Queues, [](uint8_t q) { return q >= QosQueues; }) ? stListCount : stSuccess;
}

uint16_t TPropertyQosCos::Check(const TDevice&, const std::vector<Entry>&, const Entry& e)
{
    return e.Value >= CosPriorities ? stListRange : stSuccess;
}

void TPropertyQosTos::Decode(TReader& r)
{
    for (uint8_t& queue : Queues)
        queue = r.U8();
}

void TPropertyQosTos::Encode(TWriter& w) const
{
    for (uint8_t queue : Queues)
        w.U8(queue);
}

uint16_t TPropertyQosTos::Check(const TPropertyQosTos& r)
{
    return std::ranges::any_of(r.Queues, [](uint8_t q) { return q >= QosQueues; }) ? stListCount : stSuccess;
}

} // namespace Intp
