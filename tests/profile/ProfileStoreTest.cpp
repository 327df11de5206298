#include "profile/ProfileStore.h"

#include "profile/ProfileCatalogue.h"
#include "tests/profile/ProfileTestSupport.h"

using namespace profile;
using namespace profiletest;
using testsupport::readBytes;

namespace {

class ProfileStoreTest : public DataFolderTest {
protected:
    static std::vector<unsigned char> catalogueFile()
    {
        std::vector<unsigned char> bytes(200, 0);
        for (const ProfileRecord& record : catalogueRecords())
            append(bytes, record);
        return bytes;
    }
};

}  // namespace

TEST_F(ProfileStoreTest, FirstStartWritesTheCatalogueAndLaterStartsKeepTheFiles)
{
    ProfileStore first;   // the data folder comes from LUMARET_DATA_DIR
    ASSERT_TRUE(first.loadAtStartup());
    const std::vector<unsigned char> system = readBytes(systemFile());
    EXPECT_EQ(system.size(), 53348u);
    EXPECT_EQ(system, catalogueFile());
    EXPECT_TRUE(std::filesystem::exists(userFile()));
    EXPECT_EQ(std::filesystem::file_size(userFile()), 0u);
    EXPECT_EQ(profileNameOf(*first.defaultProfile()), "移动设备兼容格式mp4");

    // A later start reads the files and never merges the catalogue back in.
    std::vector<unsigned char> fewer(system.begin(), system.end() - 516);
    writeFile(systemFile(), fewer);
    ProfileStore second(dataDir());
    ASSERT_TRUE(second.loadAtStartup());
    EXPECT_EQ(second.tree().profileCount(), 102u);
    EXPECT_EQ(readBytes(systemFile()), fewer);
    EXPECT_TRUE(messages().empty());
}

TEST_F(ProfileStoreTest, StartWithoutDefaultMakesTheFirstProfileTheDefault)
{
    std::vector<unsigned char> bytes(200, 0);
    append(bytes, makeRecord(u"cat", u"first"));
    append(bytes, makeRecord(u"cat", u"second"));
    writeFile(systemFile(), bytes);

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(profileNameOf(*store.defaultProfile()), "first");
    EXPECT_EQ(readBytes(systemFile())[200], 1);   // isDefault of the first record, saved
}

// The command-line converter only looks profiles up: it sees what a start would, and the files stay
// as they were (none is created in an empty folder, no default flag is written back).
TEST_F(ProfileStoreTest, LoadingWithoutSavingLeavesTheFilesAlone)
{
    ProfileStore fresh(dataDir());
    ASSERT_TRUE(fresh.load());
    EXPECT_EQ(fresh.tree().profileCount(), 103u);
    EXPECT_EQ(profileNameOf(*fresh.defaultProfile()), "移动设备兼容格式mp4");
    EXPECT_FALSE(std::filesystem::exists(systemFile()));
    EXPECT_FALSE(std::filesystem::exists(userFile()));

    std::vector<unsigned char> bytes(200, 0);
    append(bytes, makeRecord(u"cat", u"first"));
    append(bytes, makeRecord(u"cat", u"second"));
    writeFile(systemFile(), bytes);
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.load());
    EXPECT_EQ(profileNameOf(*store.defaultProfile()), "first");
    EXPECT_EQ(readBytes(systemFile()), bytes);
    EXPECT_FALSE(std::filesystem::exists(userFile()));
}

TEST_F(ProfileStoreTest, TwoDefaultsInTheFilesKeepBothFlagsAndTheFirstWins)
{
    std::vector<unsigned char> bytes(200, 0);
    ProfileRecord a = makeRecord(u"cat", u"a");
    ProfileRecord b = makeRecord(u"cat", u"b");
    a.isDefault = b.isDefault = 1;
    append(bytes, a);
    append(bytes, b);
    writeFile(systemFile(), bytes);

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(profileNameOf(*store.defaultProfile()), "a");
    EXPECT_EQ(readBytes(systemFile()), bytes);
}

