// The wizard start page and the two group wizards, offscreen, through a main window with
// a fake session manager: step navigation, the device lists, the plans and the requests
// each wizard sends, and how results mark the preview rows.
#include "FormSessions.h"

#include "core/Basics.h"
#include "core/IntpCore.h"
#include "core/Transfer.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "wizards/WizardGroupFwFrame.h"
#include "wizards/WizardGroupIpFrame.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QStringList Column(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void Highlight(QTreeWidget* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->topLevelItem(row)->setSelected(true);
}

void Type(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->editingFinished();
}

std::vector<uint8_t> Bytes(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> out;
    for (uint32_t w : words)
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(uint8_t(w >> shift));
    return out;
}

} // namespace

class TWizardTest : public QObject, public TPageDriver {
    Q_OBJECT

    QStringList m_Messages;
    bool m_Credentials = true;

    QWidget* Wizard(const char* name) { return m_Form->findChild<QWidget*>(QString::fromLatin1(name)); }
    template <typename T>
    T* At(QWidget* wizard, const char* name)
    {
        return Child<T>(wizard, QString::fromLatin1(name));
    }
    QPushButton* Next(QWidget* w) { return At<QPushButton>(w, "m_Next"); }
    QPushButton* Prev(QWidget* w) { return At<QPushButton>(w, "m_Prev"); }
    QTreeWidget* ToSelect(QWidget* w) { return At<QTreeWidget>(w, "m_Step1ToSelect"); }
    QTreeWidget* Selected(QWidget* w) { return At<QTreeWidget>(w, "m_Step1Selected"); }
    QTreeWidget* Preview(QWidget* w) { return At<QTreeWidget>(w, "m_Step2Preview"); }

    // Opens the wizard, chooses every listed device (in list order) and enters step 2.
    QWidget* ChooseAll(const char* path, const char* name)
    {
        m_Form->Navigator().SelectPath(QString::fromLatin1(path));
        QWidget* w = Wizard(name);
        Next(w)->click();
        At<QToolButton>(w, "m_Step1SelectAll")->click();
        Next(w)->click();
        return w;
    }
    QWidget* GroupIp() { return ChooseAll("Wizards/Group IP Setting", "TWizardGroupIpFrame"); }
    QWidget* GroupFw() { return ChooseAll("Wizards/Group Firmware Update", "TWizardGroupFwFrame"); }

    static QList<int> IpImages(QTreeWidget* preview)
    {
        QList<int> images;
        for (int i = 0; i < preview->topLevelItemCount(); ++i)
            images << TWizardGroupIpFrame::ImageOf(preview->topLevelItem(i));
        return images;
    }
    static QList<int> FwImages(QTreeWidget* preview)
    {
        QList<int> images;
        for (int i = 0; i < preview->topLevelItemCount(); ++i)
            images << TWizardGroupFwFrame::ImageOf(preview->topLevelItem(i));
        return images;
    }

private slots:
    void init()
    {
        OpenWindow();
        m_Messages.clear();
        m_Credentials = true;
        Dialogs::SetHandler([this](Dialogs::TKind, const QString& text) {
            m_Messages << text;
            return true;
        });
        m_Form->Navigator().SetCredentialsSource([this](std::string& user, std::string& password) {
            user = "admin";
            password = "secret";
            return m_Credentials;
        });
    }
    void cleanup()
    {
        Dialogs::SetHandler(nullptr);
        CloseWindow();
    }

    void startPageAndActionsOpenTheWizards()
    {
        m_Form->Navigator().SelectPath(QStringLiteral("Wizards"));
        QWidget* start = Wizard("TWizardFrame");
        QVERIFY(start->isVisibleTo(m_Form));
        At<QPushButton>(start, "m_GroupIp")->click();
        QVERIFY(Wizard("TWizardGroupIpFrame")->isVisibleTo(m_Form));
        m_Form->Navigator().SelectPath(QStringLiteral("Wizards"));
        At<QPushButton>(start, "m_GroupFw")->click();
        QVERIFY(Wizard("TWizardGroupFwFrame")->isVisibleTo(m_Form));
        m_Form->findChild<QAction*>("acGroupIpWizard")->trigger();
        QVERIFY(Wizard("TWizardGroupIpFrame")->isVisibleTo(m_Form));
        m_Form->findChild<QAction*>("acGroupFwWizard")->trigger();
        QVERIFY(Wizard("TWizardGroupFwFrame")->isVisibleTo(m_Form));
    }

