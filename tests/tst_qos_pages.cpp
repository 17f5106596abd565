// The four QoS pages, offscreen, driven through the main window: what they show from the
// records (and without them), the editors and header cycling of the lists, and the exact
// requests every "&Apply" sends, to the devices whose port count fits.
#include "PageTests.h"

#include "core/DeviceType.h"

#include <QPushButton>
#include <QRadioButton>

using namespace Intp;

namespace {

constexpr uint16_t QosGet = 0x0500, QosSet = 0x0501, PortGet = 0x0502, PortSet = 0x0503, CosGet = 0x0504,
                   CosSet = 0x0505, TosGet = 0x0506, TosSet = 0x0507;
constexpr int Ports = 8; // of the known models
const char* const QosPath = "Traffic Prioritization";
const char* const PortPath = "Traffic Prioritization/Port Based Priority";
const char* const CosPath = "Traffic Prioritization/COS Settings";
const char* const TosPath = "Traffic Prioritization/TOS Settings";
const QStringList Queues = {"Lowest", "Low", "Middle", "High"};

} // namespace

class TQosPagesTest : public QObject, public TPageTestDriver {
    Q_OBJECT

    int m_SmallType = 0;

private slots:
    void initTestCase() { m_SmallType = RegisterType(FourPortType(), {"TEST-QOS-4P"}); }
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void policyPage()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = Load(QosPath, QosGet, {0x01, 0x04}, 0, {a, b});
        QVERIFY(Child<QRadioButton>(page, "m_Strict")->isChecked());
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentText(), QString("COS First"));
        Child<QRadioButton>(page, "m_Weighted")->setChecked(true);
        Child<QComboBox>(page, "m_Mode")->setCurrentIndex(5);
        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), (QStringList{Request(QosSet, a, {0, 5}), Request(QosSet, b, {0, 5})}));

        // A refused record shows the weighted scheme and "Disable".
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, QosGet, 0, {0x02, 0x01});
        QVERIFY(Child<QRadioButton>(page, "m_Weighted")->isChecked());
        QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentIndex(), 0);
    }

    void pagesWithoutDevice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("policy") << QosPath << QStringList{"m_PolicyLabel", "m_Weighted",  "m_Strict",
                                                          "m_Mode",        "m_ModeLabel", "m_Apply"};
        QTest::newRow("ports") << PortPath << QStringList{"m_ListView", "m_Priority", "m_Apply"};
        QTest::newRow("COS") << CosPath
                             << QStringList{"m_CosList", "m_PortList", "m_CosMapping", "m_PortPriority", "m_Apply"};
        QTest::newRow("TOS") << TosPath << QStringList{"m_ListView", "m_Priority", "m_Apply"};
    }
    void pagesWithoutDevice()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, controls);
        QWidget* page = Unselected(path.toLatin1().constData());
        CheckEnabled(page, controls, false);
        for (QTreeWidget* list : page->findChildren<QTreeWidget*>())
            QCOMPARE(list->topLevelItemCount(), 0);
    }

    // Rows per physical port; editing, cycling from "High" back to "Lowest"; the Set only
    // reaches devices with as many ports as the rows.
    void portPriorities()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        TDevice* c = AddLoggedIn(3);
        QWidget* page = Load(PortPath, PortGet, {3, 0, 1, 2, 3, 0, 1, 2}, 0, {a, small, c});
        QCOMPARE(Column(page, 0), PortCaptions(Ports));
        QCOMPARE(Column(page, 1).mid(0, 4), (QStringList{"High", "Lowest", "Low", "Middle"}));
        auto* box = Child<QComboBox>(page, "m_Priority");
        QCOMPARE(Items(box), Queues);
        QVERIFY(!box->isEnabled());
        SelectRow(page, 1);
        QVERIFY(box->isEnabled());
        box->setCurrentIndex(2);
        QCOMPARE(Cells(page, 1), (QStringList{"Port.02", "Middle"}));
        ClickHeader(page, 1);
        QCOMPARE(Column(page, 1), QStringList(Ports, "Lowest"));
        ClickHeader(page, 0);
        QCOMPARE(Column(page, 1), QStringList(Ports, "Lowest"));
        SelectRow(page, 3);
        box->setCurrentIndex(3);
        Child<QPushButton>(page, "m_Apply")->click();
        const TBytes queues = {0, 0, 0, 3, 0, 0, 0, 0};
        QCOMPARE(TakeRequests(), (QStringList{Request(PortSet, a, queues), Request(PortSet, c, queues)}));
    }

    void portPrioritiesWithoutRecord()
    {
        QWidget* page = Load(PortPath, PortGet, {0, 0, 0, 0, 0, 0, 0, 8}, 0, {AddLoggedIn(1)});
        QCOMPARE(Column(page, 1), QStringList(Ports, "Lowest"));
        TDevice* small = AddLoggedIn(4, m_SmallType);
        Select({small});
        Reply(small, PortGet, 0, {1, 1, 1, 1});
        QCOMPARE(Column(page, 0), PortCaptions(4));
        QCOMPARE(Column(page, 1), QStringList(4, "Low"));
    }

    // Both lists, their editors and cycling; a port priority of 8 refuses the record.
    void cosSettings()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* small = AddLoggedIn(2, m_SmallType);
        QWidget* page = Load(CosPath, CosGet, Concat({{3, 3, 2, 2, 1, 1, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7}}), 0,
                             {a, small});
        auto* cos = Child<QTreeWidget>(page, "m_CosList");
        auto* ports = Child<QTreeWidget>(page, "m_PortList");
        QCOMPARE(Column(cos, 0),
                 (QStringList{"Priority.00", "Priority.01", "Priority.02", "Priority.03", "Priority.04", "Priority.05",
                              "Priority.06", "Priority.07"}));
        QCOMPARE(Column(cos, 1), (QStringList{"High", "High", "Middle", "Middle", "Low", "Low", "Lowest", "Lowest"}));
        QCOMPARE(Column(ports, 0), PortCaptions(Ports));
        QCOMPARE(Column(ports, 1).last(), QString("Priority.07"));
        auto* mapping = Child<QComboBox>(page, "m_CosMapping");
        auto* priority = Child<QComboBox>(page, "m_PortPriority");
        QCOMPARE(Items(priority), Column(cos, 0));
        QVERIFY(!mapping->isEnabled() && !priority->isEnabled());

        ports->setCurrentItem(ports->topLevelItem(7));
        QVERIFY(priority->isEnabled() && !mapping->isEnabled());
        QCOMPARE(priority->currentIndex(), 7);
        emit ports->header()->sectionClicked(1); // from Priority.00: every port Priority.01
        QCOMPARE(Column(ports, 1), QStringList(Ports, "Priority.01"));
        priority->setCurrentIndex(6);
        cos->setCurrentItem(cos->topLevelItem(0));
        mapping->setCurrentIndex(1);
        emit cos->header()->sectionClicked(1); // from Low: every priority Middle
        QCOMPARE(Column(cos, 1), QStringList(8, "Middle"));

        Child<QPushButton>(page, "m_Apply")->click();
        QCOMPARE(TakeRequests(), QStringList{Request(CosSet, a, Concat({TBytes(8, 2), {1, 1, 1, 1, 1, 1, 1, 6}}))});

        Frame()->SelectedPage()->Refresh(true);
        Reply(a, CosGet, 0, Concat({TBytes(8, 0), {0, 0, 0, 0, 0, 0, 0, 8}}));
        QCOMPARE(Column(cos, 1), QStringList(8, "Lowest"));
        QCOMPARE(Column(ports, 1), QStringList(Ports, "Priority.00"));
    }

    // 64 rows without a record; the Set carries all 64 queues.
    void tosSettings()
    {
        TDevice* a = AddLoggedIn(1);
        QWidget* page = Load(TosPath, TosGet, {}, 5, {a});
        QCOMPARE(Column(page, 0).size(), 64);
        QCOMPARE(Column(page, 0).last(), QString("63"));
        QCOMPARE(Column(page, 1), QStringList(64, "Lowest"));
        TBytes dscp(64, 1);
        dscp[63] = 3;
        Frame()->SelectedPage()->Refresh(true);
        Reply(a, TosGet, 0, dscp);
        QCOMPARE(Cells(page, 63), (QStringList{"63", "High"}));
        SelectRow(page, 10);
        Child<QComboBox>(page, "m_Priority")->setCurrentIndex(2);
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Apply")->click();
        dscp[10] = 2;
        QCOMPARE(TakeRequests(), QStringList{Request(TosSet, a, dscp)});
    }
};

QTEST_MAIN(TQosPagesTest)
#include "tst_qos_pages.moc"
