#include "Dispatch.h"

namespace Intp {

namespace {
TDiscoveryHook* g_DiscoveryHook = nullptr;
}

void SetDiscoveryHook(TDiscoveryHook* hook) { g_DiscoveryHook = hook; }

void Dispatch(uint32_t address, const uint8_t* data, std::size_t length)
{
    if (!data || length < HeaderSize || length >= MaxDatagram)
        return;
    TMessage message = TMessage::FromDatagram(data, length);
    if (message.Mac.IsNull() || message.Mac.IsBroadcast())
        return;
    if (message.Command == 0) {
        if (g_DiscoveryHook)
            g_DiscoveryHook->OnDiscoveryReply(message, address);
        return;
    }
    if (TDevice* device = Registry::Find(message.Mac, false))
        OfferToSessions(*device, message, address);
}

} // namespace Intp
