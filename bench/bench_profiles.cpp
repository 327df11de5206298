// Loading and saving the profile files with the 103 built-in profiles, in a temporary data folder.
#include "profile/ProfileCatalogue.h"
#include "profile/ProfileFiles.h"
#include "profile/ProfileStore.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

// A data folder holding the files a first start writes; removed at exit.
class CatalogueFolder {
public:
    CatalogueFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumaret-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        folder_ = pattern;
        profile::ProfileStore store(folder_);
        store.loadAtStartup();
    }
    ~CatalogueFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::filesystem::path& path() const { return folder_; }

private:
    std::filesystem::path folder_;
};

const CatalogueFolder& folder()
{
    static const CatalogueFolder instance;
    return instance;
}

void BM_LoadProfiles(benchmark::State& state)
{
    const profile::ProfileFiles files(folder().path());
    std::array<unsigned char, profile::ProfileFiles::kHeaderSize> header{};
    for (auto _ : state) {
        profile::ProfileTree tree;
        files.load(tree, header, false);
        benchmark::DoNotOptimize(tree.profileCount());
    }
}
BENCHMARK(BM_LoadProfiles)->Unit(benchmark::kMicrosecond);

void BM_SaveProfiles(benchmark::State& state)
{
    const profile::ProfileFiles files(folder().path());
    std::array<unsigned char, profile::ProfileFiles::kHeaderSize> header{};
    profile::ProfileTree tree;
    files.load(tree, header, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(files.save(tree, header));
}
BENCHMARK(BM_SaveProfiles)->Unit(benchmark::kMicrosecond);

// A save whose header changes each time, so that profile.dat is really replaced (the save above
// finds both files unchanged and writes nothing).
void BM_SaveChangedProfiles(benchmark::State& state)
{
    const profile::ProfileFiles files(folder().path());
    std::array<unsigned char, profile::ProfileFiles::kHeaderSize> header{};
    profile::ProfileTree tree;
    files.load(tree, header, false);
    for (auto _ : state) {
        ++header[0];
        benchmark::DoNotOptimize(files.save(tree, header));
    }
}
BENCHMARK(BM_SaveChangedProfiles)->Unit(benchmark::kMicrosecond);

void BM_BuildCatalogue(benchmark::State& state)
{
    for (auto _ : state) {
        profile::ProfileTree tree;
        profile::buildCatalogue(tree);
        benchmark::DoNotOptimize(tree.profileCount());
    }
}
BENCHMARK(BM_BuildCatalogue)->Unit(benchmark::kMicrosecond);

// What the profile page does at start-up: load both files and save them back.
void BM_StartUp(benchmark::State& state)
{
    for (auto _ : state) {
        profile::ProfileStore store(folder().path());
        benchmark::DoNotOptimize(store.loadAtStartup());
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
