// The conversion list's journal with 10,000 rows: one atomic write (encode, write, fsync, rename,
// folder fsync), and one recovery at start-up (read, check, decode, and the recovery rules, which
// look at every source file). The sources are real files in a temporary folder.
#include "convert/JobState.h"
#include "convert/QueueJournal.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 10000;

// A data folder and 10,000 source files, with a list of rows as a long session would leave it:
// most waiting, some done or failed, one converting. Removed at exit.
class JournalFolder {
public:
    JournalFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumaret-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        folder_ = pattern;
        const std::filesystem::path sources = folder_ / "我的视频" / "2026 假期";
        std::filesystem::create_directories(sources);
        for (int i = 0; i < kRows; ++i) {
            convert::JournalRow row;
            row.sourcePath = (sources / ("家庭录像 片段 " + std::to_string(i) + ".mp4")).string();
            std::ofstream(row.sourcePath) << "clip";
            row.sourceSize = 4;
            row.targetFolder = (folder_ / "输出").string();
            row.state = i % 10 == 0   ? convert::JobState::Done
                        : i % 25 == 0 ? convert::JobState::Failed
                                      : convert::JobState::Waiting;
            if (row.state != convert::JobState::Waiting)
                row.outputPath = row.targetFolder + "/家庭录像 片段 " + std::to_string(i) + ".avi";
            if (row.state == convert::JobState::Failed)
                row.errorText = "编码器没有转换完整个文件: 转换到 00:01:02, 文件长 00:03:04";
            profile::setFieldText(row.profile.profileName, profile::kProfileTextChars, u"手机 MP4 视频 (320x240)");
            row.profile.conversionType = 8;
            rows_.push_back(std::move(row));
        }
    }
    ~JournalFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path data() const { return folder_ / "data"; }
    const std::vector<convert::JournalRow>& rows() const { return rows_; }

private:
    std::filesystem::path folder_;
    std::vector<convert::JournalRow> rows_;
};

const JournalFolder& folder()
{
    static const JournalFolder instance;
    return instance;
}

void BM_JournalWrite10000(benchmark::State& state)
{
    convert::QueueJournal journal(folder().data());
    for (auto _ : state) {
        if (!journal.save(folder().rows()))
            state.SkipWithError("the journal could not be written");
    }
    state.counters["bytes"] = static_cast<double>(convert::QueueJournal::encode(folder().rows()).size());
}
BENCHMARK(BM_JournalWrite10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JournalRecover10000(benchmark::State& state)
{
    convert::QueueJournal journal(folder().data());
    journal.save(folder().rows());
    for (auto _ : state) {
        convert::JournalContents contents = journal.load();
        const std::vector<convert::JournalRow> rows = convert::QueueJournal::recover(std::move(contents.rows));
        if (contents.damaged || rows.size() != folder().rows().size())
            state.SkipWithError("the journal did not come back whole");
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_JournalRecover10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
