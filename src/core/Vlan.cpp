#include "Vlan.h"

#include <algorithm>

namespace Intp {

void TPropertyVlan8021q::Decode(TReader& r)
{
    Gvrp = r.Bool();
    ManagementVid = r.U16();
}

void TPropertyVlan8021q::Encode(TWriter& w) const
{
    w.Bool(Gvrp);
    w.U16(ManagementVid);
}

void TPropertyVlanPortEntry::Decode(TReader& r)
{
    Vid = r.U16();
    Members = r.U32();
    Name = r.Text(VlanNameWidth);
}

uint16_t TPropertyVlanPort::Check(const TDevice& device, const std::vector<Entry>&, const Entry& entry)
{
    if (entry.Vid < MinVlanId || entry.Vid > MaxVlanId)
        return stListCount;
    // Shifted in 64 bits, so that 32 logical ports allow every bit.
    if (entry.Members == 0 || uint64_t(entry.Members) >> std::clamp(device.LogicalPortCount(), 0, 32))
        return stListRange;
    return entry.Name.empty() ? stListOverlap : stSuccess;
}

void TPropertyVlan8021qPortEntry::Decode(TReader& r)
{
    Vid = r.U16();
    Untagged = r.U32();
    Tagged = r.U32();
}

bool TPropertyVlan8021qPort::TakeApart(TPropertyVlan8021qPort& record, const Entry& entry)
{
    if (entry.Vid != 0)
        return false;
    record.HybridMask = entry.Untagged;
    return true;
}

bool TSessionVlan8021qPortSet::BuildRequest(TDevice&, std::vector<uint8_t>& payload)
{
    if (m_Words.empty() || m_Words.back() != 0 || m_Words.size() * 2 > MaxDatagram - 1 - HeaderSize)
        return false;
    payload.clear();
    TWriter writer(payload);
    for (uint16_t word : m_Words)
        writer.U16(word);
    return true;
}

TVlanPortSettings PortSettingsFrom(const TPropertyVlan8021qPort& list, uint8_t port)
{
    const uint32_t bit = uint32_t(1) << (port % 32);
    TVlanPortSettings settings;
    settings.Port = port;
    for (const TPropertyVlan8021qPortEntry& entry : list.Entries) {
        if (entry.Untagged & bit)
            settings.Untagged = entry.Vid;
        if (entry.Tagged & bit)
            settings.Tagged.push_back(entry.Vid);
    }
    if (!settings.Tagged.empty())
        settings.LinkType = (list.HybridMask & bit) ? ltHybrid : lt8021q;
    return settings;
}

bool ParseTaggedVids(std::string_view text, std::vector<uint16_t>& vids)
{
    constexpr std::string_view Separators = ", \t";
    std::vector<uint16_t> parsed;
    std::size_t pos = text.find_first_not_of(Separators);
    while (pos != std::string_view::npos) {
        const std::size_t end = std::min(text.find_first_of(Separators, pos), text.size());
        uint16_t vid = 0;
        for (std::size_t i = pos; i < end && text[i] >= '0' && text[i] <= '9'; ++i)
            vid = uint16_t(vid * 10 + (text[i] - '0'));
        if (vid < MinVlanId || vid > MaxVlanId)
            return false;
        parsed.push_back(vid);
        pos = text.find_first_not_of(Separators, end);
    }
    vids = std::move(parsed);
    return true;
}

void AppendPortWords(const TVlanPortSettings& port, std::vector<uint16_t>& words)
{
    words.push_back(uint16_t(port.Port << 8 | port.LinkType));
    words.push_back(port.Untagged);
    words.insert(words.end(), port.Tagged.begin(), port.Tagged.end());
    words.push_back(0);
}

std::vector<std::vector<uint16_t>> SplitPortSettings(const std::vector<TVlanPortSettings>& ports)
{
    std::vector<std::vector<uint16_t>> buffers(1);
    for (const TVlanPortSettings& port : ports) {
        std::vector<uint16_t>& last = buffers.back();
        const std::size_t before = last.size();
        AppendPortWords(port, last);
        if (last.size() >= PortSetWordLimit) {
            std::vector<uint16_t> moved(last.begin() + std::ptrdiff_t(before), last.end());
            last.resize(before);
            buffers.push_back(std::move(moved));
        }
    }
    return buffers;
}

std::string NumberListText(const std::vector<uint16_t>& numbers)
{
    std::string text;
    for (uint16_t n : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(n);
    }
    return text;
}

std::string MaskPortsText(uint32_t mask)
{
    std::vector<uint16_t> ports;
    for (uint16_t bit = 0; bit < 32; ++bit)
        if (mask & (uint32_t(1) << bit))
            ports.push_back(uint16_t(bit + 1));
    return NumberListText(ports);
}

} // namespace Intp
