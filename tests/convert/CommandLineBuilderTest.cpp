#include "convert/CommandLineBuilder.h"

#include "convert/EncoderBinding.h"
#include "profile/EncodingTables.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>

using namespace convert;
using profile::ProfileRecord;

namespace {

// A binding over fixed encoder paths with the abilities of Debian 12's ffmpeg (no AMR encoders),
// so that the tests neither depend on nor run the installed encoders.
const EncoderBinding& debianBinding()
{
    static const EncoderBinding binding(
        EncoderBinding::Locations{"/opt/enc/ffmpeg", "/opt/enc/mencoder", true, true},
        EncoderCapabilities::of({"aac", "libmp3lame", "libvorbis", "vorbis", "mpeg4", "libxvid", "libx264", "wmv2",
                                 "wmav2", "mpeg2video", "mpeg1video", "ac3", "mp2", "sonicls"},
                                {"avi", "mp4", "3gp", "asf", "gif", "mmf", "mp3", "dvd", "psp", "ogg"}));
    return binding;
}

ProfileRecord makeProfile(int type, int videoCodec, const char16_t* size, int videoKbps, float fps, int audioCodec,
                          int sampleRate, float audioKbps, int channels)
{
    ProfileRecord record = profile::makeEmptyProfileRecord();
    record.conversionType = type;
    record.videoCodec = videoCodec;
    profile::setFieldText(record.videoSize, profile::kVideoSizeChars, size);
    record.videoBitrate = videoKbps;
    record.frameRate = fps;
    record.audioCodec = audioCodec;
    record.sampleRate = sampleRate;
    record.audioBitrate = audioKbps;
    record.audioChannels = channels;
    profile::setFieldText(record.profileName, profile::kProfileTextChars, u"AVI 640x480");
    return record;
}

ProfileRecord aviProfile() { return makeProfile(8, 1, u"320x240", 800, 25.0f, 1, 44100, 128.0f, 3); }
ProfileRecord mp3Profile() { return makeProfile(18, 0, u"", 0, 0.0f, 1, 44100, 192.0f, 0); }
ProfileRecord wmvProfile() { return makeProfile(51, 1, u"320x240", 800, 25.0f, 1, 44100, 128.0f, 3); }

class CommandLineBuilderTest : public ::testing::Test {
protected:
    std::string out() const { return (temp_.path() / "out").string(); }

    EncoderCommand build(const ProfileRecord& profile, const std::string& source = "/v/clip.mp4",
                         bool appendProfileName = false)
    {
        std::optional<EncoderCommand> command = builder_.build(source, profile, out(), appendProfileName);
        EXPECT_TRUE(command.has_value());
        return command.value_or(EncoderCommand{});
    }

    void touch(const std::string& path) { std::ofstream(path).put('x'); }

    testsupport::TempDir temp_;
    CommandLineBuilder builder_{debianBinding()};
};

bool contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

}  // namespace

TEST_F(CommandLineBuilderTest, WorkedExamplesInBothGrammars)
{
    EXPECT_EQ(build(aviProfile()).commandText,
              "ffmpeg -i \"/v/clip.mp4\" -y -f avi -vcodec mpeg4 -vtag XVID -s 320x240 -r 25 -b 800000 "
              "-acodec libmp3lame -ab 128000 -ac 2 -ar 44100 \"" + out() + "/clip.avi\"");
    EXPECT_EQ(build(mp3Profile()).commandText,
              "ffmpeg -i \"/v/clip.mp4\" -y -f mp3 -acodec libmp3lame -ab 192000 -ar 44100 \"" + out() + "/clip.mp3\"");
    const EncoderCommand wmv = build(wmvProfile());
    EXPECT_EQ(wmv.commandText,
              "mencoder \"/v/clip.mp4\" -of lavf -lavfopts format=asf -ovc lavc -lavcopts vcodec=wmv2:vbitrate=800 "
              "-vf scale=320:240 -ofps 25 -oac lavc -lavcopts acodec=wmav2:abitrate=128 -srate 44100 -stereo 2 -o \""
                  + out() + "/clip.wmv\"");
    EXPECT_EQ(wmv.outputPath, out() + "/clip.wmv");
    EXPECT_EQ(wmv.targetFolder, out());
    // A dry run creates nothing, not even the output folder: the job claims its name itself.
    EXPECT_FALSE(std::filesystem::exists(out()));
}

