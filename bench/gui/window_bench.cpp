// SPDX-License-Identifier: MIT
// Figures of the main window, measured in-process (offscreen) with the real search driver and
// timings against devices on 127.0.0.1 (the target is injected, so nothing leaves the machine):
//   bench_gui_window hold [WHICH]     longest hold of the event loop during whole searches:
//                                     no-device, devices (11 answering) or stream (a device
//                                     sending 5,000 datagrams a second); all three by default
//   bench_gui_window auto-refresh S   resident memory after each search of S seconds of Auto
//                                     Refresh, with a device set that changes between searches
//   bench_gui_window rss              peak resident memory with 11 devices listed
//   bench_gui_window many             with 1,024 devices found (the search stood in for): the
//                                     longest hold of the event loop while the list is built
//                                     (icon view, and details sorted), while the details table
//                                     sorts, and the resident memory with them listed
//   bench_gui_window screenshot FILE  the window with four devices, as a PNG; beside it the
//                                     window during a search, in the other two views, and
//                                     resized in the details view (FILE-searching.png, ...)
// Each prints "name=value" lines on stdout.
#include <sys/resource.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/startup.h"
#include "bench/gui/hold_probe.h"
#include "bench/gui/streaming_device.h"
#include "bench/gui/window_under_test.h"
#include "discovery/wire.h"
#include "main/main_window.h"

