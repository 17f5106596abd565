// Helpers of the command-group tests: payloads between Qt's and the engine's byte types, and
// the fixture of the core suites, with the checks they share.
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
    if constexpr (requires { R::List(record); })
        return {record.Valid, int(R::List(record).size())};
    else if constexpr (requires { record.Entries; })
        return {record.Valid, int(record.Entries.size())};
    else
        return {record.Valid, 0};
}

inline std::vector<uint8_t> Vector(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

inline QByteArray Bytes(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

// Each session's Name() is the text paired with it; the sessions are deleted.
inline void CheckNames(const std::vector<std::pair<Intp::TSession*, const char*>>& sessions)
{
    for (auto [session, name] : sessions) {
        QCOMPARE(session->Name(), name);
        delete session;
    }
}

// The fake session callback over an empty registry, made afresh for each test function
// (OpenSessions or OpenDevice in init, Close in cleanup). OpenDevice adds one logged-in
// device of 8 ports and 4 trunk groups at Address; the suite's Gets and sample Sets to it
// drive the shared checks.
class TCommandFixture {
protected:
    static constexpr uint32_t Address = 0xC0000201;

    // The fake callback alone: the test makes its devices itself.
    void OpenSessions()
    {
        m_Sessions = std::make_unique<TFakeSessions>();
        m_Fake = m_Sessions->Fake;
        m_Device = nullptr;
    }
    void OpenDevice()
    {
        auto setup = std::make_unique<TFakeDeviceSetup>(Address);
        m_Fake = setup->Fake;
        m_Device = setup->Device;
        m_Device->SetLoggedIn(true);
        m_Sessions = std::move(setup);
    }
    void Close()
    {
        m_Sessions.reset();
        m_Fake = nullptr;
        m_Device = nullptr;
    }

    // A reply of the device at Address.
    void Reply(int command, const std::vector<uint8_t>& payload, uint16_t status = 0)
    {
        Deliver(Address, MakeDatagram(uint16_t(command), status, Mac(1), payload));
    }
    void Reply(int command, const QByteArray& payload, uint16_t status = 0) { Reply(command, Vector(payload), status); }
    // The last reported status, -1 when none was reported.
    int LastStatus() const { return m_Fake->Results.empty() ? -1 : m_Fake->Results.back().Status; }

    virtual ~TCommandFixture() = default;
    // The suite's Get of command, without a receiver (none in a suite without Gets).
    virtual bool StartGet(int) { return false; }
    // Valid flag and entry count of the record the Get fills.
    virtual std::pair<bool, int> State(int) { return {}; }
    // A reply the Get takes, and the entries its record then holds.
    struct TAnswer {
        QByteArray Payload;
        int Entries = 0;
    };
    virtual TAnswer GoodAnswer(int) { return {}; }
    // The suite's sample Set (Add, Del or clear) numbered sample, reporting to receiver.
    virtual bool SampleSet(int, Intp::TWizard*) { return false; }

    // For StartGet: the Get among Gets whose command is command, without a receiver.
    template <typename... Gets>
    bool StartGetOf(int command)
    {
        bool started = false;
        ((Gets::Command == command && (started = Intp::StartNew<Gets>(m_Device, nullptr), true)) || ...);
        return started;
    }
    // For State: the state of the record among Records that the Get of command fills.
    template <typename... Records>
    std::pair<bool, int> StateOf(int command)
    {
        std::pair<bool, int> state;
        ((Records::GetCommand == command && (state = RecordStateOf<Records>(*m_Device), true)) || ...);
        return state;
    }

    // Starts the Get and answers it with payload, which it takes.
    void Answer(int command, const QByteArray& payload)
    {
        QVERIFY(StartGet(command));
        Reply(command, payload);
        QCOMPARE(LastStatus(), 0);
    }

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

    // The first columns of a table for CheckSecondReply; the suite adds what it checks after.
    static void SecondReplyColumns()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("replyStatus");
        QTest::addColumn<int>("status");
    }
    // A row of that table, for the suite's further columns to follow.
    static QTestData& SecondReplyRow(const QByteArray& name, int command, const QByteArray& payload, int status,
                                     int replyStatus = 0)
    {
        return QTest::newRow(name.constData()) << command << payload << replyStatus << status;
    }
    // The name of a row about command: what, then the command in hex ("... of 0x0204").
    static QByteArray RowName(const char* what, int command)
    {
        return what + (" 0x0" + QByteArray::number(command, 16));
    }
    // The Get, taking its good answer first, is started again and given the row's payload
    // with its replyStatus: that reply reports the row's status under the Get's command and
    // ends the Get.
    void CheckSecondReply()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, payload);
        QFETCH(int, replyStatus);
        QFETCH(int, status);
        const TAnswer good = GoodAnswer(command);
        Answer(command, good.Payload);
        QCOMPARE(State(command), std::make_pair(true, good.Entries));
        QVERIFY(StartGet(command));
        Reply(command, payload, uint16_t(replyStatus));
        QCOMPARE(m_Fake->Results.size(), std::size_t(2));
        QCOMPARE(int(m_Fake->Results.back().Code), command);
        QCOMPARE(LastStatus(), status);
        QVERIFY(Intp::PendingSessions().empty());
    }

    // A Set, Add or Del that started exactly when it was to be sent: then it went out and
    // waits for its reply, else nothing went out.
    void CheckSentWhen(bool started, bool sent)
    {
        QCOMPARE(started, sent);
        QCOMPARE(m_Fake->Sent.size(), std::size_t(sent ? 1 : 0));
        QCOMPARE(Intp::PendingSessions().size(), std::size_t(sent ? 1 : 0));
    }

    // The table of CheckSetRequest: the whole datagram of each sample Set.
    static void SetRequestColumns()
    {
        QTest::addColumn<int>("sample");
        QTest::addColumn<QByteArray>("datagram");
    }
    void CheckSetRequest()
    {
        QFETCH(int, sample);
        QFETCH(QByteArray, datagram);
        QVERIFY(SampleSet(sample, nullptr));
        QCOMPARE(Bytes(m_Fake->Sent.back().Bytes).toHex(), datagram.toHex());
    }

    // The table of CheckSetStartsItsGet: the sample Set, its command, the Get it starts and
    // the status of the Set's reply.
    static void SetStartsItsGetColumns()
    {
        QTest::addColumn<int>("sample");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("get");
        QTest::addColumn<int>("status");
    }
    // A row of a suite whose sample Sets are numbered by their commands.
    static void SetStartsItsGetRow(const char* name, int set, int get, int status)
    {
        QTest::newRow(name) << set << set << get << status;
    }
    // Such rows "0x0nnn status s" of the Sets in sets (command, Get), for each status.
    static void SetStartsItsGetRows(std::initializer_list<std::pair<int, int>> sets,
                                    std::initializer_list<int> statuses)
    {
        for (auto [set, get] : sets)
            for (int status : statuses) {
                const QByteArray name = "0x0" + QByteArray::number(set, 16) + " status " + QByteArray::number(status);
                SetStartsItsGetRow(name.constData(), set, get, status);
            }
    }
    // The sample Set's reply is answered with the status: the Get goes out first (a plain
    // Get request, no receiver), then the Set reports.
    void CheckSetStartsItsGet()
    {
        struct TReceiver : Intp::TWizard {
            TFakeSessionCallback* Fake = nullptr;
            std::vector<std::pair<uint16_t, std::size_t>> Seen; // command, datagrams sent by then
            void OnResult(TDevice*, uint16_t command, uint16_t, const Intp::TResultData&) override
            {
                Seen.emplace_back(command, Fake->Sent.size());
            }
        };
        QFETCH(int, sample);
        QFETCH(int, command);
        QFETCH(int, get);
        QFETCH(int, status);
        TReceiver receiver;
        receiver.Fake = m_Fake;
        QVERIFY(SampleSet(sample, &receiver));
        Reply(command, std::vector<uint8_t>{0, 0, 0, 0}, uint16_t(status));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        const auto& request = m_Fake->Sent.back().Bytes;
        QCOMPARE(int(Intp::ReadU16(request.data())), get);
        QCOMPARE(Bytes(request).mid(int(Intp::HeaderSize)), QByteArray(4, '\0'));
        QCOMPARE(receiver.Seen, (std::vector<std::pair<uint16_t, std::size_t>>{{uint16_t(command), 2}}));
        QCOMPARE(LastStatus(), status);
        QCOMPARE(Intp::PendingSessions().size(), std::size_t(1));
        QVERIFY(!Intp::PendingSessions().front()->Receiver());
    }

    std::unique_ptr<TFakeSessions> m_Sessions;
    TFakeSessionCallback* m_Fake = nullptr;
    TDevice* m_Device = nullptr;
};
