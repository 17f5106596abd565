// One switch the console has heard from, and the process-wide registry of them keyed by MAC.
#pragma once

#include "DeviceType.h"
#include "MacAddr.h"
#include "Property.h"

#include <cstdint>
#include <functional>
#include <string>

class TDevice;

namespace Intp {

// Told of every change of a device; the main window keeps its tree in step through it.
class TDeviceCallback {
public:
    virtual ~TDeviceCallback() = default;
    virtual void DeviceCreated(TDevice* device) = 0;
    virtual void DeviceDestroyed(TDevice* device) = 0;
    virtual void FlagsChanged(TDevice* device, uint32_t bits) = 0;
    virtual void AddressChanged(TDevice* device) = 0;
    virtual void TypeChanged(TDevice* device) = 0;
    virtual void NameChanged(TDevice* device) = 0;
};

void SetDeviceCallback(TDeviceCallback* callback);
TDeviceCallback* DeviceCallback();

} // namespace Intp

class TDevice {
public:
    static constexpr uint32_t flLoggedIn = 1;
    static constexpr uint32_t flWarning = 8;

    TDevice(const TDevice&) = delete;
    TDevice& operator=(const TDevice&) = delete;
    ~TDevice();

    const TMacAddr& Mac() const { return m_Mac; }
    // Unique for the life of the process: a device made again for the same MAC (after a new
    // discovery) is another device.
    uint64_t Serial() const { return m_Serial; }
    int Type() const { return m_Type; }
    const std::string& Name() const { return m_Name; }
    uint32_t Address() const { return m_Address; }
    uint32_t Flags() const { return m_Flags; }
    Intp::PropertyMap& Properties() { return m_Properties; }

    void SetType(int index);
    void SetName(const std::string& name);
    void SetAddress(uint32_t address);
    void SetFlags(uint32_t bits);
    void ClearFlags(uint32_t bits);
    void SetLoggedIn(bool on) { on ? SetFlags(flLoggedIn) : ClearFlags(flLoggedIn); }
    bool IsLoggedIn() const { return HasFlags(flLoggedIn); }
    bool HasFlags(uint32_t bits) const { return (m_Flags & bits) == bits; }
    // Set when one of its requests is answered, cleared when one times out: requests to a
    // device that does not answer (yet) get only part of the engine's send window.
    bool Answers() const { return m_Answers; }
    void SetAnswers(bool on) { m_Answers = on; }

    const std::string& TypeDescription() const { return Intp::Description(m_Type); }
    int PortCount() const { return Intp::PortCount(m_Type); }
    int TrunkCount() const { return Intp::TrunkCount(m_Type); }
    int LogicalPortCount() const { return PortCount() + TrunkCount(); }
    int RecipientCount() const { return Intp::RecipientCount(m_Type); }
    int AccessListCount() const { return Intp::AccessListCount(m_Type); }
    int CommunityCount() const { return Intp::CommunityCount(m_Type); }

private:
    friend struct TDeviceFactory;
    TDevice(const TMacAddr& mac, uint64_t serial) : m_Mac(mac), m_Serial(serial) {}

    const TMacAddr m_Mac;
    const uint64_t m_Serial;
    int m_Type = 0;
    std::string m_Name;
    uint32_t m_Address = 0;
    uint32_t m_Flags = 0;
    bool m_Answers = false;
    Intp::PropertyMap m_Properties;
};

namespace Intp {

template <typename T>
T& GetProperty(TDevice& device)
{
    return GetProperty<T>(device.Properties());
}

} // namespace Intp

namespace Registry {

// The registered device of this MAC; a new one when create is set and none exists;
// null for the all-zero and all-ones MACs.
TDevice* Find(const TMacAddr& mac, bool create);
// First device in MAC order with this address.
TDevice* FindByAddress(uint32_t address);
// Destroys every device, one after the other.
void Clear();
std::size_t Count();
// Visits the devices in MAC order. The visitor must not create or destroy devices.
void ForEach(const std::function<void(TDevice&)>& visit);

} // namespace Registry
