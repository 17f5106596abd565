// The whole main window, offscreen, against simulated switches in the lab network: VLAN
// memberships set on two switches at once through "Port Configuration" of the 802.1Q VLAN
// branch, so many that the requests are split and the 802.1Q list comes back in several
// datagrams, then read back from each switch through the "VLAN Table"; a switch without
// VLANs says so.
#include "LabSupport.h"

#include "core/Vlan.h"
#include "shell/ModuleFrame.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>

namespace {

// "first..last" as the operator types them, separated by blanks.
QString Vids(int first, int last)
{
    QStringList vids;
    for (int vid = first; vid <= last; ++vid)
        vids << QString::number(vid);
    return vids.join(' ');
}

QString Numbers(std::initializer_list<int> numbers)
{
    QStringList texts;
    for (int n : numbers)
        texts << QString::number(n);
    return texts.join(',');
}

} // namespace

class TLabVlanTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainForm> m_Form;
    QStringList m_Messages;

    TModuleFrame* Frame() { return m_Form->DevicesModule(); }
    QWidget* Open(const char* path)
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode(path));
        return Frame()->SelectedPage()->GetControl();
    }
    // Every row of the VLAN Table as "VLAN ID|untagged|tagged".
    static QStringList TableRows(QWidget* page)
    {
        QStringList rows;
        const QAbstractItemModel* model = page->findChild<QTableView*>("m_List")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << QStringList{model->index(row, 1).data().toString(), model->index(row, 2).data().toString(),
                                model->index(row, 3).data().toString()}
                        .join('|');
        return rows;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        m_Form = MakeLabWindow();
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Messages << text;
            return true;
        });
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        std::vector<TDevice*> devices;
        QTRY_COMPARE_WITH_TIMEOUT(m_Form->Navigator().GetAllDevices(devices), 4, 5000);
    }
    void cleanupTestCase()
    {
        Dialogs::SetHandler(nullptr);
        m_Form.reset();
        Registry::Clear();
    }

    void membershipsOnTwoSwitches()
    {
        TDevice* a = Registry::FindByAddress(Addr("192.0.2.10"));
        TDevice* b = Registry::FindByAddress(Addr("198.51.100.10"));
        QVERIFY(a && b);
        m_Form->Navigator().SelectDevices({a, b});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(a->IsLoggedIn() && b->IsLoggedIn());

        QWidget* page = Open("802.1Q VLAN/Port Configuration");
        auto* list = page->findChild<QTreeWidget*>("m_ListView");
        QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), a->LogicalPortCount(), 5000);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("Access"));
        // Ports 1 to 4: 700 VLANs in all, words enough for two requests to each switch.
        const struct {
            int type, untagged, first, last;
        } edits[] = {{2, 10, 2, 200}, {1, 1, 201, 400}, {1, 1, 401, 600}, {2, 20, 601, 700}};
        for (int row = 0; row < 4; ++row) {
            list->setCurrentItem(list->topLevelItem(row));
            page->findChild<QComboBox*>("m_Type")->setCurrentIndex(edits[row].type);
            page->findChild<QSpinBox*>("m_Untagged")->setValue(edits[row].untagged);
            page->findChild<QLineEdit*>("m_Tagged")->setText(Vids(edits[row].first, edits[row].last));
        }
        page->findChild<QPushButton*>("m_Apply")->click();
        QVERIFY(m_Messages.isEmpty());
        for (TDevice* d : {a, b})
            QTRY_VERIFY_WITH_TIMEOUT(Intp::GetProperty<Intp::TPropertyVlan8021qPort>(*d).Valid &&
                                         Intp::GetProperty<Intp::TPropertyVlan8021qPort>(*d).Entries.size() == 700,
                                     5000);
        // The page shows what the first switch reports now.
        QTRY_COMPARE(list->topLevelItem(0)->text(3).count(','), 198);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("Hybrid"));
        QCOMPARE(list->topLevelItem(0)->text(2), QString("10"));
        QCOMPARE(list->topLevelItem(1)->text(1), QString("802.1Q"));
        QCOMPARE(list->topLevelItem(3)->text(3).split(',').last(), QString("700"));

        // Each switch's VLAN Table, read back on its own.
        QStringList expected;
        expected << "1|" + Numbers({2, 3, 5, 6, 7, 8, 9, 10, 11, 12}) + "|";
        for (int vid = 2; vid <= 700; ++vid) {
            const QString tagged = QString::number(vid <= 200 ? 1 : vid <= 400 ? 2 : vid <= 600 ? 3 : 4);
            const QString untagged = vid == 10 ? "1" : vid == 20 ? "4" : "";
            expected << QStringLiteral("%1|%2|%3").arg(vid).arg(untagged, tagged);
        }
        for (TDevice* d : {a, b}) {
            m_Form->Navigator().SelectDevices({d});
            QWidget* table = Open("802.1Q VLAN/VLAN Table");
            QTRY_COMPARE_WITH_TIMEOUT(TableRows(table).size(), 700, 5000);
            QCOMPARE(TableRows(table), expected);
        }
    }

    void switchWithoutVlans()
    {
        TDevice* c = Registry::FindByAddress(Addr("198.51.100.11")); // VLANs disabled
        QVERIFY(c);
        m_Form->Navigator().SelectDevices({c});
        m_Form->findChild<QAction*>("acLogin")->trigger();
        QTRY_VERIFY(c->IsLoggedIn());
        m_Messages.clear();
        QWidget* table = Open("802.1Q VLAN/VLAN Table");
        m_Form->findChild<QAction*>("acRefresh")->trigger(); // the page may have been asked before the login
        QTRY_COMPARE(m_Messages, QStringList{"VLAN Not Enabled!"});
        QVERIFY(table->isVisibleTo(Frame()));
        QVERIFY(TableRows(table).isEmpty());
    }
};

QTEST_MAIN(TLabVlanTest)
#include "tst_lab_vlan.moc"
