// Addresses (IPv4 in host order, MAC) as the widgets show and read them, by the shared
// address rules.
#pragma once

#include "core/AddressRules.h"
#include "core/MacAddr.h"

#include <QString>

#include <cstdint>

inline QString AddressText(uint32_t address) { return QString::fromStdString(AddressToText(address)); }
// 255.255.255.255 when the text is no address.
inline uint32_t AddressOf(const QString& text) { return TextToAddress(text.toStdString()); }

// The MAC's colon form and its twelve digits without colons.
inline QString MacText(const TMacAddr& mac) { return QString::fromStdString(mac.Text()); }
inline QString MacDigits(const TMacAddr& mac) { return MacText(mac).remove(QLatin1Char(':')); }
