// The add-files page's rules without a window: what "add file" and "add folder" take and refuse,
// the profile choice after a re-read, the accept preparation and the question before dropping a
// batch; and the profile snapshot the page re-reads each time it is shown.
#include "app/GatheredFiles.h"
#include "app/ProfileSnapshot.h"
#include "profile/ProfileStore.h"
#include "tests/profile/ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include <sys/stat.h>
#include <unistd.h>

using app::GatheredFiles;
using app::ProfileSnapshot;
using profiletest::makeRecord;

namespace {

namespace fs = std::filesystem;

class AnsweringPresenter : public platform::MessagePresenter {
public:
    std::string present(const std::string&, const std::string& text, uint8_t flags) override
    {
        texts.push_back(text);
        flags_.push_back(flags);
        return (flags & platform::MessageYesNo) ? answer : platform::kAnswerOk;
    }
    std::vector<std::string> texts;
    std::vector<uint8_t> flags_;
    std::string answer = platform::kAnswerYes;
};

class GatheredFilesTest : public ::testing::Test {
protected:
    GatheredFilesTest() { previous_ = platform::setMessagePresenter(presenter); }
    ~GatheredFilesTest() override { platform::setMessagePresenter(previous_); }

    std::string file(const std::string& name, std::size_t bytes)
    {
        const fs::path path = dir / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path.string();
    }

    testsupport::TempDir dir;
    std::shared_ptr<AnsweringPresenter> presenter = std::make_shared<AnsweringPresenter>();
    GatheredFiles files;

private:
    std::shared_ptr<platform::MessagePresenter> previous_;
};

}  // namespace

TEST_F(GatheredFilesTest, AddFileTakesReadableFilesTwiceAndRefusesTheRestByName)
{
    const std::string clip = file("clip.mp4", 3 * 1024 * 1024);
    EXPECT_TRUE(files.addFile(clip));
    EXPECT_TRUE(files.addFile(clip));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.entries()[1].path, clip);
    EXPECT_EQ(files.entries()[1].size, 3u * 1024 * 1024);

    const std::string gone = (dir / "gone.mp4").string();
    EXPECT_FALSE(files.addFile(gone));
    // A folder (as a drop delivers one) does not open as a file either.
    EXPECT_FALSE(files.addFile(dir.path().string()));
    ASSERT_EQ(presenter->texts.size(), 2u);
    EXPECT_EQ(presenter->texts[0], "添加文件 " + gone + " 失败!");
    EXPECT_EQ(presenter->flags_[0], platform::MessageError);
    EXPECT_EQ(files.size(), 2u);
}

TEST_F(GatheredFilesTest, AddFolderTakesItsFilesOnlyAndNamesWhatItCannotTakeInOneMessage)
{
    const fs::path folder = dir / "clips";
    file("clips/a.avi", 10);
    file("clips/b.txt", 2048);
    file("clips/sub/deep.mp4", 5);
    fs::create_directories(folder / "empty-sub");
    // A name that is not UTF-8 is a file like any other: taken with its exact bytes.
    const std::string oddName = "\xff\xfe-odd.mp4";
    file("clips/" + oddName, 7);
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    fs::create_directory_symlink(folder / "sub", folder / "link-to-sub");

    const GatheredFiles::FolderResult result = files.addFolder(folder.string());
    EXPECT_EQ(result.added, 3u);
    EXPECT_FALSE(result.unreadableFolder);
    std::vector<std::string> names = result.refused;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dangling", "pipe"}));
    std::map<std::string, uint64_t> sizes;
    for (const auto& entry : files.entries())
        sizes[fs::path(entry.path).filename().string()] = entry.size;
    EXPECT_EQ(sizes, (std::map<std::string, uint64_t>{{"a.avi", 10}, {"b.txt", 2048}, {oddName, 7}}));
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_EQ(presenter->flags_[0], platform::MessageError);
    EXPECT_NE(presenter->texts[0].find("dangling"), std::string::npos);
    EXPECT_NE(presenter->texts[0].find("pipe"), std::string::npos);
}

TEST_F(GatheredFilesTest, AFolderOfOnlySubfoldersAddsAndTellsNothingAndAMissingFolderIsTold)
{
    fs::create_directories(dir / "only" / "a");
    fs::create_directories(dir / "only" / "b");
    EXPECT_EQ(files.addFolder((dir / "only").string()).added, 0u);
    EXPECT_TRUE(presenter->texts.empty());

    const GatheredFiles::FolderResult missing = files.addFolder((dir / "missing").string());
    EXPECT_TRUE(missing.unreadableFolder);
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_EQ(presenter->texts[0], "添加文件 " + (dir / "missing").string() + " 失败!");
}

