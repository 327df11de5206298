#include "convert/EncoderBinding.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

using namespace convert;

namespace {

using Words = std::vector<std::string>;

EncoderBinding::Locations fixedLocations() { return {"/opt/enc/ffmpeg", "/opt/enc/mencoder", true, true}; }

// Debian 12's ffmpeg as far as these tests care.
EncoderCapabilities debianCapabilities()
{
    return EncoderCapabilities::of({"aac", "libvorbis", "vorbis", "sonicls", "wmv2", "wmav2", "mpeg2video"},
                                   {"asf", "gif", "mmf", "3gp", "amr", "mp4", "ogg"});
}

EncoderOptions ffmpegOptions(int type, std::string format, std::string videoToken, std::string audioToken)
{
    EncoderOptions o;
    o.program = EncoderProgram::Ffmpeg;
    o.conversionType = type;
    o.sourcePath = "/in/clip.mp4";
    o.outputPath = "/out/clip.x";
    o.formatToken = std::move(format);
    o.typeHasVideo = true;
    o.typeHasAudio = true;
    o.videoOptions = !videoToken.empty();
    o.videoToken = std::move(videoToken);
    o.audioOptions = !audioToken.empty();
    o.audioToken = std::move(audioToken);
    return o;
}

EncoderOptions wmvOptions()
{
    EncoderOptions o = ffmpegOptions(51, "wmv", "wmv2", "wmav2");
    o.program = EncoderProgram::Mencoder;
    o.videoSize = "320x240";
    o.frameRate = 25;
    o.videoBitrateKbps = 800;
    o.audioBitrateKbps = 12;
    o.audioBitrateBps = 12200;
    o.sampleRate = 44100;
    o.channels = 2;
    return o;
}

// The words after the input and "-y", without the output argument.
Words middle(const EncoderCommand& command)
{
    const Words& argv = command.arguments;
    return Words(argv.begin() + 5, argv.end() - 1);
}

bool hasSequence(const Words& words, const Words& sequence)
{
    return std::search(words.begin(), words.end(), sequence.begin(), sequence.end()) != words.end();
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) { ::setenv(name, value.c_str(), 1); }
    ~ScopedEnvironment() { ::unsetenv(name_); }

private:
    const char* name_;
};

}  // namespace

TEST(EncoderBindingTest, AudioEncodersOfTheClassicGrammarTranslate)
{
    const EncoderBinding binding(fixedLocations(), debianCapabilities());
    EXPECT_EQ(middle(binding.translate(ffmpegOptions(19, "mp4", "mpeg4", "libfaac"))),
              (Words{"-f", "mp4", "-vcodec", "mpeg4", "-acodec", "aac"}));
    EXPECT_TRUE(hasSequence(middle(binding.translate(ffmpegOptions(25, "ogg", "libtheora", "vorbis"))),
                            {"-acodec", "libvorbis"}));
    const Words sonic = middle(binding.translate(ffmpegOptions(34, "wav", "", "sonicls")));
    EXPECT_TRUE(hasSequence(sonic, {"-acodec", "sonicls"}));
    EXPECT_TRUE(hasSequence(sonic, {"-strict", "-2"}));

    // Without libvorbis the native encoder needs experimental mode.
    const EncoderBinding bare(fixedLocations(), EncoderCapabilities::of({"vorbis"}, {"ogg"}));
    const Words vorbis = middle(bare.translate(ffmpegOptions(25, "ogg", "", "vorbis")));
    EXPECT_TRUE(hasSequence(vorbis, {"-acodec", "vorbis"}));
    EXPECT_TRUE(hasSequence(vorbis, {"-strict", "-2"}));
}

