// The "Syslog Events" page with a large store, offscreen: the cost of storing and listing
// COUNT messages (default 1,000,000) arriving in bursts, the longest pause of the event loop
// meanwhile (what an operator scrolling the list would feel), and scrolling, sorting-free
// repainting, changing the filter and clearing at that size.
#include "syslog/SyslogFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    TSyslogService syslog;
    TSyslogFrame frame(syslog);
    frame.resize(1200, 800);
    frame.show();
    auto* list = frame.findChild<QTableView*>("m_ListView");
    const std::string text =
        "<13>Dec 10 10:20:30 switch-01 Port 4 link up; a message of about a hundred bytes in all, as switches send";

    QElapsedTimer clock;
    qint64 longest = 0, last = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    pulse.setInterval(5);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        qint64 now = clock.elapsed();
        longest = std::max(longest, now - last - 5);
        last = now;
    });
    // Bursts of 2,000 messages (100,000 a second), the list scrolled to its end after each.
    int added = 0;
    QTimer feed;
    feed.setInterval(20);
    QObject::connect(&feed, &QTimer::timeout, [&] {
        for (int i = 0; i < 2000 && added < count; ++i, ++added)
            syslog.AddEvent(0x0A000000u + uint32_t(added % 10000), text);
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
        if (added == count)
            app.quit();
    });
    clock.start();
    pulse.start();
    feed.start();
    app.exec();
    frame.Model().Flush();
    app.processEvents();
    const qint64 stored = clock.elapsed();
    std::printf(
        "%d messages stored and listed in %lld ms (fed at 100,000/s), %d rows, longest event-loop pause %lld ms\n",
        count, (long long)stored, frame.Model().rowCount(), (long long)longest);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory %ld MiB\n", usage.ru_maxrss / 1024);
    QElapsedTimer step;
    step.start();
    list->scrollToTop();
    list->viewport()->repaint();
    list->scrollToBottom();
    list->viewport()->repaint();
    std::printf("scroll to the top and back to the end, painted: %lld ms\n", (long long)step.elapsed());
    // Each filter change until the list has painted.
    auto* words = frame.findChild<QLineEdit*>("m_FilterText");
    auto* host = frame.findChild<QLineEdit*>("m_FilterHost");
    auto* severity = frame.findChild<QComboBox*>("m_FilterSeverity");
    const struct {
        const char* What;
        std::function<void()> Change;
    } changes[] = {
        {"text \"link up\" (every message)", [&] { words->setText("link up"); }},
        {"text \"LINK DOWN\" (none)", [&] { words->setText("LINK DOWN"); }},
        {"no text", [&] { words->clear(); }},
        {"host \"10.0.1\"", [&] { host->setText("10.0.1"); }},
        {"host \"10.0.1\", warning or worse (none)", [&] { severity->setCurrentIndex(4); }},
        {"no filter",
         [&] {
             host->clear();
             severity->setCurrentIndex(7);
         }},
    };
    for (const auto& change : changes) {
        step.restart();
        change.Change();
        app.processEvents();
        list->viewport()->repaint();
        std::printf("filter %-42s %6lld ms, %d rows\n", change.What, (long long)step.elapsed(),
                    frame.Model().rowCount());
    }
    step.restart();
    syslog.ClearEvents();
    app.processEvents();
    std::printf("clear: %lld ms\n", (long long)step.elapsed());
    return 0;
}