TEST_F(GatheredFilesTest, AFolderOfTenThousandFilesIsTakenWholeInNameOrder)
{
    const fs::path folder = dir / "many";
    fs::create_directories(folder);
    for (int i = 0; i < 10000; ++i)
        std::ofstream(folder / ("clip" + std::to_string(i) + ".mp4")) << i;
    EXPECT_EQ(files.addFolder(folder.string()).added, 10000u);
    EXPECT_TRUE(presenter->texts.empty());
    // By name as a file manager shows them: clip9 before clip10.
    std::vector<std::string> listed;
    for (int i = 0; i < 10000; ++i)
        listed.push_back((folder / ("clip" + std::to_string(i) + ".mp4")).string());
    ASSERT_EQ(files.size(), listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i)
        ASSERT_EQ(files.entries()[i].path, listed[i]);
}

TEST_F(GatheredFilesTest, AFolderIsListedByNameWithoutRegardToCaseAndDigitRunsByValue)
{
    for (const char* name : {"b.mp4", "A.mp4", "clip10.mp4", "clip2.mp4", "clip02.mp4", "a.mp4", "Clip1.mp4"})
        file(std::string("mixed/") + name, 1);
    ASSERT_EQ(files.addFolder((dir / "mixed").string()).added, 7u);
    std::vector<std::string> names;
    for (const auto& entry : files.entries())
        names.push_back(fs::path(entry.path).filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"A.mp4", "a.mp4", "b.mp4", "Clip1.mp4", "clip02.mp4", "clip2.mp4",
                                               "clip10.mp4"}));
}

TEST_F(GatheredFilesTest, TheRefusalMessageListsTenNamesAndCountsTheRest)
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back("f" + std::to_string(i));
    const std::string text = GatheredFiles::refusedText(names);
    EXPECT_EQ(text.rfind("添加文件 f0、f1、", 0), 0u);
    EXPECT_NE(text.find("f9 等 12 个文件 失败!"), std::string::npos);
    EXPECT_EQ(text.find("f10"), std::string::npos);
    // Bytes that are not UTF-8 reach the message box as replacement marks, never as broken text.
    EXPECT_EQ(GatheredFiles::refusedText({"\xff"}), "添加文件 \xEF\xBF\xBD 失败!");
}

TEST_F(GatheredFilesTest, TheChoiceAfterAReReadKeepsItsNameElseTheDefaultElseTheFirstProfile)
{
    profile::ProfileTree tree;
    tree.insertProfile(profiletest::newRecord(u"Video", u"First"));
    auto marked = profiletest::newRecord(u"Video", u"Marked");
    marked->isDefault = 1;
    tree.insertProfile(std::move(marked));
    tree.insertProfile(profiletest::newRecord(u"Audio", u"Sound", 0, 30));

    EXPECT_EQ(files.chooseFromTree(tree)->textUtf8(), "Marked");
    files.choose(makeRecord(u"Audio", u"Sound", 0, 30));
    EXPECT_EQ(files.chooseFromTree(tree)->textUtf8(), "Sound");
    EXPECT_EQ(files.chosenProfile().conversionType, 30);

    // The chosen profile is gone and no profile is marked default: the first one.
    profile::ProfileTree without;
    without.insertProfile(profiletest::newRecord(u"Video", u"Only"));
    EXPECT_EQ(files.chooseFromTree(without)->textUtf8(), "Only");
    // A category of the chosen name is no profile.
    files.choose(makeRecord(u"Video", u"Audio"));
    EXPECT_EQ(files.chooseFromTree(tree)->textUtf8(), "Marked");

    // No profile at all: the choice stays as it was.
    profile::ProfileTree empty;
    EXPECT_EQ(files.chooseFromTree(empty), nullptr);
    EXPECT_EQ(files.chosenName(), "Marked");
}

TEST_F(GatheredFilesTest, ASavedProfileReplacesTheChosenRecordOnlyWhenItIsTheChosenOne)
{
    files.choose(makeRecord(u"Video", u"Mine", 1, 19));
    profile::ProfileRecord edited = makeRecord(u"Video", u"Mine", 1, 20);
    EXPECT_FALSE(files.profileSaved("Other", makeRecord(u"Video", u"Other", 1, 21)));
    EXPECT_EQ(files.chosenProfile().conversionType, 19);
    EXPECT_TRUE(files.profileSaved("Mine", edited));
    EXPECT_EQ(files.chosenProfile().conversionType, 20);
}

