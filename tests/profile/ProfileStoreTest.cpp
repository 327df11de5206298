#include "profile/ProfileStore.h"

#include "profile/ProfileCatalogue.h"
#include "tests/profile/ProfileTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Records every message together with the state of the data folder at the moment it is shown,
// which is between the store's read and its save.
class ObservingPresenter final : public platform::MessagePresenter {
public:
    explicit ObservingPresenter(std::function<void()> observe) : observe_(std::move(observe)) {}
    std::string present(const std::string& title, const std::string& text, uint8_t flags) override
    {
        messages.push_back({title, text, flags});
        observe_();
        return platform::kAnswerOk;
    }
    std::vector<Message> messages;

private:
    std::function<void()> observe_;
};

// Installs a presenter for one scope.
class PresenterScope {
public:
    explicit PresenterScope(std::shared_ptr<platform::MessagePresenter> presenter)
        : previous_(platform::setMessagePresenter(std::move(presenter)))
    {
    }
    ~PresenterScope() { platform::setMessagePresenter(previous_); }

private:
    std::shared_ptr<platform::MessagePresenter> previous_;
};

std::vector<unsigned char> randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<unsigned char>(random());
    return bytes;
}

std::vector<unsigned char> userRecords(std::initializer_list<const char16_t*> names)
{
    std::vector<unsigned char> bytes;
    for (const char16_t* name : names)
        append(bytes, makeRecord(u"mine", name, 1));
    return bytes;
}

class UnusableFileTest : public ProfileStoreTest {
protected:
    void SetUp() override
    {
        ProfileStoreTest::SetUp();
        writeFile(systemFile(), catalogueFile());
    }
    std::filesystem::path bad(const std::filesystem::path& file, const char* suffix = ".bad") const
    {
        return file.string() + suffix;
    }
    std::size_t entryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dataDir()),
                                                      std::filesystem::directory_iterator()));
    }
};

}  // namespace