TEST_F(ProfileStoreTest, LookupsAndTheLastUsedProfile)
{
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    const ProfileRecord* fallback = store.defaultProfile();
    ASSERT_NE(fallback, nullptr);

    EXPECT_EQ(store.findProfileByName(std::string("所有 转到 mp4")), nullptr);   // a category
    EXPECT_EQ(store.findProfileByName(std::string("nothing")), nullptr);
    const ProfileRecord* flv = store.findProfileByName(std::string("flv 640x480"));
    ASSERT_NE(flv, nullptr);
    EXPECT_EQ(flv->videoBitrate, 512);
    EXPECT_EQ(store.findProfileByName(u"3gp 176x144 h263 "), store.findProfileByName(std::string("3gp 176x144 h263 ")));

    EXPECT_EQ(store.lastUsedProfile(), fallback);   // never set
    for (const char16_t* name : {u"stale", u"所有 转到 mp4", u""}) {
        store.setLastProfileName(name);
        EXPECT_EQ(store.lastUsedProfile(), fallback);
    }
    store.setLastProfileName(u"flv 640x480");
    EXPECT_EQ(store.lastUsedProfile(), flv);

    // lastProfileName is the header of profile.dat and comes back at the next start.
    ASSERT_TRUE(store.save());
    const std::vector<unsigned char> saved = readBytes(systemFile());
    EXPECT_EQ(std::vector<unsigned char>(saved.begin(), saved.begin() + 200), headerWith(u"flv 640x480"));
    ProfileStore again(dataDir());
    ASSERT_TRUE(again.loadAtStartup());
    EXPECT_EQ(again.lastProfileName(), u"flv 640x480");
    EXPECT_EQ(profileNameOf(*again.lastUsedProfile()), "flv 640x480");
}

TEST_F(ProfileStoreTest, EditedBuiltInParentSurvivesRestarts)
{
    // The user accepts an edit of a built-in profile that has built-in children: only its record
    // moves to the user file.
    {
        ProfileStore store(dataDir());
        ASSERT_TRUE(store.loadAtStartup());
        ProfileRecord* record = store.tree().findNodeByText(u"移动设备兼容格式mp4")->record();
        record->isUserProfile = 1;
        record->videoBitrate = 400;
        ASSERT_TRUE(store.save());
    }
    EXPECT_EQ(readBytes(userFile()).size(), 516u);
    std::vector<unsigned char> systemAfterEdit = readBytes(systemFile());

    for (int start = 0; start < 2; ++start) {
        ProfileStore store(dataDir());
        ASSERT_TRUE(store.loadAtStartup());
        EXPECT_TRUE(messages().empty());
        const ProfileNode* node = store.tree().findNodeByText(u"移动设备兼容格式mp4");
        ASSERT_TRUE(node->isProfile());
        EXPECT_EQ(node->record()->videoBitrate, 400);
        EXPECT_EQ(node->childCount(), 12u);
        EXPECT_EQ(node->parent()->text(), u"所有 转到 移动设备");
        EXPECT_EQ(store.defaultProfile(), node->record());
        EXPECT_EQ(store.tree().profileCount(), 103u);
        EXPECT_EQ(store.tree().root().childCount(), 11u);
        EXPECT_EQ(readBytes(userFile()).size(), 516u);
        EXPECT_EQ(readBytes(systemFile()).size(), systemAfterEdit.size());
    }
}

TEST_F(ProfileStoreTest, UserProfilesSurviveALostSystemFile)
{
    std::vector<unsigned char> user;
    ProfileRecord edited = catalogueRecords()[5];
    edited.isUserProfile = 1;
    edited.videoBitrate = 1;
    append(user, edited);
    append(user, makeRecord(u"mine", u"my profile", 1));
    writeFile(userFile(), user);

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(store.tree().profileCount(), 104u);
    EXPECT_EQ(store.findProfileByName(profileNameOf(edited))->videoBitrate, 1);
    EXPECT_EQ(readBytes(userFile()), user);
    EXPECT_EQ(readBytes(systemFile()).size(), 200u + 102u * 516u);
}
