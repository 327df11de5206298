#include "profile/ProfileTree.h"

#include "tests/profile/ProfileTestSupport.h"

#include <climits>

using namespace profile;
using namespace profiletest;

namespace {

class ProfileTreeTest : public DataFolderTest {
protected:
    ProfileNode* insert(std::u16string_view category, std::u16string_view name, uint32_t isUser = 0,
                        int32_t type = 19)
    {
        return tree.insertProfile(newRecord(category, name, isUser, type));
    }
    // Node texts in pre-order, each prefixed by two spaces per level.
    std::vector<std::u16string> outline() const
    {
        std::vector<std::u16string> lines;
        tree.findInPreOrder([&](const ProfileNode& node) {
            std::size_t depth = 0;
            for (const ProfileNode* up = node.parent(); up->parent(); up = up->parent())
                ++depth;
            lines.push_back(std::u16string(2 * depth, u' ') + node.text());
            return false;
        });
        return lines;
    }

    ProfileTree tree;
};

}  // namespace

TEST_F(ProfileTreeTest, RecordsGoUnderTheirCategoryOrUnderANamedProfile)
{
    ProfileNode* mp4 = insert(u"mobile", u"mp4");
    insert(u"web", u"flv", 0, 12);
    ProfileNode* child = insert(u"mp4", u"mp4 small", 0, 18);   // category names a profile
    insert(u"mp4 small", u"mp4 tiny");                          // three levels of profiles
    insert(u"mobile", u"3gp", 0, 0);

    EXPECT_EQ(outline(), (std::vector<std::u16string>{u"mobile", u"  mp4", u"    mp4 small", u"      mp4 tiny",
                                                      u"  3gp", u"web", u"  flv"}));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->parent(), mp4);
    EXPECT_EQ(child->imageIndex(), 19);
    EXPECT_EQ(mp4->imageIndex(), 20);
    EXPECT_EQ(tree.root().child(0)->imageIndex(), 0);
    EXPECT_FALSE(tree.root().child(0)->isProfile());
    EXPECT_EQ(tree.profileCount(), 5u);

    // A child under a profile opens the level holding that profile; top-level categories that
    // only received direct children stay closed.
    EXPECT_TRUE(tree.root().child(0)->isExpanded());
    EXPECT_TRUE(mp4->isExpanded());
    EXPECT_FALSE(tree.root().child(1)->isExpanded());
}

TEST_F(ProfileTreeTest, DuplicateNamesAreRefusedWithAnErrorMessage)
{
    ProfileNode* original = insert(u"mobile", u"mp4");
    original->record()->videoBitrate = 384;

    EXPECT_EQ(insert(u"other", u"mp4"), nullptr);           // built-in against built-in
    EXPECT_EQ(insert(u"x", u"mobile"), nullptr);            // built-in against a category
    ProfileNode* mine = insert(u"mobile", u"mine", 1);
    EXPECT_EQ(insert(u"mobile", u"mine", 1), nullptr);       // user against user

    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[0].text, "新增方案失败,方案 other : mp4已经存在!");
    EXPECT_EQ(messages()[0].flags, platform::MessageError);
    EXPECT_EQ(messages()[0].title, "");
    EXPECT_EQ(messages()[1].text, "新增方案失败,方案 x : mobile已经存在!");
    EXPECT_EQ(messages()[2].text, "新增方案失败,方案 mobile : mine已经存在!");
    EXPECT_EQ(outline(), (std::vector<std::u16string>{u"mobile", u"  mp4", u"  mine"}));
    EXPECT_EQ(original->record()->videoBitrate, 384);
    EXPECT_EQ(mine->record()->isUserProfile, 1u);
}

TEST_F(ProfileTreeTest, UserRecordReplacesTheBuiltInOneInPlace)
{
    insert(u"mobile", u"first");
    ProfileNode* builtIn = insert(u"mobile", u"mp4", 0, 19);
    insert(u"mp4", u"mp4 child");
    insert(u"mobile", u"last");

    auto edited = newRecord(u"mobile", u"mp4", 1, 8);
    edited->videoBitrate = 999;
    EXPECT_EQ(tree.insertProfile(std::move(edited)), builtIn);

    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(outline(), (std::vector<std::u16string>{u"mobile", u"  first", u"  mp4", u"    mp4 child", u"  last"}));
    EXPECT_EQ(builtIn->imageIndex(), 9);
    EXPECT_EQ(builtIn->record()->videoBitrate, 999);
    EXPECT_EQ(builtIn->record()->isUserProfile, 1u);
}