// A user file the program does not recognise is never replaced: its bytes move to
// user_profile.dat.bad, the user is told before anything is saved, and then the intact records
// (if any) are saved as the new user file.
TEST_F(UnusableFileTest, UnrecognisedUserFileIsKeptAsBadBeforeTheSave)
{
    std::vector<unsigned char> oneDamaged = userRecords({u"u1", u"u2", u"u3"});
    oneDamaged[516 + 412] = 0x7F;   // u2's conversion type: 127, no such row
    std::vector<unsigned char> otherVersion;   // 600-byte records with the magic where they end
    for (int i = 0; i < 3; ++i) {
        std::vector<unsigned char> record(600, 0);
        std::memcpy(&record[592], "Lumaret", 7);
        otherVersion.insert(otherVersion.end(), record.begin(), record.end());
    }
    std::vector<unsigned char> cut = userRecords({u"u1", u"u2"});
    cut.resize(cut.size() - 100);

    const struct {
        const char* name;
        std::vector<unsigned char> bytes;
        std::vector<std::u16string> kept;   // the intact records, saved again
    } cases[] = {
        {"zeros", std::vector<unsigned char>(516 * 2, 0), {}},
        {"random bytes", randomBytes(5000, 7), {}},
        {"another version", otherVersion, {}},
        {"one damaged record", oneDamaged, {u"u1", u"u3"}},
        {"cut mid-record", cut, {u"u1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dataDir());
        writeFile(systemFile(), catalogueFile());
        writeFile(userFile(), c.bytes);

        bool userFileAtMessage = true;
        auto presenter = std::make_shared<ObservingPresenter>(
            [&] { userFileAtMessage = std::filesystem::exists(userFile()); });
        PresenterScope scope(presenter);
        ProfileStore store(dataDir());
        ASSERT_TRUE(store.loadAtStartup());

        EXPECT_EQ(readBytes(bad(userFile())), c.bytes);
        ASSERT_EQ(presenter->messages.size(), 1u);
        EXPECT_EQ(presenter->messages[0].flags, platform::MessageError);
        EXPECT_NE(presenter->messages[0].text.find(bad(userFile()).string()), std::string::npos)
            << presenter->messages[0].text;
        EXPECT_FALSE(userFileAtMessage);   // set aside before the message, saved only after it

        std::vector<unsigned char> expected;
        for (const std::u16string& name : c.kept)
            append(expected, makeRecord(u"mine", name, 1));
        EXPECT_EQ(readBytes(userFile()), expected);
        EXPECT_EQ(readBytes(systemFile()), catalogueFile());
        EXPECT_EQ(store.tree().profileCount(), 103u + c.kept.size());
    }
}

TEST_F(UnusableFileTest, TakenBadNamesAreNumberedAndKept)
{
    const std::vector<unsigned char> first = randomBytes(700, 1);
    const std::vector<unsigned char> second = randomBytes(800, 2);
    const std::vector<unsigned char> third = randomBytes(900, 3);
    writeFile(bad(userFile()), first);
    writeFile(bad(userFile(), ".bad.1"), second);
    writeFile(userFile(), third);

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(readBytes(bad(userFile())), first);
    EXPECT_EQ(readBytes(bad(userFile(), ".bad.1")), second);
    EXPECT_EQ(readBytes(bad(userFile(), ".bad.2")), third);
    EXPECT_EQ(readBytes(userFile()), std::vector<unsigned char>());
}

// Today's failure: a profile.dat cut mid-record was saved back as the records before the cut,
// without a word. Now its bytes are kept and the user told; the intact records are still used.
TEST_F(UnusableFileTest, SystemFileCutMidRecordIsKeptAsBad)
{
    std::vector<unsigned char> cut = catalogueFile();
    cut.resize(200 + 516 * 9 + 300);
    writeFile(systemFile(), cut);

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(readBytes(bad(systemFile())), cut);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("profile.dat.bad"), std::string::npos);
    // The nine intact records keep their place and come first; every built-in profile the cut
    // took away is back, so the saved file holds the whole catalogue again.
    EXPECT_EQ(store.tree().profileCount(), 103u);
    const std::vector<unsigned char> saved = readBytes(systemFile());
    ASSERT_EQ(saved.size(), catalogueFile().size());
    EXPECT_TRUE(std::equal(cut.begin(), cut.begin() + 200 + 516 * 9, saved.begin()));
    for (const ProfileRecord& record : catalogueRecords())
        EXPECT_NE(store.findProfileByName(fieldText(record.profileName, kProfileTextChars)), nullptr);

    // A file cut inside its header holds no record, so the catalogue comes back; its bytes are
    // kept all the same. An emptied file is the documented way to ask for the catalogue: no .bad.
    std::filesystem::remove_all(dataDir());
    writeFile(systemFile(), std::vector<unsigned char>(cut.begin(), cut.begin() + 150));
    ProfileStore headerCut(dataDir());
    ASSERT_TRUE(headerCut.loadAtStartup());
    EXPECT_EQ(headerCut.tree().profileCount(), 103u);
    EXPECT_EQ(readBytes(bad(systemFile())).size(), 150u);

    std::filesystem::remove_all(dataDir());
    writeFile(systemFile(), {});
    ProfileStore emptied(dataDir());
    ASSERT_TRUE(emptied.loadAtStartup());
    EXPECT_EQ(readBytes(systemFile()), catalogueFile());
    EXPECT_FALSE(std::filesystem::exists(bad(systemFile())));
}

// A cut file that kept a built-in child profile but lost its built-in parent: the child's
// category node is the parent's name, and the restored parent takes that node over where it
// stands instead of being refused as a duplicate.
TEST_F(UnusableFileTest, ARestoredParentTakesOverTheCategoryNodeItsChildLeft)
{
    const std::vector<ProfileRecord> catalogue = catalogueRecords();
    const auto child = std::find_if(catalogue.begin(), catalogue.end(), [&](const ProfileRecord& record) {
        return std::any_of(catalogue.begin(), catalogue.end(), [&](const ProfileRecord& parent) {
            return fieldText(parent.profileName, kProfileTextChars) ==
                   fieldText(record.categoryName, kProfileTextChars);
        });
    });
    ASSERT_NE(child, catalogue.end());
    std::vector<unsigned char> cut(200, 0);
    append(cut, *child);
    cut.resize(cut.size() + 40);
    writeFile(systemFile(), cut);

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(store.tree().profileCount(), 103u);
    const ProfileNode* parent = store.tree().findNodeByText(fieldText(child->categoryName, kProfileTextChars));
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(parent->isProfile());
    EXPECT_EQ(messages().size(), 1u) << "only the damaged file is told, no refused duplicate";
}

TEST_F(UnusableFileTest, UnreadableUserFileIsKeptAsBad)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser reads a file without read permission";
    const std::vector<unsigned char> user = userRecords({u"u1"});
    writeFile(userFile(), user);
    ::chmod(userFile().c_str(), 0);
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    ::chmod(bad(userFile()).c_str(), 0644);
    EXPECT_EQ(readBytes(bad(userFile())), user);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("无法读取文件"), std::string::npos);
}

