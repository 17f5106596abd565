// The syslog socket and its worker over real UDP on loopback.
#include "core/SyslogStore.h"
#include "net/SyslogFile.h"
#include "net/SyslogSocketThread.h"

#include <QDomDocument>
#include <QFile>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

using namespace Syslog;

namespace {

constexpr uint32_t Loopback = 0x7F000001;

struct TReceived {
    uint32_t Address;
    QByteArray Text;
};

// A worker and socket on a free loopback port, recording every hand-over.
struct TReceiver {
    QList<TReceived> Received;
    TSyslogSocketThread Worker{[this](uint32_t address, std::string_view text) {
        Received.append({address, QByteArray(text.data(), qsizetype(text.size()))});
    }};
    TSyslogSocket Socket{&Worker, 0};
};

} // namespace

class TestSyslogTransport : public QObject {
    Q_OBJECT
private slots:
    void burstArrivesInOrder();
    void datagrams_data();
    void datagrams();
    void idleWorkerSuspendsAndResumes();
    void portInUseIsReported();
    void bindErrorText_data();
    void bindErrorText();
    void saveInListOrder();
    void saveFailsOnBadPath();
};

void TestSyslogTransport::burstArrivesInOrder()
{
    TReceiver receiver;
    QVERIFY(receiver.Socket.IsOpen());
    QVERIFY(receiver.Socket.BindError().isEmpty());
    QUdpSocket peer;
    // Bursts of 50 stay within the kernel's receive buffer on a loaded machine, where 500 at
    // once may overflow it before the socket is read; the order is kept across bursts.
    constexpr int Burst = 500;
    constexpr int Chunk = 50;
    for (int first = 0; first < Burst; first += Chunk) {
        for (int i = first; i < first + Chunk; ++i)
            peer.writeDatagram(QByteArray("<13>Jan  5 10:20:30 sw ") + QByteArray::number(i), QHostAddress::LocalHost,
                               receiver.Socket.LocalPort());
        QTRY_COMPARE_WITH_TIMEOUT(receiver.Received.size(), first + Chunk, 10000);
    }
    for (int i = 0; i < Burst; ++i) {
        QCOMPARE(receiver.Received[i].Address, Loopback);
        QVERIFY(receiver.Received[i].Text.endsWith(" " + QByteArray::number(i)));
    }
    QCOMPARE(receiver.Worker.Dropped(), uint64_t(0));
}

void TestSyslogTransport::datagrams_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("zero byte") << QByteArray("<13>Jan  5 10:20:30 sw a\0b", 26) << QByteArray("a");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QByteArray largest(65507, 'm'); // the largest UDP payload over IPv4
    QTest::newRow("largest") << largest << largest;
}

void TestSyslogTransport::datagrams()
{
    QFETCH(QByteArray, datagram);
    QFETCH(QByteArray, stored);
    TReceiver receiver;
    QUdpSocket peer;
    QCOMPARE(peer.writeDatagram(datagram, QHostAddress::LocalHost, receiver.Socket.LocalPort()),
             qint64(datagram.size()));
    QTRY_COMPARE(receiver.Received.size(), 1);
    QCOMPARE(receiver.Received[0].Text, datagram); // handed on whole; the parser cuts
    TSyslogStore store;
    const QByteArray& text = receiver.Received[0].Text;
    QCOMPARE(QByteArray::fromStdString(
                 store.Add(Loopback, std::string_view(text.data(), std::size_t(text.size())), 0).Message),
             stored);
}

void TestSyslogTransport::idleWorkerSuspendsAndResumes()
{
    TReceiver receiver;
    QVERIFY(receiver.Worker.IsSuspended()); // created suspended
    receiver.Worker.Enqueue(Loopback, "one");
    QVERIFY(!receiver.Worker.IsSuspended());
    QTRY_COMPARE(receiver.Received.size(), 1);
    QTRY_COMPARE(receiver.Worker.QueueSize(), std::size_t(0));
    receiver.Worker.IdleTick();
    QVERIFY(receiver.Worker.IsSuspended());
    receiver.Worker.Enqueue(Loopback, "two");
    QTRY_COMPARE(receiver.Received.size(), 2);
    QCOMPARE(receiver.Received[1].Text, QByteArray("two"));
}