namespace {

using namespace std::chrono_literals;
using nimbrel::bench::HoldProbe;
using nimbrel::bench::Replies;
using nimbrel::bench::residentKib;
using nimbrel::bench::StreamingDevice;
using nimbrel::bench::WindowUnderTest;

struct SearchesSeen {
    qint64 longestHoldMs = 0;    // the event loop, from the first search's start to the end
    qint64 longestSearchMs = 0;  // from a search's start to the list showing its result
    int devicesListed = 0;       // after the last search
};

int listedDevices(const nimbrel::MainWindow& window) {
    const auto* list = window.findChild<QAbstractItemView*>("deviceList");
    return list != nullptr ? list->model()->rowCount() : 0;
}

/// Shows `window`, runs `searches` searches one after the other and watches the event loop
/// throughout them.
SearchesSeen runSearches(nimbrel::MainWindow& window, int searches) {
    HoldProbe probe;
    QObject context;
    QElapsedTimer searchClock;
    SearchesSeen seen;
    int left = searches;
    const auto search = [&] {
        probe.begin();
        searchClock.start();
        if (!window.search()) {
            std::fprintf(stderr, "bench_gui_window: the search did not start\n");
            QCoreApplication::exit(1);
        }
    };
    QObject::connect(&window, &nimbrel::MainWindow::searchFinished, &context, [&] {
        seen.longestSearchMs = std::max(seen.longestSearchMs, searchClock.elapsed());
        if (--left > 0) {
            QTimer::singleShot(0, &context, search);
        } else {
            probe.endAfterNextTick([] { QCoreApplication::exit(0); });
        }
    });
    QObject::connect(&window, &nimbrel::MainWindow::searchFailed, &context,
                     [](const nimbrel::Error&) {
                         std::fprintf(stderr, "bench_gui_window: the search failed\n");
                         QCoreApplication::exit(1);
                     });
    window.show();
    // The first search starts once the window has been shown and painted.
    QTimer::singleShot(200, &context, search);
    if (QApplication::exec() != 0) {
        std::exit(1);
    }
    seen.longestHoldMs = probe.longestMs();
    seen.devicesListed = listedDevices(window);
    return seen;
}

constexpr int HoldSearches = 3;

void holdWithoutDevice() {
    WindowUnderTest bench(Replies{});
    const SearchesSeen seen = runSearches(bench.window(), HoldSearches);
    std::printf("no_device_searches=%d\n", HoldSearches);
    std::printf("no_device_hold_ms=%lld\n", seen.longestHoldMs);
    std::printf("no_device_search_ms=%lld\n", seen.longestSearchMs);
}

void holdWithDevices() {
    WindowUnderTest bench(nimbrel::bench::devices(11));
    const SearchesSeen seen = runSearches(bench.window(), HoldSearches);
    std::printf("devices_searches=%d\n", HoldSearches);
    std::printf("devices_hold_ms=%lld\n", seen.longestHoldMs);
    std::printf("devices_listed=%d\n", seen.devicesListed);
}

/// The 11 devices' replies and, among them, datagrams that are no reply: too short, too long
/// to be read, and with a header that is not a reply's.
Replies streamDatagrams() {
    Replies datagrams = nimbrel::bench::devices(11);
    datagrams.insert(datagrams.begin() + 4, std::vector<std::uint8_t>{0x01, 0x00});
    datagrams.insert(datagrams.begin() + 8,
                     std::vector<std::uint8_t>(nimbrel::MaxDatagramSize + 99, 0x01));
    datagrams.push_back(std::vector<std::uint8_t>(40, 0xA5));
    return datagrams;
}

void holdUnderStream() {
    constexpr int PerSecond = 5000;
    StreamingDevice stream(streamDatagrams(), PerSecond);
    WindowUnderTest bench(stream.address());
    const SearchesSeen seen = runSearches(bench.window(), 1);
    std::printf("stream_rate_per_s=%d\n", PerSecond);
    std::printf("stream_hold_ms=%lld\n", seen.longestHoldMs);
    std::printf("stream_search_ms=%lld\n", seen.longestSearchMs);
    std::printf("stream_datagrams_sent=%ld\n", stream.sent());
    std::printf("stream_devices_listed=%d\n", seen.devicesListed);
}

int hold(const std::string& which) {
    if (which.empty() || which == "no-device") {
        holdWithoutDevice();
    }
    if (which.empty() || which == "devices") {
        holdWithDevices();
    }
    if (which.empty() || which == "stream") {
        holdUnderStream();
    }
    return 0;
}

/// The device set of each Auto Refresh search in turn: none, 11, then 5, each time with MAC
/// addresses that the search before did not have.
Replies changingDevices(int search) {
    static const int counts[] = {0, 11, 5};
    return nimbrel::bench::devices(counts[search % 3], search % 192);
}

/// Turns Auto Refresh on and samples the resident memory after each search, for as many
/// searches as its interval allows in `seconds`.
int autoRefresh(int seconds) {
    constexpr int IntervalSeconds = 8;
    const int searches = std::max(seconds / IntervalSeconds, 3);
    WindowUnderTest bench(changingDevices);
    std::vector<long> samples;
    QElapsedTimer running;
    QObject::connect(&bench.window(), &nimbrel::MainWindow::searchFinished, [&] {
        samples.push_back(residentKib());
        std::printf("search=%d devices_listed=%d rss_kib=%ld\n", bench.searches(),
                    listedDevices(bench.window()), samples.back());
        std::fflush(stdout);
        if (static_cast<int>(samples.size()) == searches) {
            QCoreApplication::exit(0);
        }
    });
    QObject::connect(&bench.window(), &nimbrel::MainWindow::searchFailed,
                     [](const nimbrel::Error&) { QCoreApplication::exit(1); });
    bench.window().show();
    bench.window().toggleAutoRefresh();
    running.start();
    if (QApplication::exec() != 0) {
        return 1;
    }
    std::printf("searches=%d\n", searches);
    std::printf("run_s=%.1f\n", static_cast<double>(running.elapsed()) / 1000);
    std::printf("rss_third_search_kib=%ld\n", samples[2]);
    std::printf("rss_last_kib=%ld\n", samples.back());
    std::printf("rss_growth_kib=%ld\n", samples.back() - samples[2]);
    return 0;
}

int peakRss() {
    WindowUnderTest bench(nimbrel::bench::devices(11));
    QObject::connect(&bench.window(), &nimbrel::MainWindow::searchFinished,
                     [] { QCoreApplication::exit(0); });
    bench.window().show();
    bench.window().search();
    QApplication::exec();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("devices_listed=%d\n", listedDevices(bench.window()));
    std::printf("peak_rss_kib=%ld\n", usage.ru_maxrss);
    return 0;
}

/// Runs the event loop until `done` is called.
void runUntil(const std::function<void(std::function<void()> done)>& work) {
    QTimer::singleShot(0, [&] { work([] { QCoreApplication::exit(0); }); });
    QApplication::exec();
}

/// The longest hold of the event loop from `start` until `settle` ms after the window said
/// that `start`'s work is done (its paints and delayed layouts run in that time too).
qint64 holdOf(const std::function<void(std::function<void()> done)>& start, int settle = 300) {
    HoldProbe probe;
    runUntil([&](std::function<void()> exit) {
        probe.begin();
        start([&probe, exit, settle] {
            QTimer::singleShot(settle, [&probe, exit] { probe.endAfterNextTick(exit); });
        });
    });
    return probe.longestMs();
}

int many() {
    constexpr int Count = 1024;
    nimbrel::MainWindow window(
        std::make_unique<nimbrel::bench::FixedResultRunner>(nimbrel::bench::manyDevices(Count)));
    window.show();
    // Shown and painted empty first, as the program is before its first search ends.
    runUntil([](const std::function<void()>& done) { QTimer::singleShot(300, done); });
    const long emptyKib = residentKib();

    const auto search = [&window](std::function<void()> done) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(&window, &nimbrel::MainWindow::searchFinished, &window,
                                       [connection, done] {
                                           QObject::disconnect(*connection);
                                           done();
                                       });
        window.search();
    };
    const qint64 buildHold = holdOf(search);
    const long listedKib = residentKib();
    const int listed = listedDevices(window);

