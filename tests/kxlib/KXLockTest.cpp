#include "kxlib/KXAutoLock.h"
#include "kxlib/KXCondition.h"
#include "kxlib/KXCriticalSection.h"
#include "kxlib/KXMutex.h"
#include "kxlib/KXMutexLock.h"
#include "kxlib/KXSemaphore.h"
#include "kxlib/KXSignal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace KXLib;

TEST(KXLockTest, AutoLockExcludesOtherThreads)
{
    KXCriticalSection section;
    long counter = 0;   // deliberately not atomic: the lock alone must keep it right
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                KXAutoLock lock(&section);
                ++counter;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 40000);
}

namespace {

void enterTwiceLeavingInnerEarly(KXCriticalSection& section) KX_NO_THREAD_SAFETY_ANALYSIS
{
    KXAutoLock outer(&section);
    KXAutoLock inner(&section);   // the holder may enter again
    inner.leave();
    inner.leave();
}

}  // namespace

TEST(KXLockTest, SectionIsReentrantAndEarlyLeaveIsNotRepeated)
{
    KXCriticalSection section;
    enterTwiceLeavingInnerEarly(section);
    // Every enter was matched by exactly one leave: another thread can take it now.
    bool taken = false;
    std::thread([&] {
        if (section.tryEnter()) {
            taken = true;
            section.leave();
        }
    }).join();
    EXPECT_TRUE(taken);

    KXAutoLock nothing(nullptr);   // a null section is ignored
}

namespace {

// Whether another thread can take the mutex now.
bool freeForOthers(KXMutex& mutex)
{
    bool taken = false;
    std::thread([&] {
        if (mutex.tryLock()) {
            taken = true;
            mutex.unlock();
        }
    }).join();
    return taken;
}

}  // namespace

TEST(KXMutexTest, MutexLockExcludesOtherThreadsForItsScope)
{
    KXMutex mutex;
    long counter = 0;  // deliberately not atomic: the lock alone must keep it right
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                KXMutexLock lock(mutex);
                ++counter;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 40000);

    {
        KXMutexLock lock(mutex);
        EXPECT_FALSE(freeForOthers(mutex));
    }
    EXPECT_TRUE(freeForOthers(mutex));
}

TEST(KXMutexTest, ConditionGivesTheMutexBackHeldAfterATimeOut)
{
    KXMutex mutex;
    KXCondition condition;
    KXMutexLock lock(mutex);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(condition.waitUntil(mutex, before + std::chrono::milliseconds(30)));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(30));
    EXPECT_FALSE(freeForOthers(mutex));
    EXPECT_FALSE(condition.waitUntil(mutex, before));  // a deadline already past returns at once
}

TEST(KXMutexTest, ConditionLetsGoOfTheMutexWhileItWaits)
{
    KXMutex mutex;
    KXCondition condition;
    bool ready = false;
    std::thread setter([&] {
        KXMutexLock lock(mutex);  // only possible while the waiter sleeps
        ready = true;
        condition.signalAll();
    });
    {
        KXMutexLock lock(mutex);
        while (!ready)
            condition.wait(mutex);
        EXPECT_TRUE(ready);
    }
    setter.join();
}

TEST(KXSemaphoreTest, CountsUpToTheCeilingAndRefusesBeyond)
{
    KXSemaphore semaphore(0, kKXSignalMaximum);
    EXPECT_FALSE(semaphore.wait(0));
    for (long i = 0; i < kKXSignalMaximum; ++i)
        ASSERT_TRUE(semaphore.post()) << i;
    EXPECT_FALSE(semaphore.post());
    EXPECT_EQ(semaphore.count(), kKXSignalMaximum);
    for (long i = 0; i < kKXSignalMaximum; ++i)
        ASSERT_TRUE(semaphore.wait(0)) << i;
    EXPECT_FALSE(semaphore.wait(10));

    EXPECT_EQ(KXSemaphore(-5, 3).count(), 0);
    EXPECT_EQ(KXSemaphore(9, 3).count(), 3);
}

TEST(KXSemaphoreTest, EveryPostWakesExactlyOneWait)
{
    KXSignal signal(std::make_unique<KXSemaphore>(0, kKXSignalMaximum));
    constexpr int kItems = 2000;
    std::atomic<int> taken{0};
    std::vector<std::thread> consumers;
    for (int t = 0; t < 3; ++t) {
        consumers.emplace_back([&] {
            while (signal.wait(200))
                taken.fetch_add(1);
        });
    }
    for (int i = 0; i < kItems; ++i)
        ASSERT_TRUE(signal.post());
    for (auto& consumer : consumers)
        consumer.join();
    EXPECT_EQ(taken.load(), kItems);
}

TEST(KXSemaphoreTest, TimedWaitTakesAUnitPostedWithinTheLimit)
{
    KXSemaphore semaphore(0, 1);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(semaphore.wait(40));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(40));

    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        semaphore.post();
    });
    EXPECT_TRUE(semaphore.wait(10000));
    poster.join();
    EXPECT_EQ(semaphore.count(), 0);
}

TEST(KXSemaphoreTest, SignalWithoutSemaphoreNeverBlocks)
{
    KXSignal empty(nullptr);
    EXPECT_FALSE(empty.post());
    EXPECT_FALSE(empty.wait(kKXInfinite));
}

TEST(KXSemaphoreTest, UntimedWaitEndsOnlyByAnotherThreadsPost)
{
    // Two threads hand a token back and forth with untimed waits: each wait can only end through
    // the other thread's post, so a lost wake-up hangs here (and the test's time limit fails it)
    // and a wait that returns without a unit shows up as a token seen out of turn.
    KXSemaphore ping(0, 1);
    KXSemaphore pong(0, 1);
    constexpr int kRounds = 2000;
    std::atomic<int> token{0};
    std::thread partner([&] {
        for (int i = 0; i < kRounds; ++i) {
            ASSERT_TRUE(ping.wait(kKXInfinite));
            ASSERT_EQ(token.load(), 2 * i + 1);
            token.store(2 * i + 2);
            ASSERT_TRUE(pong.post());
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        token.store(2 * i + 1);
        ASSERT_TRUE(ping.post());
        ASSERT_TRUE(pong.wait(kKXInfinite));
        ASSERT_EQ(token.load(), 2 * i + 2);
    }
    partner.join();
    EXPECT_EQ(ping.count(), 0);
    EXPECT_EQ(pong.count(), 0);
}
