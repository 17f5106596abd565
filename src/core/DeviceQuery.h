// What the operator typed to find devices in the tree: one text matched against each
// device's name, model string and model description (anywhere, any case), dotted address (from the start) and MAC
// (hexadecimal digits anywhere, with or without colons or dashes).
#pragma once

#include "Device.h"

#include <string>
#include <string_view>

class TDeviceQuery {
public:
    TDeviceQuery() = default;
    explicit TDeviceQuery(std::string_view text);

    // An empty query matches every device.
    bool IsEmpty() const { return m_Lower.empty(); }
    bool Matches(const TDevice& device) const;

private:
    std::string m_Lower;   // trimmed, lower case
    std::string m_Hex;     // upper-case hexadecimal digits when the text can be part of a MAC
    bool m_Dotted = false; // only digits and dots: can be the start of an address
};

// Whether the needle (already lower case) stands anywhere in the text, in any case.
bool ContainsFolded(std::string_view text, std::string_view lowerNeedle);
