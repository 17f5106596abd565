// The whole main window, offscreen, against simulated switches in the lab network: a MAC
// blacklist set on two switches at once through the MAC Blacklist page (one of them starts
// with a list of 300 addresses, which arrives in three datagrams), read back from each
// switch on its own.
#include "LabSupport.h"

#include "core/Security.h"
#include "shell/MainForm.h"
#include "shell/ModuleFrame.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>

using namespace Intp;

namespace {

// The addresses the simulator's --blacklist gives a switch: 02:B1:AC:00:hi:lo.
QString Listed(int i)
{
    return QString("02:B1:AC:00:%1:%2").arg(i >> 8, 2, 16, QChar('0')).arg(i & 0xFF, 2, 16, QChar('0')).toUpper();
}

} // namespace

class TLabSecurityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> m_Form;
    TDevice* m_A = nullptr; // on subnet A, with 300 blacklisted addresses
    TDevice* m_B = nullptr; // on subnet B, with none

    TModuleFrame* Frame() const { return m_Form->DevicesModule(); }
    QWidget* OpenPage(const char* path)
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode(path));
        return Frame()->SelectedPage()->GetControl();
    }
    bool Shown(QWidget* page) const { return page->isVisibleTo(Frame()); }
    template <typename T>
    static T* Child(QWidget* page, const char* name)
    {
        return page->findChild<T*>(name);
    }
    static QStringList Rows(QWidget* page)
    {
        QStringList texts;
        QAbstractItemModel* model = Child<QTreeView>(page, "m_List")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        return texts;
    }
    // Selects the devices with the page shown; the page shows again once the first
    // device's fresh answer arrived, as the cached list is forgotten first.
    void Reselect(std::initializer_list<TDevice*> devices, QWidget* page)
    {
        if (QTest::currentTestFailed())
            return;
        for (TDevice* d : devices)
            GetProperty<TPropertySecurityMac>(*d) = {};
        m_Form->Navigator().SelectDevices(devices);
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page) && GetProperty<TPropertySecurityMac>(**devices.begin()).Valid, 5000);
    }
    // Types the address and presses the button, then waits until both switches' lists
    // came back from the Gets that follow.
    void Change(QWidget* page, const char* button, const char* mac, int countA, int countB)
    {
        Child<QLineEdit>(page, "m_MAC")->setText(mac);
        QVERIFY(Child<QPushButton>(page, button)->isEnabled());
        Child<QPushButton>(page, button)->click();
        for (auto [d, count] : {std::pair{m_A, countA}, std::pair{m_B, countB}}) {
            const auto& list = GetProperty<TPropertySecurityMac>(*d);
            QTRY_VERIFY_WITH_TIMEOUT(list.Valid && int(list.Addresses.size()) == count, 5000);
        }
    }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        m_Form = MakeLabWindow();
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT((m_A = Registry::FindByAddress(Addr("192.0.2.10"))) &&
                                     (m_B = Registry::FindByAddress(Addr("198.51.100.10"))) &&
                                     m_Form->Navigator().IndexOf(m_A).isValid() &&
                                     m_Form->Navigator().IndexOf(m_B).isValid(),
                                 5000);
        m_Form->Navigator().SelectDevices({m_A, m_B});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(m_A->IsLoggedIn() && m_B->IsLoggedIn());
    }
    void cleanupTestCase()
    {
        m_Form.reset();
        Registry::Clear();
    }

    void blacklistOnTwoSwitches()
    {
        m_Form->Navigator().SelectDevices({m_A, m_B});
        QWidget* page = OpenPage("Security/MAC Blacklist");
        QTRY_VERIFY_WITH_TIMEOUT(Shown(page) && Rows(page).size() == 300, 5000);
        QCOMPARE(Rows(page).first(), Listed(0));
        QCOMPARE(Rows(page).last(), Listed(299));

        // Buttons follow the first switch's list: its listed addresses can only be deleted.
        Child<QLineEdit>(page, "m_MAC")->setText("02b1ac000005");
        QVERIFY(!Child<QPushButton>(page, "m_Add")->isEnabled());
        const std::tuple<const char*, const char*, int, int> changes[] = {
            {"m_Add", "0123456789ab", 301, 1},
            {"m_Add", "0a0b0c0d0e0f", 302, 2},
            {"m_Delete", "0123456789AB", 301, 1},
            {"m_Delete", "02b1ac000005", 300, 1},
        };
        for (auto [button, mac, countA, countB] : changes) {
            Change(page, button, mac, countA, countB);
            if (QTest::currentTestFailed())
                return;
        }

        Reselect({m_A}, page);
        QStringList a;
        for (int i = 0; i < 300; ++i)
            if (i != 5)
                a << Listed(i);
        a << "0A:0B:0C:0D:0E:0F";
        QCOMPARE(Rows(page), a);
        Reselect({m_B}, page);
        QCOMPARE(Rows(page), QStringList({"0A:0B:0C:0D:0E:0F"}));
    }
};

QTEST_MAIN(TLabSecurityTest)
#include "tst_lab_security.moc"
