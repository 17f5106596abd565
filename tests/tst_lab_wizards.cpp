// The group wizards through the whole window, offscreen, in the lab: six simulated switches
// re-addressed from a range, and three switches of one model upgraded at once from a local
// image and three from the lab's TFTP server, each row following its own switch.
#include "LabWindow.h"

#include "core/DeviceType.h"
#include "ui/Dialogs.h"
#include "wizards/WizardGroupFwFrame.h"
#include "wizards/WizardGroupIpFrame.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <set>

class TLabWizardTest : public QObject {
    Q_OBJECT

    template <typename T>
    static T* At(QWidget* w, const char* name)
    {
        T* child = w->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }

    // Opens the wizard at path and takes every offered device to the preview.
    static QWidget* ChooseAll(TMainForm& form, QWidget* wizard, const char* path)
    {
        form.Navigator().SelectPath(QString::fromLatin1(path));
        At<QPushButton>(wizard, "m_Next")->click();
        At<QToolButton>(wizard, "m_Step1SelectAll")->click();
        At<QPushButton>(wizard, "m_Next")->click();
        return wizard;
    }

    // Runs the firmware wizard's upgrade and watches every row: each must pass through
    // "writing" (image 4) on its own and end done (image 1) with the image stored.
    void UpgradeAndWatch(TMainForm& form, QWidget* w, const QTemporaryDir& store, const QByteArray& image)
    {
        QTreeWidget* preview = At<QTreeWidget>(w, "m_Step2Preview");
        QCOMPARE(preview->topLevelItemCount(), 3);
        auto* upgrade = At<QPushButton>(w, "m_Next");
        QVERIFY(upgrade->isEnabled());
        std::vector<std::set<int>> seen(3);
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            for (int i = 0; i < 3; ++i)
                seen[size_t(i)].insert(TWizardGroupFwFrame::ImageOf(preview->topLevelItem(i)));
        });
        watch.start(5);
        upgrade->click();
        QVERIFY(form.GroupFwWizard()->IsBusy());
        QTRY_VERIFY_WITH_TIMEOUT(!form.GroupFwWizard()->IsBusy(), 120000);
        watch.stop();
        for (int i = 0; i < 3; ++i) {
            QTreeWidgetItem* row = preview->topLevelItem(i);
            QCOMPARE(TWizardGroupFwFrame::ImageOf(row), int(TWizardGroupFwFrame::imDone));
            QVERIFY(seen[size_t(i)].count(TWizardGroupFwFrame::imWriting));
            QFile stored(QDir(store.path()).filePath(row->text(3).remove(':') + "-firmware.bin"));
            QVERIFY(stored.open(QIODevice::ReadOnly));
            QCOMPARE(stored.readAll(), image);
        }
    }

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        Intp::RegisterKnownModels();
    }

    void groupIpReaddressesSixSwitches()
    {
        TMainForm form;
        Filter::TFilterSettingsServer filter;
        std::vector<TDevice*> devices;
        QVERIFY(DiscoverAndLogIn(form, filter, "192.0.2.10", 6, devices));
        QWidget* w = ChooseAll(form, form.GroupIpWizard(), "Wizards/Group IP Setting");
        At<QRadioButton>(w, "m_Step2Range")->click();
        At<QLineEdit>(w, "m_Step2IpBegin")->setText("192.0.2.100");
        At<QLineEdit>(w, "m_Step2IpEnd")->setText("192.0.2.120");
        At<QLineEdit>(w, "m_Step2Netmask")->setText("255.255.255.0");
        At<QLineEdit>(w, "m_Step2Gateway")->setText("192.0.2.1");
        QTreeWidget* preview = At<QTreeWidget>(w, "m_Step2Preview");
        QCOMPARE(preview->topLevelItemCount(), 6);
        auto* apply = At<QPushButton>(w, "m_Next");
        QVERIFY(apply->isEnabled());
        apply->click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.GroupIpWizard()->IsBusy(), 30000);
        for (int i = 0; i < 6; ++i) {
            QTreeWidgetItem* row = preview->topLevelItem(i);
            QCOMPARE(TWizardGroupIpFrame::ImageOf(row), int(TWizardGroupIpFrame::imDone));
            const QString planned = QStringLiteral("192.0.2.%1").arg(100 + i);
            QCOMPARE(row->text(3), planned);
            // The row shows the switch where it answers now.
            QTRY_COMPARE_WITH_TIMEOUT(row->text(2), planned, 10000);
        }
        std::vector<uint32_t> addresses;
        for (TDevice* d : devices)
            addresses.push_back(d->Address());
        std::ranges::sort(addresses);
        for (uint32_t i = 0; i < 6; ++i)
            QCOMPARE(addresses[i], Addr("192.0.2.100") + i);
    }

    void groupFirmwareFromALocalImage()
    {
        QTemporaryDir store;
        TLabSim sim("ZODE_LAB_SIM_C",
                    {"--count", "3", "--address", "203.0.113.60", "--mac-base", "02:5A:0D:0C:06:01", "--models",
                     "KX40-TX,KX40-TX,KX40-TX", "--flash-delay", "300", "--store", store.path()});
        QVERIFY(sim.WaitReady());
        QTemporaryDir folder;
        const QString file = folder.filePath("image.bin");
        const QByteArray image = WriteLabImage(file, 64 * 512 + 3);
        QVERIFY(!image.isEmpty());

        TMainForm form;
        Filter::TFilterSettingsServer filter;
        std::vector<TDevice*> devices;
        QVERIFY(DiscoverAndLogIn(form, filter, "203.0.113.60", 3, devices));
        QWidget* w = ChooseAll(form, form.GroupFwWizard(), "Wizards/Group Firmware Update");
        Dialogs::SetPickHandler([&](Dialogs::TPick, const QString&, const QString&) { return file; });
        At<QToolButton>(w, "m_Step2Open")->click();
        Dialogs::SetPickHandler(nullptr);
        UpgradeAndWatch(form, w, store, image);
    }

    void groupFirmwareFromTheLabTftpServer()
    {
        if (qEnvironmentVariableIsEmpty("ZODE_LAB_TFTP_DIR"))
            QSKIP("no TFTP server in this lab");
        QTemporaryDir store;
        TLabSim sim("ZODE_LAB_SIM_C",
                    {"--count", "3", "--address", "203.0.113.70", "--mac-base", "02:5A:0D:0C:07:01", "--models",
                     "KX40-GT,KX40-GT,KX40-GT", "--flash-delay", "300", "--store", store.path()});
        QVERIFY(sim.WaitReady());
        const QByteArray image = WriteLabImage(QDir(qEnvironmentVariable("ZODE_LAB_TFTP_DIR")).filePath("wizard.bin"),
                                               120 * 512 + 9);
        QVERIFY(!image.isEmpty());

        TMainForm form;
        Filter::TFilterSettingsServer filter;
        std::vector<TDevice*> devices;
        QVERIFY(DiscoverAndLogIn(form, filter, "203.0.113.70", 3, devices));
        QWidget* w = ChooseAll(form, form.GroupFwWizard(), "Wizards/Group Firmware Update");
        At<QRadioButton>(w, "m_Step2Remote")->click();
        At<QLineEdit>(w, "m_Step2Server")->setText("198.51.100.1");
        At<QLineEdit>(w, "m_Step2Filename")->setText("wizard.bin");
        UpgradeAndWatch(form, w, store, image);
    }
};

QTEST_MAIN(TLabWizardTest)
#include "tst_lab_wizards.moc"
