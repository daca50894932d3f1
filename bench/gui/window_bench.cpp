// SPDX-License-Identifier: MIT
// Figures of the main window, measured in-process with the search's real timings against a
// device on 127.0.0.1 (the target is injected, so nothing leaves the machine):
//   bench_gui_window startup          ms from process start until the window is first exposed,
//                                     no device answering (two searches run before)
//   bench_gui_window event-gap        longest hold of the event loop during searches, with
//                                     replies sent during the pause and late ones
//   bench_gui_window rss              peak resident memory with 11 devices listed
//   bench_gui_window screenshot FILE  the window with four devices, as a PNG
// Each prints "name=value" lines on stdout.
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "main/main_window.h"
#include "main/search_driver.h"
#include "tests/gui/loopback_device.h"

namespace {

using namespace std::chrono_literals;
using nimbrel::testing::LoopbackDevice;
using Replies = std::vector<std::vector<std::uint8_t>>;

Replies Devices(int count) {
    static const char* const models[] = {"QZL-TMR1-AC-A", "QZL-TMR2-AC", "QZL-TVX2-W", "QZH-P-AC",
                                         "QZL-TMR-M",     "QZL-TLX2",    "QZL-P-AC",   "QZL-TVX",
                                         "QZL-TMR",       "QZL-TVX-S",   "Other"};
    Replies replies;
    for (int index = 0; index < count; ++index) {
        const auto number = static_cast<std::uint8_t>(index + 10);
        replies.push_back(nimbrel::testing::ReplyBytes(models[index % 11], {192, 0, 2, number},
                                                       {0x00, 0x1A, 0x2B, 0x3C, 0x4D, number}));
    }
    return replies;
}

/// A window searching `device` with the shipped timings (or `timings`), whose device answers
/// every request with `replies` after `delay`.
struct Bench {
    explicit Bench(Replies replies, std::chrono::milliseconds delay = 0ms,
                   nimbrel::SearchTimings timings = {}) {
        auto driver = std::make_unique<nimbrel::SearchDriver>(
            std::make_unique<nimbrel::UdpSearchSocket>(), std::make_unique<nimbrel::SteadyClock>(),
            [] {
                // The real look-up runs for its time; its address is not used, since the replies
                // come from loopback.
                const auto real = nimbrel::LookUpLocalAddress();
                return real ? std::optional<nimbrel::Ipv4Bytes>({127, 0, 0, 1}) : std::nullopt;
            },
            timings, device.Address());
        QObject::connect(driver.get(), &nimbrel::SearchRunner::started, driver.get(),
                         [this, replies = std::move(replies), delay] {
                             QTimer::singleShot(delay, [this, replies] { device.Answer(replies); });
                         });
        window = std::make_unique<nimbrel::MainWindow>(std::move(driver));
    }

    LoopbackDevice device;
    std::unique_ptr<nimbrel::MainWindow> window;
};

double SecondsSinceProcessStart() {
    // Field 22 of /proc/self/stat is the start time in clock ticks after boot.
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int index = 1; index <= 22 && stat >> field; ++index) {
    }
    std::ifstream uptime("/proc/uptime");
    double sinceBoot = 0;
    uptime >> sinceBoot;
    return sinceBoot - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

/// Calls `onExpose` once, for the first expose event of `window`'s native window.
class FirstExpose : public QObject {
public:
    FirstExpose(QWidget& window, std::function<void()> onExpose)
        : window_(window), onExpose_(std::move(onExpose)) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && onExpose_ && watched == window_.windowHandle()) {
            std::exchange(onExpose_, nullptr)();
        }
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> onExpose_;
};

/// Two searches, then the window, as the program starts up.
void SearchTwiceThenShow(nimbrel::MainWindow& window) {
    auto searches = std::make_shared<int>(0);
    QObject::connect(&window, &nimbrel::MainWindow::searchFinished, &window, [&window, searches] {
        if (++*searches == 1) {
            QTimer::singleShot(0, &window, [&window] { window.search(); });
        } else if (*searches == 2) {
            window.show();
        }
    });
    window.search();
}

