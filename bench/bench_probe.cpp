// The media probe against plain `ffmpeg -i` runs: 100 files probed through the list's worker
// (convertFileInfoThread, reading and parsing each output) versus 100 runs of the same command
// started directly with posix_spawn and their output thrown away.
#include "convert/EncoderBinding.h"
#include "convert/convertFile.h"
#include "convert/convertFileInfoThread.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kFiles = 100;

// A 2-second clip made once by ffmpeg's test sources.
const std::string& sampleClip()
{
    static const std::string clip = [] {
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "lumaret-bench-probe";
        std::filesystem::create_directories(folder);
        const std::string path = (folder / "clip.mp4").string();
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25:duration=2 "
                                    "-f lavfi -i sine=duration=2 -c:v mpeg4 -c:a aac -shortest '" + path + "'";
        if (std::system(command.c_str()) != 0)
            std::abort();
        return path;
    }();
    return clip;
}

void BM_ProbeThroughTheList(benchmark::State& state)
{
    const std::string clip = sampleClip();
    for (auto _ : state) {
        std::mutex mutex;
        std::condition_variable changed;
        int published = 0;
        std::vector<std::unique_ptr<convert::convertFile>> jobs;
        convert::convertFileInfoThread probe;
        probe.setDisposed(true);
        probe.start([&] {
            std::lock_guard lock(mutex);
            ++published;
            changed.notify_all();
        });
        for (int i = 0; i < kFiles; ++i) {
            jobs.push_back(std::make_unique<convert::convertFile>());
            jobs.back()->setDisposed(true);
            jobs.back()->setSource(clip, 1);
            probe.enqueue(jobs.back().get());
        }
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return published == kFiles; });
        lock.unlock();
        probe.stop();
    }
}

void BM_DirectFfmpeg(benchmark::State& state)
{
    const std::string clip = sampleClip();
    const std::string ffmpeg = convert::EncoderBinding::instance().locations().ffmpeg;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i) {
            std::vector<char*> argv = {const_cast<char*>(ffmpeg.c_str()), const_cast<char*>("-i"),
                                       const_cast<char*>(clip.c_str()), nullptr};
            pid_t pid = 0;
            if (posix_spawn(&pid, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ) != 0)
                std::abort();
            int status = 0;
            waitpid(pid, &status, 0);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

BENCHMARK(BM_ProbeThroughTheList)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_DirectFfmpeg)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
