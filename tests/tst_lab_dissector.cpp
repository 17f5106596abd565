// The Wireshark dissector against a capture of the console in the lab: tshark records the
// lab link while the window discovers, logs in, opens every page once and sets a system
// name and port mirroring; decoded with the dissector, every protocol datagram is
// recognised without a malformed or expert mark, except one datagram sent with a wrong
// length field on purpose, and the fields show the values that were set.
#include "LabSupport.h"

#include "core/Basics.h"
#include "core/Monitor.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace {

QStringList Decode(const QString& capture, const QStringList& args)
{
    QProcess p;
    p.start("tshark",
            QStringList{"-n", "-X", "lua_script:" + qEnvironmentVariable("ZODE_DISSECTOR"), "-r", capture} + args);
    p.waitForFinished(120000);
    QStringList lines;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            lines << QString::fromUtf8(line);
    return lines;
}

void Visit(QTreeWidgetItem* item, const std::function<void(QTreeWidgetItem*)>& visit)
{
    visit(item);
    for (int i = 0; i < item->childCount(); ++i)
        Visit(item->child(i), visit);
}

} // namespace

class TLabDissectorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        if (QStandardPaths::findExecutable("tshark").isEmpty())
            QSKIP("tshark is not installed");
    }

    void consoleRunDecodes()
    {
        QTemporaryDir dir;
        const QString capture = dir.filePath("console.pcapng");
        QProcess tshark;
        tshark.start("tshark", {"-n", "-q", "-i", "eth0", "-i", "eth1", "-w", capture});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(capture).size() > 0, 10000);
        QTest::qWait(500);

        auto form = MakeLabWindow();
        form->findChild<QAction*>("acDiscovery")->trigger();
        TDevice* d = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((d = Registry::FindByAddress(Addr("192.0.2.10"))) &&
                                     form->Navigator().IndexOf(d).isValid() && !d->Name().empty(),
                                 5000);
        form->Navigator().SelectDevices({d});
        form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(d->IsLoggedIn());
        TModuleFrame* frame = form->DevicesModule();
        QTreeWidget* tree = frame->Tree();
        int pages = 0;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            Visit(tree->topLevelItem(i), [&](QTreeWidgetItem* item) {
                tree->setCurrentItem(item);
                QTest::qWait(100);
                QTRY_VERIFY_WITH_TIMEOUT(Intp::PendingSessions().empty(), 5000);
                ++pages;
            });
        QVERIFY(pages > 40);
        Intp::StartNew<Intp::TSessionBasicsSettingsSet>(d, nullptr,
                                                        Intp::TBasicsSettingsTexts{"WIRE-NAME", "d", "l", "c"});
        Intp::TPropertyMonitorMirror mirror;
        mirror.SrcRx = 0x5;
        mirror.SrcTx = 0x30;
        Intp::StartNew<Intp::TSessionMonitorMirrorSet>(d, nullptr, mirror);
        QTRY_VERIFY_WITH_TIMEOUT(Intp::PendingSessions().empty() && d->Name() == "WIRE-NAME", 5000);

        // One datagram whose length field claims more than it carries.
        QUdpSocket odd;
        const QByteArray bad = QByteArray::fromHex("0007"
                                                   "0000"
                                                   "0063"
                                                   "025a0d0a0001"
                                                   "00000000");
        odd.writeDatagram(bad, QHostAddress("192.0.2.10"), 1638);
        QTest::qWait(1000);
        form.reset();
        tshark.terminate();
        QVERIFY(tshark.waitForFinished(10000));

        const int udp = Decode(capture, {"-Y", "udp.port == 1638"}).size();
        QVERIFY2(udp > 100, qPrintable(QString::number(udp)));
        QCOMPARE(Decode(capture, {"-Y", "zode"}).size(), udp);
        const QStringList marked = Decode(capture,
                                          {"-Y", "_ws.malformed || _ws.expert", "-T", "fields", "-e", "zode.length"});
        QCOMPARE(marked, QStringList{"99"});
        const QStringList names = Decode(
            capture, {"-Y", "zode.system_name == \"WIRE-NAME\"", "-T", "fields", "-e", "zode.command"});
        QVERIFY(names.contains("261") && names.contains("260"));
        QVERIFY(!Decode(capture,
                        {"-Y",
                         "zode.source_rx_ports == \"1,3\" && zode.source_tx_ports == \"5-6\" && zode.command == 2564"})
                     .isEmpty());
        QVERIFY(!Decode(capture, {"-Y", "zode.address == 192.0.2.10 && zode.command == 262"}).isEmpty());
    }
};

QTEST_MAIN(TLabDissectorTest)
#include "tst_lab_dissector.moc"
