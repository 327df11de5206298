// Every built-in profile converts a short generated clip with the encoders installed here, along
// the path the conversion list takes: one job per profile, probed by the list's media probe,
// started and followed through its listener. ffprobe then finds in each result the container and
// codecs the profile names (or the substitute the binding announces in its notes).
#include "convert/convertEvent.h"
#include "convert/convertFile.h"
#include "convert/convertFileInfoThread.h"
#include "platform/core/ChildProcess.h"
#include "profile/EncodingTables.h"
#include "profile/ProfileCatalogue.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>

using namespace convert;

namespace {

struct RunResult {
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

bool isFinal(JobState state)
{
    return state == JobState::Done || state == JobState::Failed || state == JobState::ProbeFailed;
}

// The listener of every job, as the list's would be: it only records, on whatever thread reports.
class Watcher : public convertEvent {
public:
    void onStateChanged(convertFile* job, JobState state) override
    {
        std::lock_guard lock(mutex_);
        if (isFinal(state)) {
            ++finished_;
            changed_.notify_all();
        }
        (void)job;
    }
    void onProgress(convertFile* job, int percent) override
    {
        std::lock_guard lock(mutex_);
        progress_[job].push_back(percent);
    }
    // Waits until `count` jobs have ended; false when nothing ended for two minutes (a hung
    // encoder must not hang the suite; this is no timing requirement).
    bool waitForFinished(size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(2), [&] { return finished_ >= count; });
    }
    std::vector<int> progressOf(convertFile* job)
    {
        std::lock_guard lock(mutex_);
        return progress_[job];
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t finished_ = 0;
    std::map<convertFile*, std::vector<int>> progress_;
};

// What went wrong with one profile's conversion; empty when it converted as expected.
std::string checkResult(convertFile& job, const profile::ProfileRecord& record, const std::vector<int>& progress)
{
    std::string reason;
    job.getMediaInfo(reason);
    if (job.getState() != JobState::Done)
        return "ended in state " + std::to_string(static_cast<int>(job.getState())) + ": " +
               reason.substr(reason.size() > 1500 ? reason.size() - 1500 : 0);

    std::string problems;
    if (job.getPercent() != 100)
        problems += " percent " + std::to_string(job.getPercent());
    // The reports follow the encoder's clock: they never go back, and the last is the 100 of the
    // finished conversion.
    bool forward = !progress.empty() && progress.back() == 100;
    for (size_t i = 1; i < progress.size(); ++i)
        forward = forward && progress[i] >= progress[i - 1] && progress[i - 1] >= 0;
    if (!forward) {
        problems += " progress";
        for (int percent : progress)
            problems += " " + std::to_string(percent);
    }

    const int t = record.conversionType;
    const Probe found = probe(job.getOutputPath());
    const std::string container = probedContainer(profile::conversionTypeFormat(t));
    if (found.container != container)
        problems += " container " + found.container + " (want " + container + ")";
    const std::string video = probedVideoCodec(profile::videoCodecToken(t, record.videoCodec));
    const auto videoStream = found.streams.find("video");
    if (videoStream == found.streams.end() || videoStream->second.first != video || videoStream->second.second < 5)
        problems += " video stream is not " + video + " with at least 5 packets";
    if (record.audioCodec >= 1) {
        bool substituted = false;
        for (const std::string& note : job.getNotes())
            substituted = substituted || note.find("writing AAC") != std::string::npos;
        const std::string audio = probedAudioCodec(profile::audioCodecToken(t, record.audioCodec), substituted);
        const auto audioStream = found.streams.find("audio");
        // Two seconds of audio are more than ten packets with any of these codecs (a file that
        // holds one audio packet is the known way WMV goes wrong).
        if (audioStream == found.streams.end() || audioStream->second.first != audio || audioStream->second.second < 10)
            problems += " audio stream is not " + audio + " with at least 10 packets";
    }
    return problems.empty() ? std::string() : job.getOutputPath() + ":" + problems;
}

}  // namespace

TEST(CatalogueConversionTest, EveryBuiltInProfileConvertsAClipThroughProbeAndJob)
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

    Watcher watcher;
    std::vector<std::unique_ptr<convertFile>> jobs;
    convertFileInfoThread prober;  // declared after the jobs: stopped before they go
    prober.setDisposed(true);
    prober.start(nullptr);
    for (size_t i = 0; i < records.size(); ++i) {
        auto job = std::make_unique<convertFile>();
        job->setDisposed(true);
        job->setSource(source, std::filesystem::file_size(source));
        job->setTargetFolder((temp.path() / std::to_string(i)).string());
        job->setProfile(records[i]);
        job->setListener(&watcher);
        prober.enqueue(job.get());
        jobs.push_back(std::move(job));
    }

    // Two conversions at a time: the profiles fix their frame sizes, so the clip cannot be made
    // smaller, and most encoders here use one core. A job whose probe failed ends at its start.
    size_t started = 0;
    for (size_t ended = 0; ended < jobs.size(); ++ended) {
        while (started < jobs.size() && started < ended + 2)
            jobs[started++]->start();
        ASSERT_TRUE(watcher.waitForFinished(ended + 1)) << "no conversion ended for two minutes";
    }
    prober.stop();

    bool someReportInTheMiddle = false;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const std::vector<int> progress = watcher.progressOf(jobs[i].get());
        for (int percent : progress)
            someReportInTheMiddle = someReportInTheMiddle || (percent > 0 && percent < 100);
        EXPECT_EQ(checkResult(*jobs[i], records[i], progress), "")
            << "profile " << i + 1 << " " << profile::profileNameOf(records[i]);
    }
    // A short clip often ends before ffmpeg's first periodic status line, but the longer encodes
    // here report on the way: the percentage follows the encoder while it runs.
    EXPECT_TRUE(someReportInTheMiddle);
}