    // Switched directly, not through the menu, which would keep the choice in the settings.
    window.setView(nimbrel::MainWindow::View::Details);
    auto* table = window.findChild<QTableView*>("deviceTable");
    qint64 sortHold = 0;
    for (int column = 0; column < 6; ++column) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            sortHold = std::max(sortHold, holdOf(
                                              [table, column, order](std::function<void()> done) {
                                                  table->sortByColumn(column, order);
                                                  done();
                                              },
                                              100));
        }
    }
    // A new result while the details are sorted: the rows are sorted as they are listed.
    const qint64 sortedBuildHold = holdOf(search);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("many_devices=%d\n", Count);
    std::printf("many_listed=%d\n", listed);
    std::printf("many_build_hold_ms=%lld\n", std::max(buildHold, sortedBuildHold));
    std::printf("many_build_hold_icons_ms=%lld\n", buildHold);
    std::printf("many_build_hold_sorted_details_ms=%lld\n", sortedBuildHold);
    std::printf("many_sort_hold_ms=%lld\n", sortHold);
    std::printf("many_rss_empty_kib=%ld\n", emptyKib);
    std::printf("many_rss_listed_kib=%ld\n", listedKib);
    std::printf("many_rss_growth_kib=%ld\n", listedKib - emptyKib);
    std::printf("many_peak_rss_kib=%ld\n", usage.ru_maxrss);
    return listed == Count ? 0 : 1;
}

/// The window in the small images and the details views, and resized, beside `file`; the
/// views are switched directly, so the settings keep no trace of them.
bool viewPictures(nimbrel::MainWindow& window, const QString& file) {
    using View = nimbrel::MainWindow::View;
    const auto picture = [&window, &file](const char* suffix) {
        QString named = file;
        named.replace(QStringLiteral(".png"), QString::fromLatin1(suffix));
        return window.grab().save(named);
    };
    const QSize size = window.size();
    window.setView(View::SmallImage);
    bool saved = picture("-small.png");
    window.setView(View::Details);
    saved = picture("-details.png") && saved;
    window.resize(size + QSize(size.width() / 2, size.height() / 4));
    saved = picture("-details-resized.png") && saved;
    window.setView(View::LargeImage);
    saved = picture("-resized.png") && saved;
    window.resize(size);
    return saved;
}

int screenshot(const char* path) {
    WindowUnderTest bench(nimbrel::bench::devices(4), 0ms,
                          {.pause = 50ms, .quiet = 300ms, .receiveBound = 2000ms});
    const QString file = QString::fromLocal8Bit(path);
    bool saved = false;
    int searches = 0;
    QObject::connect(&bench.window(), &nimbrel::MainWindow::searchFinished, [&] {
        if (++searches == 1) {
            saved = bench.window().grab().save(file) && viewPictures(bench.window(), file);
            // A second picture during a search, with the animation over the list.
            QString searching = file;
            searching.replace(QStringLiteral(".png"), QStringLiteral("-searching.png"));
            QTimer::singleShot(
                120, [&, searching] { saved = bench.window().grab().save(searching) && saved; });
            bench.window().search();
        } else {
            QCoreApplication::exit(0);
        }
    });
    bench.window().show();
    bench.window().search();
    QApplication::exec();
    std::printf("screenshot=%s saved=%d\n", path, saved ? 1 : 0);
    return saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    // Settings of its own: the user's saved view, size or "Search All Networks" would change
    // what is measured.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    nimbrel::setUpApplication(application);
    if (mode == "hold") {
        return hold(argc > 2 ? argv[2] : "");
    }
    if (mode == "auto-refresh" && argc > 2) {
        return autoRefresh(std::atoi(argv[2]));
    }
    if (mode == "rss") {
        return peakRss();
    }
    if (mode == "many") {
        return many();
    }
    if (mode == "screenshot" && argc > 2) {
        return screenshot(argv[2]);
    }
    std::fprintf(stderr, "usage: %s hold [WHICH]|auto-refresh SECONDS|rss|many|screenshot FILE\n",
                 argv[0]);
    return 2;
}
