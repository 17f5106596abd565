// Built-in firmware upgrade of COUNT simulated switches at once: blocks per second and MB/s
// from the first block to the last switch's final report. Run through bench/transfer,
// which starts the simulator in the lab and measures the TFTP client beside it.
#include "core/AddressRules.h"
#include "core/DeviceType.h"
#include "core/Dispatch.h"
#include "core/IntpCore.h"
#include "core/Transfer.h"
#include "net/EngineHost.h"
#include "net/IntpSocketThread.h"
#include "net/SessionManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <array>
#include <cstdio>

using namespace Intp;

namespace {

// Counts the switches that finished, well or not.
class TFinish : public TWizard {
public:
    int Done = 0, Failed = 0;
    std::function<void()> OnAll;
    int Count = 0;
    void OnResult(TDevice*, uint16_t command, uint16_t status, const Intp::TResultData& data) override
    {
        if (command == 2)
            return;
        const TTransferProgress* progress = data.Progress;
        if (status != stSuccess)
            ++Failed;
        else if (progress && progress->State == tsDone)
            ++Done;
        else
            return;
        if (Done + Failed == Count && OnAll)
            OnAll();
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_transfer COUNT FIRST-ADDRESS FIRST-MAC(12 hex digits) IMAGE\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const uint32_t first = TextToAddress(argv[2]);
    TMacAddr firstMac;
    if (!ParseMacText(argv[3], firstMac)) {
        std::fprintf(stderr, "bad MAC %s\n", argv[3]);
        return 2;
    }
    const std::string image = argv[4];
    RegisterKnownModels();
    TEngineHost host;

    std::vector<TDevice*> devices;
    for (int i = 0; i < count; ++i) {
        std::array<uint8_t, 6> bytes;
        std::copy(firstMac.Data(), firstMac.Data() + 6, bytes.begin());
        bytes[5] = uint8_t(bytes[5] + i);
        TDevice* device = Registry::Find(TMacAddr(bytes), true);
        device->SetAddress(first + uint32_t(i));
        devices.push_back(device);
        StartNew<TSessionIntpLogin>(device, nullptr, "admin", "admin");
    }
    // Logged in once every switch answered.
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 5000 &&
           !std::all_of(devices.begin(), devices.end(), [](TDevice* d) { return d->IsLoggedIn(); }))
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);

    TFinish finish;
    finish.Count = count;
    finish.OnAll = [&] { app.quit(); };
    QElapsedTimer clock;
    clock.start();
    for (TDevice* device : devices) {
        auto* session = new TSessionBasicsUpgradeBuildin;
        if (!session->OpenSourceFile(image) || !Start(session, device, &finish)) {
            delete session;
            std::fprintf(stderr, "cannot start the upgrade of %s\n", device->Mac().Text().c_str());
            return 1;
        }
    }
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    app.exec();
    double seconds = double(clock.nsecsElapsed()) / 1e9;

    const qint64 size = QFileInfo(QString::fromStdString(image)).size();
    const double blocks = double((size + 511) / 512) * finish.Done;
    std::printf("built-in upgrade, %d switch(es), %.1f MiB each: %d done, %d failed in %.2f s: "
                "%.0f blocks/s, %.2f MB/s\n",
                count, double(size) / 1048576.0, finish.Done, finish.Failed, seconds, blocks / seconds,
                double(size) * finish.Done / seconds / 1e6);
    host.Shutdown();
    return finish.Done == count ? 0 : 1;
}
