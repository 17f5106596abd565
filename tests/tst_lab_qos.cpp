// The whole main window, offscreen, against simulated switches in the lab network: port
// priorities set on two switches of different port counts through "Port Based Priority",
// and read back from each switch on its own. The Set reaches only the switch whose ports
// match the rows; the other one is then set on its own.
#include "LabSupport.h"

#include "core/DeviceType.h"
#include "core/Qos.h"
#include "shell/ModuleFrame.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace Intp;

class TLabQosTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> m_Form;
    TDevice* m_Eight = nullptr; // 8 ports, 192.0.2.10
    TDevice* m_Four = nullptr;  // 4 ports, 192.0.2.11

    TModuleFrame* Frame() const { return m_Form->DevicesModule(); }
    QWidget* Page() const { return Frame()->SelectedPage()->GetControl(); }
    QTreeWidget* List() const { return Page()->findChild<QTreeWidget*>("m_ListView"); }
    QStringList Priorities() const
    {
        QStringList texts;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            texts << List()->topLevelItem(i)->text(1);
        return texts;
    }
    // Shows the page for the devices once the first one's fresh answer arrived.
    void ShowFor(std::initializer_list<TDevice*> devices)
    {
        for (TDevice* d : devices)
            GetProperty<TPropertyQosPort>(*d) = {};
        m_Form->Navigator().SelectDevices(devices);
        QTRY_VERIFY_WITH_TIMEOUT(Page()->isVisibleTo(Frame()) && GetProperty<TPropertyQosPort>(**devices.begin()).Valid,
                                 5000);
    }
    // Each row's priority from a pattern: row i gets queue (i + shift) % 4.
    void SetRows(int shift)
    {
        auto* box = Page()->findChild<QComboBox*>("m_Priority");
        for (int i = 0; i < List()->topLevelItemCount(); ++i) {
            List()->setCurrentItem(List()->topLevelItem(i));
            box->setCurrentIndex((i + shift) % 4);
        }
    }
    static QStringList Pattern(int count, int shift)
    {
        static const QStringList names = {"Lowest", "Low", "Middle", "High"};
        QStringList texts;
        for (int i = 0; i < count; ++i)
            texts << names[(i + shift) % 4];
        return texts;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        TDeviceType four;
        four.Description = "4 port 10/100BaseTX lab switch";
        four.PortCount = 4;
        four.TrunkCount = 2;
        RegisterType(four, {"LAB-4P"});
        m_Form = MakeLabWindow();
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT((m_Eight = Registry::FindByAddress(Addr("192.0.2.10"))) &&
                                     (m_Four = Registry::FindByAddress(Addr("192.0.2.11"))) &&
                                     m_Form->Navigator().IndexOf(m_Eight).isValid() &&
                                     m_Form->Navigator().IndexOf(m_Four).isValid() && m_Eight->PortCount() == 8 &&
                                     m_Four->PortCount() == 4,
                                 5000);
        m_Form->Navigator().SelectDevices({m_Eight, m_Four});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(m_Eight->IsLoggedIn() && m_Four->IsLoggedIn());
        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Traffic Prioritization/Port Based Priority"));
    }
    void cleanupTestCase()
    {
        m_Form.reset();
        Registry::Clear();
    }

    void portPrioritiesOnTwoPortCounts()
    {
        ShowFor({m_Eight, m_Four});
        QCOMPARE(List()->topLevelItemCount(), 8);
        SetRows(1);
        Page()->findChild<QPushButton*>("m_Apply")->click();
        // Only the 8-port switch takes 8 rows; its Set refreshes the page from its answer.
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyQosPort>(*m_Eight).Entries.size(), std::size_t(8), 5000);
        ShowFor({m_Four, m_Eight});
        QCOMPARE(List()->topLevelItemCount(), 4);
        QCOMPARE(Priorities(), QStringList(4, "Lowest")); // untouched by the 8-row Set
        SetRows(3);
        Page()->findChild<QPushButton*>("m_Apply")->click();
        QTRY_COMPARE_WITH_TIMEOUT(GetProperty<TPropertyQosPort>(*m_Four).Entries.front().Value, uint8_t(3), 5000);

        // Read back from each switch alone.
        ShowFor({m_Eight});
        QCOMPARE(Priorities(), Pattern(8, 1));
        ShowFor({m_Four});
        QCOMPARE(Priorities(), Pattern(4, 3));
    }
};

QTEST_MAIN(TLabQosTest)
#include "tst_lab_qos.moc"
