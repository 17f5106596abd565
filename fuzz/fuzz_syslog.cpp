// Feeds arbitrary datagram texts to the syslog parser and the message store. Each input is
// split into messages by a one-byte length prefix; the byte after it picks the sender.
#include "core/SyslogStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // Small bounds, so that discarding the oldest is fed as well.
    Syslog::TSyslogStore store({16, 1024});
    std::size_t at = 0;
    while (at + 2 <= size) {
        std::size_t length = data[at];
        uint32_t address = 0x0A000000u | data[at + 1];
        at += 2;
        length = std::min(length, size - at);
        std::string_view text(reinterpret_cast<const char*>(data + at), length);
        at += length;

        int facility = 0;
        int severity = 0;
        std::string message;
        bool header = Syslog::ParseEvent(text, facility, severity, message);
        if (message.size() > text.size() || severity < 0 || facility < 0 || (!header && facility > 16))
            std::abort();
        Syslog::FacilityText(facility);
        Syslog::SeverityText(severity);
        if (Syslog::SeverityImage(severity) > 2)
            std::abort();
        Syslog::TSyslogListNode node = store.Add(address, text, 0);
        if (node.Message != message || node.EventId != int64_t(store.Discarded() + store.Size()) ||
            store.Size() > 16)
            std::abort();
    }
    std::vector<Syslog::TSyslogListNode> all;
    store.Collect(0, all, true);
    if (all.size() != store.Size())
        std::abort();
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (all[i - 1].Address > all[i].Address ||
            (all[i - 1].Address == all[i].Address && all[i - 1].EventId >= all[i].EventId))
            std::abort();
    }
    return 0;
}