TEST(EncoderBindingTest, AmrUsesTheInstalledEncoderOrAacWithANote)
{
    EncoderOptions amr = ffmpegOptions(1, "3gp", "h263", "libamr_nb");
    amr.sampleRate = 8000;
    amr.channels = 1;
    amr.audioBitrateBps = 12200;

    const EncoderCommand substituted = EncoderBinding(fixedLocations(), debianCapabilities()).translate(amr);
    EXPECT_TRUE(hasSequence(middle(substituted), {"-acodec", "aac", "-b:a", "12200", "-ac", "1", "-ar", "8000"}));
    ASSERT_EQ(substituted.notes.size(), 1u);
    EXPECT_NE(substituted.notes[0].find("AAC"), std::string::npos);

    const EncoderBinding withAmr(fixedLocations(),
                                 EncoderCapabilities::of({"libopencore_amrnb", "libvo_amrwbenc"}, {}));
    EXPECT_TRUE(hasSequence(middle(withAmr.translate(amr)), {"-acodec", "libopencore_amrnb"}));
    EXPECT_TRUE(withAmr.translate(amr).notes.empty());
    amr.audioToken = "libamr_wb";
    EXPECT_TRUE(hasSequence(middle(withAmr.translate(amr)), {"-acodec", "libvo_amrwbenc"}));

    // The AMR container cannot take AAC: the encoder is asked for and the note says it will fail.
    EncoderOptions raw = ffmpegOptions(5, "amr", "", "libamr_nb");
    raw.typeHasVideo = false;
    const EncoderCommand missing = EncoderBinding(fixedLocations(), debianCapabilities()).translate(raw);
    EXPECT_TRUE(hasSequence(middle(missing), {"-acodec", "libopencore_amrnb"}));
    ASSERT_EQ(missing.notes.size(), 1u);
    EXPECT_NE(missing.notes[0].find("fail"), std::string::npos);
}

TEST(EncoderBindingTest, ContainerOptionsTranslate)
{
    const EncoderBinding binding(fixedLocations(), debianCapabilities());
    EncoderOptions gif = ffmpegOptions(14, "gif -pix_fmt rgb24 -loop_output 0", "", "");
    gif.typeHasAudio = false;
    EXPECT_EQ(middle(binding.translate(gif)), (Words{"-f", "gif", "-pix_fmt", "rgb8", "-loop", "0", "-an"}));

    EncoderOptions mmf = ffmpegOptions(15, "mmf", "", "adpcm_yamaha");
    mmf.typeHasVideo = false;
    mmf.channels = 2;
    EXPECT_EQ(middle(binding.translate(mmf)),
              (Words{"-f", "mmf", "-vn", "-acodec", "adpcm_yamaha", "-ac", "2", "-strict", "-2"}));

    const EncoderCommand ffm = binding.translate(ffmpegOptions(11, "ffm", "mpeg1video", "mp2"));
    EXPECT_TRUE(hasSequence(middle(ffm), {"-f", "nut"}));
    EXPECT_EQ(ffm.notes.size(), 1u);

    // The audio-only ogg token already drops the video.
    EncoderOptions ogg = ffmpegOptions(24, "ogg -vn", "", "vorbis");
    ogg.typeHasVideo = false;
    EXPECT_EQ(middle(binding.translate(ogg)), (Words{"-f", "ogg", "-vn", "-acodec", "libvorbis"}));
}

TEST(EncoderBindingTest, MpegVideoGetsStandardFrameRates)
{
    const EncoderBinding binding(fixedLocations(), debianCapabilities());
    EncoderOptions vcd = ffmpegOptions(31, "vcd", "mpeg1video -target ntsc-vcd ", "mp2");
    vcd.frameRate = 29;
    const EncoderCommand command = binding.translate(vcd);
    EXPECT_TRUE(hasSequence(middle(command), {"-vcodec", "mpeg1video", "-target", "ntsc-vcd", "-r", "30000/1001"}));
    EXPECT_EQ(command.notes.size(), 1u);
    vcd.frameRate = 25;
    EXPECT_TRUE(hasSequence(middle(binding.translate(vcd)), {"-r", "25"}));
    EXPECT_TRUE(binding.translate(vcd).notes.empty());
    vcd.frameRate = 18;  // not a standard rate: the nearest one
    EXPECT_TRUE(hasSequence(middle(binding.translate(vcd)), {"-r", "24000/1001"}));

    // Other encoders take the truncated rate as written.
    EncoderOptions avi = ffmpegOptions(8, "avi", "mpeg4", "");
    avi.frameRate = 29;
    EXPECT_TRUE(hasSequence(middle(binding.translate(avi)), {"-r", "29"}));
}

