#include "AddressPlan.h"

#include "AddressRules.h"

#include <algorithm>

namespace {

uint32_t HostOrZero(uint32_t address) { return IsValidHostAddress(address) ? address : 0; }

// The settings every planned switch shares; the gateway only inside the subnet of address.
TAddressPlan SharedSettings(const TAddressRequest& request, bool keepGateway)
{
    TAddressPlan plan;
    plan.Netmask = request.Netmask;
    const uint32_t subnet = request.Address & request.Netmask;
    if (keepGateway && (request.Gateway & request.Netmask) == subnet)
        plan.Gateway = HostOrZero(request.Gateway);
    plan.Dns1 = HostOrZero(request.Dns1);
    plan.Dns2 = HostOrZero(request.Dns2);
    return plan;
}

TAddressPlan Refused(TPlanRefusal reason)
{
    TAddressPlan plan;
    plan.Refusal = reason;
    return plan;
}

} // namespace

bool TAddressPlan::Complete() const
{
    return Refusal == TPlanRefusal::None && std::ranges::find(Addresses, 0u) == Addresses.end();
}

TAddressPlan PlanAddressRange(const TAddressRequest& request, std::size_t count)
{
    const uint32_t begin = request.Address, end = request.End, mask = request.Netmask;
    if (begin > end)
        return Refused(TPlanRefusal::BeginAfterEnd);
    if (!IsValidMask(mask))
        return Refused(TPlanRefusal::InvalidNetmask);
    TAddressPlan plan = SharedSettings(request, (begin & mask) == (end & mask));

    auto usable = [&](uint32_t a) {
        const uint32_t host = a & ~mask;
        return IsValidHostAddress(a) && host != 0 && host != ~mask && a != plan.Gateway && a != plan.Dns1 &&
               a != plan.Dns2;
    };
    // 64 bits, so that a range ending at 255.255.255.255 cannot wrap around. A /31 or /32
    // has no usable host address at all: no need to walk the range to find that out.
    uint64_t candidate = ~mask < 2 ? uint64_t(end) + 1 : begin;
    plan.Addresses.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        while (candidate <= end && !usable(uint32_t(candidate)))
            ++candidate;
        plan.Addresses.push_back(candidate <= end ? uint32_t(candidate++) : 0);
    }
    return plan;
}

TAddressPlan PlanSingleAddress(const TAddressRequest& request)
{
    if (!IsValidHostAddress(request.Address))
        return Refused(TPlanRefusal::InvalidAddress);
    if (!IsValidMask(request.Netmask))
        return Refused(TPlanRefusal::InvalidNetmask);
    TAddressPlan plan = SharedSettings(request, true);
    plan.Addresses.push_back(request.Address);
    return plan;
}
