#include "kxlib/KXSemaphore.h"
#include "kxlib/KXSignal.h"
#include "kxlib/KXSystemException.h"
#include "kxlib/KXThread.h"
#include "kxlib/KXTime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <regex>
#include <string>

using namespace KXLib;

namespace {

// Records that it ran and on which thread, and reports its own deletion.
class Recorder : public KXRunable {
public:
    explicit Recorder(KXSemaphore* deleted = nullptr) : deleted_(deleted) {}
    ~Recorder() override
    {
        if (deleted_)
            deleted_->post();
    }
    void run() override
    {
        runs.fetch_add(1);
        ranOn = std::this_thread::get_id();
        countWhileRunning = refCount();
    }
    std::atomic<int> runs{0};
    std::thread::id ranOn;
    int countWhileRunning = 0;

private:
    KXSemaphore* deleted_;
};

// Waits on its signal until told to stop: the way an owner ends a worker.
class Waiter : public KXRunable {
public:
    void run() override
    {
        while (!stop.load())
            signal.wait(kKXInfinite);
    }
    std::atomic<bool> stop{false};
    KXSignal signal{std::make_unique<KXSemaphore>(0, kKXSignalMaximum)};
};

int threadNumber(const KXThread& thread)
{
    std::smatch match;
    const std::string& name = thread.name();
    EXPECT_TRUE(std::regex_match(name, match, std::regex(R"(KXThread\[([0-9]+)\])"))) << name;
    return match.empty() ? -1 : std::stoi(match[1]);
}

}  // namespace

TEST(KXThreadTest, NamesCountConstructedThreads)
{
    KXThread first(nullptr);
    KXThread second(nullptr);
    EXPECT_GE(threadNumber(first), 1);
    EXPECT_EQ(threadNumber(second), threadNumber(first) + 1);
}

TEST(KXThreadTest, RunsTheRunableOnANewThreadAndJoins)
{
    KXSmartPtr<Recorder> recorder(new Recorder);
    KXThread thread(recorder);
    EXPECT_FALSE(thread.isStarted());
    const std::thread::id id = thread.start();
    EXPECT_NE(id, std::thread::id());
    EXPECT_TRUE(thread.isStarted());
    thread.join();
    EXPECT_FALSE(thread.isStarted());
    EXPECT_EQ(thread.threadId(), std::thread::id());
    EXPECT_EQ(recorder->runs.load(), 1);
    EXPECT_EQ(recorder->ranOn, id);
    // The test, the KXThread and the running thread each held one reference during run().
    EXPECT_EQ(recorder->countWhileRunning, 3);
    EXPECT_EQ(recorder->refCount(), 2);
}

TEST(KXThreadTest, SecondStartWithoutJoinThrowsAndRestartAfterJoinWorks)
{
    KXSmartPtr<Recorder> recorder(new Recorder);
    KXThread thread(recorder);
    thread.start();
    try {
        thread.start();
        FAIL() << "second start did not throw";
    } catch (const KXSystemException& error) {
        EXPECT_EQ(error.description(), "KXThread::start fail, repeat start !");
        EXPECT_STREQ(error.name(), "KXSYSTEMLIB::KXSystemException");
    }
    thread.join();
    thread.start();
    thread.join();
    EXPECT_EQ(recorder->runs.load(), 2);
}

TEST(KXThreadTest, JoinWithoutStartReturnsAtOnce)
{
    KXThread thread(nullptr);
    thread.join();
    thread.join();
    EXPECT_FALSE(thread.isStarted());
    // A null runable still gives a thread that ends at once.
    EXPECT_NE(thread.start(), std::thread::id());
    thread.join();
}

TEST(KXThreadTest, RunableOutlivesAThreadObjectDroppedRightAfterStart)
{
    KXSemaphore deleted(0, 2);
    {
        auto thread = std::make_unique<KXThread>(KXSmartPtr<KXRunable>(new Recorder(&deleted)));
        thread->start();
        // Dropped without join(): the thread keeps its own reference and must not end the process.
    }
    EXPECT_TRUE(deleted.wait(10000));   // the thread let go of the last reference
    EXPECT_FALSE(deleted.wait(0));      // and the runable was deleted once
}

TEST(KXThreadTest, OwnerStopsAWaitingRunableThroughItsSignal)
{
    KXSmartPtr<Waiter> waiter(new Waiter);
    KXThread thread(waiter);
    thread.start();
    waiter->stop = true;
    EXPECT_TRUE(waiter->signal.post());
    thread.join();
    EXPECT_EQ(waiter->refCount(), 2);
}

TEST(KXTimeTest, MillisecondResolutionNearTheSystemClock)
{
    const KXTime now;
    EXPECT_EQ(now.micros() % 1000, 0u);
    const auto clock = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    const int64_t difference = static_cast<int64_t>(clock) - static_cast<int64_t>(now.micros());
    EXPECT_GE(difference, 0);
    EXPECT_LT(difference, 60 * 1000 * 1000);
}
