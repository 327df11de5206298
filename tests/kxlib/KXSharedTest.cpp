#include "kxlib/KXShared.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace KXLib;

namespace {

// Counts destructor runs in a counter that outlives the object.
class Tracked : public virtual KXShared {
public:
    explicit Tracked(int* deletions) : deletions_(deletions) {}
    ~Tracked() override { ++*deletions_; }

private:
    int* deletions_;
};

// Reaches KXShared along two paths, as a control that is also an event handler does.
class LeftBase : public virtual KXShared {};
class RightBase : public virtual KXShared {};
class Diamond : public LeftBase, public RightBase {
public:
    explicit Diamond(int* deletions) : deletions_(deletions) {}
    ~Diamond() override { ++*deletions_; }

private:
    int* deletions_;
};

}  // namespace

TEST(KXSharedTest, ReleaseToZeroDeletesExactlyOnce)
{
    int deletions = 0;
    auto* object = new Tracked(&deletions);
    EXPECT_EQ(object->refCount(), 0);
    EXPECT_EQ(object->addRef(), 1);
    EXPECT_EQ(object->addRef(), 2);
    EXPECT_EQ(object->release(), 1);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(object->release(), 0);
    EXPECT_EQ(deletions, 1);
}

TEST(KXSharedTest, ReleaseBelowZeroDeletesNothing)
{
    int deletions = 0;
    Tracked object(&deletions);
    EXPECT_EQ(object.release(), -1);
    EXPECT_EQ(deletions, 0);
    EXPECT_FALSE(object.isDisposed());
}

TEST(KXSharedTest, DisposedObjectSurvivesZeroUntilFlagClearedAndReleasedAgain)
{
    int deletions = 0;
    auto* object = new Tracked(&deletions);
    object->setDisposed(true);
    object->addRef();
    EXPECT_EQ(object->release(), 0);
    EXPECT_EQ(deletions, 0);

    // Clearing the flag deletes nothing by itself ...
    object->setDisposed(false);
    EXPECT_EQ(deletions, 0);
    // ... a later release that reaches zero does.
    object->addRef();
    EXPECT_EQ(object->release(), 0);
    EXPECT_EQ(deletions, 1);
}

TEST(KXSharedTest, StackObjectMarkedDisposedIsNeverDeleted)
{
    int deletions = 0;
    {
        Tracked onStack(&deletions);
        onStack.setDisposed(true);
        for (int i = 0; i < 3; ++i) {
            onStack.addRef();
            onStack.release();
        }
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1);   // only its own scope ended it
}

TEST(KXSharedTest, ReferencesTakenDuringDestructionDoNotDeleteAgain)
{
    struct SelfReferencing : public virtual KXShared {
        int* deletions;
        explicit SelfReferencing(int* d) : deletions(d) {}
        ~SelfReferencing() override
        {
            // A member that briefly holds its owner while being torn down.
            addRef();
            release();
            ++*deletions;
        }
    };
    int deletions = 0;
    auto* object = new SelfReferencing(&deletions);
    object->addRef();
    object->release();
    EXPECT_EQ(deletions, 1);
}

TEST(KXSharedTest, DiamondHasOneCount)
{
    int deletions = 0;
    auto* object = new Diamond(&deletions);
    LeftBase* left = object;
    RightBase* right = object;
    left->addRef();
    right->addRef();
    EXPECT_EQ(object->refCount(), 2);
    left->release();
    EXPECT_EQ(deletions, 0);
    right->release();
    EXPECT_EQ(deletions, 1);
}

TEST(KXSharedTest, CopyStartsWithItsOwnCount)
{
    int deletions = 0;
    Tracked original(&deletions);
    original.setDisposed(true);
    original.addRef();
    Tracked copy(original);
    EXPECT_EQ(copy.refCount(), 0);
    EXPECT_FALSE(copy.isDisposed());
    copy = original;
    EXPECT_EQ(copy.refCount(), 0);
    original.release();
}

TEST(KXSharedTest, ConcurrentAddRefAndReleaseKeepTheCountAndDeleteOnce)
{
    std::atomic<int> deletions{0};
    struct Counted : public virtual KXShared {
        std::atomic<int>* deletions;
        explicit Counted(std::atomic<int>* d) : deletions(d) {}
        ~Counted() override { deletions->fetch_add(1); }
    };
    auto* object = new Counted(&deletions);
    object->addRef();   // the test's own reference keeps it alive while the threads run

    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([object] {
            for (int i = 0; i < kRounds; ++i) {
                object->addRef();
                object->addRef();
                object->release();
                object->release();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(object->refCount(), 1);
    EXPECT_EQ(deletions.load(), 0);
    object->release();
    EXPECT_EQ(deletions.load(), 1);
}
