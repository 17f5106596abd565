#include "DeviceType.h"

#include <openssl/evp.h>

#include <algorithm>

namespace Intp {

namespace {

std::vector<TDeviceType>& Table()
{
    static std::vector<TDeviceType> table = [] {
        std::vector<TDeviceType> t;
        TDeviceType unknown;
        unknown.Description = "Unknown Intp Compatible Device";
        t.push_back(std::move(unknown));
        return t;
    }();
    return table;
}

} // namespace

uint32_t ModelKey(std::string_view model)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(model.data(), model.size(), digest, &size, EVP_md5(), nullptr);
    return uint32_t(digest[0]) | uint32_t(digest[1]) << 8 | uint32_t(digest[2]) << 16 |
           uint32_t(digest[3]) << 24;
}

int RegisterType(const TDeviceType& descriptor, std::initializer_list<std::string_view> models)
{
    auto& table = Table();
    TDeviceType entry = descriptor;
    entry.ModelKeys.clear();
    table.push_back(std::move(entry));
    int index = int(table.size()) - 1;
    for (auto model : models)
        AddModelKey(index, model);
    return index;
}

bool AddModelKey(int index, std::string_view model)
{
    auto& table = Table();
    if (index <= 0 || index >= int(table.size()))
        return false;
    uint32_t key = ModelKey(model);
    if (TypeOfKey(key) != 0)
        return false;
    table[index].ModelKeys.push_back(key);
    return true;
}

int TypeOfKey(uint32_t key)
{
    auto& table = Table();
    for (size_t i = 1; i < table.size(); ++i) {
        const auto& keys = table[i].ModelKeys;
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            return int(i);
    }
    return 0;
}

int TypeCount() { return int(Table().size()); }
const TDeviceType& DeviceType(int index) { return Table()[index]; }
const std::string& Description(int index) { return Table()[index].Description; }
int PortCount(int index) { return Table()[index].PortCount; }
int TrunkCount(int index) { return Table()[index].TrunkCount; }
int RecipientCount(int index) { return Table()[index].RecipientCount; }
int AccessListCount(int index) { return Table()[index].AccessListCount; }
int CommunityCount(int index) { return Table()[index].CommunityCount; }

const TKnownModel KnownModels[6] = {
    {"KX40-TX", "8 port 10/100BaseTX Management Ethernet Switch"},
    {"KX40-SS", "6 port 10/100BaseTX+ 2 port 100FX Single mode Management Ethernet Switch"},
    {"KX40-MM", "6 port 10/100BaseTX+ 2 port 100FX Multi mode Management Ethernet Switch"},
    {"KX40-GT", "6 port 10/100BaseTX+ 2 port 1000BaseTX Management Ethernet Switch"},
    {"KX40-GS", "6 port 10/100BaseTX+ 2 port 1000Base Single mode Management Ethernet Switch"},
    {"KX40-GM", "6 port 10/100BaseTX+ 2 port 1000Base Multi mode Management Ethernet Switch"},
};

const std::vector<int>& RegisterKnownModels()
{
    static const std::vector<int> indices = [] {
        std::vector<int> result;
        for (const auto& known : KnownModels) {
            TDeviceType type;
            type.Description = known.Description;
            type.PortCount = 8;
            type.TrunkCount = 4;
            type.Reserved1 = 4;
            type.RecipientCount = 6;
            type.AccessListCount = 10;
            type.CommunityCount = 4;
            type.Reserved2 = 128;
            result.push_back(RegisterType(type, {known.Model}));
        }
        return result;
    }();
    return indices;
}

} // namespace Intp
