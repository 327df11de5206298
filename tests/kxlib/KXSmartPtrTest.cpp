#include "kxlib/KXNullHandleException.h"
#include "kxlib/KXSmartPtr.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace KXLib;

namespace {

class Node : public virtual KXShared {
public:
    explicit Node(int* deletions = nullptr) : deletions_(deletions) {}
    ~Node() override
    {
        if (deletions_)
            ++*deletions_;
    }
    int value = 7;
    KXSmartPtr<Node> next;

private:
    int* deletions_;
};

class Special : public Node {
public:
    using Node::Node;
};

class Other : public virtual KXShared {};

}  // namespace

TEST(KXSmartPtrTest, CopiesAndResetsKeepTheCount)
{
    int deletions = 0;
    KXSmartPtr<Node> first(new Node(&deletions));
    EXPECT_EQ(first->refCount(), 1);
    {
        KXSmartPtr<Node> second = first;
        EXPECT_EQ(first->refCount(), 2);
        KXSmartPtr<Node> moved = std::move(second);
        EXPECT_TRUE(second.isNull());
        EXPECT_EQ(first->refCount(), 2);
    }
    EXPECT_EQ(first->refCount(), 1);
    first.reset();
    EXPECT_EQ(deletions, 1);
    first.reset();   // a second reset of a null pointer is harmless
    EXPECT_EQ(deletions, 1);
}

TEST(KXSmartPtrTest, AssignmentHandlesSelfAndSharedValues)
{
    int deletions = 0;
    KXSmartPtr<Node> a(new Node(&deletions));
    KXSmartPtr<Node>& alias = a;
    a = alias;
    a = a.raw();
    EXPECT_EQ(a->refCount(), 1);
    EXPECT_EQ(deletions, 0);

    // The new value is kept alive only through the old one: head -> next. Assigning head.next to
    // head must take the new reference before the old head (and with it its next) goes.
    KXSmartPtr<Node> head(new Node(&deletions));
    head->next = new Node(&deletions);
    head->next->value = 42;
    head = head->next;
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(head->value, 42);
    EXPECT_EQ(head->refCount(), 1);

    head = nullptr;
    EXPECT_EQ(deletions, 2);
}

TEST(KXSmartPtrTest, NullDereferenceThrows)
{
    KXSmartPtr<Node> empty;
    EXPECT_THROW(empty.get(), KXNullHandleException);
    EXPECT_THROW((void)empty->value, KXNullHandleException);
    EXPECT_THROW((void)*empty, KXNullHandleException);
    EXPECT_NO_THROW(empty.raw());
    EXPECT_FALSE(empty);
}

TEST(KXSmartPtrTest, DynamicCastYieldsNullForOtherKinds)
{
    KXSmartPtr<KXShared> asShared(new Special);
    KXSmartPtr<Special> special = asShared.dynamicCast<Special>();
    ASSERT_FALSE(special.isNull());
    EXPECT_EQ(asShared->refCount(), 2);
    EXPECT_TRUE(asShared.dynamicCast<Other>().isNull());

    KXSmartPtr<Node> plain(new Node);
    EXPECT_TRUE(plain.dynamicCast<Special>().isNull());
    EXPECT_EQ(plain->refCount(), 1);
}

TEST(KXSmartPtrTest, ComparisonsCompareHeldPointers)
{
    auto* raw = new Special;
    KXSmartPtr<Special> special(raw);
    KXSmartPtr<Node> node(special);
    KXSmartPtr<Node> other(new Node);
    EXPECT_TRUE(node == special);
    EXPECT_TRUE(special == raw);
    EXPECT_TRUE(node != other);
    EXPECT_FALSE(node == other.raw());
    EXPECT_TRUE(KXSmartPtr<Node>() == nullptr);
}

TEST(KXSmartPtrTest, CopiesOnManyThreadsDeleteOnce)
{
    int deletions = 0;
    KXSmartPtr<Node> shared(new Node(&deletions));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([copy = shared] {
            for (int i = 0; i < 10000; ++i) {
                KXSmartPtr<Node> local = copy;
                local = nullptr;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared->refCount(), 1);
    shared.reset();
    EXPECT_EQ(deletions, 1);
}
