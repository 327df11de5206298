#include "platform/core/IniFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>
#include <string>
#include <sys/stat.h>

using platform::IniFile;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

namespace {

std::vector<unsigned char> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::string textOf(const std::filesystem::path& file)
{
    const auto bytes = readBytes(file);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::filesystem::path> folderEntries(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        entries.push_back(entry.path().filename());
    return entries;
}

}  // namespace

TEST(IniFileTest, MissingFileGivesDefaultsAndWriteCreatesFolderAndFile)
{
    TempDir temp;
    const IniFile ini(temp / "deeper/still/Lumaret.ini");
    EXPECT_EQ(ini.readString("output", "output_path", "none"), "none");
    EXPECT_EQ(ini.readInt("menu", "auto", 12), 12);
    EXPECT_FALSE(std::filesystem::exists(ini.path()));

    ASSERT_TRUE(ini.writeString("menu", "auto", "1"));
    EXPECT_EQ(textOf(ini.path()), "[menu]\nauto=1\n");
    EXPECT_EQ(ini.readInt("MENU", "AUTO", 0), 1);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(folderEntries(ini.path().parent_path()), std::vector<std::filesystem::path>{"Lumaret.ini"});
}

TEST(IniFileTest, WriteKeepsTheRestOfTheFileAndItsPermissions)
{
    TempDir temp;
    const auto file = temp / "Lumaret.ini";
    writeBytes(file, bytesOf("# written by hand\n[finish]\nshutdown=0 ; old\nmine=yes\n[menu]\nauto=0\n"));
    ::chmod(file.c_str(), 0600);

    const IniFile ini(file);
    ASSERT_TRUE(ini.writeString("finish", "shutdown", "1"));
    EXPECT_EQ(textOf(file), "# written by hand\n[finish]\nshutdown=1\nmine=yes\n[menu]\nauto=0\n");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST(IniFileTest, WriteThroughASymbolicLinkKeepsTheLink)
{
    TempDir temp;
    const auto real = temp / "real.ini";
    const auto link = temp / "Lumaret.ini";
    writeBytes(real, bytesOf("[a]\nk=1\n"));
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(IniFile(link).writeString("a", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(textOf(real), "[a]\nk=2\n");
}

TEST(IniFileTest, UnreadableFileGivesDefaultsAndIsNeverOverwritten)
{
    TempDir temp;
    // A folder where the file should be.
    const auto folderInstead = temp / "folder.ini";
    std::filesystem::create_directory(folderInstead);
    EXPECT_EQ(IniFile(folderInstead).readInt("a", "k", 3), 3);
    EXPECT_FALSE(IniFile(folderInstead).writeString("a", "k", "1"));

    // A file far larger than any settings file.
    const auto huge = temp / "huge.ini";
    std::string text = "[a]\nk=1\n" + std::string(IniFile::kMaxFileBytes, 'x');
    writeBytes(huge, bytesOf(text));
    EXPECT_EQ(IniFile(huge).readInt("a", "k", 3), 3);
    EXPECT_FALSE(IniFile(huge).writeString("a", "k", "2"));
    EXPECT_EQ(std::filesystem::file_size(huge), text.size());

    // No temporary files left behind by the refused writes.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 2);
}

TEST(IniFileTest, FailedReplaceLeavesNoTemporaryFile)
{
    TempDir temp;
    // The rename cannot put a file over a folder that holds something.
    const auto blocked = temp / "Lumaret.ini";
    std::filesystem::create_directories(blocked / "inside");
    platform::IniDocument document;
    ASSERT_TRUE(document.setValue("a", "k", "1"));
    EXPECT_FALSE(IniFile(blocked).save(document));
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
    EXPECT_EQ(folderEntries(temp.path()), std::vector<std::filesystem::path>{"Lumaret.ini"});
}

// A FIFO or a device in the settings file's place is refused at once: no open that waits for a
// writer, no endless read of /dev/zero, and no write over it.
TEST(IniFileTest, FifoAndDevicesAreRefusedWithoutWaiting)
{
    TempDir temp;
    const auto fifo = temp / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const auto zero = temp / "zero.ini";
    std::filesystem::create_symlink("/dev/zero", zero);
    const auto random = temp / "random.ini";
    std::filesystem::create_symlink("/dev/urandom", random);
    for (const auto& file : {fifo, zero, random}) {
        platform::RegularFileStatus status = platform::RegularFileStatus::Ok;
        EXPECT_FALSE(IniFile(file).load(&status).has_value()) << file;
        EXPECT_EQ(status, platform::RegularFileStatus::NotRegular) << file;
        EXPECT_EQ(IniFile(file).readInt("a", "k", 3), 3) << file;
        EXPECT_FALSE(IniFile(file).writeString("a", "k", "1")) << file;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_TRUE(std::filesystem::is_symlink(zero));
}

// The folder stays locked from the read to the replacement: another program that tries to take
// the lock in between (here, from inside the change) finds it held, and so cannot write a value
// that this update would then undo.
TEST(IniFileTest, UpdateHoldsTheFolderLockFromReadToWrite)
{
    TempDir temp;
    const auto file = temp / "config" / "Lumaret.ini";
    const auto tryLock = [&] {
        const int folder = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int result = ::flock(folder, LOCK_EX | LOCK_NB);
        const int error = errno;
        ::close(folder);
        return result == 0 ? 0 : error;
    };
    int errorInside = 0;
    EXPECT_TRUE(IniFile(file).update([&](platform::IniDocument& document) {
        errorInside = tryLock();
        return document.setValue("a", "k", "1");
    }));
    EXPECT_EQ(errorInside, EWOULDBLOCK);
    EXPECT_EQ(tryLock(), 0);
    EXPECT_EQ(IniFile(file).readInt("a", "k", 0), 1);

    // A change that refuses writes nothing.
    const std::string before = textOf(file);
    EXPECT_FALSE(IniFile(file).update([](platform::IniDocument& document) {
        document.setValue("a", "k", "2");
        return false;
    }));
    EXPECT_EQ(textOf(file), before);
}
