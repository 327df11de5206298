// Painting the conversion list of the program's conversion page: one screenful out of 20 queued
// files against one out of 10,000, with the selected row (four lines and its buttons) in view.
// The list draws only the rows in view, so the two should cost about the same; the ratio is
// printed at the end (goal: at most 1.2).
#include "app/page/CLumaretDlg.h"
#include "convert/EncoderBinding.h"
#include "convert/EncoderCapabilities.h"
#include "platform/gui/DeviceContext.h"

#include "bench/RatioReporter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

std::filesystem::path scratch()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("lumaret-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// No encoder: every probe fails at once, so the rows stay as added and no process runs.
std::unique_ptr<convert::EncoderBinding> noEncoders()
{
    convert::EncoderBinding::Locations where;
    where.ffmpeg = where.mencoder = (scratch() / "no-such-encoder").string();
    return std::make_unique<convert::EncoderBinding>(where, convert::EncoderCapabilities());
}

void BM_ConvertListPaint(benchmark::State& state)
{
    const auto binding = noEncoders();
    app::CLumaretDlg window(nullptr, binding.get());
    window.initDialog();
    const std::string clip = (scratch() / "clip.mp4").string();
    std::ofstream(clip) << "not really a video";
    const int rows = static_cast<int>(state.range(0));
    for (int i = 0; i < rows; ++i)
        window.convertPage.addFile(clip, nullptr);
    convert::convertList& list = window.convertPage.list();
    list.verticalScrollbar().setPos(rows / 2);
    list.selectRow(list.firstVisibleRow() + 2);
    platform::DeviceContext dc(*list.getRect());
    for (auto _ : state) {
        list.draw(&dc);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ConvertListPaint)->Arg(20)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::setenv("LUMARET_DATA_DIR", (scratch() / "data").c_str(), 1);
    ::setenv("LUMARET_CONFIG_DIR", (scratch() / "config").c_str(), 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"BM_ConvertListPaint", {"20", "10000"}}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(scratch(), ignored);
    return 0;
}