TEST_F(CommandLineBuilderTest, StartedArgumentsOfTheAviExample)
{
    const EncoderCommand avi = build(aviProfile());
    EXPECT_EQ(avi.program, EncoderProgram::Ffmpeg);
    EXPECT_EQ(avi.arguments,
              (std::vector<std::string>{"/opt/enc/ffmpeg", "-nostdin", "-i", "file:/v/clip.mp4", "-y", "-f", "avi",
                                        "-vcodec", "mpeg4", "-vtag", "XVID", "-s", "320x240", "-r", "25", "-b:v",
                                        "800000", "-acodec", "libmp3lame", "-b:a", "128000", "-ac", "2", "-ar", "44100",
                                        "file:" + out() + "/clip.avi"}));
    EXPECT_TRUE(avi.notes.empty());
}

TEST_F(CommandLineBuilderTest, SizeFrameRateAndBitRateRules)
{
    for (const char16_t* noSize : {u"", u"默认"}) {
        ProfileRecord avi = aviProfile();
        profile::setFieldText(avi.videoSize, profile::kVideoSizeChars, noSize);
        EXPECT_FALSE(contains(build(avi).commandText, " -s "));
        ProfileRecord wmv = wmvProfile();
        profile::setFieldText(wmv.videoSize, profile::kVideoSizeChars, noSize);
        EXPECT_FALSE(contains(build(wmv).commandText, "-vf"));
    }

    ProfileRecord avi = aviProfile();
    avi.frameRate = 29.97f;
    EXPECT_TRUE(contains(build(avi).commandText, " -r 29 -b"));
    ProfileRecord wmv = wmvProfile();
    wmv.frameRate = 29.97f;
    EXPECT_TRUE(contains(build(wmv).commandText, " -ofps 29 -oac"));
    avi.frameRate = 0;
    wmv.frameRate = 0;
    EXPECT_FALSE(contains(build(avi).commandText, " -r "));
    EXPECT_FALSE(contains(build(wmv).commandText, "-ofps"));

    // 12.2 kbit/s is 12200 bit/s only when multiplied in single precision.
    avi.audioBitrate = 12.2f;
    wmv.audioBitrate = 12.2f;
    EXPECT_EQ(static_cast<int64_t>(static_cast<double>(12.2f) * 1000.0), 12199);
    EXPECT_TRUE(contains(build(avi).commandText, " -ab 12200 "));
    EXPECT_TRUE(contains(build(wmv).commandText, ":abitrate=12 "));
}

TEST_F(CommandLineBuilderTest, ChannelChoices)
{
    ProfileRecord avi = aviProfile();
    ProfileRecord wmv = wmvProfile();
    avi.audioChannels = wmv.audioChannels = profile::ChannelsMute;
    EXPECT_TRUE(contains(build(avi).commandText, " -ab 128000 -an -ar 44100"));
    EXPECT_FALSE(contains(build(wmv).commandText, "-stereo"));
    avi.audioChannels = wmv.audioChannels = profile::ChannelsDefault;
    EXPECT_TRUE(contains(build(avi).commandText, " -ab 128000 -ar 44100"));
    EXPECT_FALSE(contains(build(wmv).commandText, "-stereo"));
    avi.audioChannels = profile::ChannelsSurround;
    EXPECT_TRUE(contains(build(avi).commandText, " -ac 6 "));
    avi.audioChannels = -3;  // no channel option
    EXPECT_FALSE(contains(build(avi).commandText, " -ac "));
}