void TestSyslogTransport::portInUseIsReported()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    TSyslogSocketThread worker([](uint32_t, std::string_view) {});
    TSyslogSocket socket(&worker, holder.localPort());
    QVERIFY(!socket.IsOpen());
    QVERIFY(!socket.BindError().isEmpty());
}

void TestSyslogTransport::bindErrorText_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("namesPrivilege");

    QTest::newRow("refused low port") << int(QAbstractSocket::SocketAccessError) << 514 << true;
    QTest::newRow("refused high port") << int(QAbstractSocket::SocketAccessError) << 5140 << false;
    QTest::newRow("in use") << int(QAbstractSocket::AddressInUseError) << 514 << false;
}

void TestSyslogTransport::bindErrorText()
{
    QFETCH(int, error);
    QFETCH(int, port);
    QFETCH(bool, namesPrivilege);
    QString text = TSyslogSocket::BindErrorText(QAbstractSocket::SocketError(error), "Cause", quint16(port));
    QVERIFY(text.startsWith("Cause"));
    QCOMPARE(text.contains("CAP_NET_BIND_SERVICE"), namesPrivilege);
}

void TestSyslogTransport::saveInListOrder()
{
    TSyslogStore store;
    const int64_t at = 1700000000123;
    store.Add(0x0A000002, "<13>Jan  5 10:20:30 sw2 first", at);
    store.Add(0x0A000001, "plain", at + 1000);
    store.Add(0x0A000002, std::string_view("<200>Feb 10 01:02:03 sw2 odd \xff\x01 & <x>"), at + 2000);
    std::vector<TSyslogListNode> list;
    store.Collect(0, list, false);
    QTemporaryDir dir;
    QString name = dir.filePath("events.xml");
    QFile old(name);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than nothing");
    old.close();
    QVERIFY(SaveEvents(list, name));

    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\"?>\n<Syslog>\n  <Entry EventId=\"2\">\n    <Facility>"));
    QDomDocument document;
    QVERIFY(bool(document.setContent(bytes)));
    QDomElement root = document.documentElement();
    QCOMPARE(root.tagName(), QString("Syslog"));
    struct TExpected {
        int EventId;
        const char* Facility;
        const char* Severity;
        const char* Address;
        int64_t Received;
        QString Message;
    };
    const TExpected expected[] = {{2, "16", "3", "10.0.0.1", at + 1000, "plain"},
                                  {1, "1", "5", "10.0.0.2", at, "first"},
                                  {3, "25", "0", "10.0.0.2", at + 2000, QString("odd \uFFFD\uFFFD & <x>")}};
    QDomElement entry = root.firstChildElement();
    for (const TExpected& e : expected) {
        QCOMPARE(entry.tagName(), QString("Entry"));
        QCOMPARE(entry.attribute("EventId"), QString::number(e.EventId));
        QStringList names;
        for (QDomElement child = entry.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
            names << child.tagName();
        QCOMPARE(names, QStringList({"Facility", "Severity", "Address", "Time", "Message"}));
        QCOMPARE(entry.firstChildElement("Facility").text(), QString(e.Facility));
        QCOMPARE(entry.firstChildElement("Severity").text(), QString(e.Severity));
        QCOMPARE(entry.firstChildElement("Address").text(), QString(e.Address));
        QCOMPARE(entry.firstChildElement("Time").text(), ReceivedText(e.Received));
        QCOMPARE(entry.firstChildElement("Message").text(), e.Message);
        entry = entry.nextSiblingElement();
    }
    QVERIFY(entry.isNull());
    QDateTime local = QDateTime::fromMSecsSinceEpoch(at).toLocalTime();
    QCOMPARE(ReceivedText(at),
             QLocale().toString(local.date(), QLocale::ShortFormat) + ' ' +
                 QLocale().toString(local.time(), QLocale::LongFormat));
}

void TestSyslogTransport::saveFailsOnBadPath()
{
    QTemporaryDir dir;
    QVERIFY(!SaveEvents({}, dir.filePath("missing/events.xml")));
}

QTEST_GUILESS_MAIN(TestSyslogTransport)
#include "tst_syslog_transport.moc"