    // Step 1: every known device is offered; the list buttons follow the lists, and moving
    // puts a block of rows into the other list in reverse order.
    void chooseDevicesMovesRowsInReverse()
    {
        for (uint8_t i = 1; i <= 4; ++i)
            AddLoggedIn(i);
        Registry::Find(Mac(4), false)->SetLoggedIn(false);
        m_Form->Navigator().SelectPath(QStringLiteral("Wizards/Group IP Setting"));
        QWidget* w = Wizard("TWizardGroupIpFrame");
        QCOMPARE(Next(w)->text(), QString("&Next"));
        QVERIFY(!Prev(w)->isEnabled());
        Next(w)->click();
        QVERIFY(Prev(w)->isEnabled());
        QCOMPARE(ToSelect(w)->topLevelItemCount(), 4);
        const QStringList offered = Column(ToSelect(w), 1);
        QVERIFY(!Next(w)->isEnabled());
        QVERIFY(!At<QToolButton>(w, "m_Step1Select")->isEnabled());
        QVERIFY(At<QToolButton>(w, "m_Step1SelectAll")->isEnabled());
        QVERIFY(!At<QToolButton>(w, "m_Step1UnselectAll")->isEnabled());

        Highlight(ToSelect(w), {0, 1, 2});
        QVERIFY(At<QToolButton>(w, "m_Step1Select")->isEnabled());
        At<QToolButton>(w, "m_Step1Select")->click();
        QCOMPARE(Column(Selected(w), 1), (QStringList{offered[2], offered[1], offered[0]}));
        QCOMPARE(Column(ToSelect(w), 1), QStringList{offered[3]});
        QCOMPARE(Selected(w)->selectedItems().size(), 3);
        QVERIFY(Next(w)->isEnabled());
        QVERIFY(At<QToolButton>(w, "m_Step1Unselect")->isEnabled());

        At<QToolButton>(w, "m_Step1UnselectAll")->click();
        QCOMPARE(Selected(w)->topLevelItemCount(), 0);
        QCOMPARE(ToSelect(w)->topLevelItemCount(), 4);
        QVERIFY(!Next(w)->isEnabled());
    }

    void rangePlans_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("begin");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QStringList>("newIps");
        QTest::addColumn<bool>("gatewayEnabled");
        QTest::addColumn<QString>("gatewayShown");

