// The profile editor replayed step by step over real profile files in a temporary data folder:
// the state, the messages and their answers after each step, and the exact bytes of both files.
#include "profile/ProfileEditor.h"
#include "profile/ProfileProperties.h"

#include "tests/profile/ProfileTestSupport.h"

#include <deque>

using namespace profile;
using namespace profiletest;
using testsupport::readBytes;
using Row = ProfileProperties::Row;

namespace {

// Answers the questions from a script ("yes" once the script runs out) and records every message.
class ScriptedPresenter final : public platform::MessagePresenter {
public:
    std::string present(const std::string&, const std::string& text, uint8_t flags) override
    {
        shown.push_back({"", text, flags});
        if (!(flags & platform::MessageYesNo))
            return platform::kAnswerOk;
        if (answers.empty())
            return platform::kAnswerYes;
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;
    std::vector<Message> shown;
};

struct Recorder : ProfileEditorListener {
    void profileTreeChanged() override { ++treeChanges; }
    void profileSaved() override
    {
        ++saves;
        if (editor)
            savedUnder = profileNameOf(*editor->currentNode()->record());
    }
    const ProfileEditor* editor = nullptr;
    std::string savedUnder;
    void profileTreeEmpty() override { ++empty; }
    void profilesStored() override { ++stored; }
    int treeChanges = 0;
    int stored = 0;
    int saves = 0;
    int empty = 0;
};

// Five profiles in profile.dat: "a" (the default) and "b" under "C1", "b1" under "b", "b2" under
// "b1" (a three-level subtree), and "d" under "C2".
class ProfileEditorTest : public DataFolderTest {
protected:
    void SetUp() override
    {
        DataFolderTest::SetUp();
        previous_ = platform::setMessagePresenter(presenter_);
        a_ = makeRecord(u"C1", u"a");
        a_.isDefault = 1;
        b_ = makeRecord(u"C1", u"b");
        b1_ = makeRecord(u"b", u"b1");
        b2_ = makeRecord(u"b1", u"b2");
        d_ = makeRecord(u"C2", u"d", 0, 8);
        std::vector<unsigned char> bytes = headerWith(u"");
        for (const ProfileRecord* r : {&a_, &b_, &b1_, &b2_, &d_})
            append(bytes, *r);
        writeFile(systemFile(), bytes);
        store_ = std::make_unique<ProfileStore>();
        ASSERT_TRUE(store_->loadAtStartup());
        editor_ = std::make_unique<ProfileEditor>(*store_, &recorder_);
        recorder_.editor = editor_.get();
        ASSERT_TRUE(editor_->start());
        presenter_->shown.clear();
    }
    void TearDown() override
    {
        platform::setMessagePresenter(previous_);
        DataFolderTest::TearDown();
    }

    ProfileNode* node(std::u16string_view text) { return store_->tree().findNodeByText(text); }
    std::string current() const { return editor_->currentNode() ? editor_->currentNode()->textUtf8() : ""; }
    std::vector<std::string> said() const
    {
        std::vector<std::string> texts;
        for (const Message& m : presenter_->shown)
            texts.push_back(m.text);
        return texts;
    }
    static std::vector<unsigned char> file(std::initializer_list<ProfileRecord> records, bool header)
    {
        std::vector<unsigned char> bytes = header ? headerWith(u"") : std::vector<unsigned char>{};
        for (const ProfileRecord& r : records)
            append(bytes, r);
        return bytes;
    }
    static ProfileRecord asUser(ProfileRecord r)
    {
        r.isUserProfile = 1;
        return r;
    }

