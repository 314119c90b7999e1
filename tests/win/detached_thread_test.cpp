// Threads nobody waits for: every one runs its own work once and releases what it captured.
// Thousands in a row, as a long session of fetches starts them; a detached std::thread crashed
// here now and then under Wine.
#include "platform/detached_thread_win.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

using namespace harness;

TEST(DetachedThread, EachRunsItsOwnWorkOnceAndReleasesWhatItHeld) {
    constexpr int kThreads = 5000;
    std::vector<std::atomic<int>> runs(kThreads);
    auto held = std::make_shared<int>(0);
    std::atomic<int> finished{0};
    for (int i = 0; i < kThreads; ++i) {
        ASSERT_TRUE(StartDetachedThread([&runs, &finished, held, i] {
            runs[i]++;
            finished++;
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return finished == kThreads && held.use_count() == 1; }, milliseconds(30000)));
    for (int i = 0; i < kThreads; ++i) EXPECT_EQ(runs[i], 1) << "thread " << i;
}