TEST_F(ProfileTreeTest, UserRecordTakesOverTheCategoryItsChildrenRecreated)
{
    // An edited built-in profile lives in the user file while its children stay in the system
    // file, so at load time the children arrive first and make its name a top-level category.
    insert(u"mobile", u"3gp");
    insert(u"mp4", u"mp4 a");
    insert(u"mp4", u"mp4 b");
    ProfileNode* category = tree.findNodeByText(u"mp4");
    ASSERT_FALSE(category->isProfile());

    ProfileNode* taken = insert(u"mobile", u"mp4", 1, 19);
    ASSERT_NE(taken, nullptr);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(taken, category);
    EXPECT_EQ(taken->imageIndex(), 20);
    EXPECT_EQ(outline(), (std::vector<std::u16string>{u"mobile", u"  3gp", u"  mp4", u"    mp4 a", u"    mp4 b"}));

    // Its own category may be missing as well: it is created at the end of the top level.
    insert(u"y", u"y child");
    insert(u"fresh", u"y", 1);
    EXPECT_EQ(outline(), (std::vector<std::u16string>{u"mobile", u"  3gp", u"  mp4", u"    mp4 a", u"    mp4 b",
                                                      u"fresh", u"  y", u"    y child"}));
}

TEST_F(ProfileTreeTest, TakeOverNeverMovesANodeIntoItsOwnSubtree)
{
    insert(u"a", u"b");
    ProfileNode* a = insert(u"b", u"a", 1);   // its category "b" lies below the node "a"
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parent(), &tree.root());
    EXPECT_EQ(outline(), (std::vector<std::u16string>{u"a", u"  b"}));
}

TEST_F(ProfileTreeTest, RecordNamingItselfAsCategoryIsDroppedQuietly)
{
    EXPECT_EQ(insert(u"loop", u"loop"), nullptr);
    EXPECT_EQ(insert(u"", u""), nullptr);   // a blank record with only the magic
    EXPECT_TRUE(tree.empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(ProfileTreeTest, DefaultIsTheFirstFlaggedProfileInPreOrder)
{
    EXPECT_EQ(tree.findDefaultNode(), nullptr);
    EXPECT_EQ(tree.findFirstProfileNode(), nullptr);
    insert(u"one", u"a");
    insert(u"two", u"b")->record()->isDefault = 1;
    insert(u"one", u"c")->record()->isDefault = 2;   // later inserted, earlier in pre-order

    EXPECT_EQ(tree.findDefaultNode()->text(), u"c");
    EXPECT_EQ(tree.findFirstProfileNode()->text(), u"a");
}

TEST_F(ProfileTreeTest, FindNodeByTextIsExactAndScopedToTheSubtree)
{
    insert(u"one", u"Clip");
    ProfileNode* two = tree.root().appendChild(u"two", 0);
    insert(u"two", u"clip");
    insert(u"two", u"clip ");

    EXPECT_EQ(tree.findNodeByText(u"clip")->parent(), two);
    EXPECT_EQ(tree.findNodeByText(u"Clip", two), nullptr);
    EXPECT_EQ(tree.findNodeByText(u"two", two), nullptr);   // the start itself is not searched
    EXPECT_EQ(tree.findNodeByText(u"clip ", two)->text(), u"clip ");
    EXPECT_EQ(tree.findNodeByText(u"cli"), nullptr);
}

TEST_F(ProfileTreeTest, ImageIndexStaysInsideTheImageStrip)
{
    EXPECT_EQ(insert(u"c", u"first type", 0, 0)->imageIndex(), 1);
    EXPECT_EQ(insert(u"c", u"last type", 0, 51)->imageIndex(), 52);
    EXPECT_EQ(insert(u"c", u"past the end", 0, 52)->imageIndex(), 0);
    EXPECT_EQ(insert(u"c", u"negative", 0, -1)->imageIndex(), 0);
    EXPECT_EQ(insert(u"c", u"huge", 0, INT_MAX)->imageIndex(), 0);
}

TEST_F(ProfileTreeTest, VeryDeepTreeIsSearchedAndFreedWithoutRecursion)
{
    ProfileNode* node = &tree.root();
    for (int i = 0; i < 100000; ++i)
        node = node->appendChild(u"n", 0);
    node->setRecord(newRecord(u"n", u"deepest"));
    node->record()->isDefault = 1;
    EXPECT_EQ(tree.findDefaultNode(), node);
    EXPECT_EQ(tree.findNodeByText(u"missing"), nullptr);
    tree.clear();
    EXPECT_TRUE(tree.empty());
}
