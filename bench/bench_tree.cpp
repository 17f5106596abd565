// The main window with a large fleet, offscreen: time to put N recognised switches into the
// device tree under each sort mode, to change the sort mode, and for the status monitor to
// add them, show them, take one round of poll results and sort them; then, with the window
// shown, a keystroke in the tree's filter under each sort mode and the status monitor's
// "Problems Only" toggle, each until the view has painted.
#include "core/Device.h"
#include "core/DeviceType.h"
#include "core/Session.h"
#include "net/EngineHost.h"
#include "shell/DeviceNavigator.h"
#include "shell/MainForm.h"
#include "status/StatusFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

namespace {

// Sends nothing: the window's own timers and sockets stay quiet.
class TSilentSessions : public Intp::TSessionCallback {
public:
    void StartTimer(Intp::TSession*, unsigned) override {}
    void StopTimer(Intp::TSession*) override {}
    void EnableTimer(Intp::TSession*, bool) override {}
    void SendTo(uint32_t, const uint8_t*, std::size_t) override {}
    void Result(TDevice*, uint16_t, uint16_t, const Intp::TResultData&, Intp::TWizard*, const char*) override {}
    void SetInterval(Intp::TSession*, unsigned) override {}
};

TMacAddr MacOf(int i)
{
    return TMacAddr(std::array<uint8_t, 6>{0x02, 0x5A, 0x0D, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)});
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const auto& models = Intp::RegisterKnownModels();
    TMainForm form;
    TSilentSessions silent;
    Intp::SetSessionCallback(&silent);
    auto* sort = form.findChild<QComboBox*>("m_TreeSort");

    for (int mode = 0; mode < 4; ++mode) {
        Registry::Clear();
        sort->setCurrentIndex(mode);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < count; ++i) {
            TDevice* d = Registry::Find(MacOf(i + 1), true);
            d->SetType(models[std::size_t(i % 6)]);
            d->SetAddress(0xC6120000u + uint32_t(i) * 7u % 65536u + 1u);
            d->SetName("Switch-" + std::to_string(i + 1));
        }
        std::printf("%d switches into the tree sorted by %-14s %6lld ms\n", count, qPrintable(sort->currentText()),
                    (long long)clock.elapsed());
    }
    QElapsedTimer clock;
    clock.start();
    sort->setCurrentIndex(2);
    std::printf("changing the sort mode with %d switches    %6lld ms\n", count, (long long)clock.elapsed());

    TStatusFrame* monitor = form.StatusModule();
    auto* list = monitor->findChild<QTableView*>("m_List");
    std::vector<TDevice*> all;
    form.Navigator().GetAllDevices(all);
    clock.restart();
    monitor->Monitor().AddDevices(all);
    std::printf("status monitor adds %d switches            %6lld ms\n", count, (long long)clock.elapsed());
    clock.restart();
    QCoreApplication::processEvents();
    std::printf("status monitor lists %d switches           %6lld ms (%d rows)\n", count, (long long)clock.elapsed(),
                list->model()->rowCount());
    emit list->horizontalHeader()->sectionClicked(5); // by status
    clock.restart();
    for (TDevice* d : all)
        monitor->Monitor().OnResult(d, 6, 0, {});
    QCoreApplication::processEvents();
    std::printf("status monitor takes %d poll results       %6lld ms\n", count, (long long)clock.elapsed());
    clock.restart();
    for (TDevice* d : all) {
        monitor->Monitor().OnResult(d, 6, d->Mac()[5] % 2 ? Intp::stTimeout : 0, {});
        QCoreApplication::processEvents();
    }
    std::printf("the same, sorted by status, one at a time  %6lld ms\n", (long long)clock.elapsed());
    clock.restart();
    emit list->horizontalHeader()->sectionClicked(4); // by time
    emit list->horizontalHeader()->sectionClicked(4);
    std::printf("sorting %d rows by time, both ways         %6lld ms\n", count, (long long)clock.elapsed());

    // What the operator waits for: the change, then the view laid out and painted.
    form.resize(1280, 800);
    form.show();
    QCoreApplication::processEvents();
    auto timed = [](QWidget* view, const std::function<void()>& change) {
        QElapsedTimer step;
        step.start();
        change();
        QCoreApplication::processEvents();
        view->repaint();
        return double(step.nsecsElapsed()) / 1e6;
    };
    auto* field = form.findChild<QLineEdit*>("m_TreeFilter");
    QWidget* tree = form.Tree()->viewport();
    const QString typed = QStringLiteral("Switch-4321");
    for (int mode : {0, 1, 2}) {
        sort->setCurrentIndex(mode);
        QCoreApplication::processEvents();
        double worst = 0, sum = 0;
        for (int length = 1; length <= typed.size(); ++length) {
            const double ms = timed(tree, [&] { field->setText(typed.left(length)); });
            worst = std::max(worst, ms);
            sum += ms;
        }
        const double clear = timed(tree, [&] { field->clear(); });
        std::printf("tree filter over %d switches sorted by %-11s a keystroke %6.1f ms on average, %6.1f ms at "
                    "worst; clearing %6.1f ms\n",
                    count, qPrintable(sort->currentText()), sum / double(typed.size()), worst, clear);
    }
    for (const char* query : {"198.18.1", "02:5a:0d:00:1", "025A0D0010", "KX40-GT", "absent"}) {
        const double ms = timed(tree, [&] { field->setText(QString::fromLatin1(query)); });
        std::printf("tree filter %-16s %6.1f ms: %s\n", qPrintable(QStringLiteral("\"%1\"").arg(query)), ms,
                    qPrintable(form.Navigator().DevicesIndex().data().toString()));
    }
    field->clear();
    form.Navigator().SelectPath(QStringLiteral("Status Monitor"));
    QCoreApplication::processEvents();
    auto* problems = monitor->findChild<QCheckBox*>("m_ProblemsOnly");
    const double on = timed(list->viewport(), [&] { problems->setChecked(true); });
    const int troubled = list->model()->rowCount();
    const double off = timed(list->viewport(), [&] { problems->setChecked(false); });
    std::printf("status monitor \"Problems Only\" over %d rows (%d in trouble): on %6.1f ms, off %6.1f ms\n", count,
                troubled, on, off);

    // As before the window was shown, for figures that compare with earlier runs.
    form.hide();
    QCoreApplication::processEvents();
    clock.restart();
    Registry::Clear();
    std::printf("a new discovery empties the tree            %6lld ms\n", (long long)clock.elapsed());
    Intp::SetSessionCallback(nullptr);
    return 0;
}
