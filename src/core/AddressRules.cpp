#include "AddressRules.h"

#include <arpa/inet.h>

#include <array>
#include <cstdio>

uint32_t TextToAddress(std::string_view text)
{
    // inet_addr needs a terminated string; anything longer than a dotted form cannot parse.
    // It also stops quietly at a blank ("10.0.0.1 10.0.0.2" would be 10.0.0.1) or a zero
    // byte: the whole text must be digits, dots and the hexadecimal prefix.
    char buffer[64];
    if (text.size() >= sizeof buffer ||
        text.find_first_not_of("0123456789abcdefABCDEFxX.") != std::string_view::npos)
        return 0xFFFFFFFFu;
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return ntohl(inet_addr(buffer));
}

std::string AddressToText(uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

bool IsValidHostAddress(uint32_t address)
{
    return address != 0 && address != 0xFFFFFFFFu && (address >> 24) != 127;
}

bool IsValidMask(uint32_t mask)
{
    // Contiguous from the top: the inverted mask plus one is a power of two.
    return mask != 0 && ((~mask + 1) & ~mask) == 0;
}

bool ParseMacText(std::string_view text, TMacAddr& mac)
{
    if (text.size() != 12)
        return false;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::array<uint8_t, 6> bytes{};
    for (int i = 0; i < 6; ++i) {
        int high = digit(text[2 * i]);
        int low = digit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[i] = uint8_t(high << 4 | low);
    }
    mac = TMacAddr(bytes);
    return true;
}