TEST(EncoderBindingTest, WmvRunsThroughFfmpegWhenItCanWriteIt)
{
    ::unsetenv("LUMARET_WMV_ENCODER");
    const EncoderBinding binding(fixedLocations(), debianCapabilities());
    const EncoderCommand wmv = binding.translate(wmvOptions());
    EXPECT_EQ(wmv.program, EncoderProgram::Ffmpeg);
    EXPECT_EQ(wmv.arguments.front(), "/opt/enc/ffmpeg");
    EXPECT_EQ(middle(wmv), (Words{"-f", "asf", "-vcodec", "wmv2", "-s", "320x240", "-r", "25", "-b:v", "800000",
                                  "-acodec", "wmav2", "-b:a", "12000", "-ar", "44100", "-ac", "2"}));
    EXPECT_EQ(wmv.arguments.back(), "file:/out/clip.x");

    // An ffmpeg without the WMV encoders leaves WMV to mencoder; so does the explicit choice.
    const EncoderBinding old(fixedLocations(), EncoderCapabilities::of({"aac"}, {"mp4"}));
    EXPECT_EQ(old.translate(wmvOptions()).program, EncoderProgram::Mencoder);
    ScopedEnvironment choice("LUMARET_WMV_ENCODER", "mencoder");
    EXPECT_EQ(binding.translate(wmvOptions()).program, EncoderProgram::Mencoder);
}

TEST(EncoderBindingTest, MencoderArguments)
{
    ScopedEnvironment choice("LUMARET_WMV_ENCODER", "mencoder");
    const EncoderBinding binding(fixedLocations(), debianCapabilities());
    EncoderOptions o = wmvOptions();
    o.sourcePath = "-clip.mp4";
    const EncoderCommand command = binding.translate(o);
    EXPECT_EQ(command.arguments,
              (Words{"/opt/enc/mencoder", "./-clip.mp4", "-of", "lavf", "-lavfopts", "format=asf", "-ovc", "lavc",
                     "-oac", "lavc", "-lavcopts", "vcodec=wmv2:vbitrate=800:acodec=wmav2:abitrate=12", "-vf",
                     "scale=320:240", "-ofps", "25", "-srate", "44100", "-channels", "2", "-o", "/out/clip.x"}));

    // A frame size that would add filters of its own is not passed on.
    o.videoSize = "320x240,eq2=2";
    const EncoderCommand hostile = binding.translate(o);
    EXPECT_EQ(std::count(hostile.arguments.begin(), hostile.arguments.end(), "-vf"), 0);
    EXPECT_EQ(hostile.notes.size(), 1u);
}

TEST(EncoderBindingTest, ProbeCommand)
{
    const EncoderBinding binding(fixedLocations(), debianCapabilities());
    const EncoderCommand probe = binding.probeCommand("/in/-y.avi");
    EXPECT_EQ(probe.commandText, "ffmpeg -i \"/in/-y.avi\"");
    EXPECT_EQ(probe.arguments, (Words{"/opt/enc/ffmpeg", "-hide_banner", "-nostdin", "-i", "file:/in/-y.avi"}));
    EXPECT_EQ(probe.program, EncoderProgram::Ffmpeg);

    // Several sources: one "-i" each, in order, in the vector and in the text alike.
    const EncoderCommand batch = binding.probeCommand(std::vector<std::string>{"/in/a.mp4", "-b.mkv", "/in/c d.avi"});
    EXPECT_EQ(batch.commandText, "ffmpeg -i \"/in/a.mp4\" -i \"-b.mkv\" -i \"/in/c d.avi\"");
    EXPECT_EQ(batch.arguments, (Words{"/opt/enc/ffmpeg", "-hide_banner", "-nostdin", "-i", "file:/in/a.mp4", "-i",
                                      "file:-b.mkv", "-i", "file:/in/c d.avi"}));
}

TEST(EncoderBindingTest, LocatesEncodersThroughTheEnvironmentAndKeepsBareNamesWhenMissing)
{
    testsupport::TempDir temp;
    const std::string fake = (temp.path() / "my-ffmpeg").string();
    std::ofstream(fake) << "#!/bin/sh\n";
    ::chmod(fake.c_str(), 0755);
    ScopedEnvironment ffmpeg("LUMARET_FFMPEG", fake);
    ScopedEnvironment path("PATH", temp.path().string());
    const EncoderBinding::Locations locations = EncoderBinding::locate();
    EXPECT_EQ(locations.ffmpeg, fake);
    EXPECT_TRUE(locations.ffmpegFound);
    EXPECT_EQ(locations.mencoder, "mencoder");
    EXPECT_FALSE(locations.mencoderFound);

    // Without ffmpeg nothing is run and the capabilities are unknown.
    const EncoderBinding missing(EncoderBinding::Locations{"ffmpeg", "mencoder", false, false});
    EXPECT_FALSE(missing.ffmpegCapabilities().known());
    EXPECT_EQ(missing.translate(ffmpegOptions(19, "mp4", "", "libfaac")).arguments.front(), "ffmpeg");
}

