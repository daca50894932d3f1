// Figures of the main window, measured in-process with the search's real timings against the
// device simulator on 127.0.0.1 (the target is injected, so nothing leaves the machine):
//   bench_gui_window startup          ms from process start until the window is first exposed,
//                                     no device answering (two searches run before)
//   bench_gui_window event-gap        longest holds of the event loop during searches, with
//                                     replies queued in the pause and with late replies
//   bench_gui_window rss              peak resident memory with 11 devices listed
//   bench_gui_window screenshot FILE  the window with four devices, as a PNG
// Each prints "name=value" lines on stdout.
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/utility_application.h"
#include "main/main_window.h"
#include "tools/device_simulator.h"

namespace {

using namespace std::chrono_literals;
using nimbrel::tools::DeviceSpec;
using nimbrel::tools::SimulatedReply;

class SimulatorThread {
public:
    explicit SimulatorThread(std::vector<SimulatedReply> replies)
        : simulator_(nimbrel::platform::Peer{{127, 0, 0, 1}, 0}, std::move(replies)),
          thread_([this] { simulator_.Run(stop_); }) {}
    ~SimulatorThread() {
        stop_ = true;
        thread_.join();
    }
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    std::uint16_t Port() const { return simulator_.Local().port; }

private:
    nimbrel::tools::DeviceSimulator simulator_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<SimulatedReply> Devices(int count, std::chrono::milliseconds delay = 0ms) {
    static const char* const models[] = {"QZL-TMR1-AC-A", "QZL-TMR2-AC", "QZL-TVX2-W", "QZH-P-AC",
                                         "QZL-TMR-M",     "QZL-TLX2",    "QZL-P-AC",   "QZL-TVX",
                                         "QZL-TMR",       "QZL-TVX-S",   "Other"};
    std::vector<SimulatedReply> replies;
    for (int index = 0; index < count; ++index) {
        const auto number = static_cast<std::uint8_t>(index + 10);
        const DeviceSpec device{models[index % 11],
                                {192, 0, 2, number},
                                {0x00, 0x1A, 0x2B, 0x3C, 0x4D, number},
                                "1.6." + std::to_string(index),
                                "copy-" + std::to_string(index)};
        replies.push_back({nimbrel::tools::BuildReply(device), delay});
    }
    return replies;
}

/// The shipped program's timings and look-up, with only the target moved to the simulator.
nimbrel::FormDependencies RealTimings(std::uint16_t port) {
    nimbrel::FormDependencies dependencies;
    dependencies.endpoint.host = "127.0.0.1";
    dependencies.endpoint.port = port;
    dependencies.lookup = [] {
        // The real look-up runs for its time; its address is not used, since the replies come
        // from loopback.
        const auto real = nimbrel::LookUpLocalAddress();
        return real ? std::optional<std::string>("127.0.0.1") : std::nullopt;
    };
    dependencies.requestQuit = [] {};
    return dependencies;
}

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

/// Calls `onExpose` once, for the first expose event of `form`'s native window.
class FirstExpose : public QObject {
public:
    FirstExpose(nimbrel::TForm1& form, std::function<void()> onExpose)
        : form_(form), onExpose_(std::move(onExpose)) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && onExpose_ && watched == form_.windowHandle()) {
            std::exchange(onExpose_, nullptr)();
        }
        return false;
    }

private:
    nimbrel::TForm1& form_;
    std::function<void()> onExpose_;
};

int Startup() {
    QElapsedTimer sinceMain;
    sinceMain.start();
    SimulatorThread silent({});
    nimbrel::TForm1 form(RealTimings(silent.Port()));
    FirstExpose expose(form, [&] {
        std::printf("first_expose_since_main_ms=%lld\n", sinceMain.elapsed());
        std::printf("first_expose_since_process_start_ms=%.0f\n",
                    SecondsSinceProcessStart() * 1000);
        QCoreApplication::exit(0);
    });
    form.show();
    return QCoreApplication::exec();
}

struct Holds {
    qint64 longestInWait = 0;       // between two event passes of one receive wait
    qint64 longestAcrossReply = 0;  // between two event passes with a reply read in between
    qint64 untilFirstPass = 0;      // from the trigger to the first event pass
};

