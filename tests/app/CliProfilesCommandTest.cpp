#include "app/CliCommands.h"
#include "app/CliFrontEnd.h"

#include "profile/ProfileCatalogue.h"
#include "tests/profile/ProfileTestSupport.h"

#include <algorithm>
#include <sstream>

using namespace profiletest;

namespace {

class CliProfilesCommandTest : public DataFolderTest {
protected:
    int run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return app::CliFrontEnd::run(args, out, err);
    }
    std::vector<std::string> outputLines() const
    {
        std::vector<std::string> lines;
        std::istringstream stream(out.str());
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }

    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace

TEST_F(CliProfilesCommandTest, NamesInAnEmptyDataFolderCreateTheCatalogueFiles)
{
    ASSERT_EQ(run({"profiles", "--names"}), 0) << err.str();
    std::vector<std::string> expected;
    std::vector<unsigned char> expectedSystem(200, 0);
    for (const profile::ProfileRecord& record : profile::catalogueRecords()) {
        expected.push_back(profile::profileNameOf(record));
        append(expectedSystem, record);
    }
    EXPECT_EQ(outputLines(), expected);
    EXPECT_EQ(outputLines().size(), 103u);
    EXPECT_EQ(testsupport::readBytes(systemFile()), expectedSystem);
    EXPECT_TRUE(std::filesystem::exists(userFile()));
    EXPECT_EQ(std::filesystem::file_size(userFile()), 0u);
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliProfilesCommandTest, TreeIsIndentedAndMarksTheDefault)
{
    ASSERT_EQ(run({"profiles"}), 0);
    const std::vector<std::string> lines = outputLines();
    ASSERT_EQ(lines.size(), 103u + 11u);
    EXPECT_EQ(lines[0], "所有 转到 移动设备");
    EXPECT_EQ(lines[1], "  移动设备兼容格式mp4 *");
    EXPECT_EQ(lines[2], "    mp4 320x240 mpeg4");
    EXPECT_EQ(lines[14], "  移动设备兼容格式3gp");
    EXPECT_EQ(lines.back(), "  wmv 低质量和大小 wmv2");
    int marked = 0;
    for (const std::string& line : lines)
        marked += line.ends_with(" *");
    EXPECT_EQ(marked, 1);
}

TEST_F(CliProfilesCommandTest, BadArgumentsAreAUsageError)
{
    EXPECT_EQ(run({"profiles", "--name"}), 2);
    EXPECT_EQ(run({"profiles", "--names", "extra"}), 2);
    EXPECT_FALSE(std::filesystem::exists(systemFile()));
}

// The case that lost data before: a user file of zeros (or any bytes not recognised) was replaced
// by an empty file. Now its bytes stay, renamed, and the user is told.
TEST_F(CliProfilesCommandTest, UnrecognisedUserFileIsKeptAsBad)
{
    const std::vector<unsigned char> zeros(4096, 0);
    writeFile(userFile(), zeros);
    // The profiles that could be read are printed, and the status says not all went well.
    ASSERT_EQ(run({"profiles", "--names"}), app::kCliFailure) << err.str();
    EXPECT_EQ(outputLines().size(), 103u);
    EXPECT_EQ(testsupport::readBytes(userFile().string() + ".bad"), zeros);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("user_profile.dat.bad"), std::string::npos);
}

// A cut profile.dat: what could be read is printed (the built-in profiles it lost are back), and
// the exit status is a failure, so a script sees that a file was damaged.
TEST_F(CliProfilesCommandTest, DamagedSystemFilePrintsWhatWasReadAndFails)
{
    ASSERT_EQ(run({"profiles", "--names"}), app::kCliSuccess) << err.str();
    const std::vector<std::string> names = outputLines();
    std::vector<unsigned char> cut = testsupport::readBytes(systemFile());
    cut.resize(200 + 516 * 3 + 17);
    writeFile(systemFile(), cut);

    EXPECT_EQ(run({"profiles", "--names"}), app::kCliFailure);
    const std::vector<std::string> printed = outputLines();
    ASSERT_EQ(printed.size(), names.size());
    EXPECT_TRUE(std::equal(names.begin(), names.begin() + 3, printed.begin()));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text.find("profile.dat.bad"), std::string::npos);

    // The files were saved whole again: the next listing succeeds.
    EXPECT_EQ(run({"profiles"}), app::kCliSuccess);
}
