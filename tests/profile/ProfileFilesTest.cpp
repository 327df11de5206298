#include "profile/ProfileFiles.h"

#include "profile/ProfileCatalogue.h"
#include "tests/profile/ProfileTestSupport.h"

#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace profile;
using namespace profiletest;
using testsupport::readBytes;

namespace {

class ProfileFilesTest : public DataFolderTest {
protected:
    void load(ProfileTree& tree, bool createCatalogue = false)
    {
        ProfileFiles(dataDir()).load(tree, header, createCatalogue);
    }
    bool save(const ProfileTree& tree)
    {
        return ProfileFiles(dataDir()).save(tree, std::span<const unsigned char, 200>(header.data(), 200));
    }
    std::vector<std::u16string> names(const ProfileTree& tree) const
    {
        std::vector<std::u16string> result;
        tree.findInPreOrder([&](const ProfileNode& node) {
            result.push_back(node.text());
            return false;
        });
        return result;
    }
    std::set<std::string> folderEntries() const
    {
        std::set<std::string> entries;
        for (const auto& entry : std::filesystem::directory_iterator(dataDir()))
            entries.insert(entry.path().filename().string());
        return entries;
    }
    // A system file: a header and three records a, b, c in category "cat".
    std::vector<unsigned char> threeRecordFile() const
    {
        std::vector<unsigned char> bytes = headerWith(u"b");
        for (const char16_t* name : {u"a", u"b", u"c"})
            append(bytes, makeRecord(u"cat", name));
        return bytes;
    }

    std::vector<unsigned char> header = std::vector<unsigned char>(200, 0xEE);
};

}  // namespace

TEST_F(ProfileFilesTest, SaveWritesHeaderAndRecordsInPreOrderToTheirFiles)
{
    ProfileTree tree;
    auto a = newRecord(u"one", u"a");
    setFieldText(a->profileName, kProfileTextChars, u"stale tail");
    setFieldText(a->profileName, kProfileTextChars, u"a");   // bytes behind the NUL are kept
    const ProfileRecord aBytes = *a;
    tree.insertProfile(std::move(a));
    const ProfileRecord b = makeRecord(u"two", u"b", 1);
    tree.insertProfile(std::make_unique<ProfileRecord>(b));
    const ProfileRecord c = makeRecord(u"one", u"c");
    tree.insertProfile(std::make_unique<ProfileRecord>(c));
    const ProfileRecord d = makeRecord(u"a", u"d", 1);
    tree.insertProfile(std::make_unique<ProfileRecord>(d));
    header = headerWith(u"c");
    header[150] = 0x7F;   // the header is written verbatim, not as a text

    ASSERT_TRUE(save(tree));

    std::vector<unsigned char> expectedSystem = header;
    append(expectedSystem, aBytes);
    append(expectedSystem, c);
    std::vector<unsigned char> expectedUser;
    append(expectedUser, d);   // d is a's child, so it precedes b in pre-order
    append(expectedUser, b);
    EXPECT_EQ(readBytes(systemFile()), expectedSystem);
    EXPECT_EQ(readBytes(userFile()), expectedUser);
    EXPECT_EQ(folderEntries(), (std::set<std::string>{"profile.dat", "user_profile.dat"}));

    ProfileTree reloaded;
    header.assign(200, 0);
    load(reloaded);
    EXPECT_EQ(header, std::vector<unsigned char>(expectedSystem.begin(), expectedSystem.begin() + 200));
    EXPECT_EQ(names(reloaded), names(tree));
    EXPECT_EQ(bytesOf(*reloaded.findNodeByText(u"a")->record()), bytesOf(aBytes));
}

TEST_F(ProfileFilesTest, EmptyTreeSavesHeaderOnlyAndAnEmptyUserFile)
{
    ProfileTree tree;
    ASSERT_TRUE(save(tree));   // also creates the missing data folder
    EXPECT_EQ(readBytes(systemFile()), header);
    EXPECT_TRUE(std::filesystem::exists(userFile()));
    EXPECT_EQ(std::filesystem::file_size(userFile()), 0u);
}

TEST_F(ProfileFilesTest, PartialTailRecordIsIgnored)
{
    const std::vector<unsigned char> full = threeRecordFile();
    for (const std::size_t cut : {1, 7, 508, 515}) {
        std::vector<unsigned char> bytes(full.begin(), full.end() - static_cast<std::ptrdiff_t>(cut));
        writeFile(systemFile(), bytes);
        ProfileTree tree;
        load(tree);
        EXPECT_EQ(names(tree), (std::vector<std::u16string>{u"cat", u"a", u"b"})) << "cut " << cut;
    }
    // Extra bytes after whole records (200 + 516n + k) are the same case.
    std::vector<unsigned char> longer = full;
    longer.insert(longer.end(), 300, 0);
    writeFile(systemFile(), longer);
    ProfileTree tree;
    load(tree);
    EXPECT_EQ(tree.profileCount(), 3u);
}

