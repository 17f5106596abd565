// The whole main window, offscreen, against simulated switches in the lab network: a ring
// and RSTP settings set on two switches at once through the redundancy pages, and read back
// from each switch on its own.
#include "LabSupport.h"

#include "core/DeviceType.h"
#include "core/Redundancy.h"
#include "shell/MainForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

using namespace Intp;

class TLabRingTest : public QObject, public TLabPageDriver {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        OpenLabWindow();
    }
    void cleanupTestCase() { CloseLabWindow(); }

    void ringOnTwoSwitches()
    {
        m_Form->Navigator().SelectDevices({m_A, m_B});
        QWidget* page = OpenPage("Redundancy/Vantor Ring");
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page), 5000);
        QVERIFY(!Child<QCheckBox>(page, "m_LegacyMode")->isChecked());
        Child<QCheckBox>(page, "m_LegacyMode")->setChecked(true);
        Child<QCheckBox>(page, "m_Master")->setChecked(true);
        Child<QComboBox>(page, "m_1stPort")->setCurrentIndex(6);
        Child<QComboBox>(page, "m_2ndPort")->setCurrentIndex(7);
        Child<QCheckBox>(page, "m_CoupleMode")->setChecked(true);
        Child<QComboBox>(page, "m_ControlPort")->setCurrentIndex(2);
        Child<QComboBox>(page, "m_CouplingPort")->setCurrentIndex(3);
        Child<QPushButton>(page, "m_Apply")->click();
        // The Sets' Gets bring the switches' answers into the cache and the page.
        for (TDevice* d : {m_A, m_B}) {
            const auto& ring = GetProperty<TPropertyRedundancySring>(*d);
            QTRY_VERIFY_WITH_TIMEOUT(ring.Valid && ring.Enabled && ring.Master && ring.Coupling, 5000);
            QCOMPARE((std::array{ring.RingPort1, ring.RingPort2, ring.ControlPort, ring.CouplingPort}),
                     (std::array<uint8_t, 4>{6, 7, 2, 3}));
            QVERIFY(!ring.Homing);
        }
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertyRedundancySring>({d}, page);
            QVERIFY(Child<QCheckBox>(page, "m_LegacyMode")->isChecked());
            QVERIFY(Child<QCheckBox>(page, "m_Master")->isChecked());
            QVERIFY(Child<QCheckBox>(page, "m_CoupleMode")->isChecked());
            QVERIFY(!Child<QCheckBox>(page, "m_HomingMode")->isChecked());
            QCOMPARE(Child<QComboBox>(page, "m_1stPort")->currentText(), QString("Port.07"));
            QCOMPARE(Child<QComboBox>(page, "m_2ndPort")->currentText(), QString("Port.08"));
            QCOMPARE(Child<QComboBox>(page, "m_ControlPort")->currentText(), QString("Port.03"));
            QCOMPARE(Child<QComboBox>(page, "m_CouplingPort")->currentText(), QString("Port.04"));
            QVERIFY(Child<QComboBox>(page, "m_CouplingPort")->isEnabled());
            QVERIFY(!Child<QComboBox>(page, "m_HomingPort")->isEnabled());
        }
    }

    void rstpOnTwoSwitches()
    {
        m_Form->Navigator().SelectDevices({m_A, m_B});
        QWidget* page = OpenPage("Redundancy/RSTP Settings");
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page), 5000);
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        QCOMPARE(list->topLevelItemCount(), m_A->PortCount());
        Child<QComboBox>(page, "m_Mode")->setCurrentIndex(1); // "Enable"
        Child<QSpinBox>(page, "m_BridgePriority")->stepUp();  // 36864: the root is another bridge
        Child<QSpinBox>(page, "m_BridgeHello")->setValue(4);
        list->setCurrentItem(list->topLevelItem(1));
        Child<QSpinBox>(page, "m_PortCost")->setValue(50000);
        Child<QComboBox>(page, "m_PortEdge")->setCurrentIndex(1);
        Child<QPushButton>(page, "m_Apply")->click();
        for (TDevice* d : {m_A, m_B}) {
            const auto& rstp = GetProperty<TPropertyRedundancyRstp>(*d);
            QTRY_VERIFY_WITH_TIMEOUT(rstp.Valid && rstp.Enabled, 5000);
            QCOMPARE(rstp.BridgePriority, uint16_t(36864));
            QCOMPARE(rstp.Hello, uint8_t(4));
            QCOMPARE(rstp.Entries.at(1), (TPropertyRedundancyRstpEntry{50000, 128, p2pFalse, true, false}));
            QCOMPARE(rstp.Entries.at(0), TPropertyRedundancyRstpEntry{});
        }
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertyRedundancyRstp>({d}, page);
            QCOMPARE(Child<QComboBox>(page, "m_Mode")->currentText(), QString("Enable"));
            QCOMPARE(Child<QSpinBox>(page, "m_BridgePriority")->value(), 36864);
            QCOMPARE(Child<QSpinBox>(page, "m_BridgeHello")->value(), 4);
            QCOMPARE(list->topLevelItem(1)->text(1), QString("50000"));
            QCOMPARE(list->topLevelItem(1)->text(4), QString("True"));
            QCOMPARE(list->topLevelItem(0)->text(1), QString("200000"));
        }

        // The switches run RSTP now, behind their first port with link.
        page = OpenPage("Redundancy/RSTP Settings/RSTP Information");
        for (TDevice* d : {m_A, m_B}) {
            Reselect<TPropertyRedundancyRstpInfo>({d}, page);
            QCOMPARE(Child<QLabel>(page, "m_RootPort")->text(), QString("Port.01"));
            QCOMPARE(Child<QLabel>(page, "m_Priority")->text(), QString("32768"));
            QCOMPARE(Child<QLabel>(page, "m_Hello")->text(), QString("4"));
            auto* info = Child<QTreeWidget>(page, "m_List");
            QCOMPARE(info->topLevelItemCount(), d->PortCount());
            QCOMPARE(info->topLevelItem(0)->text(7), QString("Root"));
            QCOMPARE(info->topLevelItem(1)->text(1), QString("50000"));
            QCOMPARE(info->topLevelItem(1)->text(6), QString("Forwarding"));
        }
    }
};

QTEST_MAIN(TLabRingTest)
#include "tst_lab_ring.moc"
