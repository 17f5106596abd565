// Addresses (IPv4, host order) as the widgets show and read them, by the shared address rules.
#pragma once

#include "devices/AddressRules.h"

#include <QString>

#include <cstdint>

inline QString AddressText(uint32_t address) { return QString::fromStdString(AddressToText(address)); }
// 255.255.255.255 when the text is no address.
inline uint32_t AddressOf(const QString& text) { return TextToAddress(text.toStdString()); }