// Over the size cap: refused without reading it (the file is sparse, so nothing is really
// stored), and kept like any file we could not read. This runs as the superuser too, and takes
// the same path as a file without read permission.
TEST_F(UnusableFileTest, OversizedUserFileIsRefusedAndKept)
{
    writeFile(userFile(), userRecords({u"u1"}));
    std::filesystem::resize_file(userFile(), ProfileFiles::kMaxFileBytes + 516);
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    EXPECT_EQ(std::filesystem::file_size(bad(userFile())), ProfileFiles::kMaxFileBytes + 516);
    EXPECT_EQ(readBytes(userFile()), std::vector<unsigned char>());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("文件太大"), std::string::npos);
    EXPECT_EQ(store.findProfileByName(std::string_view("u1")), nullptr);
}

// A FIFO, a device or a folder in a profile file's place is refused at once (no block in open,
// no endless read), the user is told, and nothing is saved over it.
TEST_F(UnusableFileTest, OnlyRegularFilesAreRead)
{
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
    } kinds[] = {
        {"fifo", [](const std::filesystem::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
        {"folder", [](const std::filesystem::path& p) { std::filesystem::create_directory(p); }},
        {"/dev/zero", [](const std::filesystem::path& p) { std::filesystem::create_symlink("/dev/zero", p); }},
        {"/dev/urandom", [](const std::filesystem::path& p) { std::filesystem::create_symlink("/dev/urandom", p); }},
    };
    for (const auto& kind : kinds) {
        for (const bool systemSide : {true, false}) {
            SCOPED_TRACE(std::string(kind.name) + (systemSide ? " as profile.dat" : " as user_profile.dat"));
            std::filesystem::remove_all(dataDir());
            std::filesystem::create_directories(dataDir());
            const std::filesystem::path odd = systemSide ? systemFile() : userFile();
            const std::filesystem::path other = systemSide ? userFile() : systemFile();
            writeFile(other, systemSide ? userRecords({u"u1"}) : catalogueFile());
            const std::vector<unsigned char> otherBefore = readBytes(other);
            kind.make(odd);
            const auto type = std::filesystem::symlink_status(odd).type();

            auto presenter = std::make_shared<ObservingPresenter>([] {});
            PresenterScope scope(presenter);
            ProfileStore store(dataDir());
            ASSERT_TRUE(store.loadAtStartup());   // the catalogue stands in for a refused profile.dat
            ASSERT_EQ(presenter->messages.size(), 1u);
            EXPECT_NE(presenter->messages[0].text.find("不是普通文件"), std::string::npos);
            EXPECT_EQ(std::filesystem::symlink_status(odd).type(), type);
            EXPECT_EQ(readBytes(other), otherBefore);
            EXPECT_FALSE(store.save());   // not now, and not after an edit either
            EXPECT_EQ(readBytes(other), otherBefore);
            EXPECT_EQ(entryCount(), 2u);
        }
    }
}

// The read-only loader tells the user too, and moves nothing.
TEST_F(UnusableFileTest, LoadWithoutSavingReportsAndMovesNothing)
{
    const std::vector<unsigned char> zeros(516, 0);
    writeFile(userFile(), zeros);
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.load());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("user_profile.dat"), std::string::npos);
    EXPECT_EQ(readBytes(userFile()), zeros);
    EXPECT_EQ(entryCount(), 2u);
}