TEST_F(GatheredFilesTest, AcceptGivesEveryFileTheSameProfileFolderAndNamingAndRemembersTheProfile)
{
    EXPECT_FALSE(files.prepareAccept(true, nullptr, nullptr));
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_EQ(presenter->texts[0], GatheredFiles::kEmptyListText);
    EXPECT_EQ(presenter->flags_[0], platform::MessageError);

    const fs::path data = dir / "data";
    profile::ProfileStore store(data);
    ASSERT_TRUE(store.loadAtStartup());
    files.choose(makeRecord(u"Video", u"Early", 0, 3));
    files.addFile(file("one.mp4", 1));
    files.choose(makeRecord(u"Video", u"Late", 0, 7));
    files.addFile(file("two.mp4", 2));
    files.setOutputFolder("/srv/out");

    ASSERT_TRUE(files.prepareAccept(true, nullptr, &store));
    ASSERT_EQ(files.preparedFiles().size(), 2u);
    for (const convert::QueuedFile& job : files.preparedFiles()) {
        EXPECT_EQ(profile::profileNameOf(job.profile), "Late");
        EXPECT_EQ(job.profile.conversionType, 7);
        EXPECT_EQ(job.targetFolder, "/srv/out");
        EXPECT_TRUE(job.appendProfileName);
    }
    EXPECT_EQ(files.preparedFiles()[1].sourceSize, 2u);
    EXPECT_EQ(store.lastProfileName(), u"Late");
    profile::ProfileStore reread(data);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.lastProfileName(), u"Late");
}

// The program's working folder is its own install folder: a relative output folder is refused with
// the folder named, and "~" is the home folder.
TEST_F(GatheredFilesTest, AcceptRefusesARelativeOutputFolderAndExpandsHome)
{
    files.addFile(file("one.mp4", 1));
    files.setOutputFolder("relout");
    EXPECT_FALSE(files.prepareAccept(false, nullptr, nullptr));
    EXPECT_TRUE(files.preparedFiles().empty());
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_NE(presenter->texts[0].find("\"relout\" 不是完整路径"), std::string::npos) << presenter->texts[0];

    const testsupport::ScopedEnvironment home({{"HOME", dir.path().string()}});
    files.setOutputFolder("~/out");
    ASSERT_TRUE(files.prepareAccept(false, nullptr, nullptr));
    ASSERT_EQ(files.preparedFiles().size(), 1u);
    EXPECT_EQ(files.preparedFiles()[0].targetFolder, (dir / "out").string());
}

TEST_F(GatheredFilesTest, AcceptWithoutAnyChoiceTakesTheFallbackProfile)
{
    files.addFile(file("one.mp4", 1));
    const profile::ProfileRecord fallback = makeRecord(u"Video", u"Default", 0, 5);
    ASSERT_TRUE(files.prepareAccept(false, &fallback, nullptr));
    EXPECT_EQ(profile::profileNameOf(files.preparedFiles()[0].profile), "Default");
    EXPECT_FALSE(files.preparedFiles()[0].appendProfileName);
    EXPECT_EQ(files.preparedFiles()[0].targetFolder, "");
}

TEST_F(GatheredFilesTest, ReturnAsksOnlyWithFilesAndNoKeepsThem)
{
    EXPECT_TRUE(files.confirmReturn());
    EXPECT_TRUE(presenter->texts.empty());

    files.addFile(file("one.mp4", 1));
    presenter->answer = platform::kAnswerNo;
    EXPECT_FALSE(files.confirmReturn());
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_EQ(presenter->texts[0], GatheredFiles::kReturnQuestion);
    EXPECT_EQ(presenter->flags_[0], platform::MessageQuestion | platform::MessageYesNo);
    EXPECT_EQ(files.size(), 1u);

    presenter->answer = platform::kAnswerYes;
    EXPECT_TRUE(files.confirmReturn());
    EXPECT_TRUE(files.empty());
}

// ---- the snapshot ----

namespace {

class ProfileSnapshotTest : public profiletest::DataFolderTest {
protected:
    void writeProfiles(std::initializer_list<profile::ProfileRecord> system,
                       std::initializer_list<profile::ProfileRecord> user = {})
    {
        std::vector<unsigned char> bytes = profiletest::headerWith(u"");
        for (const auto& r : system)
            profiletest::append(bytes, r);
        writeFile(systemFile(), bytes);
        std::vector<unsigned char> userBytes;
        for (const auto& r : user)
            profiletest::append(userBytes, r);
        writeFile(userFile(), userBytes);
    }
    std::vector<std::string> names(const ProfileSnapshot& snapshot)
    {
        std::vector<std::string> out;
        snapshot.tree().findInPreOrder([&](const profile::ProfileNode& n) {
            out.push_back(n.textUtf8());
            return false;
        });
        return out;
    }
};

}  // namespace

