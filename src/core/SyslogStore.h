// Received syslog messages: parsing of one datagram text and the in-memory store, ordered
// by sender address and, within one address, by arrival. The store is bounded: a flood
// of messages pushes the oldest out instead of taking all memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Syslog {

// One message as handed out by the store (a copy; the store keeps a compact form).
struct TSyslogListNode {
    uint32_t Address = 0; // sender, host order
    int Facility = 0;
    int Severity = 0;
    std::string Message;
    int64_t EventId = 0; // 64 bits: as old messages go, a long flood passes 2^31 within hours
    int64_t Received = 0; // ms since the epoch; local time is applied by the views
    bool Read = false;
};

// Parses one datagram text (cut at its first zero byte); true when the whole header was
// recognised. Without a header the message is the whole text.
bool ParseEvent(std::string_view text, int& facility, int& severity, std::string& message);
// The text of 16 for any facility above 16.
std::string FacilityText(int facility);
// Empty above 7.
std::string SeverityText(int severity);
// 0 for severities 0 to 3, 1 for 4, 2 for 5 to 7.
int SeverityImage(int severity);

// How much a store keeps: beyond either bound the oldest messages go. A million messages
// of the usual hundred bytes take about 140 MB; the text bound holds a flood of the
// largest datagrams (64 KiB each) to about 300 MB in all.
struct TSyslogLimits {
    std::size_t Messages = 1'000'000;
    std::size_t TextBytes = std::size_t(256) << 20;
};

// Which messages a view shows: those whose text holds Text (in any case), whose sender's
// dotted address starts with Host, and whose severity is LowestSeverity or more severe
// (a smaller number).
struct TSyslogFilter {
    std::string Text;
    std::string Host;
    int LowestSeverity = 7;
    bool IsEmpty() const { return Text.empty() && Host.empty() && LowestSeverity >= 7; }
};

class TSyslogStore {
public:
    explicit TSyslogStore(TSyslogLimits limits = {});
    ~TSyslogStore();
    TSyslogStore(const TSyslogStore&) = delete;
    TSyslogStore& operator=(const TSyslogStore&) = delete;

    // Parses and stores the text with the next event ID, discarding the oldest messages
    // beyond the limits (never the new one); returns a copy of the new node.
    TSyslogListNode Add(uint32_t address, std::string_view text, int64_t receivedMs);
    // Removes every node; event IDs start again at 1, the discarded count at 0.
    void Clear();
    std::size_t Size() const;
    // Messages discarded since the last Clear: the oldest, so the event ID of the first
    // stored message is this plus one.
    uint64_t Discarded() const { return m_Discarded; }
    // The i-th stored message in arrival order (for the list), as a copy.
    TSyslogListNode InArrival(std::size_t i) const;
    int Count(uint32_t address) const;
    // Appends copies of the nodes from the address (all when 0) in store order: by address,
    // then arrival. With mark the stored nodes are marked read first.
    void Collect(uint32_t address, std::vector<TSyslogListNode>& out, bool mark);
    // Appends the arrival numbers (counted from the last Clear; the first stored message's is
    // Discarded()) of the stored messages from arrival number `from` on that pass the filter.
    // Reads the store in place: nothing is copied.
    void Select(const TSyslogFilter& filter, uint64_t from, std::vector<uint64_t>& out) const;
    // Bytes the store holds (nodes, texts and index), for the memory benchmark.
    std::size_t MemoryUsed() const;

private:
    // One stored message without its event ID; 32 bytes.
    struct TCompact {
        const char* Text;
        int64_t Received;
        uint32_t Length;
        uint32_t Address;
        int32_t Facility;
        int8_t Severity;
        bool Read;
    };
    // One sender's messages, oldest first, by arrival number: counted from the last Clear,
    // modulo 2^32 (far fewer messages than that are ever stored at once).
    struct TArrivals {
        std::vector<uint32_t> Numbers;
        std::size_t First = 0; // those before it were discarded
        std::size_t Count() const { return Numbers.size() - First; }
    };
    class TArena;
    TSyslogListNode Expand(std::size_t i) const;
    // Arrival number to position in m_Nodes.
    std::size_t Position(uint32_t number) const { return uint32_t(number - uint32_t(m_Discarded)); }
    void DiscardOldest();

    TSyslogLimits m_Limits;
    std::deque<TCompact> m_Nodes; // arrival order; event ID = m_Discarded + position + 1
    uint64_t m_Discarded = 0;
    std::size_t m_TextBytes = 0; // of the stored messages
    std::unique_ptr<TArena> m_Texts;
    std::unordered_map<uint32_t, TArrivals> m_ByAddress;
};

} // namespace Syslog
