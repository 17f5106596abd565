// "Backup", "Restore" and "Upgrade", offscreen, driven through the main window with the
// replies delivered by hand: what they send, how they batch the switches and what each
// row shows for every outcome.
#include "FormSessions.h"

#include "core/Basics.h"
#include "core/Transfer.h"
#include "net/AddressText.h"
#include "shell/ModuleFrame.h"
#include "ui/Dialogs.h"
#include "ui/Images.h"
#include "ui/ModulePage.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace Intp;

namespace {

constexpr int StatusColumn = TModuleDeviceListPage::colStatus;

std::vector<uint8_t> Progress(uint16_t block, uint16_t state)
{
    return {uint8_t(block >> 8), uint8_t(block), uint8_t(state >> 8), uint8_t(state)};
}

std::vector<uint8_t> RemoteState(uint32_t state)
{
    return {uint8_t(state >> 24), uint8_t(state >> 16), uint8_t(state >> 8), uint8_t(state)};
}

// A block of a backup: its number and 512 bytes of fill.
std::vector<uint8_t> BackupBlock(uint16_t block, uint8_t fill)
{
    std::vector<uint8_t> payload(514, fill);
    payload[0] = uint8_t(block >> 8);
    payload[1] = uint8_t(block);
    return payload;
}

std::vector<uint8_t> TftpRequestBytes(uint32_t server, const std::string& file)
{
    std::vector<uint8_t> bytes = {
        uint8_t(server >> 24), uint8_t(server >> 16), uint8_t(server >> 8), uint8_t(server), 0, 69};
    std::vector<uint8_t> name(file.begin(), file.end());
    name.resize(32, 0);
    bytes.insert(bytes.end(), name.begin(), name.end());
    return bytes;
}

qint64 RowImageKey(int index) { return RowImage(index).cacheKey(); }

// "Restore" and "Upgrade" with their action buttons, as test data.
void FileLoadPages()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("action");
    QTest::newRow("restore") << "Basics/Restore"
                             << "m_Restore";
    QTest::newRow("upgrade") << "Basics/Upgrade"
                             << "m_Upgrade";
}

// The device's MAC as twelve digits.
QString Digits(TDevice* d) { return QString::fromStdString(d->Mac().Text()).remove(':'); }

} // namespace

class TTransferPagesTest : public QObject, public TPageDriver {
    Q_OBJECT

    QTemporaryDir m_Dir;
    QString m_PickAnswer;
    QStringList m_Picks; // caption and start folder of every chooser shown

