// Parsing of syslog datagrams and the message store.
#include "core/SyslogStore.h"

#include <QtTest>

using namespace Syslog;

namespace {

constexpr uint32_t Addr(int a, int b, int c, int d) { return uint32_t(a << 24 | b << 16 | c << 8 | d); }

std::vector<int64_t> Ids(const std::vector<TSyslogListNode>& nodes)
{
    std::vector<int64_t> ids;
    for (const auto& node : nodes)
        ids.push_back(node.EventId);
    return ids;
}

} // namespace

class TestSyslog : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void texts();
    void eventIdsRestartAfterClear();
    void orderByAddress();
    void collectMarksRead();
    void largeAndOddTexts();
    void boundDiscardsOldest_data();
    void boundDiscardsOldest();
    void boundUnderLongFlood();
};

void TestSyslog::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("header");
    QTest::addColumn<int>("facility");
    QTest::addColumn<int>("severity");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("day with blank") << QByteArray("<13>Jan  5 10:20:30 sw1 link up") << true << 1 << 5
                                    << QByteArray("link up");
    QTest::newRow("two-digit day") << QByteArray("<13>Jan 05 10:20:30 sw1 link up") << true << 1 << 5
                                   << QByteArray("link up");
    QTest::newRow("lower-case month") << QByteArray("<13>jan  5 10:20:30 sw1 link up") << false << 1 << 5
                                      << QByteArray("<13>jan  5 10:20:30 sw1 link up");
    QTest::newRow("no priority") << QByteArray("hello") << false << 16 << 3 << QByteArray("hello");
    QTest::newRow("priority 200") << QByteArray("<200>Dec 31 23:59:59 sw2 fan") << true << 25 << 0 << QByteArray("fan");
    QTest::newRow("ends after host") << QByteArray("<13>Jan  5 10:20:30 sw1") << false << 1 << 5
                                     << QByteArray("<13>Jan  5 10:20:30 sw1");
    QTest::newRow("zero byte") << QByteArray("<13>Jan  5 10:20:30 sw1 cut\0here", 32) << true << 1 << 5
                               << QByteArray("cut");
    QTest::newRow("zero byte in header") << QByteArray("<13>Jan\0 5 10:20:30 sw1 x", 25) << false << 1 << 5
                                         << QByteArray("<13>Jan");
    QTest::newRow("empty") << QByteArray() << false << 16 << 3 << QByteArray();
    QTest::newRow("invalid UTF-8 kept") << QByteArray("<14>Feb 28 01:02:03 h \xff\xfe\xc3") << true << 1 << 6
                                        << QByteArray("\xff\xfe\xc3");
    QTest::newRow("no date") << QByteArray("<14>sw1 started") << false << 1 << 6 << QByteArray("<14>sw1 started");
    QTest::newRow("negative priority") << QByteArray("<-5>Jan  5 10:20:30 sw1 x") << false << 16 << 3
                                       << QByteArray("<-5>Jan  5 10:20:30 sw1 x");
    QTest::newRow("priority without close") << QByteArray("<13 Jan") << false << 16 << 3 << QByteArray("<13 Jan");
    QTest::newRow("blanks and sign in priority")
        << QByteArray("< +13>Jan  5 10:20:30 sw1 x") << true << 1 << 5 << QByteArray("x");
    QTest::newRow("header without priority")
        << QByteArray("Jan  5 10:20:30 sw1 x") << true << 17 << 8 << QByteArray("x");
    QTest::newRow("bad minutes") << QByteArray("<13>Jan  5 10:2x:30 sw1 x") << false << 1 << 5
                                 << QByteArray("<13>Jan  5 10:2x:30 sw1 x");
    QTest::newRow("empty message") << QByteArray("<13>Jan  5 10:20:30 sw1 ") << true << 1 << 5 << QByteArray();
}

void TestSyslog::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, header);
    QFETCH(int, facility);
    QFETCH(int, severity);
    QFETCH(QByteArray, message);
    int gotFacility = -1;
    int gotSeverity = -1;
    std::string gotMessage = "stale";
    QCOMPARE(
        ParseEvent(std::string_view(text.constData(), std::size_t(text.size())), gotFacility, gotSeverity, gotMessage),
        header);
    QCOMPARE(gotFacility, facility);
    QCOMPARE(gotSeverity, severity);
    QCOMPARE(QByteArray::fromStdString(gotMessage), message);

    TSyslogStore store;
    TSyslogListNode node = store.Add(Addr(10, 0, 0, 1), std::string_view(text.constData(), std::size_t(text.size())),
                                     42);
    QCOMPARE(node.Facility, facility);
    QCOMPARE(node.Severity, severity);
    QCOMPARE(QByteArray::fromStdString(node.Message), message);
    QCOMPARE(node.Received, int64_t(42));
    QVERIFY(!node.Read);
}

