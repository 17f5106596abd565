// The main window in the lab: finding a set of simulated switches by unicast discovery
// and logging in to them, again and again while replies get lost.
#pragma once

#include "LabSupport.h"

#include "core/Device.h"
#include "core/FilterSettings.h"
#include "net/EngineHost.h"
#include "net/StatusMonitor.h"
#include "net/SyslogService.h"
#include "shell/DeviceNavigator.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>

// Writes a firmware image the switches take: "VZFW", its whole length, then random bytes.
// Returns it, or nothing when it could not be written.
inline QByteArray WriteLabImage(const QString& path, int size)
{
    QByteArray image("VZFW");
    for (int shift : {24, 16, 8, 0})
        image.append(char(size >> shift));
    while (image.size() < size)
        image.append(char(QRandomGenerator::global()->bounded(256)));
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(image) == image.size() ? image : QByteArray();
}

// Discovers the count switches from first on (unicast, through the filter) and logs in to
// them as admin/admin; they end selected in the tree. False when they do not all come.
inline bool DiscoverAndLogIn(TMainForm& form, Filter::TFilterSettingsServer& filter, const char* first, uint32_t count,
                             std::vector<TDevice*>& devices)
{
    form.show();
    filter.Settings.RangeBegin = filter.Settings.RangeEnd = 0;
    for (uint32_t i = 0; i < count; ++i)
        filter.Settings.Unicast.push_back({Addr(first) + i, 0xFFFFFFFF});
    form.Host().SetFilterServer(&filter);
    QElapsedTimer since;
    auto again = [&](QAction* action) {
        if (!since.isValid() || since.elapsed() > 2000) {
            action->trigger();
            since.start();
        }
    };
    if (!QTest::qWaitFor(
            [&] {
                devices.clear();
                form.Navigator().GetAllDevices(devices);
                if (devices.size() < count)
                    again(form.findChild<QAction*>("acDiscovery"));
                return devices.size() == count;
            },
            30000))
        return false;
    since.invalidate();
    form.Navigator().SelectDevices(devices);
    form.Navigator().SetCredentialsSource([](std::string& user, std::string& password) {
        user = "admin";
        password = "admin";
        return true;
    });
    return QTest::qWaitFor(
        [&] {
            bool all = std::ranges::all_of(devices, [](TDevice* d) { return d->IsLoggedIn(); });
            if (!all)
                again(form.findChild<QAction*>("acLogin"));
            return all;
        },
        30000);
}
