// The profile page inside the main window, offscreen: the native tree, the in-place editors over
// the list's cells with their commit rules, the toolbar operations and the saved-profile notice.
#include "app/page/CLumaretDlg.h"
#include "profile/ProfileProperties.h"
#include "tests/app/page/PageTestSupport.h"
#include "tests/support/Screenshot.h"
#include "platform/gui/QtBridge.h"
#include "tests/convert/FakeEncoderSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <filesystem>

using app::CLumaretDlg;
using profile::CProfileDialog;
using Row = profile::ProfileProperties::Row;

namespace {

class ProfilePageTest : public ::testing::Test {
protected:
    ProfilePageTest() : binding(fakeencoder::binding()), window(&services, binding.get())
    {
        EXPECT_TRUE(window.initDialog());
        window.getWindow()->show();
        window.selectTab("profile");
    }

    CProfileDialog& page() { return window.profilePage; }
    std::string current() { return page().editor().currentNode()->textUtf8(); }
    std::string shown(int row)
    {
        return profile::ProfileProperties::valueText(page().propertyList()->workingCopy, row, false);
    }
    // What the editor's own window reports for Enter or Escape.
    void key(int command, int id) { page().onMessage(WM_COMMAND, MAKEWPARAM(command, 0), id); }
    std::string selectedTreeText()
    {
        platform::TreeView& tree = *page().treeView();
        return tree.selectedItem() ? tree.itemText(tree.selectedItem()) : "";
    }

    pagetest::PageEnvironment env;
    pagetest::RecordingServices services;
    std::unique_ptr<convert::EncoderBinding> binding;
    CLumaretDlg window;
};

}  // namespace

TEST_F(ProfilePageTest, StartsOnTheDefaultWithTheWholeCatalogueInTheTree)
{
    EXPECT_EQ(page().treeView()->count(), 11 + 103);
    EXPECT_EQ(current(), "移动设备兼容格式mp4");
    EXPECT_EQ(selectedTreeText(), "移动设备兼容格式mp4");
    EXPECT_EQ(page().treeView()->itemImage(page().treeView()->selectedItem()), 20);
    EXPECT_EQ(shown(Row::VideoBitrate), "384");
    EXPECT_EQ(page().openRow(), -1);
    EXPECT_FALSE(page().valueCombo()->isVisible());
}

TEST_F(ProfilePageTest, InPlaceEditorsCommitOnEnterOnAPressAndCancelOnEscape)
{
    // Enter stores the typed value and closes the combo box that sat over the value cell.
    page().openEditor(Row::VideoBitrate);
    ASSERT_TRUE(page().valueCombo()->isVisible());
    RECT cell{};
    ASSERT_TRUE(page().propertyList()->getCellRect(Row::VideoBitrate, 1, cell));
    EXPECT_EQ(page().valueCombo()->rect().left, cell.left);
    EXPECT_EQ(page().valueCombo()->rect().top, cell.top);
    EXPECT_EQ(page().valueCombo()->text(), "384");
    EXPECT_EQ(page().valueCombo()->textLimit(), 20);
    page().valueCombo()->setText("900");
    key(IDOK, CProfileDialog::kValueComboId);
    EXPECT_FALSE(page().valueCombo()->isVisible());
    EXPECT_EQ(shown(Row::VideoBitrate), "900");

    // Escape leaves the value as it was.
    page().openEditor(Row::VideoBitrate);
    page().valueCombo()->setText("1000");
    key(IDCANCEL, CProfileDialog::kValueComboId);
    EXPECT_EQ(page().openRow(), -1);
    EXPECT_EQ(shown(Row::VideoBitrate), "900");

    // A press on the main window's surface commits, and so does a press on the page.
    page().openEditor(Row::FrameRate);
    page().valueCombo()->setText("29,97");
    window.onMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(shown(Row::FrameRate), "18") << "not a number: unchanged";
    page().openEditor(Row::ConversionType);
    ASSERT_TRUE(page().choiceList()->isVisible());
    EXPECT_EQ(page().choiceList()->count(), 52);
    page().choiceList()->setCurSel(8);
    page().onMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(400, 380));
    EXPECT_EQ(shown(Row::ConversionType), "AVI (.avi)");
    EXPECT_EQ(shown(Row::VideoBitrate), "900") << "a new type keeps the bit rate";

    // The name edit refuses a name over 99 characters with a message.
    page().openEditor(Row::Name);
    ASSERT_TRUE(page().nameEdit()->isVisible());
    page().nameEdit()->setText(std::string(120, 'n'));
    key(IDOK, CProfileDialog::kNameEditId);
    ASSERT_FALSE(env.presenter->messages.empty());
    EXPECT_EQ(env.presenter->messages.back().text, profile::ProfileEditor::kNameTooLong);
    EXPECT_EQ(shown(Row::Name), "移动设备兼容格式mp4");

    // The icon rows open nothing.
    page().openEditor(Row::NameIcon);
    EXPECT_EQ(page().openRow(), -1);
}

