// The table of switch models the console knows. Index 0 is the unrecognised model;
// models are recognised by a 32-bit key taken from the MD5 digest of the model string.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace Intp {

struct TDeviceType {
    std::string Description;
    int32_t PortCount = 0;
    int32_t TrunkCount = 0;
    int32_t Reserved1 = 0;
    int32_t RecipientCount = 0;
    int32_t AccessListCount = 0;
    int32_t CommunityCount = 0;
    int32_t Reserved2 = 0;
    std::vector<uint32_t> ModelKeys;
};

// First four bytes of MD5(model) read as a little-endian 32-bit value.
uint32_t ModelKey(std::string_view model);

// Appends an entry and adds the key of each model string; returns the entry's index.
int RegisterType(const TDeviceType& descriptor, std::initializer_list<std::string_view> models);
bool AddModelKey(int index, std::string_view model);
// First entry from index 1 upward that holds the key; 0 when none does.
int TypeOfKey(uint32_t key);

int TypeCount();
const TDeviceType& DeviceType(int index);
const std::string& Description(int index);
int PortCount(int index);
int TrunkCount(int index);
int RecipientCount(int index);
int AccessListCount(int index);
int CommunityCount(int index);

// The six known models, registered once (later calls return the same indices).
struct TKnownModel {
    const char* Model;
    const char* Description;
};
extern const TKnownModel KnownModels[6];
const std::vector<int>& RegisterKnownModels();

} // namespace Intp