    std::shared_ptr<ScriptedPresenter> presenter_ = std::make_shared<ScriptedPresenter>();
    std::shared_ptr<platform::MessagePresenter> previous_;
    Recorder recorder_;
    std::unique_ptr<ProfileStore> store_;
    std::unique_ptr<ProfileEditor> editor_;
    ProfileRecord a_, b_, b1_, b2_, d_;
};

}  // namespace

TEST_F(ProfileEditorTest, BrowsingEditAskOnSwitchAcceptAndRevert)
{
    EXPECT_EQ(current(), "a");
    EXPECT_FALSE(editor_->isModified());

    // An edit, then a click elsewhere answered "no": the edit is dropped, the click goes through.
    ASSERT_TRUE(editor_->commitValue(Row::VideoBitrate, "900"));
    EXPECT_TRUE(editor_->isModified());
    presenter_->answers = {"no"};
    editor_->clickNode(node(u"b"));
    EXPECT_EQ(said(), std::vector<std::string>{ProfileEditor::kAskSaveOnSwitch});
    EXPECT_EQ(current(), "b");
    EXPECT_EQ(node(u"a")->record()->videoBitrate, 0);
    EXPECT_FALSE(editor_->isModified());

    // Category nodes and the current node change nothing.
    editor_->clickNode(node(u"C2"));
    editor_->clickNode(node(u"b"));
    EXPECT_EQ(current(), "b");

    // An edit answered "yes": stored as a user profile, saved, announced, then the switch.
    presenter_->shown.clear();
    ASSERT_TRUE(editor_->commitValue(Row::FrameRate, "29.97"));
    editor_->clickNode(node(u"d"));
    EXPECT_EQ(current(), "d");
    EXPECT_EQ(recorder_.saves, 1);
    ProfileRecord bEdited = asUser(b_);
    bEdited.frameRate = 29.97f;
    EXPECT_EQ(readBytes(userFile()), file({bEdited}, false));
    EXPECT_EQ(readBytes(systemFile()), file({a_, b1_, b2_, d_}, true));

    // Revert: asked only when modified; "no" keeps the edit, "yes" restores the record.
    presenter_->shown.clear();
    editor_->revertProfile();
    EXPECT_TRUE(said().empty());
    editor_->commitChoice(Row::AudioChannels, 4);
    presenter_->answers = {"no"};
    editor_->revertProfile();
    EXPECT_TRUE(editor_->isModified());
    editor_->revertProfile();
    EXPECT_FALSE(editor_->isModified());
    EXPECT_EQ(said(), std::vector<std::string>(2, ProfileEditor::kAskDropChanges));
}

TEST_F(ProfileEditorTest, AcceptingUnchangedBuiltInMakesItAUserProfileWithNoLaterPrompt)
{
    editor_->clickNode(node(u"d"));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_FALSE(editor_->isModified());
    EXPECT_EQ(readBytes(userFile()), file({asUser(d_)}, false));
    EXPECT_EQ(readBytes(systemFile()), file({a_, b_, b1_, b2_}, true));
    editor_->clickNode(node(u"a"));
    EXPECT_TRUE(said().empty());
}

TEST_F(ProfileEditorTest, ComposingANewProfileAndEveryValidationMessage)
{
    editor_->addProfile();
    EXPECT_TRUE(editor_->isComposing());
    EXPECT_EQ(editor_->workingCopy().conversionType, 0);
    editor_->clickNode(node(u"d"));
    EXPECT_EQ(current(), "a") << "tree clicks are ignored while composing";
    editor_->deleteProfile();
    EXPECT_TRUE(said().empty()) << "delete is ignored while composing";

    EXPECT_FALSE(editor_->acceptProfile());
    ASSERT_TRUE(editor_->commitValue(Row::Category, "C2"));
    EXPECT_FALSE(editor_->acceptProfile());
    ASSERT_TRUE(editor_->commitName("C2 "));
    ASSERT_TRUE(editor_->commitValue(Row::Category, "C2 "));
    EXPECT_FALSE(editor_->acceptProfile());
    EXPECT_EQ(said(), (std::vector<std::string>{ProfileEditor::kEmptyCategory, ProfileEditor::kEmptyName,
                                                ProfileEditor::kNameIsCategory}));
    EXPECT_TRUE(editor_->isComposing());

    // Names: reserved, taken (a category's text too), too long; all refused with their message.
    presenter_->shown.clear();
    ASSERT_TRUE(editor_->commitValue(Row::Category, "C2"));
    EXPECT_FALSE(editor_->commitName("自定义转换"));
    EXPECT_FALSE(editor_->commitName("C1"));
    EXPECT_FALSE(editor_->commitName(std::string(100, 'n')));
    EXPECT_EQ(said(), (std::vector<std::string>{ProfileEditor::kReservedNameRefused, ProfileEditor::kNameTaken,
                                                ProfileEditor::kNameTooLong}));
    EXPECT_EQ(profileNameOf(editor_->workingCopy()), "C2 ");
    ASSERT_TRUE(editor_->commitName(std::string(99, 'n')));

    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_FALSE(editor_->isComposing());
    EXPECT_EQ(current(), std::string(99, 'n'));
    EXPECT_EQ(editor_->currentNode()->parent(), node(u"C2"));
    EXPECT_EQ(recorder_.saves, 0) << "a new profile is not announced as saved";
    ProfileRecord fresh = makeRecord(u"C2", std::u16string(99, u'n'), 1, 0);
    EXPECT_EQ(readBytes(userFile()), file({fresh}, false));

    // A second new profile with a name taken meanwhile is refused at accept.
    editor_->addProfile();
    ASSERT_TRUE(editor_->commitValue(Row::Category, "C2"));
    ASSERT_TRUE(editor_->commitName("zz"));
    store_->tree().findNodeByText(u"C2")->appendChild(u"zz", 0);
    presenter_->shown.clear();
    EXPECT_FALSE(editor_->acceptProfile());
    EXPECT_EQ(said(), std::vector<std::string>{ProfileEditor::kNewNameTaken});

    // Abandoning: "no" keeps composing, "yes" returns to the current profile.
    presenter_->answers = {"no"};
    editor_->revertProfile();
    EXPECT_TRUE(editor_->isComposing());
    editor_->revertProfile();
    EXPECT_FALSE(editor_->isComposing());
    EXPECT_FALSE(editor_->isModified());
}

TEST_F(ProfileEditorTest, AddWhileComposingAsksAndAddAfterARefusedAcceptKeepsTheEdits)
{
    editor_->addProfile();
    presenter_->answers = {"no"};
    editor_->addProfile();
    EXPECT_TRUE(editor_->isComposing()) << "No: a fresh blank record";
    EXPECT_EQ(said(), std::vector<std::string>{ProfileEditor::kAskSave});
    presenter_->answers = {"yes"};
    editor_->revertProfile();

    // Browsing with an edit that cannot be accepted (empty category): the edits stay.
    editor_->clickNode(node(u"d"));
    ASSERT_TRUE(editor_->commitName("d2"));
    // A category equal to the name makes the accept fail.
    ASSERT_TRUE(editor_->commitValue(Row::Category, "d2"));
    presenter_->shown.clear();
    editor_->addProfile();
    EXPECT_FALSE(editor_->isComposing());
    EXPECT_EQ(profileNameOf(editor_->workingCopy()), "d2");
    EXPECT_EQ(said(), (std::vector<std::string>{ProfileEditor::kAskSave, ProfileEditor::kNameIsCategory}));
}

TEST_F(ProfileEditorTest, DefaultRulesByName)
{
    // Another profile made the default takes the flag from the old one.
    editor_->clickNode(node(u"d"));
    ASSERT_TRUE(editor_->commitChoice(Row::Default, 1));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_EQ(store_->tree().findDefaultNode(), node(u"d"));
    EXPECT_EQ(node(u"a")->record()->isDefault, 0u);

    // Clearing the default's flag is undone with a message.
    ASSERT_TRUE(editor_->commitChoice(Row::Default, 0));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_EQ(said(), std::vector<std::string>{ProfileEditor::kKeepDefault});
    EXPECT_EQ(node(u"d")->record()->isDefault, 1u);
    EXPECT_FALSE(editor_->isModified());

    // Renamed and cleared in one accept: the name rule misses it, and the save marks the first
    // profile in pre-order instead of leaving the tree without a default.
    ASSERT_TRUE(editor_->commitName("d-renamed"));
    ASSERT_TRUE(editor_->commitChoice(Row::Default, 0));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_EQ(store_->tree().findDefaultNode(), node(u"a"));
    EXPECT_EQ(node(u"d-renamed")->record()->isDefault, 0u);
    ProfileRecord aDefault = a_;
    EXPECT_EQ(readBytes(systemFile()), file({aDefault, b_, b1_, b2_}, true));
}

TEST_F(ProfileEditorTest, MovingAProfileTakesItsWholeSubtree)
{
    editor_->clickNode(node(u"b"));
    ASSERT_TRUE(editor_->commitValue(Row::Category, "C2"));
    ASSERT_TRUE(editor_->acceptProfile());
    ProfileNode* b = node(u"b");
    EXPECT_EQ(b, editor_->currentNode()) << "the node moved, it was not re-created";
    EXPECT_EQ(b->parent(), node(u"C2"));
    EXPECT_EQ(node(u"C2")->child(1), b) << "appended after d";
    ASSERT_EQ(b->childCount(), 1u);
    EXPECT_EQ(b->child(0), node(u"b1"));
    ASSERT_EQ(node(u"b1")->childCount(), 1u);
    EXPECT_EQ(node(u"b1")->child(0), node(u"b2"));
    EXPECT_EQ(node(u"b2")->record()->conversionType, 19);
    EXPECT_EQ(recorder_.treeChanges, 1);
    ProfileRecord moved = asUser(b_);
    setFieldText(moved.categoryName, kProfileTextChars, u"C2");
    EXPECT_EQ(readBytes(systemFile()), file({a_, d_, b1_, b2_}, true));
    EXPECT_EQ(readBytes(userFile()), file({moved}, false));

    // A restart rebuilds the same tree.
    ProfileStore again;
    ASSERT_TRUE(again.loadAtStartup());
    const ProfileNode* b2 = again.tree().findNodeByText(u"b2");
    ASSERT_TRUE(b2);
    EXPECT_EQ(b2->parent()->text(), u"b1");
    EXPECT_EQ(b2->parent()->parent()->text(), u"b");
    EXPECT_EQ(b2->parent()->parent()->parent()->text(), u"C2");

    // Into its own subtree: refused, nothing changes.
    presenter_->shown.clear();
    ASSERT_TRUE(editor_->commitValue(Row::Category, "b2"));
    EXPECT_FALSE(editor_->acceptProfile());
    EXPECT_EQ(said(), std::vector<std::string>{ProfileEditor::kMoveIntoItself});
    EXPECT_EQ(b->parent(), node(u"C2"));
}

TEST_F(ProfileEditorTest, RenamingAParentKeepsItsChildrenUnderIt)
{
    editor_->clickNode(node(u"b1"));
    ASSERT_TRUE(editor_->commitName("b1-new"));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_EQ(recorder_.savedUnder, "b1") << "the notice comes while the stored record has its old name";
    EXPECT_EQ(categoryNameOf(*node(u"b2")->record()), "b1-new");
    ProfileStore again;
    ASSERT_TRUE(again.loadAtStartup());
    EXPECT_EQ(again.tree().findNodeByText(u"b2")->parent()->text(), u"b1-new");
    EXPECT_EQ(again.tree().findNodeByText(u"b1"), nullptr);
}

TEST_F(ProfileEditorTest, DeletingProfilesAndTheDefaultsAncestors)
{
    // The default itself, and a profile holding the default below it, are not deleted.
    editor_->deleteProfile();
    EXPECT_EQ(said(), std::vector<std::string>{"对不起,方案 a 为系统默认的转换方案,不允许删除!"});
    editor_->clickNode(node(u"b2"));
    ASSERT_TRUE(editor_->commitChoice(Row::Default, 1));
    ASSERT_TRUE(editor_->acceptProfile());
    editor_->clickNode(node(u"b"));
    presenter_->shown.clear();
    editor_->deleteProfile();
    EXPECT_EQ(said(), std::vector<std::string>{"对不起,方案 b 之下有系统默认的转换方案 b2,不允许删除!"});
    ASSERT_TRUE(node(u"b1"));

    // "No" keeps the profile; "yes" deletes it and the empty category goes with it.
    editor_->clickNode(node(u"d"));
    presenter_->shown.clear();
    presenter_->answers = {"no"};
    editor_->deleteProfile();
    EXPECT_EQ(said(), std::vector<std::string>{"您是否确定删除方案 d ?"});
    ASSERT_TRUE(node(u"d"));
    editor_->deleteProfile();
    EXPECT_EQ(node(u"d"), nullptr);
    EXPECT_EQ(node(u"C2"), nullptr);
    EXPECT_EQ(current(), "b2") << "back on the default";
    EXPECT_EQ(recorder_.empty, 0);
    ProfileRecord aPlain = a_;
    aPlain.isDefault = 0;
    ProfileRecord b2Default = asUser(b2_);
    b2Default.isDefault = 1;
    EXPECT_EQ(readBytes(systemFile()), file({aPlain, b_, b1_}, true));
    EXPECT_EQ(readBytes(userFile()), file({b2Default}, false));

    // A profile whose parent is a profile leaves the parent in place.
    editor_->clickNode(node(u"a"));
    ASSERT_TRUE(editor_->commitChoice(Row::Default, 1));
    ASSERT_TRUE(editor_->acceptProfile());
    editor_->clickNode(node(u"b1"));
    editor_->deleteProfile();
    EXPECT_EQ(node(u"b2"), nullptr) << "the subtree goes with it";
    ASSERT_TRUE(node(u"b"));
    EXPECT_EQ(node(u"b")->childCount(), 0u);
    EXPECT_EQ(current(), "a");
}

TEST_F(ProfileEditorTest, SelectByNameLeavesComposingWithoutAsking)
{
    editor_->addProfile();
    editor_->selectProfileByName(u"b1");
    EXPECT_FALSE(editor_->isComposing());
    EXPECT_EQ(current(), "b1");
    editor_->commitValue(Row::VideoBitrate, "100");
    editor_->selectProfileByName(u"C1");
    EXPECT_EQ(current(), "b1") << "a category is no profile";
    editor_->selectProfileByName(u"d");
    EXPECT_EQ(current(), "d");
    EXPECT_TRUE(said().empty());
    EXPECT_EQ(node(u"b1")->record()->videoBitrate, 0);
}

// Every write of the files is announced, whatever wrote them, so the file manager's menus follow
// an added or deleted profile as well as an edited one; nothing is announced when nothing was
// written.
TEST_F(ProfileEditorTest, EveryWriteOfTheFilesIsAnnounced)
{
    recorder_.stored = 0;
    editor_->addProfile();
    ASSERT_TRUE(editor_->commitValue(Row::Category, "C2"));
    ASSERT_TRUE(editor_->commitName("new"));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_EQ(recorder_.stored, 1);

    editor_->clickNode(node(u"d"));
    presenter_->answers = {platform::kAnswerYes};
    editor_->deleteProfile();
    ASSERT_EQ(node(u"d"), nullptr);
    EXPECT_EQ(recorder_.stored, 2);

    editor_->clickNode(node(u"b"));
    ASSERT_TRUE(editor_->acceptProfile());
    EXPECT_EQ(recorder_.stored, 3);

    // Refused or cancelled: no write, no notice.
    editor_->clickNode(node(u"a"));
    editor_->deleteProfile();
    presenter_->answers = {platform::kAnswerNo};
    editor_->clickNode(node(u"new"));
    editor_->deleteProfile();
    EXPECT_EQ(recorder_.stored, 3);
}
