// "add folder" on a folder of 10,000 files: the enumeration, one stat and one access check per
// file, and the entries appended; and the accept that turns them into conversion jobs. Both run on
// the window thread, so their time is how long the page does not answer.
#include "app/GatheredFiles.h"
#include "platform/core/MessagePresenter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path& folderOfTenThousand()
{
    static const fs::path folder = [] {
        fs::path dir = fs::temp_directory_path() / ("lumaret-bench-folder-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        for (int i = 0; i < 10000; ++i)
            std::ofstream(dir / ("clip" + std::to_string(i) + ".mp4")) << i;
        return dir;
    }();
    return folder;
}

void AddFolderOfTenThousand(benchmark::State& state)
{
    const std::string folder = folderOfTenThousand().string();
    for (auto _ : state) {
        app::GatheredFiles files;
        benchmark::DoNotOptimize(files.addFolder(folder).added);
    }
}
BENCHMARK(AddFolderOfTenThousand)->Unit(benchmark::kMillisecond);

void AcceptTenThousand(benchmark::State& state)
{
    app::GatheredFiles files;
    files.addFolder(folderOfTenThousand().string());
    for (auto _ : state)
        benchmark::DoNotOptimize(files.prepareAccept(false, nullptr, nullptr));
}
BENCHMARK(AcceptTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(folderOfTenThousand(), ignored);
    return 0;
}