TEST_F(ProfileFilesTest, MagicBytes508To514DecideAndByte515IsIgnored)
{
    std::vector<unsigned char> bytes = threeRecordFile();
    auto recordByte = [&](int record, int offset) -> unsigned char& { return bytes[200 + 516 * record + offset]; };
    recordByte(0, 515) = 0xFF;   // accepted
    recordByte(1, 514) = 'T';    // rejected: last magic letter
    recordByte(2, 508) = 'l';    // rejected: first magic letter
    writeFile(systemFile(), bytes);

    ProfileTree tree;
    load(tree);
    EXPECT_EQ(names(tree), (std::vector<std::u16string>{u"cat", u"a"}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(ProfileFilesTest, HeaderIsReadIntoTheBufferAndAShortFileKeepsTheRest)
{
    writeFile(systemFile(), threeRecordFile());
    ProfileTree tree;
    load(tree);
    EXPECT_EQ(header, headerWith(u"b"));

    const std::vector<unsigned char> shortFile(120, 0x41);
    writeFile(systemFile(), shortFile);
    header.assign(200, 0);
    ProfileTree second;
    load(second);
    EXPECT_TRUE(second.empty());
    EXPECT_EQ(std::vector<unsigned char>(header.begin(), header.begin() + 120), shortFile);
    EXPECT_EQ(std::vector<unsigned char>(header.begin() + 120, header.end()), std::vector<unsigned char>(80, 0));

    // Without a header buffer the reader skips the 200 bytes.
    ProfileTree third;
    writeFile(systemFile(), threeRecordFile());
    ProfileFiles(dataDir()).load(third, {}, false);
    EXPECT_EQ(third.profileCount(), 3u);
}

TEST_F(ProfileFilesTest, MissingOrUnusableSystemFile)
{
    std::vector<unsigned char> user;
    append(user, makeRecord(u"mine", u"u1", 1));
    writeFile(userFile(), user);

    ProfileTree readerTree;   // readers that never build the catalogue see nothing at all
    load(readerTree);
    EXPECT_TRUE(readerTree.empty());

    // With the catalogue, the user's profiles are still read: they are the only copy, and the
    // save that follows every start would otherwise wipe them.
    ProfileTree missing;
    load(missing, true);
    EXPECT_EQ(missing.profileCount(), 104u);
    EXPECT_NE(missing.findNodeByText(u"u1"), nullptr);

    // An empty file, one shorter than its header and one of zeros: no valid record, so the
    // catalogue is built and the user file read.
    for (const std::size_t size : {0, 150, 200 + 516 * 3}) {
        writeFile(systemFile(), std::vector<unsigned char>(size, 0));
        ProfileTree tree;
        load(tree, true);
        EXPECT_EQ(tree.profileCount(), 104u) << size;
        EXPECT_EQ(tree.findDefaultNode()->text(), u"移动设备兼容格式mp4");
    }
}

TEST_F(ProfileFilesTest, ManyRecordsAreReadAndWrittenBackUnchanged)
{
    std::vector<unsigned char> bytes(200, 0);
    // The longest texts the fields can hold, 99 units and the terminator.
    append(bytes, makeRecord(std::u16string(99, u'c'), std::u16string(99, u'p')));
    for (int i = 0; i < 1000; ++i)
        append(bytes, makeRecord(u"bulk", u"r" + profile::toUtf16(std::to_string(i))));
    writeFile(systemFile(), bytes);

    ProfileTree tree;
    EXPECT_TRUE(ProfileFiles(dataDir()).load(tree, header, false).empty());
    EXPECT_EQ(tree.profileCount(), 1001u);
    EXPECT_EQ(tree.root().child(0)->text(), std::u16string(99, u'c'));
    EXPECT_EQ(tree.root().child(0)->child(0)->text(), std::u16string(99, u'p'));

    ASSERT_TRUE(save(tree));
    EXPECT_EQ(readBytes(systemFile()), bytes);   // read and written back unchanged
}

TEST_F(ProfileFilesTest, FailedSaveLeavesBothFilesAsTheyWere)
{
    ProfileTree tree;
    tree.insertProfile(newRecord(u"cat", u"new system"));
    tree.insertProfile(newRecord(u"cat", u"new user", 1));
    std::vector<unsigned char> oldSystem = threeRecordFile();
    std::vector<unsigned char> oldUser;
    append(oldUser, makeRecord(u"mine", u"old user", 1));

    // The user file cannot be replaced: profile.dat, already renamed, must be put back.
    writeFile(systemFile(), oldSystem);
    std::filesystem::create_directories(userFile() / "squatter");
    EXPECT_FALSE(save(tree));
    EXPECT_EQ(readBytes(systemFile()), oldSystem);
    EXPECT_TRUE(std::filesystem::is_directory(userFile() / "squatter"));
    EXPECT_EQ(folderEntries(), (std::set<std::string>{"profile.dat", "user_profile.dat"}));

    // Same with no profile.dat before the save: none may be left behind.
    std::filesystem::remove(systemFile());
    EXPECT_FALSE(save(tree));
    EXPECT_EQ(folderEntries(), (std::set<std::string>{"user_profile.dat"}));

    // The system file cannot be replaced.
    std::filesystem::remove_all(userFile());
    writeFile(userFile(), oldUser);
    std::filesystem::create_directories(systemFile() / "squatter");
    EXPECT_FALSE(save(tree));
    EXPECT_EQ(readBytes(userFile()), oldUser);
    EXPECT_EQ(folderEntries(), (std::set<std::string>{"profile.dat", "user_profile.dat"}));

    // The data folder cannot be created.
    testsupport::writeBytes(dataDir().parent_path() / "file", {1});
    EXPECT_FALSE(ProfileFiles(dataDir().parent_path() / "file" / "data")
                     .save(tree, std::span<const unsigned char, 200>(header.data(), 200)));

    std::filesystem::remove_all(systemFile());
    ASSERT_TRUE(save(tree));
    EXPECT_EQ(readBytes(userFile()).size(), 516u);
}

TEST_F(ProfileFilesTest, ReadOnlyDataFolderKeepsBothFiles)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write into a read-only folder";
    writeFile(systemFile(), threeRecordFile());
    writeFile(userFile(), {});
    ::chmod(dataDir().c_str(), 0555);
    ProfileTree tree;
    tree.insertProfile(newRecord(u"cat", u"new"));
    const bool saved = save(tree);
    ::chmod(dataDir().c_str(), 0755);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readBytes(systemFile()), threeRecordFile());
    EXPECT_EQ(folderEntries(), (std::set<std::string>{"profile.dat", "user_profile.dat"}));
}

// Random record streams straight into the reader: it must never crash or overread (this runs
// under AddressSanitizer), and every tree it builds must keep node texts unique.
TEST_F(ProfileFilesTest, RandomInputNeverBreaksTheReader)
{
    const std::u16string pool[] = {u"", u"a", u"b", u"c", u"a ", u"移动设备兼容格式mp4", u"所有 转到 mp4"};
    std::size_t inserted = 0;
    for (const unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        for (int input = 0; input < 1000; ++input) {
            std::vector<unsigned char> bytes;
            const int records = static_cast<int>(random() % 6);
            for (int r = 0; r < records; ++r) {
                ProfileRecord record = makeRecord(pool[random() % 7], pool[random() % 7], random() % 3);
                auto* raw = reinterpret_cast<unsigned char*>(&record);
                for (int flips = static_cast<int>(random() % 4); flips > 0; --flips)
                    raw[random() % sizeof record] = static_cast<unsigned char>(random());
                // Mostly a type of the table, so that records reach the tree-building rules.
                record.conversionType = static_cast<int32_t>(random() % 4 == 0 ? random() : random() % 52);
                if (random() % 4 == 0)   // a text with no terminator
                    std::fill(std::begin(record.profileName), std::end(record.profileName), u'x');
                append(bytes, record);
            }
            bytes.resize(bytes.size() + random() % 3 * (random() % 516));   // a random tail
            for (auto& byte : bytes)
                if (random() % 64 == 0)
                    byte = static_cast<unsigned char>(random());

            if (bytes.empty())
                continue;
            ProfileTree tree;
            bool any = false;
            ProfileFiles::readProfileRecords(
                tree, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), any);

            std::set<std::u16string> seen;
            tree.findInPreOrder([&](const ProfileNode& node) {
                EXPECT_TRUE(seen.insert(node.text()).second) << "duplicate node text, seed " << seed;
                EXPECT_GE(node.imageIndex(), 0);
                EXPECT_LE(node.imageIndex(), 52);
                return false;
            });
            inserted += tree.profileCount();
        }
    }
    EXPECT_GT(inserted, 900u);   // the generator does reach the tree-building rules
}
