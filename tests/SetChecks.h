// What every Set session does with its reply, checked the same way for every command group.
#pragma once

#include "FakeSessionCallback.h"

#include <QtTest>

#include <functional>

// Remembers how many datagrams had gone out when each result arrived.
struct TSeenResults : Intp::TWizard {
    TFakeSessionCallback* Fake = nullptr;
    std::vector<std::pair<uint16_t, std::size_t>> Seen; // command, datagrams sent by then
    void OnResult(TDevice*, uint16_t command, uint16_t, void*) override { Seen.emplace_back(command, Fake->Sent.size()); }
};

// Rows of (Set, its Get, reply status) for the pairs, each with status 0 and 5.
inline void AddSetGetRows(std::initializer_list<std::pair<int, int>> pairs)
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("get");
    QTest::addColumn<int>("status");
    for (auto [set, get] : pairs)
        for (int status : {0, 5}) {
            const QByteArray name = "0x0" + QByteArray::number(set, 16) + " status " + QByteArray::number(status);
            QTest::newRow(name.constData()) << set << get << status;
        }
}

// Starts the Set with a receiver through start, answers it with the row's status and checks
// that the matching Get went out first (without receiver), then the Set reported.
inline void CheckSetStartsItsGet(TFakeSessionCallback* fake, uint32_t address, const TMacAddr& mac,
                                 const std::function<bool(int command, Intp::TWizard* receiver)>& start)
{
    QFETCH(int, command);
    QFETCH(int, get);
    QFETCH(int, status);
    TSeenResults receiver;
    receiver.Fake = fake;
    QVERIFY(start(command, &receiver));
    Deliver(address, MakeDatagram(uint16_t(command), uint16_t(status), mac, {0, 0, 0, 0}));
    QCOMPARE(fake->Sent.size(), std::size_t(2));
    const auto& request = fake->Sent.back().Bytes;
    QCOMPARE(int(Intp::ReadU16(request.data())), get);
    QCOMPARE(std::vector<uint8_t>(request.begin() + Intp::HeaderSize, request.end()), std::vector<uint8_t>(4, 0));
    QCOMPARE(receiver.Seen, (std::vector<std::pair<uint16_t, std::size_t>>{{uint16_t(command), 2}}));
    QCOMPARE(int(fake->Results.back().Status), status);
    QCOMPARE(Intp::PendingSessions().size(), std::size_t(1));
    QVERIFY(!Intp::PendingSessions().front()->Receiver());
}