    QWidget* Open(const QString& path)
    {
        Frame()->Tree()->setCurrentItem(Frame()->FindNode(path));
        TModule* page = Frame()->SelectedPage();
        return page ? page->GetControl() : nullptr;
    }
    static TModuleDeviceListPage* ListPage(QWidget* page) { return dynamic_cast<TModuleDeviceListPage*>(page); }
    static QTreeWidgetItem* RowOf(QWidget* page, TDevice* d) { return ListPage(page)->RowOf(d->Mac()); }
    static QString Status(QWidget* page, TDevice* d) { return RowOf(page, d)->text(StatusColumn); }
    static qint64 ImageKey(QWidget* page, TDevice* d) { return RowOf(page, d)->icon(StatusColumn).cacheKey(); }
    // The devices in list order.
    static QList<TDevice*> Rows(QWidget* page)
    {
        QList<TDevice*> devices;
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            devices << Registry::FindByAddress(
                AddressOf(list->topLevelItem(i)->text(TModuleDeviceListPage::colAddress)));
        return devices;
    }
    // Chooses path through the page's "m_Open" chooser.
    void Choose(QWidget* page, const QString& path)
    {
        m_PickAnswer = path;
        Child<QPushButton>(page, "m_Open")->click();
    }
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_Dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }
    // A file of that size without writing it (sparse).
    QString SparseFile(const QString& name, qint64 size)
    {
        QFile file(m_Dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
            qFatal("cannot size %s", qPrintable(file.fileName()));
        return file.fileName();
    }
    // The page with devices listed, the built-in file chosen and the action pressed.
    QWidget* StartUpgrade(std::initializer_list<TDevice*> devices)
    {
        Select(devices);
        QWidget* page = Open("Basics/Upgrade");
        Choose(page, WriteFile("fw.bin", QByteArray(1000, 'x')));
        TakeSent();
        Child<QPushButton>(page, "m_Upgrade")->click();
        return page;
    }
    QList<QWidget*> Options(QWidget* page) { return Child<QWidget>(page, "m_TopPanel")->findChildren<QWidget*>(); }

private slots:
    void initTestCase() { QVERIFY(m_Dir.isValid()); }
    void init()
    {
        OpenWindow();
        m_Picks.clear();
        Dialogs::SetPickHandler([this](Dialogs::TPick, const QString& caption, const QString& folder) {
            m_Picks << caption << folder;
            return m_PickAnswer;
        });
    }
    void cleanup()
    {
        Dialogs::SetPickHandler(nullptr);
        Dialogs::SetHandler(nullptr);
        CloseWindow();
    }

    void catalogueHasThePages()
    {
        for (const char* path : {"Basics/Backup", "Basics/Restore", "Basics/Upgrade"}) {
            TModule* page = Frame()->ModuleOf(Frame()->FindNode(path));
            QVERIFY2(page && page->GetControl(), path);
            QCOMPARE(page->GetName(), QString(path).section('/', -1));
        }
    }

    void formsCarryTheirCaptions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("actionText");
        QTest::addColumn<QString>("openText");
        QTest::addColumn<QString>("rebootText");
        QTest::newRow("backup") << "Basics/Backup"
                                << "m_Backup"
                                << "&Backup"
                                << "&Save ..."
                                << "";
        QTest::newRow("restore") << "Basics/Restore"
                                 << "m_Restore"
                                 << "&Restore"
                                 << "&Open"
                                 << "Re&boot";
        QTest::newRow("upgrade") << "Basics/Upgrade"
                                 << "m_Upgrade"
                                 << "&Upgrade"
                                 << "&Open"
                                 << "&Reboot";
    }
    void formsCarryTheirCaptions()
    {
        QFETCH(QString, path);
        QFETCH(QString, action);
        QFETCH(QString, actionText);
        QFETCH(QString, openText);
        QFETCH(QString, rebootText);
        Select({AddLoggedIn(1)});
        QWidget* page = Open(path);
        QCOMPARE(Child<QPushButton>(page, action)->text(), actionText);
        QCOMPARE(Child<QPushButton>(page, "m_Open")->text(), openText);
        QCOMPARE(Child<QRadioButton>(page, "m_rbLocal")->text(), QString("Use &build-in support:"));
        QVERIFY(Child<QRadioButton>(page, "m_rbLocal")->isChecked());
        QCOMPARE(Child<QRadioButton>(page, "m_rbRemote")->text(), QString("Use &remote tftp server:"));
        QCOMPARE(Child<QLabel>(page, "m_Label1")->text(), QString("&TFTP Server IP:"));
        Child<QWidget>(page, "m_ButtomPanel");
        auto* list = Child<QTreeWidget>(page, "m_ListView");
        QStringList header;
        for (int i = 0; i < list->columnCount(); ++i)
            header << list->headerItem()->text(i);
        QCOMPARE(header, QStringList({"Model", "Kernel Ver.", "Firmware Ver.", "MAC", "IP Address", "Status"}));
        if (rebootText.isEmpty()) {
            QCOMPARE(Child<QLineEdit>(page, "m_Prefix")->text(), QString("backup_"));
            QCOMPARE(Child<QLineEdit>(page, "m_Prefix")->maxLength(), 12);
            QCOMPARE(Child<QLabel>(page, "m_PrefixLabel")->text(), QString("&Filename Prefix:"));
            QVERIFY(Child<QLineEdit>(page, "m_LocalDir")->isReadOnly());
        } else {
            QCOMPARE(Child<QPushButton>(page, "m_Reboot")->text(), rebootText);
            QVERIFY(Child<QLineEdit>(page, "m_LocalFile")->isReadOnly());
            QCOMPARE(Child<QLabel>(page, "m_Label2")->text(), QString("&File Name:"));
            Child<QLineEdit>(page, "m_RemoteFile");
        }
    }

    // The radio choice: which side's fields are enabled and when the action may start.
    void radioChoiceEnablesTheAction_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("remote");
        QTest::addColumn<QString>("local"); // "dir", "file", or a missing path
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("remoteFile");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("backup folder") << "Basics/Backup"
                                       << "m_Backup" << false << "dir"
                                       << ""
                                       << "" << true;
        QTest::newRow("backup missing folder") << "Basics/Backup"
                                               << "m_Backup" << false << "/nonexistent/zode"
                                               << ""
                                               << "" << false;
        QTest::newRow("backup file as folder") << "Basics/Backup"
                                               << "m_Backup" << false << "file"
                                               << ""
                                               << "" << false;
        QTest::newRow("backup server") << "Basics/Backup"
                                       << "m_Backup" << true << ""
                                       << "192.0.2.200"
                                       << "" << true;
        QTest::newRow("backup loopback server") << "Basics/Backup"
                                                << "m_Backup" << true << "dir"
                                                << "127.0.0.1"
                                                << "" << false;
        QTest::newRow("backup no server") << "Basics/Backup"
                                          << "m_Backup" << true << "dir"
                                          << "192.0.2.300"
                                          << "" << false;
        QTest::newRow("restore file") << "Basics/Restore"
                                      << "m_Restore" << false << "file"
                                      << ""
                                      << "" << true;
        QTest::newRow("restore missing file") << "Basics/Restore"
                                              << "m_Restore" << false << "/nonexistent/zode.bin"
                                              << ""
                                              << "" << false;
        QTest::newRow("restore server and file") << "Basics/Restore"
                                                 << "m_Restore" << true << ""
                                                 << "192.0.2.200"
                                                 << "cfg.bin" << true;
        QTest::newRow("restore server only") << "Basics/Restore"
                                             << "m_Restore" << true << "file"
                                             << "192.0.2.200"
                                             << "" << false;
        QTest::newRow("upgrade bad server") << "Basics/Upgrade"
                                            << "m_Upgrade" << true << ""
                                            << "0.0.0.0"
                                            << "fw.bin" << false;
        QTest::newRow("upgrade server and file") << "Basics/Upgrade"
                                                 << "m_Upgrade" << true << ""
                                                 << "198.51.100.7"
                                                 << "fw.bin" << true;
    }
    void radioChoiceEnablesTheAction()
    {
        QFETCH(QString, path);
        QFETCH(QString, action);
        QFETCH(bool, remote);
        QFETCH(QString, local);
        QFETCH(QString, server);
        QFETCH(QString, remoteFile);
        QFETCH(bool, enabled);
        Select({AddLoggedIn(1)});
        QWidget* page = Open(path);
        auto* button = Child<QPushButton>(page, action);
        QVERIFY(!button->isEnabled());
        const bool backup = path.endsWith("Backup");
        if (!local.isEmpty())
            Choose(page, local == "dir" ? m_Dir.path() : local == "file" ? WriteFile("image.bin", "abc") : local);
        if (remote)
            Child<QRadioButton>(page, "m_rbRemote")->click();
        Child<QLineEdit>(page, "m_ServerIp")->setText(server);
        if (!backup)
            Child<QLineEdit>(page, "m_RemoteFile")->setText(remoteFile);
        QCOMPARE(button->isEnabled(), enabled);
        const QStringList localFields = {backup ? "m_LocalDir" : "m_LocalFile", "m_Open"};
        QStringList remoteFields = {"m_Label1", "m_ServerIp"};
        if (!backup)
            remoteFields << "m_Label2"
                         << "m_RemoteFile";
        for (const QString& name : localFields)
            QCOMPARE(Child<QWidget>(page, name)->isEnabled(), !remote);
        for (const QString& name : remoteFields)
            QCOMPARE(Child<QWidget>(page, name)->isEnabled(), remote);
        for (const char* name : {"m_rbLocal", "m_rbRemote"})
            QVERIFY(Child<QWidget>(page, name)->isEnabled());
    }

    // Restore and Upgrade need one model; Backup takes any mix.
    void differentModelsKeepTheOptionsDisabled_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("secondModel");
        QTest::addColumn<bool>("offered");
        const std::vector<int>& models = RegisterKnownModels();
        QTest::newRow("upgrade TX and GT") << "Basics/Upgrade"
                                           << "m_Upgrade" << models[3] << false;
        QTest::newRow("restore TX and GT") << "Basics/Restore"
                                           << "m_Restore" << models[3] << false;
        QTest::newRow("upgrade two TX") << "Basics/Upgrade"
                                        << "m_Upgrade" << models[0] << true;
        QTest::newRow("backup TX and GT") << "Basics/Backup"
                                          << "m_Backup" << models[3] << true;
    }
    void differentModelsKeepTheOptionsDisabled()
    {
        QFETCH(QString, path);
        QFETCH(QString, action);
        QFETCH(int, secondModel);
        QFETCH(bool, offered);
        Select({AddLoggedIn(1, RegisterKnownModels()[0]), AddLoggedIn(2, secondModel)});
        QWidget* page = Open(path);
        QCOMPARE(Child<QTreeWidget>(page, "m_ListView")->topLevelItemCount(), 2);
        const QList<QWidget*> options = Options(page);
        QVERIFY(options.size() >= 8);
        for (const char* name : {"m_rbLocal", "m_rbRemote", "m_Open"})
            QCOMPARE(Child<QWidget>(page, name)->isEnabled(), offered);
        if (!offered) {
            for (QWidget* option : options)
                QVERIFY2(!option->isEnabled(), qPrintable(option->objectName()));
            // Even a file in place does not make the action available.
            Child<QLineEdit>(page, "m_LocalFile")->setText(WriteFile("image.bin", "abc"));
        }
        QVERIFY(!Child<QPushButton>(page, action)->isEnabled());
    }

    void noLoggedInDeviceOffersNothing()
    {
        TDevice* d = AddLoggedIn(1);
        d->SetLoggedIn(false);
        Select({d});
        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Basics/Backup"));
        auto* page = dynamic_cast<QWidget*>(Frame()->ModuleOf(Frame()->FindNode("Basics/Backup")));
        dynamic_cast<TModule*>(page)->Notify(d, ncSelect, 0);
        QCOMPARE(Child<QTreeWidget>(page, "m_ListView")->topLevelItemCount(), 0);
        for (QWidget* option : Options(page))
            QVERIFY2(!option->isEnabled(), qPrintable(option->objectName()));
    }

    void versionsFromTheSystemRecord()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        auto& cached = GetProperty<TPropertyBasicsSettings>(*a);
        cached.Valid = true;
        cached.KernelVersion = 0x0102;
        cached.FirmwareVersion = 0x030A;
        Select({a, b});
        TakeSent();
        QWidget* page = Open("Basics/Restore");
        QVERIFY(Shown(page));
        QCOMPARE(TakeSent(), (TSentList{To(260, a), To(260, b)}));
        QCOMPARE(RowOf(page, a)->text(TModuleDeviceListPage::colKernel), QString("v1.02"));
        QCOMPARE(RowOf(page, a)->text(TModuleDeviceListPage::colFirmware), QString("v3.10"));
        QCOMPARE(RowOf(page, b)->text(TModuleDeviceListPage::colKernel), QString("Invalid"));
        QCOMPARE(RowOf(page, b)->text(TModuleDeviceListPage::colFirmware), QString("Invalid"));
        QCOMPARE(RowOf(page, a)->text(TModuleDeviceListPage::colModel), QString::fromStdString(a->TypeDescription()));
        QCOMPARE(RowOf(page, a)->text(TModuleDeviceListPage::colMac), QString::fromStdString(a->Mac().Text()));
        QCOMPARE(Status(page, a), QString());
        QCOMPARE(ImageKey(page, a), QIcon().cacheKey());
    }

    // The first block of a firmware file, the next one after state 0, and the end.
    void upgradeSendsTheFileInBlocks()
    {
        TDevice* d = AddLoggedIn(1);
        QByteArray image(1000, Qt::Uninitialized);
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i % 251);
        Select({d});
        QWidget* page = Open("Basics/Upgrade");
        const QString file = WriteFile("image1000.bin", image);
        Choose(page, file);
        QCOMPARE(Child<QLineEdit>(page, "m_LocalFile")->text(), file);
        QCOMPARE(m_Picks.value(0), QString("Select Firmware Image ..."));
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Upgrade")->click();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(ReadU16(m_Fake->Sent[0].Bytes.data()), uint16_t(256));
        QCOMPARE(m_Fake->Sent[0].Address, d->Address());
        std::vector<uint8_t> expected = {0, 0};
        expected.insert(expected.end(), image.begin(), image.begin() + 512);
        QCOMPARE(PayloadOf(m_Fake->Sent[0]), expected);
        QCOMPARE(Status(page, d), QString("Transmitting"));
        QCOMPARE(ImageKey(page, d), RowImageKey(0));
        m_Fake->Sent.clear();

        Reply(d, 256, 0, Progress(0, tsGoingOn));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        std::vector<uint8_t> second = PayloadOf(m_Fake->Sent[0]);
        QCOMPARE(second.size(), std::size_t(514));
        std::vector<uint8_t> rest = {0, 1};
        rest.insert(rest.end(), image.begin() + 512, image.end());
        QCOMPARE(std::vector<uint8_t>(second.begin(), second.begin() + 2 + 488), rest);
        QCOMPARE(Status(page, d), QString("Transmitting"));
        Reply(d, 256, 0, Progress(1, tsDone));
        QCOMPARE(Status(page, d), QString("Done"));
        QCOMPARE(ImageKey(page, d), RowImageKey(1));
        QVERIFY(Child<QPushButton>(page, "m_Upgrade")->isEnabled());
    }

    void remoteRestoreSendsTheServerAndFile()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open("Basics/Restore");
        Child<QRadioButton>(page, "m_rbRemote")->click();
        Child<QLineEdit>(page, "m_ServerIp")->setText("198.51.100.9");
        Child<QLineEdit>(page, "m_RemoteFile")->setText("configs/switch-a.cfg");
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Restore")->click();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(2));
        for (const TSentDatagram& sent : m_Fake->Sent) {
            QCOMPARE(ReadU16(sent.Bytes.data()), uint16_t(266));
            QCOMPARE(PayloadOf(sent), TftpRequestBytes(0xC6336409u, "configs/switch-a.cfg"));
        }
        Reply(a, 266, 0, RemoteState(tsDone));
        Reply(b, 266, 0, RemoteState(7));
        QCOMPARE(Status(page, a), QString("Done"));
        QCOMPARE(Status(page, b), QString("Error"));
        QCOMPARE(ImageKey(page, b), RowImageKey(2));
    }

    // Built-in backup: the block requests, the file named after the prefix and address.
    void builtinBackupWritesOneFilePerSwitch()
    {
        TDevice* d = AddLoggedIn(7);
        Select({d});
        QWidget* page = Open("Basics/Backup");
        QTemporaryDir target;
        Choose(page, target.path());
        QCOMPARE(m_Picks.value(0), QString("Save in ..."));
        QCOMPARE(Child<QLineEdit>(page, "m_LocalDir")->text(), target.path());
        Child<QLineEdit>(page, "m_Prefix")->setText("cfg-");
        m_Fake->Sent.clear();
        Child<QPushButton>(page, "m_Backup")->click();
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(ReadU16(m_Fake->Sent[0].Bytes.data()), uint16_t(257));
        QCOMPARE(PayloadOf(m_Fake->Sent[0]), (std::vector<uint8_t>{0, 0}));
        m_Fake->Sent.clear();
        Reply(d, 257, 0, BackupBlock(0, 'a'));
        QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
        QCOMPARE(PayloadOf(m_Fake->Sent[0]), (std::vector<uint8_t>{0, 1}));
        QCOMPARE(Status(page, d), QString("Transmitting"));
        Reply(d, 257, 0, BackupBlock(0xFFFF, 'b'));
        QCOMPARE(Status(page, d), QString("Done"));
        QFile file(target.filePath("cfg-192.0.2.7.bin"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(512, 'a') + QByteArray(512, 'b'));
    }

    // Two switches on one address: each backs up into a file of its own, named by its MAC,
    // whether the other answers or stays silent.
    void switchesSharingAnAddressBackUpApart_data()
    {
        QTest::addColumn<bool>("secondAnswers");
        QTest::newRow("second silent") << false;
        QTest::newRow("both answer") << true;
    }
    void switchesSharingAnAddressBackUpApart()
    {
        QFETCH(bool, secondAnswers);
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        b->SetAddress(a->Address());
        TDevice* c = AddLoggedIn(3);
        Select({a, b, c});
        QWidget* page = Open("Basics/Backup");
        QTemporaryDir target;
        Choose(page, target.path());
        TakeSent();
        Child<QPushButton>(page, "m_Backup")->click();
        QCOMPARE(TakeSent().size(), 3);
        // The others answer within every reply time; a silent one has timed out (four
        // times 3 s) by the fifth.
        const int periods = secondAnswers ? 1 : 5;
        for (int i = 0; i < periods; ++i) {
            Reply(a, 257, 0, BackupBlock(uint16_t(i), 'a'));
            Reply(c, 257, 0, BackupBlock(uint16_t(i), 'c'));
            if (secondAnswers)
                Reply(b, 257, 0, BackupBlock(uint16_t(i), 'b'));
            m_Fake->Advance(TransferReplyTime - 1);
        }
        QCOMPARE(Status(page, b), secondAnswers ? QString("Transmitting") : QString("Timeout"));
        Reply(a, 257, 0, BackupBlock(LastTransferBlock, 'A'));
        Reply(c, 257, 0, BackupBlock(LastTransferBlock, 'C'));
        if (secondAnswers)
            Reply(b, 257, 0, BackupBlock(LastTransferBlock, 'B'));
        QCOMPARE(Status(page, a), QString("Done"));
        QCOMPARE(Status(page, b), secondAnswers ? QString("Done") : QString("Timeout"));
        QCOMPARE(Status(page, c), QString("Done"));

        // Each file holds its own switch's bytes; nothing else is left in the folder.
        QMap<QString, QByteArray> expected = {
            {"backup_" + Digits(a) + ".bin", QByteArray(512 * periods, 'a') + QByteArray(512, 'A')},
            {"backup_192.0.2.3.bin", QByteArray(512 * periods, 'c') + QByteArray(512, 'C')}};
        if (secondAnswers)
            expected.insert("backup_" + Digits(b) + ".bin", QByteArray(512, 'b') + QByteArray(512, 'B'));
        QMap<QString, QByteArray> found;
        for (const QString& name : QDir(target.path()).entryList(QDir::Files)) {
            QFile file(target.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            found.insert(name, file.readAll());
        }
        QCOMPARE(found, expected);
    }

    // Built-in: 20 at a time, the rest only when none of the 20 still transfers.
    void backupOf25SwitchesRunsInBatches()
    {
        std::vector<TDevice*> devices;
        for (uint8_t mac = 1; mac <= 25; ++mac)
            devices.push_back(AddLoggedIn(mac));
        m_Form->Navigator().SelectDevices(devices);
        QWidget* page = Open("Basics/Backup");
        QTemporaryDir target;
        Choose(page, target.path());
        TakeSent();
        auto* backup = Child<QPushButton>(page, "m_Backup");
        backup->click();
        const QList<TDevice*> rows = Rows(page);
        QCOMPARE(rows.size(), 25);
        TSentList first;
        for (int i = 0; i < 20; ++i)
            first << To(257, rows[i]);
        QCOMPARE(TakeSent(), first);
        for (int i = 20; i < 25; ++i) {
            QCOMPARE(Status(page, rows[i]), QString());
            QCOMPARE(ImageKey(page, rows[i]), QIcon().cacheKey());
        }
        QVERIFY(!Child<QWidget>(page, "m_TopPanel")->isEnabled());
        QVERIFY(!backup->isEnabled());
        for (int i = 0; i < 19; ++i)
            Reply(rows[i], 257, 0, BackupBlock(0xFFFF, 0));
        QCOMPARE(TakeSent(), TSentList{});
        Reply(rows[19], 257, 0x0042, BackupBlock(0, 0));
        QCOMPARE(Status(page, rows[19]), QString("Error: 0x0042"));
        TSentList second;
        for (int i = 20; i < 25; ++i)
            second << To(257, rows[i]);
        QCOMPARE(TakeSent(), second);
        QVERIFY(!backup->isEnabled());
        for (int i = 20; i < 25; ++i)
            Reply(rows[i], 257, 0, BackupBlock(0xFFFF, 0));
        QVERIFY(backup->isEnabled());
        QVERIFY(Child<QWidget>(page, "m_TopPanel")->isEnabled());
        QCOMPARE(Status(page, rows[0]), QString("Done"));
    }

    // Remote: one switch after another; a switch whose file name does not fit is skipped.
    void remoteBackupRunsOneAfterAnother()
    {
        TDevice* b = AddLoggedIn(2);
        Select({AddLoggedIn(1), b, AddLoggedIn(3)});
        b->SetAddress(0xC0000264u); // 192.0.2.100: two characters more than the others
        QWidget* page = Open("Basics/Backup");
        Child<QRadioButton>(page, "m_rbRemote")->click();
        Child<QLineEdit>(page, "m_ServerIp")->setText("192.0.2.200");
        // Nine two-byte characters: 18 + 9 + 4 bytes fit the 32-byte field, 18 + 11 + 4 do not.
        const QString prefix = QString(9, QChar(0xE9));
        Child<QLineEdit>(page, "m_Prefix")->setText(prefix);
        const QList<TDevice*> rows = Rows(page);
        QCOMPARE(rows.size(), 3);
        TakeSent();
        Child<QPushButton>(page, "m_Backup")->click();
        bool first = true;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            TDevice* d = rows[i];
            if (d == b)
                continue;
            QCOMPARE(m_Fake->Sent.size(), std::size_t(1));
            QCOMPARE(m_Fake->Sent[0].Address, d->Address());
            QCOMPARE(ReadU16(m_Fake->Sent[0].Bytes.data()), uint16_t(265));
            const std::string name = (prefix + AddressText(d->Address()) + ".bin").toStdString();
            QCOMPARE(PayloadOf(m_Fake->Sent[0]), TftpRequestBytes(0xC00002C8u, name));
            m_Fake->Sent.clear();
            for (qsizetype j = i + 1; j < rows.size(); ++j)
                QCOMPARE(Status(page, rows[j]), QString());
            if (first) {
                Reply(d, 265, 0, RemoteState(tsGoingOn));
                Reply(d, 265, 0, RemoteState(tsWritingFlash));
                QCOMPARE(Status(page, d), QString("Writing flash"));
                QCOMPARE(ImageKey(page, d), RowImageKey(4));
                QCOMPARE(TakeSent(), TSentList{});
                Reply(d, 265, 0, RemoteState(tsDone));
                QCOMPARE(Status(page, d), QString("Done"));
                first = false;
            } else {
                m_Fake->Advance(60000);
                QCOMPARE(Status(page, d), QString("Timeout"));
            }
        }
        QCOMPARE(Status(page, b), QString("Memory insufficient"));
        QCOMPARE(ImageKey(page, b), RowImageKey(2));
        QCOMPARE(TakeSent(), TSentList{});
        QVERIFY(!IsRunningPage(page));
        QVERIFY(Child<QPushButton>(page, "m_Backup")->isEnabled());
    }

    // What a row shows for each outcome of a built-in upgrade, and whether the run goes on.
    void rowTextsForEachOutcome_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("image");
        QTest::addColumn<bool>("running");
        QTest::newRow("done") << 0 << int(tsDone) << "Done" << 1 << false;
        QTest::newRow("error state") << 0 << int(tsError) << "Error" << 2 << false;
        QTest::newRow("writing flash") << 0 << int(tsWritingFlash) << "Writing flash" << 4 << true;
        QTest::newRow("busy") << 0 << 7 << "Transmitting" << 0 << true;
        QTest::newRow("device error") << 0x0123 << 0 << "Error: 0x0123" << 2 << false;
        QTest::newRow("timeout") << -1 << 0 << "Timeout" << 3 << false;
    }
    void rowTextsForEachOutcome()
    {
        QFETCH(int, status);
        QFETCH(int, state);
        QFETCH(QString, text);
        QFETCH(int, image);
        QFETCH(bool, running);
        TDevice* d = AddLoggedIn(1);
        QWidget* page = StartUpgrade({d});
        if (status < 0)
            m_Fake->Advance(4 * 3000);
        else
            Reply(d, 256, uint16_t(status), Progress(0, uint16_t(state)));
        QCOMPARE(Status(page, d), text);
        QCOMPARE(ImageKey(page, d), RowImageKey(image));
        QCOMPARE(IsRunningPage(page), running);
        QCOMPARE(Child<QPushButton>(page, "m_Upgrade")->isEnabled(), !running);
        QCOMPARE(Child<QPushButton>(page, "m_Reboot")->isEnabled(), !running);
        QCOMPARE(Child<QWidget>(page, "m_TopPanel")->isEnabled(), !running);
    }

    // Rows whose transfer cannot start: the reason on the row, the page stays idle, and
    // the reboot stays off, as no run ended.
    void rowTextsForFailedStarts_data() { FileLoadPages(); }
    void rowTextsForFailedStarts()
    {
        QFETCH(QString, path);
        QFETCH(QString, action);
        TDevice* d = AddLoggedIn(1);
        Select({d});
        QWidget* page = Open(path);
        const QString file = WriteFile("gone.bin", "abc");
        Choose(page, file);
        QVERIFY(QFile::remove(file)); // chosen, then gone: the session has no file
        TakeSent();
        Child<QPushButton>(page, action)->click();
        QCOMPARE(TakeSent(), TSentList{});
        QCOMPARE(Status(page, d), QString("Fail to send request"));
        QCOMPARE(ImageKey(page, d), RowImageKey(2));
        QVERIFY(!IsRunningPage(page));
        QVERIFY(!Child<QPushButton>(page, "m_Reboot")->isEnabled());
        QVERIFY(Frame()->Hide(false));
    }

    // Block numbers are 16-bit: a file beyond 65,536 blocks of 512 bytes is refused when
    // chosen, with a message naming the limit.
    void oversizedFileIsRefused_data() { FileLoadPages(); }
    void oversizedFileIsRefused()
    {
        QFETCH(QString, path);
        QFETCH(QString, action);
        QStringList messages;
        Dialogs::SetHandler([&](Dialogs::TKind, const QString& text) {
            messages << text;
            return true;
        });
        Select({AddLoggedIn(1)});
        QWidget* page = Open(path);
        Choose(page, SparseFile("huge.bin", 33 * 1024 * 1024));
        QCOMPARE(messages, QStringList{"huge.bin is larger than 32 MiB, the most a built-in transfer can send."});
        QCOMPARE(Child<QLineEdit>(page, "m_LocalFile")->text(), QString());
        QVERIFY(!Child<QPushButton>(page, action)->isEnabled());
        Choose(page, SparseFile("largest.bin", 32 * 1024 * 1024));
        QCOMPARE(messages.size(), 1);
        QVERIFY(Child<QPushButton>(page, action)->isEnabled());
    }

    void forgottenDeviceEndsTheRun()
    {
        TDevice* d = AddLoggedIn(1);
        QWidget* page = StartUpgrade({d});
        QVERIFY(IsRunningPage(page));
        const TMacAddr mac = d->Mac();
        Registry::Clear(); // a new discovery: the waiting session can never report
        QTreeWidgetItem* row = ListPage(page)->RowOf(mac);
        QCOMPARE(row->text(StatusColumn), QString("Initialize Error"));
        QCOMPARE(row->icon(StatusColumn).cacheKey(), RowImageKey(2));
        QVERIFY(!IsRunningPage(page));
        QVERIFY(Frame()->Hide(false));
    }

    // The operator's Discovery during a run: the devices are gone when the page hears of it,
    // so every row fails, the run ends and the tree can be changed again.
    void discoveryDuringARunEndsIt()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        TDevice* c = AddLoggedIn(3);
        const std::vector<TMacAddr> macs = {a->Mac(), b->Mac(), c->Mac()};
        QWidget* page = StartUpgrade({a, b, c});
        QVERIFY(IsRunningPage(page));
        m_Form->findChild<QAction*>("acDiscovery")->trigger();
        for (const TMacAddr& mac : macs) {
            QTreeWidgetItem* row = ListPage(page)->RowOf(mac);
            QVERIFY(row);
            QCOMPARE(row->text(StatusColumn), QString("Initialize Error"));
        }
        QVERIFY(!IsRunningPage(page));
        TDevice* d = AddLoggedIn(4);
        m_Form->Navigator().FlushTree();
        m_Form->Navigator().SelectIndex(m_Form->Navigator().IndexOf(d));
        QCOMPARE(m_Form->Tree()->currentIndex(), m_Form->Navigator().IndexOf(d));
    }

    void runningPageRefusesToBeLeft()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        QWidget* page = StartUpgrade({a});
        QVERIFY(!Frame()->Hide(false));
        Frame()->Tree()->setCurrentItem(Frame()->FindNode("Basics"));
        QCOMPARE(Frame()->SelectedPage()->GetControl(), page);
        Frame()->Notify(b, ncSelect, 0); // ignored while running
        QCOMPARE(ListPage(page)->RowOf(b->Mac()), nullptr);
        QCOMPARE(Status(page, a), QString("Transmitting"));
        Reply(a, 256, 0, Progress(0, tsWritingFlash));
        QVERIFY(!Frame()->Hide(false)); // writing flash still counts as running
        Reply(a, 256, 0, Progress(0, tsDone));
        QVERIFY(Frame()->Hide(false));
    }

    // Results of another command, or after the run, change nothing.
    void otherResultsChangeNothing()
    {
        TDevice* d = AddLoggedIn(1);
        QWidget* page = StartUpgrade({d});
        TTransferProgress done;
        done.State = tsDone;
        ListPage(page)->OnResult(d, 258, 0, {.Progress = &done});
        QCOMPARE(Status(page, d), QString("Transmitting"));
        ListPage(page)->OnResult(d, 256, 0, {.Progress = &done});
        QCOMPARE(Status(page, d), QString("Done"));
        ListPage(page)->OnResult(d, 256, 0x0005, {});
        QCOMPARE(Status(page, d), QString("Done"));
    }

    // Reboot: off after listing and while running, on again when a run ends; it reboots
    // every selected device.
    void rebootButtonRules()
    {
        TDevice* a = AddLoggedIn(1);
        TDevice* b = AddLoggedIn(2);
        Select({a, b});
        QWidget* page = Open("Basics/Restore");
        auto* reboot = Child<QPushButton>(page, "m_Reboot");
        QVERIFY(!reboot->isEnabled());
        Choose(page, WriteFile("cfg.bin", QByteArray(10, 'c')));
        QVERIFY(!reboot->isEnabled());
        Child<QPushButton>(page, "m_Restore")->click();
        QVERIFY(!reboot->isEnabled());
        Reply(a, 258, 0, Progress(0, tsDone));
        QVERIFY(!reboot->isEnabled());
        Reply(b, 258, 0, Progress(0, tsDone));
        QVERIFY(reboot->isEnabled());
        TakeSent();
        reboot->click();
        QCOMPARE(TakeSent(), (TSentList{To(259, a), To(259, b)}));
        Frame()->Notify(a, ncSelect, 0);
        QVERIFY(!reboot->isEnabled());
    }

    // The last folder chosen is where the next chooser of any of the pages starts.
    void choosersRememberTheLastFolder()
    {
        Select({AddLoggedIn(1)});
        QWidget* backup = Open("Basics/Backup");
        QTemporaryDir folder;
        Choose(backup, folder.path());
        QWidget* restore = Open("Basics/Restore");
        Choose(restore, QString());
        QCOMPARE(m_Picks.mid(2), QStringList({"Select Configuration Image ...", folder.path()}));
        QCOMPARE(Child<QLineEdit>(restore, "m_LocalFile")->text(), QString()); // cancelled
        Choose(restore, WriteFile("x.bin", "x"));
        QWidget* upgrade = Open("Basics/Upgrade");
        Choose(upgrade, QString());
        QCOMPARE(m_Picks.last(), m_Dir.path());
    }

private:
    static bool IsRunningPage(QWidget* page) { return ListPage(page)->IsRunning(); }
};

QTEST_MAIN(TTransferPagesTest)
#include "tst_transfer_pages.moc"