TEST_F(CommandLineBuilderTest, MissingHalvesAndDefaultCodecs)
{
    // A video-only type ignores its audio codec; an audio-only type its video codec.
    const std::string dv = build(makeProfile(9, 2, u"720x576", 0, 25.0f, 1, 48000, 128.0f, 3)).commandText;
    EXPECT_FALSE(contains(dv, "-acodec"));
    EXPECT_FALSE(contains(dv, "-ar"));
    EXPECT_FALSE(
        contains(build(makeProfile(18, 1, u"320x240", 800, 25.0f, 1, 44100, 128.0f, 3)).commandText, "-vcodec"));

    // Neither half: no codec options at all.
    EXPECT_EQ(build(makeProfile(35, 1, u"320x240", 800, 25.0f, 1, 44100, 128.0f, 3)).commandText,
              "ffmpeg -i \"/v/clip.mp4\" -y -f yuv4mpegpipe \"" + out() + "/clip.yuv4mpegpipe\"");

    // WMV falls back to its codecs when none is chosen.
    const std::string wmv = build(makeProfile(51, 0, u"", 0, 0.0f, 0, 0, 0.0f, 0)).commandText;
    EXPECT_TRUE(contains(wmv, "-lavcopts vcodec=wmv2 -oac lavc -lavcopts acodec=wmav2 -o"));

    // The GIF codec has no token: only -vcodec is left out.
    const std::string gif = build(makeProfile(14, 1, u"128x96", 0, 5.0f, 0, 0, 0.0f, 0)).commandText;
    EXPECT_EQ(gif,
              "ffmpeg -i \"/v/clip.mp4\" -y -f gif -pix_fmt rgb24 -loop_output 0 -s 128x96 -r 5 \"" + out()
                  + "/clip.gif\"");
}

TEST_F(CommandLineBuilderTest, TokensAreInsertedVerbatim)
{
    const std::string dvd = build(makeProfile(10, 2, u"720x576", 6000, 25.0f, 1, 48000, 448.0f, 3)).commandText;
    EXPECT_TRUE(contains(dvd, " -vcodec mpeg2video -target pal-dvd  -s 720x576"));
    EXPECT_TRUE(contains(dvd, "/clip.dvd\""));
    EXPECT_TRUE(contains(build(makeProfile(26, 1, u"320x240", 0, 0, 1, 0, 0, 0)).commandText, "/clip.psp\""));
    EXPECT_TRUE(contains(build(makeProfile(24, 0, u"", 0, 0, 1, 0, 0, 0)).outputPath, "/clip.ogg"));
    EXPECT_TRUE(contains(build(makeProfile(14, 1, u"", 0, 0, 0, 0, 0, 0)).outputPath, "/clip.gif"));
}

TEST_F(CommandLineBuilderTest, OutputNames)
{
    std::string reason;
    EXPECT_FALSE(builder_.build("clip.mp4", aviProfile(), out(), false, &reason).has_value());
    EXPECT_EQ(reason, "无法为 \"clip.mp4\" 生成输出文件名");
    EXPECT_EQ(build(aviProfile(), "/movie.tar.gz").outputPath, out() + "/movie.tar.avi");
    // A file name without an extension (the dot in a folder name does not count) keeps its whole
    // name, and so does a hidden file's.
    EXPECT_EQ(build(aviProfile(), "/a.b/movie").outputPath, out() + "/movie.avi");
    EXPECT_EQ(build(aviProfile(), "/v/recording").outputPath, out() + "/recording.avi");
    EXPECT_EQ(build(aviProfile(), "/v/.hidden").outputPath, out() + "/.hidden.avi");
    EXPECT_FALSE(builder_.build("/v/", aviProfile(), out(), false).has_value());

    // A conversion type outside the table is refused with a reason, not built into a broken line.
    ProfileRecord broken = aviProfile();
    broken.conversionType = 52;
    EXPECT_FALSE(builder_.build("/v/clip.mp4", broken, out(), false, &reason).has_value());
    EXPECT_EQ(reason, "转换类型 52 超出范围(0 到 51),无法转换");
    broken.conversionType = -1;
    EXPECT_FALSE(builder_.build("/v/clip.mp4", broken, out(), false).has_value());

    // An empty output folder means the source's folder, stored without a closing "/".
    const std::string source = (temp_.path() / "src" / "clip.mp4").string();
    std::filesystem::create_directory(temp_.path() / "src");
    const std::optional<EncoderCommand> beside = builder_.build(source, aviProfile(), "", false);
    ASSERT_TRUE(beside);
    EXPECT_EQ(beside->targetFolder, (temp_.path() / "src").string());
    EXPECT_EQ(beside->outputPath, (temp_.path() / "src" / "clip.avi").string());

    // A folder given with its closing "/" does not get a second one.
    EXPECT_EQ(builder_.build("/v/clip.mp4", aviProfile(), out() + "/", false)->outputPath, out() + "/clip.avi");
}

