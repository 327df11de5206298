// The modal profile chooser over real profile files: preselection, OK (button and Enter), cancel
// (button, close, Escape), a name that no longer exists, and a data folder without profile.dat.
#include "profile/page/CProfile2Dialog.h"

#include "profile/ProfileCatalogue.h"
#include "profile/ProfileStore.h"
#include "tests/app/page/PageTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using profile::CProfile2Dialog;
using profile::ProfileRecord;

namespace {

class ProfileChooserTest : public ::testing::Test {
protected:
    ProfileChooserTest()
    {
        profile::ProfileStore store(data());
        EXPECT_TRUE(store.loadAtStartup());   // writes the catalogue
    }
    std::filesystem::path data() const { return env.dir.path() / "data"; }
    static ProfileRecord catalogue(std::string_view name)
    {
        for (const ProfileRecord& r : profile::catalogueRecords())
            if (profile::profileNameOf(r) == name)
                return r;
        return profile::makeEmptyProfileRecord();
    }
    static bool same(const ProfileRecord& a, const ProfileRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    void click(CProfile2Dialog& d, const char* name) { d.onControlEvent(d.findControl(name), WM_LBUTTONUP, 0, 0); }

    pagetest::PageEnvironment env;
};

}  // namespace

TEST_F(ProfileChooserTest, OkWithoutAClickReturnsThePreselectedRecord)
{
    CProfile2Dialog chooser(nullptr, data());
    chooser.chosenName = "flv 640x480";
    chooser.initDialog();
    ASSERT_TRUE(chooser.chosenNode());
    EXPECT_EQ(chooser.chosenNode()->textUtf8(), "flv 640x480");
    EXPECT_EQ(chooser.nameBox()->text(), "flv 640x480");
    EXPECT_EQ(chooser.treeView()->itemText(chooser.treeView()->selectedItem()), "flv 640x480");
    EXPECT_EQ(chooser.treeView()->count(), 11 + 103);
    click(chooser, "ok");
    EXPECT_EQ(chooser.result(), CProfile2Dialog::IDOK);
    EXPECT_TRUE(same(chooser.chosenProfile, catalogue("flv 640x480")));
}

TEST_F(ProfileChooserTest, EnterActsAsOkWithTheProfileShown)
{
    CProfile2Dialog chooser(nullptr, data());
    chooser.chosenName = "flv 640x480";
    chooser.initDialog();
    chooser.clickNode(chooser.tree().findNodeByText(u"所有 转到 gif"));
    EXPECT_EQ(chooser.chosenName, "flv 640x480") << "a category changes nothing";
    chooser.clickNode(chooser.tree().findNodeByText(u"gif 64x48"));
    EXPECT_EQ(chooser.chosenName, "gif 64x48");
    EXPECT_EQ(chooser.nameBox()->text(), "gif 64x48");
    chooser.onMessage(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(chooser.result(), CProfile2Dialog::IDOK);
    EXPECT_TRUE(same(chooser.chosenProfile, catalogue("gif 64x48")));

    // Enter in the read-only name box too.
    CProfile2Dialog second(nullptr, data());
    second.chosenName = "vcd pal";
    second.initDialog();
    second.onMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), CProfile2Dialog::kNameBoxId);
    EXPECT_EQ(second.result(), CProfile2Dialog::IDOK);
    EXPECT_TRUE(same(second.chosenProfile, catalogue("vcd pal")));
}

TEST_F(ProfileChooserTest, CancelCloseAndEscapeReturnNothing)
{
    for (const char* how : {"cancel", "close", "escape"}) {
        CProfile2Dialog chooser(nullptr, data());
        chooser.chosenName = "vcd pal";
        chooser.initDialog();
        chooser.clickNode(chooser.tree().findNodeByText(u"dvd pal small"));
        if (std::string(how) == "escape")
            chooser.onMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        else
            click(chooser, how);
        EXPECT_EQ(chooser.result(), CProfile2Dialog::IDCANCEL) << how;
        EXPECT_TRUE(same(chooser.chosenProfile, profile::makeEmptyProfileRecord())) << how;
    }
}

TEST_F(ProfileChooserTest, AMissingNamePreselectsTheDefault)
{
    CProfile2Dialog chooser(nullptr, data());
    chooser.chosenName = "renamed since";
    chooser.initDialog();
    ASSERT_TRUE(chooser.chosenNode());
    EXPECT_EQ(chooser.chosenNode()->textUtf8(), "移动设备兼容格式mp4");
    click(chooser, "ok");
    EXPECT_TRUE(same(chooser.chosenProfile, catalogue("移动设备兼容格式mp4")));
}

TEST_F(ProfileChooserTest, NoSystemFileMeansAnEmptyTreeAndNothingWritten)
{
    std::filesystem::remove(data() / "profile.dat");
    CProfile2Dialog chooser(nullptr, data());
    chooser.chosenName = "flv 640x480";
    chooser.initDialog();
    EXPECT_EQ(chooser.treeView()->count(), 0);
    EXPECT_EQ(chooser.chosenNode(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(data() / "profile.dat"));
    click(chooser, "ok");
    EXPECT_TRUE(same(chooser.chosenProfile, profile::makeEmptyProfileRecord()));
}

TEST_F(ProfileChooserTest, AHalfWrittenSystemFileShowsItsIntactRecords)
{
    // A save of another program cut off in the middle of the third record.
    const auto full = std::filesystem::file_size(data() / "profile.dat");
    ASSERT_GT(full, 200u + 3 * 516u);
    std::filesystem::resize_file(data() / "profile.dat", 200 + 2 * 516 + 100);
    CProfile2Dialog chooser(nullptr, data());
    chooser.chosenName = "mp4 400x240 mpeg4";
    chooser.initDialog();
    EXPECT_EQ(chooser.tree().profileCount(), 2u);
    EXPECT_EQ(chooser.chosenNode()->textUtf8(), "移动设备兼容格式mp4") << "the missing name falls back to the default";
    EXPECT_EQ(std::filesystem::file_size(data() / "profile.dat"), 200u + 2 * 516 + 100) << "the chooser never writes";
}
