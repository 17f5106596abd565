// The device tree's grouping and selection rules, without widgets.
#include "CommandTests.h"

#include "core/DeviceGroups.h"
#include "core/DeviceType.h"

#include <QtTest>

namespace {

Filter::TFilterSettingsServer* TwoSubnets()
{
    static Filter::TFilterSettingsServer filter;
    filter.Settings.LocalSubnets = {{0xC0000201, 0xFFFFFF00}, {0xC6336401, 0xFFFFFF00}};
    filter.Settings.Unicast = {{0xCB007105, 0xFFFFFFFF}};
    return &filter;
}

} // namespace

class TGroupsTest : public QObject, public TCommandFixture {
    Q_OBJECT

private slots:
    void init() { OpenSessions(); }
    void cleanup() { Close(); }

    void keysAndCaptions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<uint32_t>("address");
        QTest::addColumn<uint32_t>("keyAddress");
        QTest::addColumn<uint32_t>("keyMask");
        QTest::addColumn<QString>("caption");
        QTest::newRow("none") << int(TDeviceGroups::smNone) << 0xC0000205u << 0u << 0u << "All Devices";
        QTest::newRow("address") << int(TDeviceGroups::smAddress) << 0xC0000205u << 0xC0000205u << 0u << "192.0.2.5";
        QTest::newRow("filter: subnet") << int(TDeviceGroups::smFilter) << 0xC6336409u << 0xC6336401u << 0xFFFFFF00u
                                        << "198.51.100.1/255.255.255.0";
        QTest::newRow("filter: unicast before subnets")
            << int(TDeviceGroups::smFilter) << 0xCB007105u << 0u << 0u << "Unicast Devices";
        QTest::newRow("filter: others last")
            << int(TDeviceGroups::smFilter) << 0x0A000001u << 0xFFFFFFFFu << 0xFFFFFFFFu << "Others";
    }
    void keysAndCaptions()
    {
        QFETCH(int, mode);
        QFETCH(uint32_t, address);
        TDeviceGroups groups([] { return TwoSubnets(); });
        groups.SetSortMode(TDeviceGroups::TSortMode(mode));
        TDevice* d = DeviceAt(1, address);
        std::string caption;
        TDeviceGroups::TKey key = groups.KeyOf(*d, &caption);
        QTEST(key.Address, "keyAddress");
        QTEST(key.Mask, "keyMask");
        QTEST(QString::fromStdString(caption), "caption");
    }

    void shownAndOrdered()
    {
        int model = Intp::RegisterKnownModels()[0];
        TDeviceGroups noFilter(nullptr);
        TDevice* d = DeviceAt(1, 0x0A000001);
        QVERIFY(!noFilter.IsShown(*d)); // not recognised
        d->SetType(model);
        QVERIFY(noFilter.IsShown(*d));
        d->SetAddress(0);
        QVERIFY(!noFilter.IsShown(*d));

        TDeviceGroups groups(nullptr);
        groups.SetSortMode(TDeviceGroups::smAddress);
        for (uint32_t address : {0xC0000209u, 0x0A000001u, 0xC0000205u})
            groups.InsertGroup({address, 0}, "");
        QCOMPARE(groups.Groups()[0]->Key.Address, 0x0A000001u);
        QCOMPARE(groups.Groups()[2]->Key.Address, 0xC0000209u); // unsigned, not signed order
        QCOMPARE(groups.GroupPosition({0xC0000206, 0}), std::size_t(2));
    }

    void sortModeKeepsTreeOrder()
    {
        TDeviceGroups groups(nullptr);
        groups.SetSortMode(TDeviceGroups::smAddress);
        std::vector<TDevice*> devices;
        for (uint8_t i : {3, 1, 2}) {
            TDevice* d = DeviceAt(i, 0x0A000000u + i);
            devices.push_back(d);
            groups.Append(groups.InsertGroup(groups.KeyOf(*d), ""), d);
        }
        groups.SetSortMode(TDeviceGroups::smNone);
        QCOMPARE(groups.Groups().size(), std::size_t(1));
        // Tree order under the old mode was by address: 1, 2, 3.
        QCOMPARE(groups.AllDevices(), (std::vector<TDevice*>{devices[1], devices[2], devices[0]}));
        QCOMPARE(groups.RowOf(devices[0]), 2);
    }

    // Nodes 1 to 9 are modules or groups; 10 and up are devices under node n / 10.
    void selectionRule_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("previous");
        QTest::addColumn<QList<int>>("kept");
        QTest::newRow("siblings stay") << 11 << QList<int>{11, 12, 13} << QList<int>{} << QList<int>{11, 12, 13};
        QTest::newRow("other group dropped") << 11 << QList<int>{11, 21, 12} << QList<int>{} << QList<int>{11, 12};
        QTest::newRow("module ends multiple selection")
            << 3 << QList<int>{3, 11, 12} << QList<int>{11, 12} << QList<int>{3};
        QTest::newRow("group with devices") << 2 << QList<int>{2, 21} << QList<int>{} << QList<int>{2};
        QTest::newRow("earlier ones keep their places")
            << 13 << QList<int>{11, 12, 13} << QList<int>{13, 12} << QList<int>{13, 12, 11};
    }
    void selectionRule()
    {
        QFETCH(int, current);
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, previous);
        std::vector<int> kept = KeepSelection(
            current, std::vector<int>(selected.begin(), selected.end()),
            std::vector<int>(previous.begin(), previous.end()), [](int n) { return n >= 10; },
            [](int n) { return n / 10; });
        QTEST(QList<int>(kept.begin(), kept.end()), "kept");
    }
};

QTEST_GUILESS_MAIN(TGroupsTest)
#include "tst_groups.moc"
