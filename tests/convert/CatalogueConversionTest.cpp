// Every built-in profile converts a short generated clip with the encoders installed here, and
// ffprobe finds in the result the container and codecs the profile names (or the substitute the
// binding announces in its notes).
#include "convert/CommandLineBuilder.h"
#include "convert/EncoderBinding.h"
#include "platform/ChildProcess.h"
#include "profile/EncodingTables.h"
#include "profile/ProfileCatalogue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>
#include <thread>

using namespace convert;

namespace {

struct RunResult {
    bool started = false;
    bool succeeded = false;
    std::string output;
};

RunResult runToEnd(const std::vector<std::string>& argv)
{
    RunResult result;
    platform::ChildProcess child;
    std::string error;
    if (!child.start(argv, platform::ChildProcess::kNiceNormal, &error)) {
        result.output = error;
        return result;
    }
    result.started = true;
    while (child.read(result.output) == platform::ChildProcess::ReadStatus::Data) {
    }
    result.succeeded = child.finish().success();
    return result;
}

// ffprobe's names for what the classic tokens write.
std::string probedVideoCodec(std::string_view token)
{
    const std::string codec(token.substr(0, token.find(' ')));
    static const std::map<std::string, std::string> kNames = {
        {"libxvid", "mpeg4"}, {"libx264", "h264"}, {"flv", "flv1"}, {"", "gif"}};
    const auto known = kNames.find(codec);
    return known == kNames.end() ? codec : known->second;
}

std::string probedAudioCodec(std::string_view token, bool substituted)
{
    if (substituted || token == "libfaac")
        return "aac";
    if (token == "libmp3lame")
        return "mp3";
    return std::string(token);
}

std::string probedContainer(std::string_view formatToken)
{
    const std::string format(formatToken.substr(0, formatToken.find(' ')));
    if (format == "mp4" || format == "mov" || format == "3gp" || format == "3g2" || format == "psp")
        return "mov,mp4,m4a,3gp,3g2,mj2";
    if (format == "vcd" || format == "svcd" || format == "dvd")
        return "mpeg";
    if (format == "wmv")
        return "asf";
    return format;
}

struct Probe {
    std::string container;
    std::map<std::string, std::pair<std::string, long>> streams;  // type -> codec, packets
};

Probe probe(const std::string& file)
{
    const RunResult run = runToEnd({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                                    "format=format_name:stream=codec_type,codec_name,nb_read_packets", "-of",
                                    "compact=p=0", "file:" + file});
    Probe result;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::map<std::string, std::string> fields;
        std::istringstream pieces(line);
        std::string piece;
        while (std::getline(pieces, piece, '|')) {
            const auto equals = piece.find('=');
            if (equals != std::string::npos)
                fields[piece.substr(0, equals)] = piece.substr(equals + 1);
        }
        if (fields.count("format_name"))
            result.container = fields["format_name"];
        else if (fields.count("codec_type"))
            result.streams[fields["codec_type"]] = {fields["codec_name"], std::atol(fields["nb_read_packets"].c_str())};
    }
    return result;
}

// What went wrong with one profile; empty when it converted as expected.
std::string convertAndCheck(const profile::ProfileRecord& record, const std::string& source, const std::string& folder)
{
    const std::optional<EncoderCommand> command = CommandLineBuilder().build(source, record, folder, false);
    if (!command)
        return "no command";
    const RunResult run = runToEnd(command->arguments);
    if (!run.succeeded)
        return "encoder failed: " + command->commandText + "\n" + run.output.substr(run.output.size() > 1500 ? run.output.size() - 1500 : 0);

    const int t = record.conversionType;
    const Probe found = probe(command->outputPath);
    std::string problems;
    const std::string container = probedContainer(profile::conversionTypeFormat(t));
    if (found.container != container)
        problems += " container " + found.container + " (want " + container + ")";
    const std::string video = probedVideoCodec(profile::videoCodecToken(t, record.videoCodec));
    const auto videoStream = found.streams.find("video");
    if (videoStream == found.streams.end() || videoStream->second.first != video || videoStream->second.second < 5)
        problems += " video stream is not " + video + " with at least 5 packets";
    if (record.audioCodec >= 1) {
        bool substituted = false;
        for (const std::string& note : command->notes)
            substituted = substituted || note.find("writing AAC") != std::string::npos;
        const std::string audio = probedAudioCodec(profile::audioCodecToken(t, record.audioCodec), substituted);
        const auto audioStream = found.streams.find("audio");
        // Two seconds of audio are more than ten packets with any of these codecs (a file that
        // holds one audio packet is the known way WMV goes wrong).
        if (audioStream == found.streams.end() || audioStream->second.first != audio || audioStream->second.second < 10)
            problems += " audio stream is not " + audio + " with at least 10 packets";
    }
    return problems.empty() ? std::string() : command->commandText + ":" + problems;
}

}  // namespace

TEST(CatalogueConversionTest, EveryBuiltInProfileConvertsAClip)
{
    testsupport::TempDir temp;
    const std::string source = (temp.path() / "clip.mp4").string();
    const RunResult clip = runToEnd({"ffmpeg", "-nostdin", "-v", "error", "-f", "lavfi", "-i",
                                     "testsrc=size=640x480:rate=25:duration=2", "-f", "lavfi", "-i",
                                     "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2", "-c:v", "mpeg4",
                                     "-q:v", "5", "-c:a", "aac", "-shortest", "-y", source});
    ASSERT_TRUE(clip.succeeded) << clip.output;

    const std::vector<profile::ProfileRecord> records = profile::catalogueRecords();
    ASSERT_EQ(records.size(), 103u);
    std::vector<std::string> problems(records.size());
    std::atomic<std::size_t> next{0};
    // Two conversions at a time: the profiles fix their frame sizes, so the clip cannot be made
    // smaller, and most encoders here use one core.
    auto worker = [&] {
        for (std::size_t i = next++; i < records.size(); i = next++)
            problems[i] = convertAndCheck(records[i], source, (temp.path() / std::to_string(i)).string());
    };
    std::thread other(worker);
    worker();
    other.join();

    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(problems[i], "") << "profile " << i + 1 << " " << profile::profileNameOf(records[i]);
}
