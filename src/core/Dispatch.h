// The receive step: one datagram from the network becomes a device lookup and an offer
// to the pending sessions.
#pragma once

#include "Session.h"

#include <cstddef>
#include <cstdint>

namespace Intp {

// Takes every discovery reply (command 0) together with its sender's address; it alone
// decides whether the reply makes a device.
class TDiscoveryHook {
public:
    virtual ~TDiscoveryHook() = default;
    virtual void OnDiscoveryReply(const TMessage& message, uint32_t address) = 0;
};

void SetDiscoveryHook(TDiscoveryHook* hook);

// address: the sender's IPv4 address in host order. Only a discovery reply or a reply
// that a pending session claims can create a device or change its address; anything else
// is dropped without a trace.
void Dispatch(uint32_t address, const uint8_t* data, std::size_t length);

} // namespace Intp
