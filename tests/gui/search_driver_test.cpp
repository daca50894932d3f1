// SPDX-License-Identifier: MIT
// The search on the event loop: the real driver and socket against a device on 127.0.0.1,
// with short timings.
#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTimer>
#include <chrono>

#include "discovery/interface_choice.h"
#include "main/search_driver.h"
#include "tests/gui/loopback_device.h"

namespace nimbrel::testing {
namespace {

using namespace std::chrono_literals;

constexpr SearchTimings ShortTimings{.pause = 50ms, .quiet = 100ms, .receiveBound = 2000ms};

class SearchDriverTest : public ::testing::Test {
protected:
    SearchDriver makeDriver(Ipv4Bytes local = {127, 0, 0, 1}) {
        return SearchDriver(std::make_unique<UdpSearchSocket>(), std::make_unique<SteadyClock>(),
                            addressLookup([local] { return local; }), ShortTimings,
                            device_.address());
    }

    LoopbackDevice device_;
    const std::vector<std::uint8_t> reply_ =
        replyBytes("QZL-TMR", {192, 0, 2, 7}, {1, 2, 3, 4, 5, 6});
};

TEST_F(SearchDriverTest, ListsTheDeviceThatAnsweredWhileTheEventLoopRunsOn) {
    SearchDriver driver = makeDriver();
    QSignalSpy started(&driver, &SearchRunner::started);
    QSignalSpy finished(&driver, &SearchRunner::finished);
    bool firedDuringThePause = false;

    ASSERT_EQ(driver.start(), Search::StartOutcome::Started);
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(driver.start(), Search::StartOutcome::AlreadyRunning);
    QTimer::singleShot(0, [&] { firedDuringThePause = driver.running(); });
    EXPECT_EQ(device_.answer(reply_), 1);

    ASSERT_TRUE(finished.wait(5000));
    EXPECT_TRUE(firedDuringThePause);
    EXPECT_FALSE(driver.running());
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(finished.size(), 1);
    const auto result = finished[0][0].value<SearchResult>();
    ASSERT_EQ(result.devices.size(), 1u);
    EXPECT_EQ(result.devices[0].model, "QZL-TMR");
    EXPECT_EQ(result.devices[0].ipv4, (Ipv4Bytes{192, 0, 2, 7}));
}

TEST_F(SearchDriverTest, ASearchStartedAtTheEndOfTheOneBeforeRunsOnItsNewSocket) {
    SearchDriver driver = makeDriver();
    QSignalSpy finished(&driver, &SearchRunner::finished);
    QObject::connect(&driver, &SearchRunner::finished, [&] {
        if (finished.size() == 1) {
            EXPECT_EQ(driver.start(), Search::StartOutcome::Started);
            EXPECT_EQ(device_.answer(reply_), 1);
        }
    });

    ASSERT_EQ(driver.start(), Search::StartOutcome::Started);
    EXPECT_EQ(device_.answer(reply_), 1);
    ASSERT_TRUE(finished.wait(5000));
    ASSERT_TRUE(finished.wait(5000));

    EXPECT_EQ(finished[1][0].value<SearchResult>().devices.size(), 1u);
}

TEST_F(SearchDriverTest, ASocketThatCannotBeBoundFailsTheStart) {
    // Not an address of this computer: binding fails before anything is sent.
    SearchDriver driver = makeDriver({192, 0, 2, 1});
    QSignalSpy failed(&driver, &SearchRunner::failed);

    EXPECT_EQ(driver.start(), Search::StartOutcome::Failed);

    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][0].value<Error>().message,
              "Socket Error # 10049\r\nCannot assign requested address.");
    EXPECT_FALSE(driver.running());
}

}  // namespace
}  // namespace nimbrel::testing