/// Runs `searches` searches with the simulator sending `replies` and measures how long the
/// event loop is held. A probe timer of 2 ms fires in every event pass (a gap therefore
/// includes up to 2 ms of the probe itself) and notes the time and the table's record count.
/// Every reply of these benches is a new device, so a gap across which the count grew held a
/// reply's read: the wait before it ended ready, without an event pass, and a new receive
/// wait began.
Holds MeasureHolds(std::vector<SimulatedReply> replies, int searches) {
    SimulatorThread simulator(std::move(replies));
    nimbrel::TForm1 form(RealTimings(simulator.Port()));
    form.show();

    struct Tick {
        qint64 at;
        int records;
    };
    QElapsedTimer clock;
    clock.start();
    std::vector<Tick> ticks;
    bool searching = false;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(2);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (searching) {
            ticks.push_back({clock.elapsed(), form.Table().RecordCount()});
        }
    });
    probe.start();

    Holds holds;
    for (int search = 0; search < searches; ++search) {
        ticks.clear();
        const qint64 started = clock.elapsed();
        searching = true;
        form.findChild<QAction*>("bbrow")->trigger();
        searching = false;
        if (ticks.empty()) {
            continue;  // no event pass at all: the search ended without a receive wait
        }
        // The first gap holds the look-up, the 1000 ms pause and the replies queued during it,
        // which dispatch nothing by design.
        holds.untilFirstPass = std::max(holds.untilFirstPass, ticks.front().at - started);
        for (std::size_t index = 1; index < ticks.size(); ++index) {
            const qint64 gap = ticks[index].at - ticks[index - 1].at;
            qint64& longest = ticks[index].records != ticks[index - 1].records
                                  ? holds.longestAcrossReply
                                  : holds.longestInWait;
            longest = std::max(longest, gap);
        }
        // From the last event pass to the end of the search: the end of the wait and the list
        // rebuild.
        holds.longestInWait = std::max(holds.longestInWait, clock.elapsed() - ticks.back().at);
    }
    return holds;
}

int EventGap() {
    constexpr int Searches = 3;
    // Devices answer within milliseconds, so their replies wait in the socket during the pause.
    const Holds queued = MeasureHolds(Devices(4), Searches);
    // Replies that come during the receive wait end a slice early; no event pass follows a
    // slice that ends ready, and the next wait starts with a whole slice, so a hold across
    // such a reply lasts up to two slices.
    std::vector<SimulatedReply> late = Devices(2, 1400ms);
    late.back().delay = 2600ms;
    const Holds during = MeasureHolds(std::move(late), Searches);
    std::printf("searches=%d\n", Searches);
    std::printf("longest_hold_in_receive_wait_ms=%lld\n",
                std::max(queued.longestInWait, during.longestInWait));
    std::printf("longest_hold_across_late_reply_ms=%lld\n", during.longestAcrossReply);
    std::printf("hold_until_first_event_pass_ms=%lld\n",
                std::max(queued.untilFirstPass, during.untilFirstPass));
    return 0;
}

int PeakRss() {
    SimulatorThread simulator(Devices(11));
    nimbrel::TForm1 form(RealTimings(simulator.Port()));
    bool exposed = false;
    FirstExpose expose(form, [&] { exposed = true; });
    form.show();
    QElapsedTimer settle;
    settle.start();
    while (!exposed || settle.elapsed() < 7000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("devices_listed=%d\n", form.Table().RecordCount());
    std::printf("peak_rss_kib=%ld\n", usage.ru_maxrss);
    return 0;
}

int Screenshot(const char* path) {
    SimulatorThread simulator(Devices(4));
    nimbrel::FormDependencies dependencies = RealTimings(simulator.Port());
    dependencies.pause = 50ms;
    dependencies.endpoint.receiveTimeout = 300ms;
    dependencies.endpoint.idleSlice = 50ms;
    nimbrel::TForm1 form(std::move(dependencies));
    form.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QString file = QString::fromLocal8Bit(path);
    bool saved = form.grab().save(file);
    // A second picture during a search, with the animation over the list.
    QString searching = file;
    searching.replace(QStringLiteral(".png"), QStringLiteral("-searching.png"));
    QTimer::singleShot(120, &form, [&] { saved = form.grab().save(searching) && saved; });
    form.findChild<QAction*>("bbrow")->trigger();
    std::printf("screenshot=%s saved=%d\n", path, saved ? 1 : 0);
    return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    nimbrel::UtilityApplication application(argc, argv);
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
