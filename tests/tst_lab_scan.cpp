// The layer-2 scan in the lab: the frame on the wire, the switches that answer (one of
// them with IP settings outside every subnet of the workstation), answers that must be
// ignored, an interface without an address, and closing the dialog during a flood.
#include "LabSupport.h"

#include "core/NetQueries.h"
#include "ui/Dialogs.h"
#include "ui/ScanForm.h"

#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include <pcap/pcap.h>

class TLabScanTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TScanForm> m_Form;
    QStringList m_Messages;

    QTreeWidget* List() { return m_Form->findChild<QTreeWidget*>("m_ListView"); }

    // Shows the dialog and chooses the interface by name.
    bool Choose(const QString& name)
    {
        m_Form->hide();
        m_Form->show();
        auto* interfaces = m_Form->findChild<QComboBox*>("m_Interfaces");
        for (int i = 0; i < interfaces->count(); ++i) {
            if (interfaces->itemText(i).section(' ', 0, 0) == name) {
                interfaces->setCurrentIndex(i);
                emit interfaces->activated(i);
                return true;
            }
        }
        return false;
    }
    void Scan() { m_Form->findChild<QPushButton*>("m_Scan")->click(); }
    QStringList Column(int column)
    {
        QStringList texts;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            texts << List()->topLevelItem(i)->text(column);
        return texts;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Messages << text;
            return true;
        });
        m_Form = std::make_unique<TScanForm>();
    }
    void cleanupTestCase()
    {
        m_Form.reset();
        Dialogs::SetHandler(nullptr);
    }

    void scanListsTheSegmentsSwitches()
    {
        // Our own capture of what leaves eth0.
        char error[PCAP_ERRBUF_SIZE] = {};
        pcap_t* watch = pcap_open_live("eth0", 100, 0, 100, error);
        QVERIFY2(watch, error);
        bpf_program program{};
        QCOMPARE(pcap_compile(watch, &program, "ether proto 0xdead", 1, PCAP_NETMASK_UNKNOWN), 0);
        QCOMPARE(pcap_setfilter(watch, &program), 0);
        pcap_freecode(&program);
        pcap_setdirection(watch, PCAP_D_OUT);

        QVERIFY(Choose("eth0"));
        Scan();
        QVERIFY(m_Messages.isEmpty());
        // Three switches; the answers from FF:FF:FF:FF:FF:FF and of 30 bytes are not listed.
        QTRY_COMPARE_WITH_TIMEOUT(List()->topLevelItemCount(), 3, 5000);
        QTest::qWait(300);
        QCOMPARE(List()->topLevelItemCount(), 3);
        QStringList addresses = Column(2);
        addresses.sort();
        QCOMPARE(addresses, (QStringList{"10.250.0.10", "192.0.2.10", "192.0.2.11"}));
        QCOMPARE(Column(0), (QStringList{"1", "2", "3"}));
        QVERIFY(!Column(1).contains("FF:FF:FF:FF:FF:FF"));

        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        QCOMPARE(pcap_next_ex(watch, &header, &data), 1);
        QCOMPARE(header->len, 40u);
        TMacAddr own;
        QVERIFY(GetAdapterMac("eth0", own));
        QCOMPARE(TMacAddr(data + 6), own);
        const uint8_t address[] = {192, 0, 2, 1};
        QVERIFY(std::equal(address, address + 4, data + 14));
        pcap_close(watch);

        // A second scan adds its answers below, numbered on.
        Scan();
        QTRY_COMPARE_WITH_TIMEOUT(List()->topLevelItemCount(), 6, 5000);
        QCOMPARE(Column(0).last(), QString("6"));
    }

    void interfaceWithoutAddress()
    {
        QCOMPARE(QProcess::execute("ip", {"link", "add", "zscan0", "type", "veth", "peer", "name", "zscan1"}), 0);
        QCOMPARE(QProcess::execute("ip", {"link", "set", "zscan0", "up"}), 0);
        QVERIFY(Choose("zscan0"));
        m_Messages.clear();
        Scan();
        QCOMPARE(m_Messages, QStringList{"Unable to get a valid IP address from interface zscan0"});
        QProcess::execute("ip", {"link", "del", "zscan0"});
    }

    // The switches on eth1 answer thousands of times; closing the dialog stops the capture
    // at once and leaves nothing behind.
    void closingDuringAFlood()
    {
        QVERIFY(Choose("eth1"));
        Scan();
        QTRY_VERIFY_WITH_TIMEOUT(List()->topLevelItemCount() > 100, 5000);
        m_Form->hide();
        QVERIFY(!m_Form->Worker().IsCapturing());
        QCOMPARE(List()->topLevelItemCount(), 0);
        QTest::qWait(200);
        QCOMPARE(List()->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TLabScanTest)
#include "tst_lab_scan.moc"
