// The two IGMP snooping pages, offscreen, driven through the main window: the settings shown
// and applied, the group table in one or more datagrams, its member texts (bit positions
// below the port count) and its sorting with a direction kept per column.
#include "PageTests.h"

#include "pages/ModuleIgmp.h"

#include <QTreeView>

using namespace Intp;

namespace {

constexpr uint16_t IgmpGet = 0x0600, IgmpSet = 0x0601, TableGet = 0x0602;
const char* const IgmpPath = "IGMP Snooping";
const char* const TablePath = "IGMP Snooping/IGMP Snooping Table";

TBytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

struct TGroup {
    uint32_t Members, Group;
    uint16_t Vid;
};
TBytes Groups(const std::vector<TGroup>& groups)
{
    TBytes out(4, 0);
    for (const TGroup& g : groups)
        out = Concat({out, U32(g.Members), U32(g.Group), {uint8_t(g.Vid >> 8), uint8_t(g.Vid)}});
    return out;
}

} // namespace

class TIgmpPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    const TReportModel& Model() { return dynamic_cast<TModuleIgmpTable*>(PageAt(TablePath))->Model(); }
    QStringList ModelColumn(int column)
    {
        QStringList texts;
        for (int row = 0; row < Model().rowCount(); ++row)
            texts << Model().index(row, column).data().toString();
        return texts;
    }
    void ClickColumn(int column)
    {
        emit Child<QTreeView>(PageAt(TablePath), "m_List")->header()->sectionClicked(column);
    }

private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void settings()
    {
        CheckEnabled(Unselected(IgmpPath), {"m_Snooping", "m_QueryMode", "m_SnoopingLabel", "m_Apply"}, false);
        CheckEnabled(Unselected(TablePath), {"m_List"}, false);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        CheckCatalogued(IgmpPath, "IGMP Snooping", {});
        QWidget* page = Load(IgmpPath, IgmpGet, {7, 1}, 0, {a, b});
        QCOMPARE(Child<QComboBox>(page, "m_Snooping")->currentText(), QString("Enable"));
        QCOMPARE(Child<QComboBox>(page, "m_QueryMode")->currentText(), QString("Enable"));
        Child<QComboBox>(page, "m_QueryMode")->setCurrentIndex(2);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), (QStringList{Request(IgmpSet, a, {1, 2}), Request(IgmpSet, b, {1, 2})}));

        // Query mode 3 is refused: both lists on "Disable".
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, IgmpGet, 0, {1, 3});
        QCOMPARE(Child<QComboBox>(page, "m_Snooping")->currentText(), QString("Disable"));
        QCOMPARE(Child<QComboBox>(page, "m_QueryMode")->currentText(), QString("Disable"));
    }

    void memberText_data()
    {
        QTest::addColumn<uint32_t>("members");
        QTest::addColumn<int>("ports");
        QTest::addColumn<QString>("text");
        QTest::newRow("bits 0 and 2") << 5u << 8 << "0, 2";
        QTest::newRow("bit 8 of 8 ports") << 0x100u << 8 << "";
        QTest::newRow("none") << 0u << 8 << "";
        QTest::newRow("every bit of 24 ports")
            << 0xFFFFFFFFu << 24
            << "0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23";
        QTest::newRow("bit 31") << 0x80000000u << 32 << "31";
    }
    void memberText()
    {
        QFETCH(uint32_t, members);
        QFETCH(int, ports);
        QFETCH(QString, text);
        QCOMPARE(TModuleIgmpTable::MemberText(members, ports), text);
    }

    // Rows in arrival order; addresses and masks sort as numbers; each column keeps its own
    // direction; an error status empties the table.
    void table()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        Open(TablePath);
        Reply(a, TableGet, 0, Groups({{5, 0xC0A80001, 20}, {0x100, 0x0A000002, 3}, {0x3, 0xEF000001, 100}}));
        QCOMPARE(ModelColumn(0), (QStringList{"1", "2", "3"}));
        QCOMPARE(ModelColumn(1), (QStringList{"192.168.0.1", "10.0.0.2", "239.0.0.1"}));
        QCOMPARE(ModelColumn(2), (QStringList{"20", "3", "100"}));
        QCOMPARE(ModelColumn(3), (QStringList{"0, 2", "", "0, 1"}));
        QCOMPARE(Model().index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
                 Qt::AlignRight);

        ClickColumn(1);
        QCOMPARE(ModelColumn(1), (QStringList{"10.0.0.2", "192.168.0.1", "239.0.0.1"}));
        ClickColumn(2);
        QCOMPARE(ModelColumn(2), (QStringList{"3", "20", "100"}));
        ClickColumn(1);
        QCOMPARE(ModelColumn(1), (QStringList{"239.0.0.1", "192.168.0.1", "10.0.0.2"}));
        ClickColumn(3);
        QCOMPARE(ModelColumn(3), (QStringList{"0, 1", "0, 2", ""}));

        Frame()->SelectedPage()->Refresh(true);
        Reply(a, TableGet, 5, Groups({{1, 0xEF000002, 1}}));
        QCOMPARE(Model().rowCount(), 0);
        QVERIFY(!PageAt(TablePath)->isHidden());
    }

    // 64 groups (644 bytes) call for another datagram; an empty one ends the table.
    void tableInTwoDatagrams()
    {
        TDevice* a = AddLoggedIn(1);
        Select({a});
        Open(TablePath);
        std::vector<TGroup> groups;
        for (uint32_t i = 0; i < 64; ++i)
            groups.push_back({1, 0xEF000000 + i, 1});
        QCOMPARE(Groups(groups).size(), std::size_t(644));
        Reply(a, TableGet, 0, Groups(groups));
        QCOMPARE(Model().rowCount(), 0);
        Reply(a, TableGet, 0, Groups({}));
        QCOMPARE(Model().rowCount(), 64);
        Open(IgmpPath);
        QCOMPARE(Model().rowCount(), 0);
    }
};

QTEST_MAIN(TIgmpPagesTest)
#include "tst_igmp_pages.moc"
