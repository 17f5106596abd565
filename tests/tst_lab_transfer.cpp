// Firmware upgrades through the whole window, offscreen, in the lab: three switches behind
// the router lose a tenth of their replies; every upgrade ends with the image the switch
// stored byte for byte equal to the file, or with "Timeout" where the resends give up.
#include "LabSupport.h"

#include "app/Dialogs.h"
#include "app/MainForm.h"
#include "devices/DeviceType.h"
#include "modules/ModuleFrame.h"
#include "modules/ModulePage.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeWidget>

class TLabTransferTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_LAB();
        Intp::RegisterKnownModels();
    }

    void upgradeThreeSwitchesOnALossyLink()
    {
        QTemporaryDir store;
        QVERIFY(store.isValid());
        TLabSim sim("ZODE_LAB_SIM_C", {"--count", "3", "--address", "203.0.113.40", "--mac-base", "02:5A:0D:0C:02:01",
                                       "--models", "KX40-TX,KX40-TX,KX40-TX", "--drop", "0.1", "--flash-delay", "300",
                                       "--seed", "7", "--store", store.path()});
        QVERIFY(sim.WaitReady());

        // A firmware image the switches take: "VZFW", its whole length, then 48 blocks' worth.
        QByteArray image("VZFW");
        const int size = 48 * 512 - 100;
        for (int shift : {24, 16, 8, 0})
            image.append(char(size >> shift));
        while (image.size() < size)
            image.append(char(QRandomGenerator::global()->bounded(256)));
        QTemporaryDir folder;
        const QString file = folder.filePath("image.bin");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(image) == image.size());
        out.close();

        TMainForm form;
        form.show();
        Filter::TFilterSettingsServer filter;
        filter.Settings.RangeBegin = filter.Settings.RangeEnd = 0;
        for (const char* address : {"203.0.113.40", "203.0.113.41", "203.0.113.42"})
            filter.Settings.Unicast.push_back({Addr(address), 0xFFFFFFFF});
        form.SetFilterServer(&filter);
        // Replies get lost: discover and log in again until all three are there.
        std::vector<TDevice*> devices;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                devices.clear();
                form.GetAllDevices(devices);
                if (devices.size() < 3)
                    form.acDiscovery->trigger();
                return devices.size() == 3;
            }(),
            30000);
        form.SelectDevices(devices);
        form.SetCredentialsSource([](std::string& user, std::string& password) {
            user = "admin";
            password = "admin";
            return true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                bool all = std::all_of(devices.begin(), devices.end(), [](TDevice* d) { return d->IsLoggedIn(); });
                if (!all)
                    form.acLogin->trigger();
                return all;
            }(),
            30000);

        TModuleFrame* frame = form.DevicesModule();
        frame->Tree()->setCurrentItem(frame->FindNode("Basics/Upgrade"));
        QWidget* page = frame->SelectedPage()->GetControl();
        auto* list = page->findChild<QTreeWidget*>("m_ListView");
        QCOMPARE(list->topLevelItemCount(), 3);
        Dialogs::SetPickHandler([&](Dialogs::TPick, const QString&, const QString&) { return file; });
        page->findChild<QPushButton*>("m_Open")->click();
        Dialogs::SetPickHandler(nullptr);
        auto* upgrade = page->findChild<QPushButton*>("m_Upgrade");
        QVERIFY(upgrade->isEnabled());
        upgrade->click();
        auto finished = [&] {
            for (int i = 0; i < 3; ++i) {
                QString status = list->topLevelItem(i)->text(TModuleDeviceListPage::colStatus);
                if (status != "Done" && status != "Timeout")
                    return false;
            }
            return true;
        };
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 240000);
        int done = 0;
        for (int i = 0; i < 3; ++i) {
            QTreeWidgetItem* row = list->topLevelItem(i);
            if (row->text(TModuleDeviceListPage::colStatus) != "Done")
                continue;
            ++done;
            QString mac = row->text(TModuleDeviceListPage::colMac).remove(':');
            QFile stored(QDir(store.path()).filePath(mac + "-firmware.bin"));
            QVERIFY2(stored.open(QIODevice::ReadOnly), qPrintable(stored.fileName()));
            QCOMPARE(stored.readAll(), image);
        }
        // Four losses of one block in a row are rare at this rate: most switches get there.
        QVERIFY(done >= 2);
    }
};

QTEST_MAIN(TLabTransferTest)
#include "tst_lab_transfer.moc"
