// The layer-2 scan without a network: the frame sent, the reply filter, and the dialog's
// interface rules and messages.
#include "core/NetQueries.h"
#include "ui/Dialogs.h"
#include "ui/ScanForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const TMacAddr Adapter(std::array<uint8_t, 6>{0x02, 0x11, 0x22, 0x33, 0x44, 0x55});

std::vector<uint8_t> Reply()
{
    std::vector<uint8_t> f = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0x02, 0x5A, 0x0D, 0, 0, 1, 0xDE, 0xAD};
    f.resize(40, 0);
    const uint8_t mac[] = {0x02, 0x5A, 0x0D, 0, 0, 1};
    std::copy(mac, mac + 6, f.begin() + 26);
    const uint8_t address[] = {10, 250, 0, 10};
    std::copy(address, address + 4, f.begin() + 36);
    return f;
}

} // namespace

class TScanTest : public QObject {
    Q_OBJECT

private slots:
    void frameCarriesAdapterAndAddress()
    {
        const Scan::TFrame frame = Scan::BuildFrame(Adapter, 0xC0000201);
        const std::array<uint8_t, 40> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x11, 0x22, 0x33,
                                                  0x44, 0x55, 0xDE, 0xAD, 192,  0,    2,    1,    0x06, 0x66,
                                                  0,    0,    0,    0,    0,    8,    0,    0,    0,    0,
                                                  0,    0,    0,    0,    0,    0,    0,    0,    0,    0};
        QCOMPARE(frame, expected);
    }

    void replyFilter_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("answer") << 0 << 0x02 << 40 << true;
        QTest::newRow("longer frame") << 0 << 0x02 << 60 << true;
        QTest::newRow("39 bytes") << 0 << 0x02 << 39 << false;
        QTest::newRow("other destination") << 5 << 0x56 << 40 << false;
        QTest::newRow("broadcast source") << -1 << 0xFF << 40 << false;
        QTest::newRow("null source") << -1 << 0x00 << 40 << false;
        QTest::newRow("other type") << 13 << 0xAE << 40 << false;
        QTest::newRow("command 1") << 21 << 1 << 40 << false;
        QTest::newRow("status 3") << 23 << 3 << 40 << false;
    }
    void replyFilter()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(int, length);
        QFETCH(bool, accepted);
        std::vector<uint8_t> frame = Reply();
        if (offset < 0)
            std::fill(frame.begin() + 6, frame.begin() + 12, uint8_t(value));
        else
            frame[size_t(offset)] = uint8_t(value);
        frame.resize(size_t(length), 0);
        const auto reply = Scan::ParseReply(frame, Adapter);
        QCOMPARE(reply.has_value(), accepted);
        if (accepted) {
            QCOMPARE(QString::fromStdString(reply->Mac.Text()), QString("02:5A:0D:00:00:01"));
            QCOMPARE(reply->Address, 0x0AFA000Au);
        }
    }

    // The interface counts only once chosen; its addresses end with ", "; failures say
    // which interface.
    void dialogRulesAndMessages()
    {
        QStringList messages;
        Dialogs::SetHandler([&](Dialogs::TKind, const QString& text) {
            messages << text;
            return true;
        });
        TScanForm form;
        form.SetLister([](std::vector<Scan::TInterface>& out) {
            out = {{"lo", "", {}}, {"nosuch0", "A missing adapter", {0x0A000001, 0x0A000101}}};
            return true;
        });
        form.show();
        auto* interfaces = form.findChild<QComboBox*>("m_Interfaces");
        auto* scan = form.findChild<QPushButton*>("m_Scan");
        QCOMPARE(interfaces->count(), 2);
        QCOMPARE(interfaces->itemText(1), QString("nosuch0 : A missing adapter"));
        QCOMPARE(interfaces->currentIndex(), 0);
        QVERIFY(!scan->isEnabled());

        interfaces->setCurrentIndex(1);
        emit interfaces->activated(1);
        QCOMPARE(form.findChild<QLabel*>("m_IpAddress")->text(), QString("10.0.0.1, 10.0.1.1, "));
        QVERIFY(scan->isEnabled() && form.findChild<QCheckBox*>("m_Promiscuous")->isEnabled());
        scan->click();
        interfaces->setCurrentIndex(0);
        emit interfaces->activated(0);
        QCOMPARE(form.findChild<QLabel*>("m_IpAddress")->text(), QString());
        scan->click();
        QCOMPARE(messages,
                 (QStringList{"Unable to get a valid MAC address from interface nosuch0",
                              "Unable to get a valid IP address from interface lo"}));
        QVERIFY(!form.Worker().IsCapturing());

        form.hide();
        QCOMPARE(interfaces->count(), 0);
        QVERIFY(!scan->isEnabled());
        Dialogs::SetHandler(nullptr);
    }

    void resultTexts()
    {
        QCOMPARE(TScanForm::ResultText(TWinpcapThread::srNoInterface, "x", ""), QString("Invalid interface"));
        QCOMPARE(TScanForm::ResultText(TWinpcapThread::srOpenFailed, "eth0", ""),
                 QString("Unable to open the adapter. eth0 is not supported by WinPcap"));
        QCOMPARE(TScanForm::ResultText(TWinpcapThread::srSendFailed, "eth0", "Network is down"),
                 QString("Error sending the packet: eth0\nNetwork is down"));
        QCOMPARE(TScanForm::ResultText(TWinpcapThread::srSendFailed, "eth0", ""),
                 QString("Error sending the packet: eth0"));
        QVERIFY(TScanForm::ResultText(TWinpcapThread::srNoPermission, "eth0", "").contains("setcap cap_net_raw+ep"));
    }
};

QTEST_MAIN(TScanTest)
#include "tst_scan.moc"
