// The read-only profile chooser: every profile listed in the tree's order, the row's profile
// selected at the start, and a record handed back only when the user takes one.
#include "profile/ProfileCatalogue.h"
#include "profile/page/CProfileChooser.h"

#include <gtest/gtest.h>

#include <memory>

using profile::CProfileChooser;

namespace {

std::unique_ptr<profile::ProfileTree> catalogueTree()
{
    auto tree = std::make_unique<profile::ProfileTree>();
    profile::buildCatalogue(*tree);
    return tree;
}

}  // namespace

TEST(CProfileChooserTest, ListsEveryProfileAndStartsOnTheRowsProfile)
{
    const auto owned = catalogueTree();
    const profile::ProfileTree& tree = *owned;
    ASSERT_GT(tree.profileCount(), 2u);
    const std::string second = [&] {
        CProfileChooser probe(tree, "");
        return probe.names().at(1);
    }();
    CProfileChooser chooser(tree, second);
    chooser.initDialog();
    EXPECT_EQ(chooser.names().size(), tree.profileCount());
    EXPECT_EQ(chooser.selectedRow(), 1);

    // Cancelled: nothing chosen.
    chooser.onControlEvent(chooser.findControl("cancel"), WM_LBUTTONUP, 0, 0);
    profile::ProfileRecord chosen{};
    EXPECT_FALSE(chooser.chosenRecord(chosen));
}

TEST(CProfileChooserTest, OkHandsBackTheSelectedRecordAndNeedsASelection)
{
    const auto owned = catalogueTree();
    const profile::ProfileTree& tree = *owned;
    CProfileChooser chooser(tree, "no such profile");
    chooser.initDialog();
    EXPECT_EQ(chooser.selectedRow(), -1);
    chooser.onControlEvent(chooser.findControl("ok"), WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(chooser.hasEnded()) << "no selection, the box stays";
    chooser.selectRow(2);
    chooser.onControlEvent(chooser.findControl("ok"), WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(chooser.hasEnded());
    profile::ProfileRecord chosen{};
    ASSERT_TRUE(chooser.chosenRecord(chosen));
    EXPECT_EQ(profile::profileNameOf(chosen), chooser.names()[2]);
}