TEST_F(ProfileSnapshotTest, EachReloadShowsWhatTheFilesHoldNow)
{
    ProfileSnapshot snapshot(dataDir());
    EXPECT_EQ(snapshot.reload(), ProfileSnapshot::Reload::Replaced);
    EXPECT_TRUE(snapshot.tree().empty()) << "no profile.dat: no catalogue either";

    writeProfiles({makeRecord(u"Video", u"A")}, {makeRecord(u"Mine", u"B", 1)});
    EXPECT_EQ(snapshot.reload(), ProfileSnapshot::Reload::Replaced);
    EXPECT_EQ(names(snapshot), (std::vector<std::string>{"Video", "A", "Mine", "B"}));

    writeProfiles({makeRecord(u"Video", u"A")}, {makeRecord(u"Mine", u"B", 1), makeRecord(u"Mine", u"C", 1)});
    snapshot.reload();
    EXPECT_EQ(names(snapshot), (std::vector<std::string>{"Video", "A", "Mine", "B", "C"}));
}

TEST_F(ProfileSnapshotTest, ADamagedOrHalfWrittenFileKeepsTheLastGoodTree)
{
    ProfileSnapshot snapshot(dataDir());
    writeProfiles({makeRecord(u"Video", u"A")}, {makeRecord(u"Mine", u"B", 1)});
    ASSERT_EQ(snapshot.reload(), ProfileSnapshot::Reload::Replaced);

    // Cut in the middle of its second record, as a writer that died half-way would leave it.
    std::vector<unsigned char> half = profiletest::bytesOf(makeRecord(u"Mine", u"B", 1));
    const auto second = profiletest::bytesOf(makeRecord(u"Mine", u"C", 1));
    half.insert(half.end(), second.begin(), second.begin() + 100);
    writeFile(userFile(), half);
    EXPECT_EQ(snapshot.reload(), ProfileSnapshot::Reload::KeptPrevious);
    EXPECT_EQ(names(snapshot), (std::vector<std::string>{"Video", "A", "Mine", "B"}));

    // A folder in place of profile.dat is not read at all; the tree stays too.
    fs::remove(systemFile());
    fs::create_directory(systemFile());
    EXPECT_EQ(snapshot.reload(), ProfileSnapshot::Reload::KeptPrevious);
    EXPECT_EQ(names(snapshot).size(), 4u);

    // Without any good read before, what could be read is shown.
    ProfileSnapshot fresh(dataDir());
    fs::remove(systemFile());
    writeProfiles({makeRecord(u"Video", u"A")});
    writeFile(userFile(), half);
    EXPECT_EQ(fresh.reload(), ProfileSnapshot::Reload::Partial);
    EXPECT_EQ(names(fresh), (std::vector<std::string>{"Video", "A", "Mine", "B"}));
}

// Accept builds its files the way every other entry does: a file removed since it was gathered is
// told and left out, the others go on with the batch's profile.
TEST_F(GatheredFilesTest, AcceptLeavesOutAndTellsAFileThatCanNoLongerBeRead)
{
    const std::string kept = file("kept.mp4", 3);
    const std::string removed = file("removed.mp4", 4);
    files.addFile(removed);
    files.addFile(kept);
    files.choose(makeRecord(u"Video", u"Mine", 0, 7));
    fs::remove(removed);
    ASSERT_TRUE(files.prepareAccept(false, nullptr, nullptr));
    ASSERT_EQ(files.preparedFiles().size(), 1u);
    EXPECT_EQ(files.preparedFiles()[0].sourcePath, kept);
    EXPECT_EQ(profile::profileNameOf(files.preparedFiles()[0].profile), "Mine");
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_EQ(presenter->texts[0], GatheredFiles::addFailedText(removed));
}

// A batch of paths (a drop, a hand-over) tells its refusals in one box, however many there are.
TEST_F(GatheredFilesTest, AddFilesTellsAllItsRefusalsInOneMessage)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 1000; ++i)
        paths.push_back((dir / ("gone" + std::to_string(i))).string());
    paths.push_back(file("kept.mp4", 5));
    GatheredFiles files;
    EXPECT_EQ(files.addFiles(paths), 1u);
    EXPECT_EQ(files.size(), 1u);
    ASSERT_EQ(presenter->texts.size(), 1u);
    EXPECT_EQ(presenter->texts[0].rfind("添加文件 " + paths[0] + "、", 0), 0u) << presenter->texts[0];
    EXPECT_NE(presenter->texts[0].find("另有 995 个文件无法读取。"), std::string::npos) << presenter->texts[0];
    EXPECT_EQ(presenter->texts[0].find(paths[5]), std::string::npos);
}

