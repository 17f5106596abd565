#include "SyslogStore.h"

#include "AddressRules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <unordered_set>

namespace Syslog {

namespace {

constexpr std::array<const char*, 17> FacilityTexts = {
    "kernel messages", "user-level messages", "mail system", "system daemons",
    "security/authorization messages", "messages generated internally by syslogd",
    "line printer subsystem", "network news subsystem", "UUCP subsystem", "clock daemon",
    "security/authorization messages", "FTP daemon", "NTP subsystem", "log audit", "log alert",
    "clock daemon", "local use"};

constexpr std::array<const char*, 8> SeverityTexts = {
    "Emergency", "Alert", "Critical", "Error", "Warning", "Notice", "Informational", "Debug"};

constexpr std::array<std::string_view, 12> Months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as the C library reads one: leading white space, a sign, digits up to
// the first other character; saturated instead of overflowing.
long long ReadNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
    return negative ? -value : value;
}

// Month, day, time and host of the header starting at text; the position of the message
// text after the host, or npos.
std::size_t MatchHeader(std::string_view h)
{
    // "Mmm dd hh:mm:ss " is 16 characters, then the host and its blank.
    if (h.size() < 18 || std::find(Months.begin(), Months.end(), h.substr(0, 3)) == Months.end())
        return std::string_view::npos;
    bool day = h[3] == ' ' && (h[4] == ' ' || IsDigit(h[4])) && IsDigit(h[5]);
    auto twoDigits = [&](std::size_t at) { return IsDigit(h[at]) && IsDigit(h[at + 1]); };
    if (!day || h[6] != ' ' || !twoDigits(7) || h[9] != ':' || !twoDigits(10) || h[12] != ':' ||
        !twoDigits(13) || h[15] != ' ' || h[16] == ' ')
        return std::string_view::npos;
    std::size_t hostEnd = h.find(' ', 16);
    return hostEnd == std::string_view::npos ? hostEnd : hostEnd + 1;
}

} // namespace

bool ParseEvent(std::string_view text, int& facility, int& severity, std::string& message)
{
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    facility = 17;
    severity = 8;
    std::string_view header = text;
    if (!text.empty() && text[0] == '<') {
        long long priority = ReadNumber(text.substr(1));
        std::size_t close = text.find('>', 1);
        if (priority >= 0 && close != std::string_view::npos) {
            facility = int(priority / 8);
            severity = int(priority % 8);
            header = text.substr(close + 1);
        }
    }
    std::size_t body = MatchHeader(header);
    if (body != std::string_view::npos) {
        message.assign(header.substr(body));
        return true;
    }
    if (facility > 16) {
        facility = 16;
        severity = 3;
    }
    message.assign(text);
    return false;
}

std::string FacilityText(int facility)
{
    return FacilityTexts[std::size_t(std::clamp(facility, 0, 16))];
}

std::string SeverityText(int severity)
{
    return severity >= 0 && severity <= 7 ? SeverityTexts[std::size_t(severity)] : "";
}

int SeverityImage(int severity) { return severity <= 3 ? 0 : severity == 4 ? 1 : 2; }

// The texts of all messages, packed into large blocks that never move. Texts come and go
// in arrival order, so a block is freed when the last of its texts is discarded.
class TSyslogStore::TArena {
public:
    static constexpr std::size_t BlockSize = std::size_t(1) << 20;

    const char* Copy(std::string_view text)
    {
        if (text.empty())
            return nullptr;
        if (m_Blocks.empty() || m_Free < text.size()) {
            const std::size_t size = std::max(BlockSize, text.size());
            m_Blocks.push_back({std::make_unique_for_overwrite<char[]>(size), size, 0});
            m_Bytes += size;
            m_Free = size;
        }
        TBlock& block = m_Blocks.back();
        char* at = block.Data.get() + (block.Size - m_Free);
        std::memcpy(at, text.data(), text.size());
        m_Free -= text.size();
        ++block.Texts;
        return at;
    }
    // The oldest text still held is given up.
    void Release(const char* text)
    {
        if (!text || --m_Blocks.front().Texts > 0)
            return;
        m_Bytes -= m_Blocks.front().Size;
        m_Blocks.pop_front();
        if (m_Blocks.empty())
            m_Free = 0;
    }
    std::size_t Bytes() const { return m_Bytes; }

private:
    struct TBlock {
        std::unique_ptr<char[]> Data;
        std::size_t Size;
        std::size_t Texts; // held, not yet released
    };
    std::deque<TBlock> m_Blocks;
    std::size_t m_Bytes = 0; // all blocks
    std::size_t m_Free = 0;  // at the end of the last block
};

TSyslogStore::TSyslogStore(TSyslogLimits limits) : m_Limits(limits), m_Texts(std::make_unique<TArena>())
{
    // Arrival numbers of the stored messages must differ modulo 2^32.
    m_Limits.Messages = std::clamp<std::size_t>(m_Limits.Messages, 1, UINT32_MAX);
}

TSyslogStore::~TSyslogStore() = default;

