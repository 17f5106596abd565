// The "MAC Address Table" page with a large table, offscreen, in memory: COUNT entries
// (default 8,000) arriving in datagrams of 128, one datagram every millisecond, all on one
// port (the worst case for the list) or spread over the ports; the longest pause of the
// event loop meanwhile, the time from the last datagram to the rows shown, and sorting and
// changing the port at that size.
#include "FormSessions.h"

#include "core/Monitor.h"
#include "core/Port.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <sys/resource.h>

#include <cstdio>

namespace {

std::vector<uint8_t> Payload(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

void Run(TMainForm& form, TFormSessions& sessions, TDevice* device, int count, int ports)
{
    QTreeView* list = nullptr;
    QComboBox* portBox = nullptr;
    auto deliver = [&](uint16_t command, const std::vector<uint8_t>& payload) {
        Deliver(device->Address(), MakeDatagram(command, 0, device->Mac(), payload));
    };
    form.DevicesModule()->Tree()->setCurrentItem(
        form.DevicesModule()->FindNode("Monitor And Diagnostic/MAC Address Table"));
    QWidget* page = form.DevicesModule()->SelectedPage()->GetControl();
    list = page->findChild<QTreeView*>("m_List");
    portBox = page->findChild<QComboBox*>("m_Port");
    std::vector<uint8_t> names;
    for (int i = 0; i < 12; ++i) {
        std::string name = "Port-" + std::to_string(i + 1);
        name.resize(8, '\0');
        names.insert(names.end(), name.begin(), name.end());
    }
    deliver(0x0200, names);
    std::vector<uint8_t> config(4, 0);
    for (uint8_t p = 0; p < 8; ++p)
        config = Payload({config, {p, 4, 1, 0, 0, 0}});
    deliver(0x0201, config);

    QElapsedTimer clock;
    qint64 longest = 0, last = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    pulse.setInterval(5);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last - 5);
        last = now;
    });
    int sent = 0;
    qint64 lastDatagram = 0;
    QTimer feed;
    feed.setInterval(1);
    QObject::connect(&feed, &QTimer::timeout, [&] {
        std::vector<uint8_t> payload(4, 0);
        const int n = std::min(128, count - sent);
        for (int i = sent; i < sent + n; ++i)
            payload = Payload(
                {payload, {uint8_t(i % ports), 0x02, 0, 0, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i), 0}});
        sent += n;
        lastDatagram = clock.elapsed();
        deliver(0x0A00, payload);
        if (n < 128) {
            feed.stop();
            QTimer::singleShot(50, qApp, &QApplication::quit);
        }
    });
    clock.start();
    pulse.start();
    feed.start();
    qApp->exec();
    std::printf("%d entries on %d port(s): %d datagrams, %d rows shown, %lld ms from the first datagram "
                "(longest event-loop pause %lld ms)\n",
                count, ports, (count + 128) / 128, list->model()->rowCount(), (long long)lastDatagram,
                (long long)longest);
    QElapsedTimer step;
    step.start();
    emit list->header()->sectionClicked(1);
    list->viewport()->repaint();
    std::printf("  sort by MAC address and repaint: %lld ms\n", (long long)step.elapsed());
    step.restart();
    portBox->setCurrentIndex(portBox->count() - 1);
    list->viewport()->repaint();
    std::printf("  change the port (%d rows) and repaint: %lld ms\n", list->model()->rowCount(),
                (long long)step.elapsed());
    sessions.Sent.clear();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZODE_SYSLOG_PORT", "0");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 8000;
    Registry::Clear();
    TMainForm form;
    TFormSessions sessions;
    sessions.Form = &form;
    form.resize(1200, 800);
    form.show();
    TDevice* device = Registry::Find(Mac(1), true);
    device->SetType(Intp::RegisterKnownModels()[0]);
    device->SetAddress(0xC0000201u);
    device->SetLoggedIn(true);
    form.Navigator().SelectDevices({device});
    Run(form, sessions, device, count, 1);
    form.DevicesModule()->Tree()->setCurrentItem(form.DevicesModule()->FindNode("Basics"));
    Run(form, sessions, device, count, 8);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %ld MiB\n", usage.ru_maxrss / 1024);
    Registry::Clear();
    return 0;
}