// The data folder is locked from the read to the save: another program trying to take the same
// lock between the two (here, while the store shows its message) finds it held.
TEST_F(UnusableFileTest, DataFolderIsLockedBetweenReadAndSave)
{
    writeFile(userFile(), std::vector<unsigned char>(516, 0));
    int lockResult = 0;
    int lockError = 0;
    auto presenter = std::make_shared<ObservingPresenter>([&] {
        const int folder = ::open(dataDir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        lockResult = ::flock(folder, LOCK_EX | LOCK_NB);
        lockError = errno;
        ::close(folder);
    });
    PresenterScope scope(presenter);
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    ASSERT_EQ(presenter->messages.size(), 1u);
    EXPECT_EQ(lockResult, -1);
    EXPECT_EQ(lockError, EWOULDBLOCK);

    // Released afterwards.
    const int folder = ::open(dataDir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    EXPECT_EQ(::flock(folder, LOCK_EX | LOCK_NB), 0);
    ::close(folder);
}

// A start that changes nothing writes nothing: same inodes, so no other program's file is
// replaced by a copy of what it already holds.
TEST_F(ProfileStoreTest, UnchangedFilesAreNotRewritten)
{
    ProfileStore first(dataDir());
    ASSERT_TRUE(first.loadAtStartup());
    const auto inode = [](const std::filesystem::path& file) {
        struct stat status {};
        ::stat(file.c_str(), &status);
        return status.st_ino;
    };
    const ino_t systemInode = inode(systemFile());
    const ino_t userInode = inode(userFile());

    ProfileStore second(dataDir());
    ASSERT_TRUE(second.loadAtStartup());
    EXPECT_TRUE(second.save());
    EXPECT_EQ(inode(systemFile()), systemInode);
    EXPECT_EQ(inode(userFile()), userInode);

    // One changed file is replaced alone.
    second.setLastProfileName(u"mp4 320x240 h264");
    ASSERT_TRUE(second.save());
    EXPECT_NE(inode(systemFile()), systemInode);
    EXPECT_EQ(inode(userFile()), userInode);
}

// A profile file that is a symbolic link stays one: the save replaces the file it points to, and
// that file keeps its permission bits.
TEST_F(ProfileStoreTest, SymlinkedProfileFilesStayLinksAndKeepTheirMode)
{
    const std::filesystem::path elsewhere = dataDir().parent_path() / "synced";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::create_directories(dataDir());
    testsupport::writeBytes(elsewhere / "profile.dat", catalogueFile());
    testsupport::writeBytes(elsewhere / "user_profile.dat", userRecords({u"u1"}));
    ::chmod((elsewhere / "profile.dat").c_str(), 0640);
    ::chmod((elsewhere / "user_profile.dat").c_str(), 0600);
    std::filesystem::create_symlink("../synced/profile.dat", systemFile());
    std::filesystem::create_symlink(elsewhere / "user_profile.dat", userFile());

    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());
    store.setLastProfileName(u"u1");
    store.tree().findNodeByText(u"u1")->record()->videoBitrate = 999;
    ASSERT_TRUE(store.save());

    EXPECT_TRUE(std::filesystem::is_symlink(systemFile()));
    EXPECT_TRUE(std::filesystem::is_symlink(userFile()));
    EXPECT_EQ(readBytes(elsewhere / "profile.dat")[0], 'u');
    EXPECT_EQ(readBytes(elsewhere / "user_profile.dat")[484], 999 & 0xFF);
    const auto mode = [](const std::filesystem::path& file) {
        struct stat status {};
        ::stat(file.c_str(), &status);
        return status.st_mode & 07777;
    };
    EXPECT_EQ(mode(elsewhere / "profile.dat"), 0640u);
    EXPECT_EQ(mode(elsewhere / "user_profile.dat"), 0600u);

    // A plain file keeps its mode as well.
    std::filesystem::remove(systemFile());
    testsupport::writeBytes(systemFile(), catalogueFile());
    ::chmod(systemFile().c_str(), 0604);
    ASSERT_TRUE(store.save());
    EXPECT_EQ(mode(systemFile()), 0604u);
    EXPECT_FALSE(std::filesystem::is_symlink(systemFile()));
}

// A damaged profile file that is a link is never moved or written through: its bytes are copied
// to a .bad file in the data folder, the link and the file it points to stay as they were until
// the user has been told, and then a plain file in the data folder takes the link's place.
TEST_F(ProfileStoreTest, DamagedLinkedProfileFilesAreCopiedAsideAndNothingOutsideIsTouched)
{
    const std::filesystem::path elsewhere = dataDir().parent_path() / "system";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::create_directories(dataDir());
    std::vector<unsigned char> cutSystem = catalogueFile();
    cutSystem.resize(200 + 516 * 4 + 100);
    std::vector<unsigned char> cutUser = userRecords({u"u1", u"u2"});
    cutUser.resize(516 + 10);
    testsupport::writeBytes(elsewhere / "profile.dat", cutSystem);
    testsupport::writeBytes(elsewhere / "user_profile.dat", cutUser);
    ::chmod((elsewhere / "profile.dat").c_str(), 0444);
    std::filesystem::create_symlink(elsewhere / "profile.dat", systemFile());
    std::filesystem::create_symlink("../system/user_profile.dat", userFile());

    int linksAtMessages = 0;
    auto presenter = std::make_shared<ObservingPresenter>([&] {
        linksAtMessages += std::filesystem::is_symlink(systemFile()) && std::filesystem::is_symlink(userFile());
    });
    PresenterScope scope(presenter);
    ProfileStore store(dataDir());
    ASSERT_TRUE(store.loadAtStartup());

    ASSERT_EQ(presenter->messages.size(), 2u);
    EXPECT_EQ(linksAtMessages, 2);
    EXPECT_NE(presenter->messages[0].text.find((dataDir() / "profile.dat.bad").string()), std::string::npos)
        << presenter->messages[0].text;
    EXPECT_NE(presenter->messages[1].text.find((dataDir() / "user_profile.dat.bad").string()), std::string::npos)
        << presenter->messages[1].text;
    // Outside the data folder: the same two files with the same bytes, and nothing new.
    EXPECT_EQ(readBytes(elsewhere / "profile.dat"), cutSystem);
    EXPECT_EQ(readBytes(elsewhere / "user_profile.dat"), cutUser);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere), std::filesystem::directory_iterator()), 2);
    // Inside: plain copies of the damaged bytes, and plain files with the records that were read.
    for (const std::filesystem::path& file : {systemFile(), userFile()}) {
        const std::filesystem::path copy = file.string() + ".bad";
        EXPECT_FALSE(std::filesystem::is_symlink(copy)) << copy;
        EXPECT_FALSE(std::filesystem::is_symlink(file)) << file;
    }
    EXPECT_EQ(readBytes(dataDir() / "profile.dat.bad"), cutSystem);
    EXPECT_EQ(readBytes(dataDir() / "user_profile.dat.bad"), cutUser);
    EXPECT_EQ(readBytes(userFile()), userRecords({u"u1"}));
    EXPECT_EQ(readBytes(systemFile()).size(), catalogueFile().size());

    // The next start finds plain, intact files: no message, nothing set aside again.
    ProfileStore again(dataDir());
    ASSERT_TRUE(again.loadAtStartup());
    EXPECT_EQ(presenter->messages.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(dataDir() / "profile.dat.bad.1"));
}