TEST_F(ProfilePageTest, AcceptTellsTheMainWindowAndDeleteUpdatesTheTree)
{
    window.selectTab("convert");
    window.selectTab("profile");
    page().selectProfileByName("flv 320x240");
    EXPECT_EQ(current(), "flv 320x240");
    EXPECT_EQ(selectedTreeText(), "flv 320x240");
    page().openEditor(Row::VideoBitrate);
    page().valueCombo()->setText("512");
    window.acceptAction();
    EXPECT_EQ(page().findProfileByName("flv 320x240")->videoBitrate, 512);
    EXPECT_EQ(std::filesystem::file_size(env.dir.path() / "data" / "user_profile.dat"), 516u);
    std::string name;
    profile::ProfileRecord record{};
    ASSERT_TRUE(page().currentProfile(name, record));
    EXPECT_EQ(name, "flv 320x240");

    // Moving it to another category moves its tree item too.
    page().openEditor(Row::Category);
    page().valueCombo()->setText("所有 转到 avi");
    key(IDOK, CProfileDialog::kValueComboId);
    window.acceptAction();
    platform::TreeView& tree = *page().treeView();
    ASSERT_TRUE(tree.selectedItem());
    EXPECT_EQ(tree.itemText(tree.parentItem(tree.selectedItem())), "所有 转到 avi");

    // Deleting asks, then the item goes and the default is shown.
    env.presenter->answer = platform::kAnswerYes;
    page().deleteProfile();
    EXPECT_EQ(tree.count(), 11 + 102);
    EXPECT_EQ(current(), "移动设备兼容格式mp4");
    EXPECT_EQ(page().findProfileByName("flv 320x240"), nullptr);
}

TEST_F(ProfilePageTest, TheTreeKeepsWhatTheUserOpenedAndClosedWhenItIsShownAfresh)
{
    platform::TreeView& tree = *page().treeView();
    const platform::HTREEITEM mobile = tree.childItem(nullptr);
    const platform::HTREEITEM mp4 = tree.nextSibling(mobile);
    ASSERT_EQ(tree.itemText(mp4), "所有 转到 mp4");
    ASSERT_FALSE(tree.isExpanded(mp4));
    tree.expand(mp4, true);

    // A new type changes the icon, so the whole tree is shown afresh after the accept.
    page().selectProfileByName("vcd pal");
    page().openEditor(Row::ConversionType);
    page().choiceList()->setCurSel(8);
    window.acceptAction();
    const platform::HTREEITEM mp4Again = tree.nextSibling(tree.childItem(nullptr));
    EXPECT_TRUE(tree.isExpanded(mp4Again));
    EXPECT_EQ(tree.itemImage(tree.selectedItem()), 9) << "the accepted type's icon";
    EXPECT_EQ(selectedTreeText(), "vcd pal");
}

TEST_F(ProfilePageTest, ALongNameScrollsTheTreeSidewaysInsteadOfBeingCut)
{
    platform::TreeView& tree = *page().treeView();
    QCoreApplication::processEvents();
    EXPECT_EQ(tree.horizontalScrollRange(), 0) << "the catalogue's names fit";

    // Renamed while the page is hidden, as the tree is filled at start-up: the page is shown later.
    window.selectTab("convert");
    const std::string longName = "一个名字很长很长的自定义转换方案" + std::string(40, 'x');
    ASSERT_TRUE(page().editor().commitName(longName));
    ASSERT_TRUE(page().editor().acceptProfile());
    window.selectTab("profile");
    ASSERT_EQ(selectedTreeText(), longName);
    QCoreApplication::processEvents();
    EXPECT_GT(tree.horizontalScrollRange(), 0);
    testsupport::saveScreenshot(platform::widgetOf(*window.getWindow()), "profile-page-long-name");

    // Shown afresh while visible, it still scrolls.
    ASSERT_TRUE(page().editor().commitName(longName + "y"));
    window.acceptAction();
    QCoreApplication::processEvents();
    EXPECT_GT(tree.horizontalScrollRange(), 0);
}
