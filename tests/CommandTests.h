// Helpers of the command-group tests: payloads between Qt's and the engine's byte types, and
// the check that a Set starts its Get before it reports.
#pragma once

#include "FakeSessionCallback.h"

#include <QtTest>

#include <utility>

// Valid flag and entry count (0 for a record without a list) of the device's cached record.
template <typename R>
std::pair<bool, int> RecordStateOf(TDevice& device)
{
    R& record = Intp::GetProperty<R>(device);
    if constexpr (requires { record.Entries; })
        return {record.Valid, int(record.Entries.size())};
    else
        return {record.Valid, 0};
}

inline std::vector<uint8_t> Vector(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

inline QByteArray Bytes(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

// Remembers how many datagrams had gone out when each result arrived.
struct TReceiver : Intp::TWizard {
    TFakeSessionCallback* Fake = nullptr;
    std::vector<std::pair<uint16_t, std::size_t>> Seen; // command, datagrams sent by then
    void OnResult(TDevice*, uint16_t command, uint16_t, void*) override { Seen.emplace_back(command, Fake->Sent.size()); }
};

// Answers the Set that start(receiver) sends to the device at address with status: the
// Get goes out first (a plain Get request, no receiver), then the Set reports.
template <typename Start>
void CheckSetStartsItsGet(TFakeSessionCallback* fake, uint32_t address, const TMacAddr& mac, uint16_t set,
                          uint16_t get, uint16_t status, Start start)
{
    TReceiver receiver;
    receiver.Fake = fake;
    QVERIFY(start(&receiver));
    Deliver(address, MakeDatagram(set, status, mac, {0, 0, 0, 0}));
    QCOMPARE(fake->Sent.size(), std::size_t(2));
    const auto& request = fake->Sent.back().Bytes;
    QCOMPARE(Intp::ReadU16(request.data()), get);
    QCOMPARE(Bytes(request).mid(int(Intp::HeaderSize)), QByteArray(4, '\0'));
    QCOMPARE(receiver.Seen, (std::vector<std::pair<uint16_t, std::size_t>>{{set, 2}}));
    QCOMPARE(fake->Results.back().Status, status);
    QCOMPARE(Intp::PendingSessions().size(), std::size_t(1));
    QVERIFY(!Intp::PendingSessions().front()->Receiver());
}