// The two listings are asked for side by side; each must land in its own list.
TEST(EncoderBindingTest, AsksTheInstalledFfmpegForBothListings)
{
    testsupport::TempDir temp;
    const std::string ffmpeg = (temp.path() / "ffmpeg").string();
    std::ofstream(ffmpeg) << "#!/bin/sh\n"
                             "case \"$2\" in\n"
                             "  -encoders) printf 'Encoders:\\n ------\\n A....D libopencore_amrnb  AMR-NB\\n' ;;\n"
                             "  -muxers) printf 'File formats:\\n --\\n  E ffm   FFM\\n' ;;\n"
                             "esac\n";
    ::chmod(ffmpeg.c_str(), 0755);
    const EncoderBinding binding(EncoderBinding::Locations{ffmpeg, "mencoder", true, false});
    const EncoderCapabilities& capabilities = binding.ffmpegCapabilities();
    EXPECT_TRUE(capabilities.known());
    EXPECT_TRUE(capabilities.hasEncoder("libopencore_amrnb"));
    EXPECT_FALSE(capabilities.hasMuxer("libopencore_amrnb"));
    EXPECT_TRUE(capabilities.hasMuxer("ffm"));
    EXPECT_FALSE(capabilities.hasEncoder("ffm"));
}

// The fake encoder's listings run to about 200 kB, many pipe reads; the names that matter come
// last and must still be found.
TEST(EncoderBindingTest, ReadsListingsLongerThanOnePipeRead)
{
    const EncoderBinding binding(EncoderBinding::Locations{LUMARET_FAKE_ENCODER, "mencoder", true, false});
    const EncoderCapabilities& capabilities = binding.ffmpegCapabilities();
    ASSERT_TRUE(capabilities.known());
    EXPECT_TRUE(capabilities.hasEncoder("fake_encoder_0000"));
    EXPECT_TRUE(capabilities.hasEncoder("fake_encoder_2999"));
    EXPECT_TRUE(capabilities.hasEncoder("libx264"));
    EXPECT_TRUE(capabilities.hasEncoder("mpeg4"));
    EXPECT_TRUE(capabilities.hasMuxer("fake_muxer_1500"));
    EXPECT_TRUE(capabilities.hasMuxer("asf"));
    EXPECT_FALSE(capabilities.hasMuxer("libx264"));
    EXPECT_FALSE(capabilities.hasEncoder("asf"));
}

TEST(EncoderCapabilitiesTest, ParsesTheListingsOfFfmpeg)
{
    const std::string encoders =
        "Encoders:\n V..... = Video\n A..... = Audio\n ------\n V....D libx264              libx264 H.264 / AVC\n"
        " A....D libmp3lame           libmp3lame MP3 (MPEG audio layer 3) (codec mp3)\n A..X.. vorbis  Vorbis\n";
    const std::string muxers = "File formats:\n D. = Demuxing supported\n .E = Muxing supported\n --\n"
                               "  E 3g2             3GP2\n"
                               "  E mp4             MP4 (MPEG-4 Part 14)\n";
    const EncoderCapabilities capabilities = EncoderCapabilities::parse(encoders, muxers);
    EXPECT_TRUE(capabilities.known());
    EXPECT_TRUE(capabilities.hasEncoder("libx264"));
    EXPECT_TRUE(capabilities.hasEncoder("vorbis"));
    EXPECT_FALSE(capabilities.hasEncoder("Video"));
    EXPECT_FALSE(capabilities.hasEncoder("V....."));
    EXPECT_TRUE(capabilities.hasMuxer("3g2"));
    EXPECT_FALSE(capabilities.hasMuxer("Muxing"));

    const EncoderCapabilities garbage = EncoderCapabilities::parse(std::string("\0\xff--\n\n   ", 9), "x");
    EXPECT_TRUE(garbage.known());
    EXPECT_FALSE(garbage.hasEncoder("--"));
}
