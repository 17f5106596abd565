// Received syslog messages: parsing of one datagram text and the in-memory store, ordered
// by sender address and, within one address, by arrival.
#pragma once

#include <cstddef>
#include <cstdint>
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
    int EventId = 0;
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

class TSyslogStore {
public:
    TSyslogStore();
    ~TSyslogStore();
    TSyslogStore(const TSyslogStore&) = delete;
    TSyslogStore& operator=(const TSyslogStore&) = delete;

    // Parses and stores the text with the next event ID; returns a copy of the new node.
    TSyslogListNode Add(uint32_t address, std::string_view text, int64_t receivedMs);
    // Removes every node; event IDs start again at 1.
    void Clear();
    std::size_t Size() const;
    // The i-th message in arrival order (for the list), as a copy.
    TSyslogListNode InArrival(std::size_t i) const;
    int Count(uint32_t address) const;
    // Appends copies of the nodes from the address (all when 0) in store order: by address,
    // then arrival. With mark the stored nodes are marked read first.
    void Collect(uint32_t address, std::vector<TSyslogListNode>& out, bool mark);
    // Bytes the store holds (nodes, texts and index), for the memory benchmark.
    std::size_t MemoryUsed() const;

private:
    struct TCompact;
    class TArena;
    TSyslogListNode Expand(std::size_t i) const;

    std::vector<TCompact> m_Nodes; // arrival order; event ID = position + 1
    std::unique_ptr<TArena> m_Texts;
    std::unordered_map<uint32_t, std::vector<uint32_t>> m_ByAddress; // arrival positions
};

} // namespace Syslog
