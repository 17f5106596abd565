// The per-device cache of decoded records. Each record type T is a plain structure
// whose first field is the valid flag and which names its Get command:
//     static constexpr uint16_t GetCommand = ...;
// The cache key of a record is that command code shifted left by 16.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

namespace Intp {

class PropertyBase {
public:
    virtual ~PropertyBase() = default;
    // Copies the other record into this one when both hold the same record type.
    virtual void Assign(const PropertyBase& other) = 0;
};

template <typename T>
class Property : public PropertyBase {
public:
    T Value{};

    void Assign(const PropertyBase& other) override
    {
        if (auto* same = dynamic_cast<const Property<T>*>(&other))
            Value = same->Value;
    }
};

using PropertyMap = std::map<int32_t, std::unique_ptr<PropertyBase>>;

template <typename T>
constexpr int32_t PropertyKey()
{
    return int32_t(uint32_t(T::GetCommand) << 16);
}

// The record of type T in the map; an empty record (valid false) is created on first use.
template <typename T>
T& GetProperty(PropertyMap& map)
{
    auto& slot = map[PropertyKey<T>()];
    auto* typed = dynamic_cast<Property<T>*>(slot.get());
    if (!typed) {
        // Absent, or (by a programming error) another type under the same key.
        auto fresh = std::make_unique<Property<T>>();
        typed = fresh.get();
        slot = std::move(fresh);
    }
    return typed->Value;
}

} // namespace Intp