int Startup() {
    QElapsedTimer sinceMain;
    sinceMain.start();
    Bench silent({});
    FirstExpose expose(*silent.window, [&] {
        std::printf("first_expose_since_main_ms=%lld\n", sinceMain.elapsed());
        std::printf("first_expose_since_process_start_ms=%.0f\n",
                    SecondsSinceProcessStart() * 1000);
        QCoreApplication::exit(0);
    });
    SearchTwiceThenShow(*silent.window);
    return QApplication::exec();
}

struct Holds {
    qint64 longest = 0;         // between two ticks of the probe while searches run
    qint64 untilFirstTick = 0;  // from a search's start to the probe's next tick
};

/// How long the event loop is held while `searches` searches run, seen by a 2 ms probe timer.
Holds MeasureHolds(Replies replies, std::chrono::milliseconds delay, int searches) {
    Bench bench(std::move(replies), delay);
    bench.window->show();
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1;
    qint64 searchStarted = -1;
    Holds holds;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.callOnTimeout([&] {
        const qint64 now = clock.elapsed();
        if (last >= 0) {
            holds.longest = std::max(holds.longest, now - last);
        }
        if (searchStarted >= 0) {
            holds.untilFirstTick = std::max(holds.untilFirstTick, now - searchStarted);
            searchStarted = -1;
        }
        last = now;
    });
    probe.start(2);
    const auto search = [&] {
        searchStarted = clock.elapsed();
        bench.window->search();
    };
    int left = searches;
    QObject::connect(bench.window.get(), &nimbrel::MainWindow::searchFinished, [&] {
        if (--left > 0) {
            QTimer::singleShot(0, search);
        } else {
            QCoreApplication::exit(0);
        }
    });
    search();
    QApplication::exec();
    return holds;
}

int EventGap() {
    constexpr int Searches = 3;
    const Holds queued = MeasureHolds(Devices(4), 0ms, Searches);
    const Holds late = MeasureHolds(Devices(2), 1400ms, Searches);
    std::printf("searches=%d\n", Searches);
    std::printf("longest_hold_in_receive_wait_ms=%lld\n", std::max(queued.longest, late.longest));
    std::printf("longest_hold_across_late_reply_ms=%lld\n", late.longest);
    std::printf("hold_until_first_event_pass_ms=%lld\n",
                std::max(queued.untilFirstTick, late.untilFirstTick));
    return 0;
}

int PeakRss() {
    Bench bench(Devices(11));
    QObject::connect(bench.window.get(), &nimbrel::MainWindow::searchFinished,
                     [] { QCoreApplication::exit(0); });
    bench.window->show();
    bench.window->search();
    QApplication::exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto* list = bench.window->findChild<QListWidget*>("deviceList");
    std::printf("devices_listed=%d\n", list != nullptr ? list->count() : 0);
    std::printf("peak_rss_kib=%ld\n", usage.ru_maxrss);
    return 0;
}

int Screenshot(const char* path) {
    Bench bench(Devices(4), 0ms, {.pause = 50ms, .quiet = 300ms, .receiveBound = 2000ms});
    const QString file = QString::fromLocal8Bit(path);
    bool saved = false;
    int searches = 0;
    QObject::connect(bench.window.get(), &nimbrel::MainWindow::searchFinished, [&] {
        if (++searches == 1) {
            saved = bench.window->grab().save(file);
            // A second picture during a search, with the animation over the list.
            QString searching = file;
            searching.replace(QStringLiteral(".png"), QStringLiteral("-searching.png"));
            QTimer::singleShot(
                120, [&, searching] { saved = bench.window->grab().save(searching) && saved; });
            bench.window->search();
        } else {
            QCoreApplication::exit(0);
        }
    });
    bench.window->show();
    bench.window->search();
    QApplication::exec();
    std::printf("screenshot=%s saved=%d\n", path, saved ? 1 : 0);
    return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    QApplication application(argc, argv);
    nimbrel::SetUpApplication(application);
    if (mode == "startup") {
        return Startup();
    }
    if (mode == "event-gap") {
        return EventGap();
    }
    if (mode == "rss") {
        return PeakRss();
    }
    if (mode == "screenshot" && argc > 2) {
        return Screenshot(argv[2]);
    }
    std::fprintf(stderr, "usage: %s startup|event-gap|rss|screenshot FILE\n", argv[0]);
    return 2;
}
