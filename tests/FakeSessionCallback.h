// A session manager for tests: a manual clock instead of timers, a list of sent
// datagrams instead of a socket, and a list of reported results.
#pragma once

#include "core/DeviceType.h"
#include "core/Dispatch.h"
#include "core/Session.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TSentDatagram {
    uint32_t Address;
    std::vector<uint8_t> Bytes;
};

struct TReportedResult {
    TDevice* Device;
    uint16_t Code;
    uint16_t Status;
    Intp::TResultData Data;
    Intp::TWizard* Receiver;
    std::string Name;
};

class TFakeSessionCallback : public Intp::TSessionCallback {
public:
    struct TTimer {
        unsigned Interval;
        bool Enabled;
        uint64_t Due;
    };

    uint64_t Now = 0;
    std::map<Intp::TSession*, TTimer> Timers;
    std::vector<TSentDatagram> Sent;
    std::vector<TReportedResult> Results;

    TFakeSessionCallback() { Intp::SetSessionCallback(this); }
    ~TFakeSessionCallback() override
    {
        Intp::DestroyPendingSessions();
        Intp::SetSessionCallback(nullptr);
    }

    void StartTimer(Intp::TSession* session, unsigned interval) override
    {
        if (!session || Timers.count(session))
            return;
        unsigned ms = Intp::EffectiveInterval(interval);
        Timers[session] = {ms, true, Now + ms};
    }
    void StopTimer(Intp::TSession* session) override { Timers.erase(session); }
    void EnableTimer(Intp::TSession* session, bool on) override
    {
        auto it = Timers.find(session);
        if (it == Timers.end())
            return;
        it->second.Enabled = on;
        if (on)
            it->second.Due = Now + it->second.Interval;
    }
    void SendTo(uint32_t address, const uint8_t* bytes, std::size_t length) override
    {
        Sent.push_back({address, std::vector<uint8_t>(bytes, bytes + length)});
    }
    void Result(TDevice* device, uint16_t code, uint16_t status, const Intp::TResultData& data, Intp::TWizard* receiver,
                const char* name) override
    {
        Results.push_back({device, code, status, data, receiver, name ? name : ""});
        if (receiver)
            receiver->OnResult(device, code, status, data);
    }
    void SetInterval(Intp::TSession* session, unsigned interval) override
    {
        auto it = Timers.find(session);
        if (it != Timers.end())
            it->second.Interval = Intp::EffectiveInterval(interval);
    }

    // Moves the clock forward, firing every due tick in time order; periodic timers
    // fire again after each interval.
    void Advance(uint64_t ms)
    {
        uint64_t end = Now + ms;
        for (;;) {
            Intp::TSession* next = nullptr;
            uint64_t due = end + 1;
            for (auto& [session, timer] : Timers)
                if (timer.Enabled && timer.Due < due) {
                    due = timer.Due;
                    next = session;
                }
            if (!next || due > end)
                break;
            Now = due;
            Timers[next].Due = due + Timers[next].Interval;
            next->OnTimeout();
        }
        Now = end;
    }
};

// Builds a reply datagram: header plus payload.
inline std::vector<uint8_t> MakeDatagram(uint16_t command, uint16_t status, const TMacAddr& mac,
                                         const std::vector<uint8_t>& payload, int lengthField = -1)
{
    std::vector<uint8_t> datagram(Intp::HeaderSize);
    uint16_t length = lengthField < 0 ? uint16_t(payload.size()) : uint16_t(lengthField);
    Intp::WriteHeader(datagram.data(), command, status, length, mac.Data());
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return datagram;
}

inline TMacAddr Mac(uint8_t last, uint8_t first = 0x00)
{
    return TMacAddr(std::array<uint8_t, 6>{first, 0x0A, 0x1B, 0x2C, 0x3D, last});
}

// Hands a datagram to the receive dispatch as if it came from address.
inline void Deliver(uint32_t address, const std::vector<uint8_t>& datagram)
{
    Intp::Dispatch(address, datagram.data(), datagram.size());
}

// A device of MAC Mac(last), made if the registry has none, at address.
inline TDevice* DeviceAt(uint8_t last, uint32_t address)
{
    TDevice* device = Registry::Find(Mac(last), true);
    device->SetAddress(address);
    return device;
}

// A device at the address its replies come from in the engine tests: the MAC's last byte.
inline TDevice* AtOwnAddress(uint8_t last) { return DeviceAt(last, last); }

// The fake callback over an empty registry; a test makes one in init() and deletes it in
// cleanup(). The pending sessions go before the devices.
struct TFakeSessions {
    TFakeSessionCallback* Fake = nullptr;

    TFakeSessions()
    {
        Registry::Clear();
        Fake = new TFakeSessionCallback;
    }
    virtual ~TFakeSessions()
    {
        delete Fake;
        Registry::Clear();
    }
    TFakeSessions(const TFakeSessions&) = delete;
    TFakeSessions& operator=(const TFakeSessions&) = delete;
};

// The fake callback and a registry of one device of a known model (8 ports, 4 trunk
// groups) at an address.
struct TFakeDeviceSetup : TFakeSessions {
    TDevice* Device = nullptr;

    explicit TFakeDeviceSetup(uint32_t address)
    {
        Device = Registry::Find(Mac(1), true);
        Device->SetType(Intp::RegisterKnownModels()[0]);
        Device->SetAddress(address);
    }
};