void TestSyslog::texts()
{
    QCOMPARE(FacilityText(1), std::string("user-level messages"));
    QCOMPARE(FacilityText(16), std::string("local use"));
    QCOMPARE(FacilityText(25), std::string("local use"));
    QCOMPARE(SeverityText(0), std::string("Emergency"));
    QCOMPARE(SeverityText(7), std::string("Debug"));
    QCOMPARE(SeverityText(8), std::string());
    QCOMPARE(SeverityImage(3), 0);
    QCOMPARE(SeverityImage(4), 1);
    QCOMPARE(SeverityImage(5), 2);
}

void TestSyslog::eventIdsRestartAfterClear()
{
    TSyslogStore store;
    QCOMPARE(store.Add(Addr(10, 0, 0, 1), "a", 0).EventId, int64_t(1));
    QCOMPARE(store.Add(Addr(10, 0, 0, 1), "b", 0).EventId, int64_t(2));
    store.Clear();
    QCOMPARE(store.Size(), std::size_t(0));
    QCOMPARE(store.Count(Addr(10, 0, 0, 1)), 0);
    TSyslogListNode node = store.Add(Addr(10, 0, 0, 3), "c", 0);
    QCOMPARE(node.EventId, int64_t(1));
    QCOMPARE(store.InArrival(0).Message, std::string("c"));
}

void TestSyslog::orderByAddress()
{
    TSyslogStore store;
    store.Add(Addr(10, 0, 0, 2), "first", 1);
    store.Add(Addr(10, 0, 0, 1), "second", 2);
    store.Add(Addr(10, 0, 0, 2), "third", 3);
    store.Add(Addr(192, 168, 0, 1), "fourth", 4); // above 2^31: ordered unsigned

    QCOMPARE(store.Count(Addr(10, 0, 0, 2)), 2);
    QCOMPARE(store.Count(Addr(10, 0, 0, 1)), 1);
    QCOMPARE(store.Count(Addr(10, 0, 0, 9)), 0);
    QCOMPARE(store.InArrival(1).Message, std::string("second"));

    std::vector<TSyslogListNode> all;
    store.Collect(0, all, false);
    QCOMPARE(Ids(all), (std::vector<int64_t>{2, 1, 3, 4}));
    QCOMPARE(all[0].Address, Addr(10, 0, 0, 1));

    std::vector<TSyslogListNode> one{TSyslogListNode{}};
    store.Collect(Addr(10, 0, 0, 2), one, false);
    QCOMPARE(Ids(one), (std::vector<int64_t>{0, 1, 3})); // appended after what was there
    store.Collect(Addr(10, 0, 0, 9), one, false);
    QCOMPARE(one.size(), std::size_t(3));
}

void TestSyslog::collectMarksRead()
{
    TSyslogStore store;
    store.Add(Addr(10, 0, 0, 2), "a", 0);
    store.Add(Addr(10, 0, 0, 1), "b", 0);

    std::vector<TSyslogListNode> unmarked;
    store.Collect(Addr(10, 0, 0, 2), unmarked, false);
    QVERIFY(!unmarked[0].Read);
    QVERIFY(!store.InArrival(0).Read);

    std::vector<TSyslogListNode> marked;
    store.Collect(Addr(10, 0, 0, 2), marked, true);
    QVERIFY(marked[0].Read); // marked before copying
    QVERIFY(store.InArrival(0).Read);
    QVERIFY(!store.InArrival(1).Read);
}

void TestSyslog::largeAndOddTexts()
{
    TSyslogStore store;
    std::string big(65535, 'x');
    big.replace(0, 4, "<13>");
    QCOMPARE(store.Add(Addr(10, 0, 0, 1), big, 0).Message.size(), big.size());
    for (uint32_t i = 0; i < 10000; ++i)
        store.Add(Addr(10, 1, 0, 0) + i, "<191>Jan  1 00:00:00 h m", 0);
    QCOMPARE(store.Count(Addr(10, 1, 0, 5)), 1);
    std::vector<TSyslogListNode> all;
    store.Collect(0, all, false);
    QCOMPARE(all.size(), std::size_t(10001));
    QCOMPARE(all.back().Address, Addr(10, 1, 0, 0) + 9999);
    QCOMPARE(all.back().Facility, 23);
    QCOMPARE(all.back().Severity, 7);

    // Texts spread over several blocks of the store's text memory come back unchanged.
    store.Clear();
    const std::size_t count = 40000;
    for (std::size_t i = 0; i < count; ++i)
        store.Add(Addr(10, 0, 0, 1), std::to_string(i) + std::string(100, char('a' + i % 26)), 0);
    for (std::size_t i : {std::size_t(0), count / 2, count - 1})
        QCOMPARE(store.InArrival(i).Message, std::to_string(i) + std::string(100, char('a' + i % 26)));
}

