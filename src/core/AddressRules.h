// How every page and dialog converts and judges address texts. Addresses are IPv4 values
// in host order.
#pragma once

#include "MacAddr.h"

#include <cstdint>
#include <string>
#include <string_view>

// The forms of inet_addr (a, a.b, a.b.c, a.b.c.d; decimal, octal, hexadecimal parts), the
// whole text; 255.255.255.255 when the text cannot be converted or has more after them.
uint32_t TextToAddress(std::string_view text);
std::string AddressToText(uint32_t address);
// Not 0.0.0.0, not 255.255.255.255, not in 127.0.0.0/8.
bool IsValidHostAddress(uint32_t address);
// Not 0, and all one-bits contiguous from the top bit.
bool IsValidMask(uint32_t mask);
// Exactly 12 hexadecimal digits of either case, read in pairs.
bool ParseMacText(std::string_view text, TMacAddr& mac);
