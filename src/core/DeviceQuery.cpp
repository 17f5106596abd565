#include "DeviceQuery.h"

#include "AddressRules.h"
#include "DeviceType.h"

#include <algorithm>
#include <cctype>

namespace {

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

// The model string ("KX40-TX") of a known type; empty for others.
std::string_view ModelName(int type)
{
    const std::vector<int>& known = Intp::RegisterKnownModels();
    for (std::size_t i = 0; i < known.size(); ++i)
        if (known[i] == type)
            return Intp::KnownModels[i].Model;
    return {};
}

} // namespace

bool ContainsFolded(std::string_view text, std::string_view lowerNeedle)
{
    return std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(),
                       [](char a, char b) { return Lower(a) == b; }) != text.end();
}

TDeviceQuery::TDeviceQuery(std::string_view text)
{
    auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    m_Lower.reserve(text.size());
    for (char c : text)
        m_Lower.push_back(Lower(c));
    m_Dotted = !m_Lower.empty() && std::all_of(m_Lower.begin(), m_Lower.end(), [](char c) {
        return c == '.' || std::isdigit(static_cast<unsigned char>(c));
    });
    bool hex = true;
    for (char c : m_Lower) {
        if (std::isxdigit(static_cast<unsigned char>(c)))
            m_Hex.push_back(char(std::toupper(static_cast<unsigned char>(c))));
        else if (c != ':' && c != '-')
            hex = false;
    }
    if (!hex)
        m_Hex.clear();
}

bool TDeviceQuery::Matches(const TDevice& device) const
{
    if (m_Lower.empty())
        return true;
    if (ContainsFolded(device.Name(), m_Lower) || ContainsFolded(ModelName(device.Type()), m_Lower) ||
        ContainsFolded(device.TypeDescription(), m_Lower))
        return true;
    if (m_Dotted && AddressToText(device.Address()).starts_with(m_Lower))
        return true;
    if (m_Hex.empty())
        return false;
    static constexpr char Digits[] = "0123456789ABCDEF";
    char mac[12];
    for (int i = 0; i < 6; ++i) {
        mac[2 * i] = Digits[device.Mac()[i] >> 4];
        mac[2 * i + 1] = Digits[device.Mac()[i] & 0xF];
    }
    return std::string_view(mac, sizeof mac).find(m_Hex) != std::string_view::npos;
}