// Beyond either bound the oldest messages go, whoever sent them; the newest always stays.
// Messages are "sender:text" with the sender's last address byte.
void TestSyslog::boundDiscardsOldest_data()
{
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("textBytes");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("kept"); // store order (by address), as "eventId:text"
    QTest::addColumn<int>("discarded");
    const QStringList five = {"2:one", "1:two", "2:three", "1:four", "2:five"};
    QTest::newRow("within both") << 5 << 100 << five << QStringList{"2:two", "4:four", "1:one", "3:three", "5:five"}
                                 << 0;
    QTest::newRow("by count") << 3 << 100 << five << QStringList{"4:four", "3:three", "5:five"} << 2;
    QTest::newRow("a sender's last goes") << 2 << 100 << five << QStringList{"4:four", "5:five"} << 3;
    QTest::newRow("by text") << 100 << 12 << five << QStringList{"4:four", "5:five"} << 3;
    QTest::newRow("text exactly at the bound") << 100 << 13 << five << QStringList{"4:four", "3:three", "5:five"} << 2;
    QTest::newRow("one message beyond the text bound")
        << 100 << 3 << QStringList{"1:a", "2:longer than three"} << QStringList{"2:longer than three"} << 1;
    QTest::newRow("count 0 keeps one") << 0 << 100 << five << QStringList{"5:five"} << 4;
}

void TestSyslog::boundDiscardsOldest()
{
    QFETCH(int, messages);
    QFETCH(int, textBytes);
    QFETCH(QStringList, added);
    QFETCH(QStringList, kept);
    QFETCH(int, discarded);
    TSyslogStore store({std::size_t(messages), std::size_t(textBytes)});
    for (const QString& message : added)
        store.Add(Addr(10, 0, 0, message.section(':', 0, 0).toInt()), message.section(':', 1).toStdString(), 0);
    QCOMPARE(store.Discarded(), uint64_t(discarded));
    QCOMPARE(store.Size(), std::size_t(kept.size()));
    QCOMPARE(store.InArrival(0).EventId, int64_t(discarded + 1));
    std::vector<TSyslogListNode> all;
    store.Collect(0, all, false);
    QStringList got;
    for (const TSyslogListNode& node : all)
        got << QString::number(node.EventId) + ":" + QString::fromStdString(node.Message);
    QCOMPARE(got, kept);
    QCOMPARE(store.Count(Addr(10, 0, 0, 1)) + store.Count(Addr(10, 0, 0, 2)), int(kept.size()));
    store.Clear();
    QCOMPARE(store.Discarded(), uint64_t(0));
    QCOMPARE(store.Add(Addr(10, 0, 0, 1), "again", 0).EventId, int64_t(1));
}

// A flood far beyond the bound: the store keeps the newest in order with their own texts,
// marks read the messages it is asked to, and gives the memory of the old texts back.
void TestSyslog::boundUnderLongFlood()
{
    constexpr std::size_t Kept = 1000;
    TSyslogStore store({Kept, std::size_t(64) << 20});
    auto text = [](std::size_t i) { return std::to_string(i) + std::string(1000, char('a' + i % 26)); };
    std::size_t before = 0;
    const std::size_t count = 100000;
    for (std::size_t i = 0; i < count; ++i) {
        store.Add(Addr(10, 0, 0, 1 + int(i % 7)), text(i), 0);
        if (i + 1 == 2 * Kept)
            before = store.MemoryUsed();
    }
    QCOMPARE(store.Size(), Kept);
    QCOMPARE(store.Discarded(), uint64_t(count - Kept));
    for (std::size_t i : {std::size_t(0), Kept / 2, Kept - 1}) {
        QCOMPARE(store.InArrival(i).EventId, int64_t(count - Kept + i + 1));
        QCOMPARE(store.InArrival(i).Message, text(count - Kept + i));
    }
    // About one text block, a few hundred bytes of index: not a hundred megabytes of text.
    QVERIFY2(store.MemoryUsed() <= before + (std::size_t(1) << 20), qPrintable(QString::number(store.MemoryUsed())));

    std::vector<TSyslogListNode> third;
    store.Collect(Addr(10, 0, 0, 3), third, true);
    QCOMPARE(int(third.size()), store.Count(Addr(10, 0, 0, 3)));
    for (std::size_t k = 0; k < third.size(); ++k) {
        QCOMPARE(third[k].Message, text(std::size_t(third[k].EventId - 1)));
        QCOMPARE(third[k].EventId % 7, int64_t(3));
        if (k > 0)
            QCOMPARE(third[k].EventId, third[k - 1].EventId + 7);
    }
    for (std::size_t i = 0; i < Kept; ++i)
        QCOMPARE(store.InArrival(i).Read, store.InArrival(i).Address == Addr(10, 0, 0, 3));
}

QTEST_GUILESS_MAIN(TestSyslog)
#include "tst_syslog.moc"