// The editor's category list: straight from both files, each text once, no messages.
TEST_F(ProfileStoreTest, CategoryNamesOfBothFilesForTheEditor)
{
    std::vector<unsigned char> system = headerWith(u"x");
    append(system, makeRecord(u"Alpha", u"a1"));
    append(system, makeRecord(u"beta", u"b1"));
    append(system, makeRecord(u"ALPHA", u"a2"));   // the same text but for case
    ProfileRecord damaged = makeRecord(u"gamma", u"g1");
    damaged.audioChannels = 9;
    append(system, damaged);
    append(system, makeRecord(u"a1", u"child"));   // categories may name profiles
    system.resize(system.size() + 100);            // a cut tail
    writeFile(systemFile(), system);
    std::vector<unsigned char> user;
    append(user, makeRecord(u"Beta", u"u1", 1));
    append(user, makeRecord(u"我的方案", u"u2", 1));
    writeFile(userFile(), user);

    const ProfileFiles files(dataDir());
    EXPECT_EQ(files.readCategoryNames(), (std::vector<std::string>{"Alpha", "beta", "a1", "我的方案"}));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(readBytes(systemFile()), system);

    // A system file too short for its header adds nothing; a FIFO neither, and does not block.
    writeFile(systemFile(), std::vector<unsigned char>(system.begin(), system.begin() + 150));
    EXPECT_EQ(files.readCategoryNames(), (std::vector<std::string>{"Beta", "我的方案"}));
    std::filesystem::remove(systemFile());
    ASSERT_EQ(::mkfifo(systemFile().c_str(), 0644), 0);
    EXPECT_EQ(files.readCategoryNames(), (std::vector<std::string>{"Beta", "我的方案"}));
    EXPECT_TRUE(messages().empty());
}
