#include "app/CliFrontEnd.h"

#include "tests/profile/ProfileTestSupport.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class CliCommandCommandTest : public profiletest::DataFolderTest {
protected:
    void SetUp() override
    {
        DataFolderTest::SetUp();
        ::setenv("LUMARET_CONFIG_DIR", config_.path().c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("LUMARET_CONFIG_DIR");
        DataFolderTest::TearDown();
    }

    std::vector<std::string> run(std::vector<std::string> args, int expectedStatus = 0)
    {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(app::CliFrontEnd::run(args, out, err), expectedStatus) << err.str();
        errors = err.str();
        std::vector<std::string> lines;
        std::istringstream stream(out.str());
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }

    std::string outFolder() const { return (config_.path() / "out").string(); }

    testsupport::TempDir config_;
    std::string errors;
};

}  // namespace

TEST_F(CliCommandCommandTest, DefaultProfilePrintsTextThenOneArgumentPerLine)
{
    const std::vector<std::string> lines = run({"command", "--output-dir", outFolder(), "/nowhere/my clip.avi"});
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "ffmpeg -i \"/nowhere/my clip.avi\" -y -f mp4 -vcodec mpeg4 -s 320x240 -r 18 -b 384000 -acodec "
                        "libfaac -ab 64000 -ac 2 -ar 22050 \"" + outFolder() + "/my clip.mp4\"");
    EXPECT_EQ(lines[1], "argv:");
    EXPECT_TRUE(lines[2].ends_with("ffmpeg"));
    EXPECT_EQ(lines[3], "-nostdin");
    EXPECT_EQ(lines[5], "file:/nowhere/my clip.avi");
    EXPECT_EQ(lines.back(), "file:" + outFolder() + "/my clip.mp4");
}

TEST_F(CliCommandCommandTest, NamedProfileAndProfileNameSetting)
{
    std::ofstream(config_.path() / "Lumaret.ini") << "[output]\noutput_profile=1\n";
    const std::vector<std::string> lines =
        run({"command", "--profile", "3gp 176x144 h263 ", "--output-dir", outFolder(), "/v/clip.mp4"});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "ffmpeg -i \"/v/clip.mp4\" -y -f 3gp -vcodec h263 -s 176x144 -r 15 -b 160000 -acodec libamr_nb "
                        "-ab 12200 -ac 1 -ar 8000 \"" + outFolder() + "/clip [3gp 176x144 h263 ].3gp\"");
}

TEST_F(CliCommandCommandTest, Failures)
{
    run({"command"}, 2);
    run({"command", "--profile"}, 2);
    run({"command", "a.mp4", "b.mp4"}, 2);
    run({"command", "--profile", "no such profile", "/v/clip.mp4"}, 1);
    EXPECT_NE(errors.find("no such profile"), std::string::npos);
    // A category is not a profile.
    run({"command", "--profile", "所有 转到 avi", "/v/clip.mp4"}, 1);
    // No file name: no output name.
    run({"command", "--output-dir", outFolder(), "/v/"}, 1);
}

// lumaret-cli is started from anywhere; a relative output folder is refused rather than guessed.
TEST_F(CliCommandCommandTest, ARelativeOutputFolderIsRefusedAndHomeIsExpanded)
{
    EXPECT_TRUE(run({"command", "--output-dir", "relout", "/v/clip.mp4"}, 2).empty());
    EXPECT_NE(errors.find("\"relout\" is relative"), std::string::npos) << errors;
    const testsupport::ScopedEnvironment home({{"HOME", config_.path().string()}});
    const std::vector<std::string> lines = run({"command", "--output-dir", "~/out", "/v/clip.mp4"});
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().ends_with(outFolder() + "/clip.mp4")) << lines.back();
}

// A dry run: neither the output folder nor the source's folder is created.
TEST_F(CliCommandCommandTest, CreatesNoFolderAndEscapesControlCharacters)
{
    const std::string missingOut = (config_.path() / "not-yet").string();
    const std::vector<std::string> lines = run({"command", "--output-dir", missingOut, "/v/a\nb.mp4"});
    EXPECT_FALSE(std::filesystem::exists(missingOut));
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().ends_with(missingOut + "/a\\nb.mp4")) << lines.back();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file:/v/a\\nb.mp4"), lines.end());

    const std::filesystem::path missingSource = config_.path() / "gone" / "clip.avi";
    run({"command", missingSource.string()});
    EXPECT_FALSE(std::filesystem::exists(missingSource.parent_path()));
}

// A record with an out-of-range conversion type is a damaged profile file: it is named, left in
// place by this read-only command, and nothing is printed as a command.
TEST_F(CliCommandCommandTest, ProfileWithAnUnknownConversionTypeIsRefused)
{
    std::vector<unsigned char> user;
    profiletest::append(user, profiletest::makeRecord(u"mine", u"broken", 1, 77));
    writeFile(userFile(), user);
    const std::vector<std::string> lines = run({"command", "--profile", "broken", "/v/clip.mp4"}, 1);
    EXPECT_TRUE(lines.empty());
    EXPECT_NE(errors.find("no profile named \"broken\""), std::string::npos) << errors;
    EXPECT_TRUE(std::filesystem::exists(userFile()));
}