TSyslogListNode TSyslogStore::Add(uint32_t address, std::string_view text, int64_t receivedMs)
{
    int facility = 0;
    int severity = 0;
    std::string message;
    ParseEvent(text, facility, severity, message);
    TCompact node{m_Texts->Copy(message), receivedMs, uint32_t(message.size()), address, facility,
                  int8_t(severity), false};
    m_ByAddress[address].Numbers.push_back(uint32_t(m_Discarded + m_Nodes.size()));
    m_Nodes.push_back(node);
    m_TextBytes += message.size();
    while (m_Nodes.size() > 1 && (m_Nodes.size() > m_Limits.Messages || m_TextBytes > m_Limits.TextBytes))
        DiscardOldest();
    return Expand(m_Nodes.size() - 1);
}

void TSyslogStore::DiscardOldest()
{
    const TCompact& node = m_Nodes.front();
    auto sender = m_ByAddress.find(node.Address);
    TArrivals& arrivals = sender->second;
    if (++arrivals.First == arrivals.Numbers.size()) {
        m_ByAddress.erase(sender);
    } else if (arrivals.First * 2 >= arrivals.Numbers.size()) {
        // Dropped in halves: each number is moved once on average.
        arrivals.Numbers.erase(arrivals.Numbers.begin(), arrivals.Numbers.begin() + std::ptrdiff_t(arrivals.First));
        arrivals.First = 0;
    }
    m_Texts->Release(node.Text);
    m_TextBytes -= node.Length;
    m_Nodes.pop_front();
    ++m_Discarded;
}

void TSyslogStore::Clear()
{
    m_Nodes = {};
    m_ByAddress = {};
    m_Texts = std::make_unique<TArena>();
    m_Discarded = 0;
    m_TextBytes = 0;
}

std::size_t TSyslogStore::Size() const { return m_Nodes.size(); }

TSyslogListNode TSyslogStore::InArrival(std::size_t i) const { return Expand(i); }

int TSyslogStore::Count(uint32_t address) const
{
    auto found = m_ByAddress.find(address);
    return found == m_ByAddress.end() ? 0 : int(found->second.Count());
}

void TSyslogStore::Collect(uint32_t address, std::vector<TSyslogListNode>& out, bool mark)
{
    std::vector<uint32_t> addresses;
    if (address != 0) {
        if (m_ByAddress.count(address))
            addresses.push_back(address);
    } else {
        addresses.reserve(m_ByAddress.size());
        for (const auto& entry : m_ByAddress)
            addresses.push_back(entry.first);
        std::sort(addresses.begin(), addresses.end());
    }
    for (uint32_t from : addresses) {
        const TArrivals& arrivals = m_ByAddress.at(from);
        for (std::size_t k = arrivals.First; k < arrivals.Numbers.size(); ++k) {
            const std::size_t i = Position(arrivals.Numbers[k]);
            if (mark)
                m_Nodes[i].Read = true;
            out.push_back(Expand(i));
        }
    }
}

std::size_t TSyslogStore::MemoryUsed() const
{
    std::size_t bytes = m_Nodes.size() * sizeof(TCompact) + m_Texts->Bytes();
    for (const auto& entry : m_ByAddress)
        bytes += sizeof(entry) + entry.second.Numbers.capacity() * sizeof(uint32_t);
    return bytes;
}

void TSyslogStore::Select(const TSyslogFilter& filter, uint64_t from, std::vector<uint64_t>& out) const
{
    // The senders are few: their addresses are matched once, not once a message.
    std::unordered_set<uint32_t> hosts;
    if (!filter.Host.empty())
        for (const auto& [address, arrivals] : m_ByAddress)
            if (arrivals.Count() && AddressToText(address).starts_with(filter.Host))
                hosts.insert(address);
    const std::string& needle = filter.Text;
    auto fold = [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); };
    auto hash = [fold](char c) { return std::hash<char>()(fold(c)); };
    auto equal = [fold](char a, char b) { return fold(a) == fold(b); };
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end(), hash, equal);
    for (std::size_t i = std::size_t(std::max(from, m_Discarded) - m_Discarded); i < m_Nodes.size(); ++i) {
        const TCompact& node = m_Nodes[i];
        if (node.Severity > filter.LowestSeverity)
            continue;
        if (!filter.Host.empty() && !hosts.contains(node.Address))
            continue;
        if (!needle.empty()) {
            const char* end = node.Text + node.Length;
            if (std::search(node.Text, end, searcher) == end)
                continue;
        }
        out.push_back(m_Discarded + i);
    }
}

TSyslogListNode TSyslogStore::Expand(std::size_t i) const
{
    const TCompact& node = m_Nodes.at(i);
    TSyslogListNode out;
    out.Address = node.Address;
    out.Facility = node.Facility;
    out.Severity = node.Severity;
    out.Message.assign(node.Text ? node.Text : "", node.Length);
    out.EventId = int64_t(m_Discarded + i + 1);
    out.Received = node.Received;
    out.Read = node.Read;
    return out;
}

} // namespace Syslog
