// The five monitor and diagnostic pages, offscreen, driven through the main window: their
// fetch chains, what they show from the records (and without them), sorting, the mirroring
// editors, log pages, and the exact requests of "&Clear" and "&Apply".
#include "PageTests.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextBlock>
#include <QTreeView>

using namespace Intp;

namespace {

constexpr uint16_t NamesGet = 0x0200, ConfigGet = 0x0201, StatusGet = 0x0203, MacGet = 0x0A00, MacClear = 0x0A01,
                   CountersGet = 0x0A02, CountersClear = 0x0A03, MirrorGet = 0x0A04, MirrorSet = 0x0A05,
                   EventGet = 0x0A06, EventClear = 0x0A07, LldpGet = 0x0B00, LldpSet = 0x0B01;
constexpr int Ports = 8; // of the known models, with 4 trunk groups
const char* const MacPath = "Monitor And Diagnostic/MAC Address Table";
const char* const PortPath = "Monitor And Diagnostic/Port Statistics";
const char* const MirrorPath = "Monitor And Diagnostic/Port Mirroring";
const char* const EventPath = "Monitor And Diagnostic/System Event Log";
const char* const LldpPath = "Monitor And Diagnostic/LLDP";
const TBytes Nothing = {0, 0, 0, 0};

struct TMacRow {
    uint8_t Port;
    uint8_t Last;
    bool Static;
};

TBytes MacTable(std::initializer_list<TMacRow> rows)
{
    TBytes out(4, 0);
    for (const TMacRow& r : rows)
        out = Concat({out, {r.Port, 0x02, 0, 0, 0, 0, r.Last, uint8_t(r.Static ? 1 : 0)}});
    return out;
}

// Port status: type 1000TX, link up on odd ports, enabled.
TBytes PortStatus()
{
    TBytes out;
    for (int i = 0; i < Ports; ++i)
        out = Concat({out, {1, uint8_t(i % 2), 1, 0, 0}});
    return out;
}

TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// Counters of port i: TX good from txGood, the others i.
TBytes Counters(const std::vector<uint32_t>& txGood)
{
    TBytes out;
    for (std::size_t i = 0; i < txGood.size(); ++i) {
        out = Concat({out, U32(txGood[i])});
        for (int c = 1; c < 6; ++c)
            out = Concat({out, U32(uint32_t(i))});
    }
    return out;
}

TBytes Text(const std::string& text)
{
    TBytes out(text.begin(), text.end());
    out.resize(128, 0);
    return out;
}

QStringList ViewColumn(QWidget* page, int column)
{
    QStringList texts;
    QAbstractItemModel* model = Child<QTreeView>(page, "m_List")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QString LabelText(QWidget* page, const char* name) { return Child<QLabel>(page, name)->text(); }

} // namespace

class TMonitorPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    // The MAC table page open on the devices, the first answered along the whole chain.
    QWidget* LoadMac(const TBytes& table, std::initializer_list<TDevice*> devices)
    {
        Select(devices);
        QWidget* page = Open(MacPath);
        TDevice* d = *devices.begin();
        Reply(d, NamesGet, 0, PortNames());
        Reply(d, ConfigGet, 0, PortConfig({0, 1, 2, 8}));
        Reply(d, MacGet, 0, table);
        m_Fake->Sent.clear();
        return page;
    }
    QWidget* LoadCounters(const TBytes& counters, std::initializer_list<TDevice*> devices)
    {
        Select(devices);
        QWidget* page = Open(PortPath);
        Reply(*devices.begin(), StatusGet, 0, PortStatus());
        Reply(*devices.begin(), CountersGet, 0, counters);
        m_Fake->Sent.clear();
        return page;
    }
    // The event log in datagrams of 5 lines, an empty one after a full last one.
    void ReplyEvents(TDevice* d, int count)
    {
        for (int first = 0;; first += 5) {
            TBytes payload(4, 0);
            for (int i = first; i < std::min(count, first + 5); ++i)
                payload = Concat({payload, Text("2026/12/10 #" + std::to_string(i + 1)), Text("Port link up")});
            Reply(d, EventGet, 0, payload);
            if (count - first < 5)
                break;
        }
    }

private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void catalogue()
    {
        CheckCatalogued(
            PortPath, "Port Statistics",
            {"Port", "Type", "Link", "State", "TX Good", "TX Bad", "RX Good", "RX Bad", "TX Abort", "Collision"});
        CheckCatalogued(MirrorPath, "Port Mirroring", {"Port No.", "Source TX", "Source RX"});
        CheckCatalogued(EventPath, "System Event Log", {});
        CheckCatalogued(LldpPath, "LLDP", {});
        CheckCatalogued(MacPath, "MAC Address Table", {});
        auto* view = Child<QTreeView>(PageAt(MacPath), "m_List");
        QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("MAC Address"));
        QCOMPARE(view->model()->headerData(2, Qt::Horizontal).toString(), QString("Type"));
        for (const char* path : {MacPath, PortPath, EventPath}) {
            auto* clear = Child<QPushButton>(PageAt(path), "m_Clear");
            QCOMPARE(clear->text(), QString("&Clear"));
            QVERIFY(clear->isDefault());
            QCOMPARE(clear->icon().cacheKey(), Icon(TImage::Clear).cacheKey());
        }
    }

    void pagesWithoutDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("MAC") << MacPath
                             << QStringList{"m_Port", "m_PortLabel", "m_List", "m_Dynamic", "m_Static", "m_Clear"};
        QTest::newRow("statistics") << PortPath << QStringList{"m_List", "m_Clear"};
        QTest::newRow("mirroring") << MirrorPath << QStringList{"m_DestTx", "m_DestRx", "m_ListView", "m_SrcTx",
                                                                "m_SrcRx",  "m_Clear",  "m_Apply"};
        QTest::newRow("event log") << EventPath << QStringList{"m_Pages", "m_PagesLabel", "m_Log", "m_Clear"};
        QTest::newRow("LLDP") << LldpPath
                              << QStringList{"m_Enable", "m_EnableLabel", "m_Interval", "m_SecLabel", "m_Apply"};
    }
    void pagesWithoutDevice()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, controls);
        CheckEnabled(Unselected(path.toLatin1().constData()), controls, false);
    }

    // ---- MAC Address Table -----------------------------------------------------------------

    // Names, then configuration, then the table, each after the one before came back valid;
    // a refresh asks for the table alone, "&Clear" clears every selected switch.
    void macChain()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(MacPath);
        QCOMPARE(TakeSent(), (TSentList{To(NamesGet, a), To(NamesGet, b)}));
        Reply(a, NamesGet, 0, PortNames());
        QCOMPARE(TakeSent(), TSentList{To(ConfigGet, a)});
        Reply(b, NamesGet, 5, PortNames());
        QVERIFY(TakeSent().isEmpty());
        Reply(a, ConfigGet, 0, PortConfig({0, 2, 8}));
        QCOMPARE(TakeSent(), TSentList{To(MacGet, a)});
        Reply(a, MacGet, 0, MacTable({{2, 1, false}, {0, 2, false}, {2, 3, true}, {8, 4, false}, {2, 5, false}}));
        QCOMPARE(Items(Child<QComboBox>(page, "m_Port")), (QStringList{"Port-1", "Port-3", "Trunk-1"}));
        QCOMPARE(ViewColumn(page, 0), QStringList{"1"});
        QCOMPARE(ViewColumn(page, 1), QStringList{"02:00:00:00:00:02"});
        QCOMPARE(LabelText(page, "m_Dynamic"), QString("1"));

        // Entries of one port in arrival order, counted for that port only.
        Child<QComboBox>(page, "m_Port")->setCurrentIndex(1);
        QCOMPARE(ViewColumn(page, 0), (QStringList{"1", "2", "3"}));
        QCOMPARE(ViewColumn(page, 1), (QStringList{"02:00:00:00:00:01", "02:00:00:00:00:03", "02:00:00:00:00:05"}));
        QCOMPARE(ViewColumn(page, 2), (QStringList{"Dynamic", "Static", "Dynamic"}));
        QCOMPARE(LabelText(page, "m_Dynamic"), QString("2"));
        QCOMPARE(LabelText(page, "m_Static"), QString("1"));

        QCOMPARE(Frame()->ModuleOf(Frame()->FindNode(MacPath))->Refresh(false), 2);
        QCOMPARE(TakeSent(), (TSentList{To(MacGet, a), To(MacGet, b)}));
        Child<QPushButton>(page, "m_Clear")->click();
        QCOMPARE(TakeRequests(), (QStringList{Request(MacClear, a, Nothing), Request(MacClear, b, Nothing)}));
    }

    // Rows stay in arrival order until a header is clicked; each header's first click sorts
    // ascending, the next descending, the number column as integers.
    void macSorting()
    {
        QWidget* page = LoadMac(MacTable({{0, 0xB0, false},
                                          {0, 0xA0, true},
                                          {0, 0xC0, false},
                                          {0, 0x10, false},
                                          {0, 0x20, false},
                                          {0, 0x30, false},
                                          {0, 0x40, false},
                                          {0, 0x50, false},
                                          {0, 0x60, false},
                                          {0, 0x70, false}}),
                                {AddLoggedIn(1)});
        QCOMPARE(ViewColumn(page, 0).mid(0, 3), (QStringList{"1", "2", "3"}));
        auto* header = Child<QTreeView>(page, "m_List")->header();
        emit header->sectionClicked(0);
        QCOMPARE(ViewColumn(page, 0).mid(8), (QStringList{"9", "10"}));
        emit header->sectionClicked(0);
        QCOMPARE(ViewColumn(page, 0).mid(0, 2), (QStringList{"10", "9"}));
        emit header->sectionClicked(1);
        QCOMPARE(ViewColumn(page, 1).first(), QString("02:00:00:00:00:10"));
        emit header->sectionClicked(2);
        QCOMPARE(ViewColumn(page, 2).first(), QString("Dynamic"));
        emit header->sectionClicked(2);
        QCOMPARE(ViewColumn(page, 2).first(), QString("Static"));
    }

    // An entry on the port after the last trunk rejects the whole table: no rows, counts 0.
    void macTableRejected()
    {
        QWidget* page = LoadMac(MacTable({{0, 1, false}, {12, 2, false}}), {AddLoggedIn(1)});
        QCOMPARE(Child<QComboBox>(page, "m_Port")->count(), 4);
        QVERIFY(ViewColumn(page, 0).isEmpty());
        QCOMPARE(LabelText(page, "m_Dynamic"), QString("0"));
        QCOMPARE(LabelText(page, "m_Static"), QString("0"));
    }

    // ---- Port Statistics -------------------------------------------------------------------

    void statistics()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open(PortPath);
        QCOMPARE(TakeSent(), (TSentList{To(StatusGet, a), To(StatusGet, b)}));
        Reply(a, StatusGet, 0, PortStatus());
        QCOMPARE(TakeSent(), TSentList{To(CountersGet, a)});
        Reply(a, CountersGet, 0, Counters({5, 0xFFFFFFFF, 7, 1000, 2, 3, 4, 6}));
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Cells(page, 1),
                 (QStringList{"Port.02", "1000TX", "Up", "Enable", "4294967295", "1", "1", "1", "1", "1"}));
        QCOMPARE(ListOf(page)->topLevelItem(0)->textAlignment(4), int(Qt::AlignRight | Qt::AlignVCenter));

        // Counters compare as unsigned numbers; each column keeps its own direction.
        ClickHeader(page, 4);
        QCOMPARE(Column(page, 4), (QStringList{"2", "3", "4", "5", "6", "7", "1000", "4294967295"}));
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        ClickHeader(page, 4);
        QCOMPARE(Column(page, 4).first(), QString("4294967295"));

        Child<QPushButton>(page, "m_Clear")->click();
        QCOMPARE(TakeRequests(), (QStringList{Request(CountersClear, a, Nothing), Request(CountersClear, b, Nothing)}));
    }

    // Counters for one port fewer than the switch has, or a broken chain: an empty list.
    void statisticsRejected()
    {
        QWidget* page = LoadCounters(Counters({1, 2, 3, 4, 5, 6, 7}), {AddLoggedIn(1)});
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        TDevice* b = AddLoggedIn(2);
        Select({b});
        QCOMPARE(TakeSent(), TSentList{To(StatusGet, b)});
        Reply(b, StatusGet, 5, PortStatus());
        QVERIFY(TakeSent().isEmpty());
        QCOMPARE(ListOf(page)->topLevelItemCount(), 0);
        QVERIFY(ListOf(page)->isEnabled());
    }

    // ---- Port Mirroring --------------------------------------------------------------------

    void mirroring()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(MirrorPath, MirrorGet, Concat({{1, 2}, U32(5), U32(0x80)}), 0, {a, b});
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Column(page, 1), (QStringList{"", "", "", "", "", "", "", "Yes"}));
        QCOMPARE(Column(page, 2), (QStringList{"Yes", "", "Yes", "", "", "", "", ""}));
        QCOMPARE(Items(Child<QComboBox>(page, "m_DestTx")), PortCaptions(Ports));
        QCOMPARE(Child<QComboBox>(page, "m_DestTx")->currentIndex(), 2);
        QCOMPARE(Child<QComboBox>(page, "m_DestRx")->currentIndex(), 1);
        auto* tx = Child<QCheckBox>(page, "m_SrcTx");
        auto* rx = Child<QCheckBox>(page, "m_SrcRx");
        QVERIFY(!tx->isEnabled() && !rx->isEnabled());

        SelectRow(page, 2);
        QVERIFY(tx->isEnabled() && !tx->isChecked() && rx->isChecked());
        tx->click();
        QCOMPARE(Cells(page, 2), (QStringList{"Port.03", "Yes", "Yes"}));

        // The header sets every row to the opposite of the first row's flag.
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList(Ports, "Yes"));
        QVERIFY(tx->isChecked());
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList(Ports, ""));
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 2), (QStringList{"Yes", "", "Yes", "", "", "", "", ""}));

        Child<QComboBox>(page, "m_DestTx")->setCurrentIndex(7);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes set = Concat({{1, 7}, U32(5), U32(0)});
        QCOMPARE(TakeRequests(), (QStringList{Request(MirrorSet, a, set), Request(MirrorSet, b, set)}));

        // "&Clear" sends nothing; the apply after it sends both masks 0.
        Child<QPushButton>(page, "m_Clear")->click();
        QVERIFY(m_Fake->Sent.empty());
        QVERIFY(!rx->isChecked());
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes cleared = Concat({{1, 7}, U32(0), U32(0)});
        QCOMPARE(TakeRequests(), (QStringList{Request(MirrorSet, a, cleared), Request(MirrorSet, b, cleared)}));
    }

    // A destination beyond the ports rejects the record: nothing mirrored, Port.01 chosen.
    void mirroringRejected()
    {
        QWidget* page = Load(MirrorPath, MirrorGet, Concat({{8, 2}, U32(5), U32(0x80)}), 0, {AddLoggedIn(1)});
        QCOMPARE(Column(page, 1), QStringList(Ports, ""));
        QCOMPARE(Column(page, 2), QStringList(Ports, ""));
        QCOMPARE(Child<QComboBox>(page, "m_DestTx")->currentText(), QString("Port.01"));
        QCOMPARE(Child<QComboBox>(page, "m_DestRx")->currentText(), QString("Port.01"));
    }

    // ---- System Event Log ------------------------------------------------------------------

    void eventPages_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<int>("lastPageLines");
        QTest::newRow("none") << 0 << QStringList{"Page.01"} << 0;
        QTest::newRow("100") << 100 << QStringList{"Page.01"} << 100;
        QTest::newRow("101") << 101 << QStringList{"Page.01", "Page.02"} << 1;
    }
    void eventPages()
    {
        QFETCH(int, lines);
        QFETCH(QStringList, pages);
        QFETCH(int, lastPageLines);
        TDevice* a = AddLoggedIn(1);
        Select({a});
        QWidget* page = Open(EventPath);
        ReplyEvents(a, lines);
        auto* box = Child<QComboBox>(page, "m_Pages");
        auto* log = Child<QPlainTextEdit>(page, "m_Log");
        QCOMPARE(Items(box), pages);
        QCOMPARE(box->currentIndex(), 0);
        if (lines > 0)
            QCOMPARE(log->document()->firstBlock().text(), QString("2026/12/10 #1: Port link up"));
        box->setCurrentIndex(box->count() - 1);
        QCOMPARE(log->toPlainText().isEmpty() ? 0 : log->document()->blockCount(), lastPageLines);
        if (lines > 100)
            QCOMPARE(log->toPlainText(), QString("2026/12/10 #101: Port link up"));

        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Clear")->click();
        QCOMPARE(TakeRequests(), QStringList{Request(EventClear, a, Nothing)});
    }

    // Record texts are the switch's 8-bit characters: log lines and port names show as sent;
    // a port without a name is "Port.NN".
    void textsAsTheSwitchHasThem()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        QWidget* log = Open(EventPath);
        Reply(a, EventGet, 0,
              Concat({Nothing, Text("2026/12/10 \xB7 #1"),
                      Text("Temperature 85\xB0"
                           "C")}));
        QCOMPARE(Child<QPlainTextEdit>(log, "m_Log")->toPlainText(),
                 QString::fromUtf8("2026/12/10 · #1: Temperature 85°C"));

        QWidget* table = Open(MacPath);
        Reply(a, NamesGet, 0, OddPortNames());
        Reply(a, ConfigGet, 0, PortConfig({0, 1, 2}));
        Reply(a, MacGet, 0, MacTable({}));
        QCOMPARE(Items(Child<QComboBox>(table, "m_Port")),
                 (QStringList{QString::fromUtf8("Tür"), "Port.02", "Port-3"}));
    }

    // ---- LLDP ------------------------------------------------------------------------------

    void lldp()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(LldpPath, LldpGet, {1, 0, 0x0E, 0x10}, 0, {a, b});
        auto* enable = Child<QComboBox>(page, "m_Enable");
        auto* interval = Child<QSpinBox>(page, "m_Interval");
        QCOMPARE(Items(enable), (QStringList{"Disable", "Enable"}));
        QCOMPARE(enable->currentText(), QString("Enable"));
        QCOMPARE(interval->value(), 3600);
        enable->setCurrentIndex(0);
        interval->setValue(45);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), (QStringList{Request(LldpSet, a, {0, 0, 0, 45}), Request(LldpSet, b, {0, 0, 0, 45})}));

        // An interval beyond 16 bits cannot be typed; the most the switch takes is sent.
        interval->setValue(70000);
        enable->setCurrentIndex(1);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests().first(), Request(LldpSet, a, {1, 0, 0xFF, 0xFF}));

        // Without a record: "Disable" and 30.
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, LldpGet, 7);
        QCOMPARE(enable->currentText(), QString("Disable"));
        QCOMPARE(interval->value(), 30);
    }
};

QTEST_MAIN(TMonitorPagesTest)
#include "tst_monitor_pages.moc"