TEST_F(CommandLineBuilderTest, CounterSkipsTakenNamesAndStandsBeforeTheBracket)
{
    std::filesystem::create_directory(out());
    touch(out() + "/clip.avi");
    touch(out() + "/clip_1.avi");
    EXPECT_EQ(build(aviProfile()).outputPath, out() + "/clip_2.avi");

    EXPECT_EQ(build(aviProfile(), "/v/clip.mp4", true).outputPath, out() + "/clip [AVI 640x480].avi");
    touch(out() + "/clip [AVI 640x480].avi");
    touch(out() + "/clip_1 [AVI 640x480].avi");
    EXPECT_EQ(build(aviProfile(), "/v/clip.mp4", true).outputPath, out() + "/clip_2 [AVI 640x480].avi");

    // A dangling link holds its name too.
    std::filesystem::create_symlink(out() + "/nowhere", out() + "/clip_2.avi");
    EXPECT_EQ(build(aviProfile()).outputPath, out() + "/clip_3.avi");
}

TEST_F(CommandLineBuilderTest, ProfileNameCannotMoveTheOutputElsewhere)
{
    ProfileRecord avi = aviProfile();
    profile::setFieldText(avi.profileName, profile::kProfileTextChars, u"../../etc/x");
    EXPECT_EQ(build(avi, "/v/clip.mp4", true).outputPath, out() + "/clip [.._.._etc_x].avi");
}

TEST_F(CommandLineBuilderTest, NamesTheFileSystemCannotHoldAreRefused)
{
    const std::string longBase(NAME_MAX - 4, 'n');
    EXPECT_TRUE(builder_.build("/v/" + longBase + ".mp4", aviProfile(), out(), false).has_value());
    EXPECT_FALSE(builder_.build("/v/" + longBase + ".mp4", aviProfile(), out(), true).has_value());
    // Taken names push the counter past the limit.
    std::filesystem::create_directory(out());
    touch(out() + "/" + longBase + ".avi");
    EXPECT_FALSE(builder_.build("/v/" + longBase + ".mp4", aviProfile(), out(), false).has_value());

    std::string deepFolder = out();
    while (deepFolder.size() < PATH_MAX)
        deepFolder += "/deeper";
    EXPECT_FALSE(builder_.build("/v/clip.mp4", aviProfile(), deepFolder, false).has_value());
}

TEST_F(CommandLineBuilderTest, HostileNamesStaySingleArguments)
{
    const std::string quoted = "/v/a\" -f null -y \"b.mp4";
    const std::string dashed = "/v/-i.mp4";
    ProfileRecord avi = aviProfile();
    profile::setFieldText(avi.videoSize, profile::kVideoSizeChars, u"320x240 -f null -");

    for (const std::string& source : {quoted, dashed}) {
        const EncoderCommand command = build(avi, source);
        const std::vector<std::string>& argv = command.arguments;
        EXPECT_EQ(std::count(argv.begin(), argv.end(), "-f"), 1);
        EXPECT_EQ(std::count(argv.begin(), argv.end(), "null"), 0);
        const auto input = std::find(argv.begin(), argv.end(), "-i");
        ASSERT_NE(input, argv.end());
        EXPECT_EQ(*(input + 1), "file:" + source);
        EXPECT_EQ(argv.back(), "file:" + command.outputPath);
        const auto size = std::find(argv.begin(), argv.end(), "-s");
        ASSERT_NE(size, argv.end());
        EXPECT_EQ(*(size + 1), "320x240 -f null -");
    }
    EXPECT_EQ(build(avi, dashed).outputPath, out() + "/-i.avi");
}

