// Helpers of the command-group tests: payloads between Qt's and the engine's byte types, and
// the check that a Set starts its Get before it reports.
#pragma once

#include "FakeSessionCallback.h"

#include <QtTest>

#include <memory>
#include <utility>

inline QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

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

// Each session's Name() is the text paired with it; the sessions are deleted.
inline void CheckNames(const std::vector<std::pair<Intp::TSession*, const char*>>& sessions)
{
    for (auto [session, name] : sessions) {
        QCOMPARE(session->Name(), name);
        delete session;
    }
}

// One logged-in device of 8 ports and 4 trunk groups at Address, made afresh for each test
// function (OpenDevice in init, CloseDevice in cleanup), and the replies it is given.
class TCommandFixture {
protected:
    static constexpr uint32_t Address = 0xC0000201;

    void OpenDevice()
    {
        m_Setup = std::make_unique<TFakeDeviceSetup>(Address);
        m_Fake = m_Setup->Fake;
        m_Device = m_Setup->Device;
        m_Device->SetLoggedIn(true);
    }
    void CloseDevice() { m_Setup.reset(); }

    void Reply(int command, const QByteArray& payload, uint16_t status = 0)
    {
        Deliver(Address, MakeDatagram(uint16_t(command), status, Mac(1), Vector(payload)));
    }
    // The last reported status, -1 when none was reported.
    int LastStatus() const { return m_Fake->Results.empty() ? -1 : m_Fake->Results.back().Status; }

    virtual ~TCommandFixture() = default;
    virtual bool StartGet(int command) = 0;
    // Valid flag and entry count of the record the Get fills.
    virtual std::pair<bool, int> State(int command) = 0;

    // The table of CheckGetReply: a Get given the payload reports the status and ends; its
    // record is valid exactly when the status is 0, and then holds that many entries.
    static void GetReplyColumns()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries");
    }
    static void GetReplyRow(const char* name, int command, const QByteArray& payload, int status, int entries)
    {
        QTest::newRow(name) << command << payload << status << entries;
    }
    void CheckGetReply()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(int, status);
        QFETCH(int, entries);
        QVERIFY(StartGet(command));
        Reply(command, payload);
        QCOMPARE(LastStatus(), status);
        QCOMPARE(State(command), std::make_pair(status == 0, entries));
        QVERIFY(Intp::PendingSessions().empty());
    }

    std::unique_ptr<TFakeDeviceSetup> m_Setup;
    TFakeSessionCallback* m_Fake = nullptr;
    TDevice* m_Device = nullptr;
};
