#include "SyslogStore.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

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

// One stored message without its event ID (its arrival position + 1); 32 bytes.
struct TSyslogStore::TCompact {
    const char* Text;
    int64_t Received;
    uint32_t Length;
    uint32_t Address;
    int32_t Facility;
    int8_t Severity;
    bool Read;
};

// The texts of all messages, packed into large blocks that never move.
class TSyslogStore::TArena {
public:
    static constexpr std::size_t BlockSize = std::size_t(1) << 20;

    const char* Copy(std::string_view text)
    {
        if (text.empty())
            return nullptr;
        if (m_Blocks.empty() || m_Free < text.size()) {
            std::size_t size = std::max(BlockSize, text.size());
            m_Blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
            m_Bytes += size;
            m_Free = size;
            m_LastSize = size;
        }
        char* at = m_Blocks.back().get() + (m_LastSize - m_Free);
        std::memcpy(at, text.data(), text.size());
        m_Free -= text.size();
        return at;
    }
    std::size_t Bytes() const { return m_Bytes; }

private:
    std::vector<std::unique_ptr<char[]>> m_Blocks;
    std::size_t m_Bytes = 0; // all blocks
    std::size_t m_LastSize = 0;
    std::size_t m_Free = 0; // at the end of the last block
};

TSyslogStore::TSyslogStore() : m_Texts(std::make_unique<TArena>()) {}

TSyslogStore::~TSyslogStore() = default;

TSyslogListNode TSyslogStore::Add(uint32_t address, std::string_view text, int64_t receivedMs)
{
    int facility = 0;
    int severity = 0;
    std::string message;
    ParseEvent(text, facility, severity, message);
    TCompact node{m_Texts->Copy(message), receivedMs, uint32_t(message.size()), address, facility,
                  int8_t(severity), false};
    m_ByAddress[address].push_back(uint32_t(m_Nodes.size()));
    m_Nodes.push_back(node);
    return Expand(m_Nodes.size() - 1);
}

void TSyslogStore::Clear()
{
    m_Nodes = {};
    m_ByAddress = {};
    m_Texts = std::make_unique<TArena>();
}

std::size_t TSyslogStore::Size() const { return m_Nodes.size(); }

TSyslogListNode TSyslogStore::InArrival(std::size_t i) const { return Expand(i); }

int TSyslogStore::Count(uint32_t address) const
{
    auto found = m_ByAddress.find(address);
    return found == m_ByAddress.end() ? 0 : int(found->second.size());
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
        for (uint32_t i : m_ByAddress[from]) {
            if (mark)
                m_Nodes[i].Read = true;
            out.push_back(Expand(i));
        }
    }
}

std::size_t TSyslogStore::MemoryUsed() const
{
    std::size_t bytes = m_Nodes.capacity() * sizeof(TCompact) + m_Texts->Bytes();
    for (const auto& entry : m_ByAddress)
        bytes += sizeof(entry) + entry.second.capacity() * sizeof(uint32_t);
    return bytes;
}

TSyslogListNode TSyslogStore::Expand(std::size_t i) const
{
    const TCompact& node = m_Nodes.at(i);
    TSyslogListNode out;
    out.Address = node.Address;
    out.Facility = node.Facility;
    out.Severity = node.Severity;
    out.Message.assign(node.Text ? node.Text : "", node.Length);
    out.EventId = int(i + 1);
    out.Received = node.Received;
    out.Read = node.Read;
    return out;
}

} // namespace Syslog
