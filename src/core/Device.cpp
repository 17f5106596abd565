#include "Device.h"

#include <map>
#include <memory>

namespace Intp {

namespace {
TDeviceCallback* g_DeviceCallback = nullptr;
}

void SetDeviceCallback(TDeviceCallback* callback) { g_DeviceCallback = callback; }
TDeviceCallback* DeviceCallback() { return g_DeviceCallback; }

} // namespace Intp

namespace {

std::map<TMacAddr, std::unique_ptr<TDevice>>& Devices()
{
    static std::map<TMacAddr, std::unique_ptr<TDevice>> devices;
    return devices;
}

template <typename F>
void Report(F&& f)
{
    if (auto* cb = Intp::DeviceCallback())
        f(*cb);
}

} // namespace

struct TDeviceFactory {
    static TDevice* Create(const TMacAddr& mac)
    {
        static uint64_t serial = 0;
        auto* device = new TDevice(mac, ++serial);
        Devices().emplace(mac, std::unique_ptr<TDevice>(device));
        Report([&](Intp::TDeviceCallback& cb) { cb.DeviceCreated(device); });
        return device;
    }
};

TDevice::~TDevice()
{
    Report([&](Intp::TDeviceCallback& cb) { cb.DeviceDestroyed(this); });
}

void TDevice::SetType(int index)
{
    if (index == m_Type)
        return;
    m_Type = index;
    Report([&](Intp::TDeviceCallback& cb) { cb.TypeChanged(this); });
}

void TDevice::SetName(const std::string& name)
{
    if (name == m_Name)
        return;
    m_Name = name;
    Report([&](Intp::TDeviceCallback& cb) { cb.NameChanged(this); });
}

void TDevice::SetAddress(uint32_t address)
{
    if (address == m_Address)
        return;
    m_Address = address;
    Report([&](Intp::TDeviceCallback& cb) { cb.AddressChanged(this); });
}

void TDevice::SetFlags(uint32_t bits)
{
    uint32_t added = bits & ~m_Flags;
    if (!added)
        return;
    m_Flags |= bits;
    Report([&](Intp::TDeviceCallback& cb) { cb.FlagsChanged(this, added); });
}

void TDevice::ClearFlags(uint32_t bits)
{
    uint32_t removed = bits & m_Flags;
    if (!removed)
        return;
    m_Flags &= ~bits;
    Report([&](Intp::TDeviceCallback& cb) { cb.FlagsChanged(this, removed); });
}

namespace Registry {

TDevice* Find(const TMacAddr& mac, bool create)
{
    if (mac.IsNull() || mac.IsBroadcast())
        return nullptr;
    auto& devices = Devices();
    auto it = devices.find(mac);
    if (it != devices.end())
        return it->second.get();
    return create ? TDeviceFactory::Create(mac) : nullptr;
}

TDevice* FindByAddress(uint32_t address)
{
    for (auto& [mac, device] : Devices())
        if (device->Address() == address)
            return device.get();
    return nullptr;
}

void Clear()
{
    auto& devices = Devices();
    while (!devices.empty()) {
        // The device leaves the registry before it reports its destruction.
        auto node = devices.extract(devices.begin());
        node.mapped().reset();
    }
}

std::size_t Count() { return Devices().size(); }

void ForEach(const std::function<void(TDevice&)>& visit)
{
    for (auto& [mac, device] : Devices())
        visit(*device);
}

} // namespace Registry