        const QString m24 = "255.255.255.0";
        QTest::newRow("three from .10 to .12")
            << 3 << "192.168.1.10"
            << "192.168.1.12" << m24 << "" << QStringList{"192.168.1.10", "192.168.1.11", "192.168.1.12"} << true << "";
        QTest::newRow("range one short") << 3 << "192.168.1.10"
                                         << "192.168.1.11" << m24 << "192.168.1.1"
                                         << QStringList{"0.0.0.0", "0.0.0.0", "0.0.0.0"} << false << "0.0.0.0";
        QTest::newRow("one address never")
            << 1 << "192.168.1.10"
            << "192.168.1.10" << m24 << "" << QStringList{"0.0.0.0"} << false << "0.0.0.0";
        QTest::newRow("across subnets, no gateway")
            << 2 << "10.0.0.5"
            << "10.0.1.5" << m24 << "10.0.0.1" << QStringList{"10.0.0.5", "10.0.0.6"} << false << "0.0.0.0";
        QTest::newRow("gateway outside the subnet dropped")
            << 2 << "192.168.1.10"
            << "192.168.1.20" << m24 << "192.168.2.1" << QStringList{"192.168.1.10", "192.168.1.11"} << true
            << "192.168.2.1";
        // A switch never gets the gateway's address nor the subnet's broadcast address.
        QTest::newRow("gateway inside the range skipped")
            << 3 << "192.168.1.10"
            << "192.168.1.13" << m24 << "192.168.1.11" << QStringList{"192.168.1.10", "192.168.1.12", "192.168.1.13"}
            << true << "192.168.1.11";
        QTest::newRow("broadcast skipped") << 2 << "10.0.0.254"
                                           << "10.0.1.1"
                                           << "255.255.255.0"
                                           << "" << QStringList{"10.0.0.254", "10.0.1.1"} << false << "0.0.0.0";
        QTest::newRow("bad netmask") << 1 << "192.168.1.10"
                                     << "192.168.1.12"
                                     << "255.0.255.0"
                                     << "" << QStringList{"0.0.0.0"} << false << "0.0.0.0";
    }
    void rangePlans()
    {
        QFETCH(int, rows);
        QFETCH(QString, begin);
        QFETCH(QString, end);
        QFETCH(QString, mask);
        QFETCH(QString, gateway);
        QFETCH(QStringList, newIps);
        QFETCH(bool, gatewayEnabled);
        QFETCH(QString, gatewayShown);
        for (int i = 1; i <= rows; ++i)
            AddLoggedIn(uint8_t(i));
        QWidget* w = GroupIp();
        QCOMPARE(Next(w)->text(), QString("&Apply"));
        At<QRadioButton>(w, "m_Step2Range")->click();
        QVERIFY(!At<QLineEdit>(w, "m_Step2DhcpServer")->isEnabled());
        Type(At<QLineEdit>(w, "m_Step2IpBegin"), begin);
        Type(At<QLineEdit>(w, "m_Step2IpEnd"), end);
        Type(At<QLineEdit>(w, "m_Step2Netmask"), mask);
        Type(At<QLineEdit>(w, "m_Step2Gateway"), gateway);
        QCOMPARE(Column(Preview(w), 3), newIps);
        QCOMPARE(Next(w)->isEnabled(), newIps.first() != "0.0.0.0");
        QCOMPARE(At<QLineEdit>(w, "m_Step2Gateway")->isEnabled(), gatewayEnabled);
        if (!gatewayShown.isEmpty()) {
            Type(At<QLineEdit>(w, "m_Step2Gateway"), At<QLineEdit>(w, "m_Step2Gateway")->text());
            QCOMPARE(At<QLineEdit>(w, "m_Step2Gateway")->text(),
                     gatewayEnabled && gatewayShown == "192.168.2.1" ? QString("0.0.0.0") : gatewayShown);
        }
    }

    // Apply in range mode: one 0x0107 per row from the bottom up, each with the digest,
    // the row's address, the netmask and the gateway; the rows end with their outcome.
    void rangeApplySendsFromTheBottomAndMarksRows()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        TDevice* c = AddLoggedIn(3);
        QWidget* w = GroupIp();
        At<QRadioButton>(w, "m_Step2Range")->click();
        Type(At<QLineEdit>(w, "m_Step2IpBegin"), "192.168.1.10");
        Type(At<QLineEdit>(w, "m_Step2IpEnd"), "192.168.1.12");
        Type(At<QLineEdit>(w, "m_Step2Netmask"), "255.255.255.0");
        Type(At<QLineEdit>(w, "m_Step2Gateway"), "192.168.1.1");
        // Only entries the workstation learned go; static ones are the administrator's.
        std::vector<uint32_t> flushed;
        m_Form->GroupIpWizard()->SetArpFlush([&](const std::vector<uint32_t>& addresses, bool includeStatic) {
            QVERIFY(!includeStatic);
            flushed.insert(flushed.end(), addresses.begin(), addresses.end());
        });
        m_Fake->Sent.clear();
        Next(w)->click();

        const auto digest = Intp::CredentialDigest("admin", "secret");
        std::vector<std::vector<uint8_t>> payloads;
        for (const auto& d : m_Fake->Sent) {
            QCOMPARE(Intp::ReadU16(d.Bytes.data()), uint16_t(0x0107));
            payloads.push_back(PayloadOf(d));
            QCOMPARE(d.Address, 0xFFFFFFFFu);
        }
        m_Fake->Sent.clear();
        QCOMPARE(payloads.size(), size_t(3));
        for (size_t i = 0; i < 3; ++i) {
            std::vector<uint8_t> expected(digest.begin(), digest.end());
            expected.push_back(0);
            auto rest = Bytes({0xC0A8010Cu - uint32_t(i), 0xFFFFFF00u, 0xC0A80101u, 0, 0});
            expected.insert(expected.end(), rest.begin(), rest.end());
            QCOMPARE(payloads[i], expected);
        }
        std::ranges::sort(flushed);
        QCOMPARE(flushed, (std::vector<uint32_t>{a->Address(), b->Address(), c->Address()}));
        QVERIFY(!Prev(w)->isEnabled());
        QVERIFY(!Next(w)->isEnabled());
        QVERIFY(!At<QWidget>(w, "m_Step2Settings")->isEnabled());
        QVERIFY(!m_Form->GroupIpWizard()->Hide(false));

        // The preview lists the chosen devices top to bottom; find each row's device.
        QList<TDevice*> rowDevices;
        for (int i = 0; i < 3; ++i)
            for (TDevice* d : {a, b, c})
                if (Preview(w)->topLevelItem(i)->text(1) == QString::fromStdString(d->Mac().Text()))
                    rowDevices << d;
        QCOMPARE(rowDevices.size(), 3);
        flushed.clear();
        Reply(rowDevices[2], 0x0107, 0);
        QCOMPARE(flushed, std::vector<uint32_t>{rowDevices[2]->Address()}); // taught again by the reply
        Reply(rowDevices[1], 0x0107, 0x0001);
        QCOMPARE(IpImages(Preview(w)), (QList<int>{-1, 1, 0}));
        QVERIFY(!Prev(w)->isEnabled());
        m_Fake->Advance(Intp::DefaultInterval);
        QCOMPARE(IpImages(Preview(w)), (QList<int>{1, 1, 0}));
        QVERIFY(Prev(w)->isEnabled());
        QVERIFY(Next(w)->isEnabled());
        QVERIFY(At<QWidget>(w, "m_Step2Settings")->isEnabled());
    }

    // A chosen switch the registry forgot meanwhile (a discovery ran) is created again and
    // still sent its settings: they go to the limited broadcast with its MAC.
    void forgottenSwitchIsStillReached()
    {
        const TMacAddr a = AddLoggedIn(1)->Mac();
        const TMacAddr b = AddLoggedIn(2)->Mac();
        QWidget* w = GroupIp();
        Type(At<QLineEdit>(w, "m_Step2DhcpServer"), "192.168.1.1");
        Registry::Clear();
        m_Fake->Sent.clear();
        Next(w)->click();
        QCOMPARE(m_Fake->Sent.size(), size_t(2));
        QSet<QString> macs;
        for (const auto& d : m_Fake->Sent) {
            QCOMPARE(d.Address, 0xFFFFFFFFu);
            macs << QString::fromStdString(TMacAddr(d.Bytes.data() + Intp::OffMac).Text());
        }
        QCOMPARE(macs, (QSet<QString>{QString::fromStdString(a.Text()), QString::fromStdString(b.Text())}));
        QCOMPARE(IpImages(Preview(w)), (QList<int>{-1, -1}));
        QVERIFY(!Prev(w)->isEnabled());

        // The switch answers from the address it had; its row shows it.
        m_Fake->Sent.clear();
        Deliver(0x0A000063, MakeDatagram(0x0107, 0, a, {0, 0, 0, 0}));
        const int rowA = Preview(w)->topLevelItem(0)->text(1) == QString::fromStdString(a.Text()) ? 0 : 1;
        QCOMPARE(TWizardGroupIpFrame::ImageOf(Preview(w)->topLevelItem(rowA)), 0);
        QCOMPARE(Preview(w)->topLevelItem(rowA)->text(2), QString("10.0.0.99"));
        m_Fake->Advance(Intp::DefaultInterval);
        QCOMPARE(TWizardGroupIpFrame::ImageOf(Preview(w)->topLevelItem(1 - rowA)), 1);
        QVERIFY(Prev(w)->isEnabled());
    }

    void dhcpServerRulesAndRequests()
    {
        AddLoggedIn(1);
        AddLoggedIn(2);
        QWidget* w = GroupIp();
        QVERIFY(At<QRadioButton>(w, "m_Step2Dhcp")->isChecked());
        QVERIFY(!At<QLineEdit>(w, "m_Step2IpBegin")->isEnabled());
        QCOMPARE(Column(Preview(w), 3), (QStringList{"DHCP", "DHCP"}));
        Type(At<QLineEdit>(w, "m_Step2DhcpServer"), "127.0.0.1");
        QVERIFY(!Next(w)->isEnabled());
        Type(At<QLineEdit>(w, "m_Step2DhcpServer"), "nonsense");
        QCOMPARE(At<QLineEdit>(w, "m_Step2DhcpServer")->text(), QString("255.255.255.255"));
        QVERIFY(!Next(w)->isEnabled());
        Type(At<QLineEdit>(w, "m_Step2DhcpServer"), "192.168.1.1");
        QVERIFY(Next(w)->isEnabled());

        m_Credentials = false;
        m_Fake->Sent.clear();
        Next(w)->click();
        QVERIFY(m_Fake->Sent.empty());
        m_Credentials = true;
        Next(w)->click();
        QCOMPARE(m_Fake->Sent.size(), size_t(2));
        for (const auto& d : m_Fake->Sent) {
            std::vector<uint8_t> payload = PayloadOf(d);
            QCOMPARE(payload[16], uint8_t(1));
            QCOMPARE(std::vector<uint8_t>(payload.begin() + 17, payload.begin() + 21), Bytes({0xC0A80101u}));
        }
    }

    void leavingReturnsToTheIntroduction()
    {
        AddLoggedIn(1);
        QWidget* w = GroupIp();
        QCOMPARE(At<QStackedWidget>(w, "m_Steps")->currentIndex(), 2);
        m_Form->Navigator().SelectPath(QStringLiteral("Basics"));
        m_Form->Navigator().SelectPath(QStringLiteral("Wizards/Group IP Setting"));
        QCOMPARE(At<QStackedWidget>(w, "m_Steps")->currentIndex(), 0);
        QCOMPARE(Next(w)->text(), QString("&Next"));
        QVERIFY(!Prev(w)->isEnabled());
    }

    // Step 1 of the firmware wizard: logged-in devices only, their versions, one model.
    void firmwareOffersLoggedInDevicesOfOneModel()
    {
        const auto models = Intp::RegisterKnownModels();
        TDevice* a = AddLoggedIn(1, models[0]);
        AddLoggedIn(2, models[1]);
        AddLoggedIn(3, models[0])->SetLoggedIn(false);
        auto& record = Intp::GetProperty<Intp::TPropertyBasicsSettings>(*a);
        record.Valid = true;
        record.KernelVersion = 0x0102;
        record.FirmwareVersion = 0x020A;
        m_Form->Navigator().SelectPath(QStringLiteral("Wizards/Group Firmware Update"));
        QWidget* w = Wizard("TWizardGroupFwFrame");
        Next(w)->click();
        QTreeWidget* available = ToSelect(w);
        QCOMPARE(available->topLevelItemCount(), 2);
        const int rowA = available->topLevelItem(0)->text(3) == QString::fromStdString(a->Mac().Text()) ? 0 : 1;
        QCOMPARE(available->topLevelItem(rowA)->text(1), QString("v1.02"));
        QCOMPARE(available->topLevelItem(rowA)->text(2), QString("v2.10"));
        QCOMPARE(available->topLevelItem(1 - rowA)->text(1), QString("Invalid"));
        QCOMPARE(available->topLevelItem(1 - rowA)->text(2), QString("Invalid"));

        At<QToolButton>(w, "m_Step1SelectAll")->click();
        QCOMPARE(m_Messages, QStringList{"You cannot select devices of different model!"});
        QCOMPARE(Selected(w)->topLevelItemCount(), 0);

        Highlight(available, {rowA});
        At<QToolButton>(w, "m_Step1Select")->click();
        QCOMPARE(Selected(w)->topLevelItemCount(), 1);
        Selected(w)->topLevelItem(0)->setSelected(true);
        Highlight(available, {0});
        At<QToolButton>(w, "m_Step1Select")->click();
        QCOMPARE(m_Messages.size(), 2);
        QCOMPARE(Selected(w)->topLevelItemCount(), 1);
        QCOMPARE(available->topLevelItemCount(), 1);
    }

    // TFTP: the file name is cut to 32 bytes; each row follows its own device's progress
    // and the wizard stays busy until the last row has finished; state 0 keeps a row busy.
    void tftpUpgradeFollowsEachDevice()
    {
        QList<TDevice*> devices{AddLoggedIn(1), AddLoggedIn(2), AddLoggedIn(3)};
        QWidget* w = GroupFw();
        QCOMPARE(Next(w)->text(), QString("&Upgrade"));
        At<QRadioButton>(w, "m_Step2Remote")->click();
        QVERIFY(!At<QLineEdit>(w, "m_Step2Path")->isEnabled());
        QVERIFY(!Next(w)->isEnabled());
        At<QLineEdit>(w, "m_Step2Server")->setText("192.0.2.200");
        QVERIFY(!Next(w)->isEnabled());
        const QString name = QString(40, QChar('f'));
        At<QLineEdit>(w, "m_Step2Filename")->setText(name);
        QVERIFY(Next(w)->isEnabled());
        m_Fake->Sent.clear();
        Next(w)->click();
        QCOMPARE(m_Fake->Sent.size(), size_t(3));
        std::vector<uint8_t> expected = Bytes({0xC00002C8u});
        expected.push_back(0);
        expected.push_back(69);
        expected.insert(expected.end(), 32, uint8_t('f'));
        for (const auto& d : m_Fake->Sent)
            QCOMPARE(PayloadOf(d), expected);
        QCOMPARE(FwImages(Preview(w)), (QList<int>{0, 0, 0}));

        auto row = [&](TDevice* d) {
            for (int i = 0; i < 3; ++i)
                if (Preview(w)->topLevelItem(i)->text(3) == QString::fromStdString(d->Mac().Text()))
                    return i;
            return -1;
        };
        Reply(devices[0], 0x010B, 0, Bytes({1}));
        QCOMPARE(TWizardGroupFwFrame::ImageOf(Preview(w)->topLevelItem(row(devices[0]))), 4);
        Reply(devices[1], 0x010B, 0, Bytes({0}));
        QCOMPARE(TWizardGroupFwFrame::ImageOf(Preview(w)->topLevelItem(row(devices[1]))), 0);
        Reply(devices[0], 0x010B, 0, Bytes({2}));
        Reply(devices[2], 0x010B, 0, Bytes({2}));
        QCOMPARE(TWizardGroupFwFrame::ImageOf(Preview(w)->topLevelItem(row(devices[0]))), 1);
        QVERIFY(!Prev(w)->isEnabled());
        Reply(devices[1], 0x010B, 0, Bytes({4}));
        QCOMPARE(TWizardGroupFwFrame::ImageOf(Preview(w)->topLevelItem(row(devices[1]))), 2);
        QVERIFY(Prev(w)->isEnabled());
        QVERIFY(Next(w)->isEnabled());
    }

    void localImageRulesAndFailures()
    {
        AddLoggedIn(1);
        QTemporaryDir dir;
        const QString image = dir.filePath("fw.bin");
        QWidget* w = GroupFw();
        QVERIFY(At<QLineEdit>(w, "m_Step2Path")->isEnabled());
        QVERIFY(!At<QLineEdit>(w, "m_Step2Server")->isEnabled());
        QVERIFY(!Next(w)->isEnabled());
        Dialogs::SetPickHandler([&](Dialogs::TPick, const QString&, const QString&) { return image; });
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1000, 'x'));
        file.close();
        At<QToolButton>(w, "m_Step2Open")->click();
        Dialogs::SetPickHandler(nullptr);
        QCOMPARE(At<QLineEdit>(w, "m_Step2Path")->text(), image);
        QVERIFY(Next(w)->isEnabled());

        // Removed before the upgrade: nothing starts, the row fails, the wizard stays usable.
        QFile::remove(image);
        m_Fake->Sent.clear();
        Next(w)->click();
        QVERIFY(m_Fake->Sent.empty());
        QCOMPARE(FwImages(Preview(w)), QList<int>{2});
        QVERIFY(Prev(w)->isEnabled());
    }

    // Block numbers are 16-bit: an image beyond 65,536 blocks of 512 bytes is refused when
    // chosen, with a message naming the limit.
    void oversizedImageIsRefused()
    {
        AddLoggedIn(1);
        QTemporaryDir dir;
        const QString image = dir.filePath("huge.bin");
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(33 * 1024 * 1024)); // sparse
        file.close();
        QWidget* w = GroupFw();
        Dialogs::SetPickHandler([&](Dialogs::TPick, const QString&, const QString&) { return image; });
        At<QToolButton>(w, "m_Step2Open")->click();
        Dialogs::SetPickHandler(nullptr);
        QCOMPARE(m_Messages, QStringList{"huge.bin is larger than 32 MiB, the most a built-in transfer can send."});
        QCOMPARE(At<QLineEdit>(w, "m_Step2Path")->text(), QString());
        QVERIFY(!Next(w)->isEnabled());
    }

    // A device forgotten while its upgrade runs can no longer report: its row fails so
    // the wizard can be left.
    void forgottenDeviceEndsTheRun()
    {
        AddLoggedIn(1);
        QWidget* w = GroupFw();
        At<QRadioButton>(w, "m_Step2Remote")->click();
        At<QLineEdit>(w, "m_Step2Server")->setText("192.0.2.200");
        At<QLineEdit>(w, "m_Step2Filename")->setText("fw.bin");
        Next(w)->click();
        QVERIFY(!Prev(w)->isEnabled());
        Registry::Clear();
        m_Form->GroupFwWizard()->Notify(nullptr, ncDeviceRemoved, 0);
        QCOMPARE(FwImages(Preview(w)), QList<int>{2});
        QVERIFY(Prev(w)->isEnabled());
    }
};

QTEST_MAIN(TWizardTest)
#include "tst_wizards.moc"
