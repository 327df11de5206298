// How far the queue's time left is off on real ffmpeg: five test clips of different lengths with
// one profile, converted by a ConversionQueue. Right after the first file the queue's estimate for
// the rest is taken; the error is its distance from the time the rest then really takes, as a
// share of that time: "error_pct" is the median over the runs, "worst_pct" the largest. The speed
// history starts empty, as on a first run.
//
// The clips are made once by ffmpeg's test sources. Wall time on the awake clock is the truth
// here, so a machine busy with other work makes the figure worse, not better.
#include "convert/ConversionQueue.h"
#include "convert/ConversionQueueLoop.h"
#include "convert/JobState.h"
#include "platform/core/AwakeClock.h"
#include "profile/ProfileCatalogue.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kClipSeconds[] = {24, 36, 18, 45, 30};

std::filesystem::path benchFolder()
{
    return std::filesystem::temp_directory_path() / "lumaret-bench-time-left";
}

std::vector<std::string> makeClips()
{
    std::vector<std::string> clips;
    std::filesystem::create_directories(benchFolder() / "src");
    for (int seconds : kClipSeconds) {
        const std::string path = (benchFolder() / "src" / ("clip" + std::to_string(seconds) + ".mp4")).string();
        const std::string length = std::to_string(seconds);
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=size=640x480:rate=25:duration=" + length +
                                    " -f lavfi -i sine=duration=" + length + " -c:v mpeg4 -q:v 3 -c:a aac '" + path +
                                    "'";
        if (!std::filesystem::exists(path) && std::system(command.c_str()) != 0)
            std::abort();
        clips.push_back(path);
    }
    return clips;
}

profile::ProfileRecord aviProfile()
{
    for (const profile::ProfileRecord& record : profile::catalogueRecords())
        if (record.conversionType == 8)
            return record;
    std::abort();
}

class Listener : public convert::ConversionQueueListener {
public:
    void onJobProbed(convert::convertFile*) override { ++probed; }
    void onJobFinished(convert::convertFile*, convert::JobState state) override { finished.push_back(state); }
    void onQueueEnded() override { ended = true; }

    int probed = 0;
    bool ended = false;
    std::vector<convert::JobState> finished;
};

void BM_TimeLeftAfterFirstFile(benchmark::State& state)
{
    const std::vector<std::string> clips = makeClips();
    const profile::ProfileRecord record = aviProfile();
    const platform::AwakeClock& clock = platform::AwakeClock::system();
    std::vector<double> errors;
    for (auto _ : state) {
        std::filesystem::remove_all(benchFolder() / "out");
        std::filesystem::remove_all(benchFolder() / "data");
        std::filesystem::create_directories(benchFolder() / "data");
        convert::ConversionQueueLoop loop;
        Listener listener;
        convert::ConversionQueue queue(loop.poster(), &listener);
        queue.loadSpeedHistory(benchFolder() / "data");
        for (const std::string& clip : clips) {
            convert::convertFile job;
            job.setDisposed(true);
            job.setSource(clip, std::filesystem::file_size(clip));
            job.setTargetFolder((benchFolder() / "out").string());
            job.setProfile(record);
            queue.addJob(job);
        }
        while (listener.probed < static_cast<int>(clips.size()))
            loop.runOne();
        queue.start();
        while (listener.finished.size() < 1)
            loop.runOne();
        const std::optional<double> estimate = queue.timeLeft().queueSeconds;
        const int64_t from = clock.nowMillis();
        while (!listener.ended)
            loop.runOne();
        const double truth = static_cast<double>(clock.nowMillis() - from) / 1000.0;
        for (convert::JobState finished : listener.finished)
            if (finished != convert::JobState::Done)
                state.SkipWithError("a clip did not convert");
        if (!estimate) {
            state.SkipWithError("no estimate after the first file");
            break;
        }
        errors.push_back(std::abs(*estimate - truth) / truth);
        std::fprintf(stderr, "run %zu: estimate %.2f s, real %.2f s, error %.1f %%\n", errors.size(), *estimate,
                     truth, 100 * errors.back());
    }
    if (errors.empty())
        return;
    std::sort(errors.begin(), errors.end());
    state.counters["error_pct"] = 100 * errors[errors.size() / 2];
    state.counters["worst_pct"] = 100 * errors.back();
}

}  // namespace

BENCHMARK(BM_TimeLeftAfterFirstFile)->Iterations(5)->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