TEST_F(CommandLineBuilderTest, ValuesFromDamagedProfilesAreBounded)
{
    ProfileRecord avi = aviProfile();
    avi.frameRate = std::numeric_limits<float>::infinity();
    avi.audioBitrate = std::numeric_limits<float>::quiet_NaN();
    avi.videoBitrate = std::numeric_limits<int32_t>::max();
    avi.videoCodec = 1000;
    avi.audioCodec = 1000;
    avi.audioChannels = 77;
    const EncoderCommand command = build(avi);
    EXPECT_TRUE(contains(command.commandText, " -r 9223372036854775807 -b 2147483647000 -acodec  -ar 44100 \""));
    // An audio codec past the list leaves the choice to ffmpeg rather than swallowing the next option.
    EXPECT_EQ(std::count(command.arguments.begin(), command.arguments.end(), "-acodec"), 0);
}

// The job asks the binding to prepare while the probe runs; if prepare() and build() disagreed on
// whether a profile needs ffmpeg's lists, the encoder would wait for them after all (or a rule
// would silently read an unknown set). Every type with every audio codec, with and without video.
TEST(CommandLineBuilderPrepareTest, PrepareAsksFfmpegExactlyWhenBuildWould)
{
    ::unsetenv("LUMARET_WMV_ENCODER");
    testsupport::TempDir temp;
    const EncoderBinding::Locations where{"/opt/enc/ffmpeg", "/opt/enc/mencoder", true, true};
    int asking = 0;
    int combinations = 0;
    for (int type = 0; type < profile::kConversionTypeCount; ++type) {
        for (int audio = 0; audio <= profile::audioCodecCount(type); ++audio) {
            for (int video = 0; video <= std::min(1, profile::videoCodecCount(type)); ++video) {
                const ProfileRecord record = makeProfile(type, video, u"", 0, 0.0f, audio, 0, 0.0f, 0);
                int prepared = 0;
                int built = 0;
                const EncoderBinding preparing(where, [&prepared](const std::string&) {
                    ++prepared;
                    return EncoderCapabilities::of({}, {});
                });
                const EncoderBinding building(where, [&built](const std::string&) {
                    ++built;
                    return EncoderCapabilities::of({}, {});
                });
                CommandLineBuilder(preparing).prepare(record);
                ASSERT_TRUE(CommandLineBuilder(building).build("/v/clip.mp4", record, temp.path().string(), false));
                EXPECT_EQ(prepared, built) << "type " << type << " audio " << audio << " video " << video;
                EXPECT_LE(prepared, 1);
                asking += prepared;
                ++combinations;
            }
        }
    }
    // AMR, vorbis, ffm and WMV ask; the common profiles do not.
    EXPECT_GT(asking, 0);
    EXPECT_LT(asking * 4, combinations);
}

TEST(CommandLineBuilderPrepareTest, CommonProfilesNeverRunFfmpegToTranslate)
{
    ::unsetenv("LUMARET_WMV_ENCODER");
    int asked = 0;
    const EncoderBinding binding(EncoderBinding::Locations{"/opt/enc/ffmpeg", "/opt/enc/mencoder", true, true},
                                 [&asked](const std::string&) {
                                     ++asked;
                                     return EncoderCapabilities::of({}, {});
                                 });
    const CommandLineBuilder builder(binding);
    testsupport::TempDir temp;
    EXPECT_TRUE(builder.build("/v/clip.mp4", aviProfile(), temp.path().string(), false));
    EXPECT_TRUE(builder.build("/v/clip.mp4", mp3Profile(), temp.path().string(), false));
    EXPECT_EQ(asked, 0);
    builder.prepare(wmvProfile());
    EXPECT_EQ(asked, 1);
    builder.prepare(wmvProfile());
    EXPECT_TRUE(builder.build("/v/clip.mp4", wmvProfile(), temp.path().string(), false));
    EXPECT_EQ(asked, 1);  // learnt once per binding
}
