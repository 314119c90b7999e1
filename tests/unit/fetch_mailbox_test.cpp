// The mailbox between the fetch threads and the window: a wake-up finds only what a fetch left, a
// finished fetch is never still "under way", and results cross threads whole and in order.
#include "online/fetch_mailbox.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {
TEST(FetchMailbox, AWakeUpWithNothingLeftTakesNothing) {
    FetchMailbox<std::string> box;
    for (int strayWakeUps = 0; strayWakeUps < 120; ++strayWakeUps) EXPECT_TRUE(box.TakeAll().empty());
    ASSERT_TRUE(box.TryBegin());
    box.Finish("Заголовок");
    EXPECT_EQ(box.TakeAll(), std::vector<std::string>{"Заголовок"});
    EXPECT_TRUE(box.TakeAll().empty());  // a second wake-up for the same result finds nothing
}

TEST(FetchMailbox, OneFetchAtATimeAndAFinishedOrAbandonedOneFreesTheNext) {
    FetchMailbox<int> box;
    ASSERT_TRUE(box.TryBegin());
    EXPECT_TRUE(box.UnderWay());
    EXPECT_FALSE(box.TryBegin());
    box.Abandon();  // its thread could not be started
    ASSERT_TRUE(box.TryBegin());
    box.Finish(1);  // its wake-up may never arrive: the next refresh starts all the same
    EXPECT_FALSE(box.UnderWay());
    ASSERT_TRUE(box.TryBegin());
    box.Finish(2);
    EXPECT_EQ(box.TakeAll(), (std::vector<int>{1, 2}));  // oldest first, none lost
}

TEST(FetchMailbox, ResultsFromWorkerThreadsArriveWholeWhileTheWindowTakes) {
    FetchMailbox<std::string> box;
    constexpr int kWorkers = 4, kEach = 500;
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&box, w] {
            for (int i = 0; i < kEach; ++i) box.Finish(std::string(1000, static_cast<char>('a' + w)));
        });
    size_t taken = 0;
    while (taken < static_cast<size_t>(kWorkers * kEach)) {
        for (const std::string& result : box.TakeAll()) {
            ASSERT_EQ(result.size(), 1000u);
            EXPECT_EQ(result.find_first_not_of(result[0]), std::string::npos);
            ++taken;
        }
        std::this_thread::yield();
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_TRUE(box.TakeAll().empty());
}
}  // namespace
