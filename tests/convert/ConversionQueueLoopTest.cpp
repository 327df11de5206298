#include "convert/ConversionQueueLoop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using convert::ConversionQueueLoop;

// Functions posted from other threads run on the thread that runs the loop, in the order posted;
// a function may post again, and runOne() waits for work that is still to come.
TEST(ConversionQueueLoopTest, RunsPostedFunctionsInOrderOnTheOwnersThread)
{
    ConversionQueueLoop loop;
    const std::thread::id owner = std::this_thread::get_id();
    std::vector<int> ran;
    bool allOnOwner = true;
    auto record = [&](int value) {
        return [&, value] {
            ran.push_back(value);
            allOnOwner = allOnOwner && std::this_thread::get_id() == owner;
        };
    };

    EXPECT_EQ(loop.runPending(), 0u);
    EXPECT_FALSE(loop.runOneWithin(std::chrono::milliseconds(0)));

    std::thread poster([&] {
        const auto post = loop.poster();
        for (int i = 0; i < 100; ++i)
            post(record(i));
    });
    // Every one of them, however the two threads interleave.
    for (int i = 0; i < 100; ++i)
        loop.runOne();
    poster.join();
    ASSERT_EQ(ran.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(ran[static_cast<size_t>(i)], i);
    EXPECT_TRUE(allOnOwner);

    ran.clear();
    loop.post([&] {
        ran.push_back(1);
        loop.post(record(2));
    });
    EXPECT_EQ(loop.runPending(), 2u);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}
