// How long after the encoder's status line the converting row shows its percentage: the program's
// main window (offscreen) converts a 40-second 640x480 clip with the default profile, using the
// installed ffmpeg. Each status line the job reads is stamped when the job hands it to the debug
// output (right after it has taken the percentage from it); each paint of the page that covers the
// row's bar is stamped with the percentage it draws. The delay of a line is the time to the first
// such paint that shows its percentage. Goal: at most 100 ms for every line.
// Usage: bench_row_repaint (needs ffmpeg on PATH).
#include "app/page/CLumaretDlg.h"
#include "convert/EncoderBinding.h"
#include "convert/JobState.h"
#include "convert/convertFile.h"
#include "convert/page/convertList.h"
#include "kxlib/ui/KXProgressbar.h"
#include "platform/gui/QtBridge.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Stamp {
    Clock::time_point at;
    int percent;
};

std::mutex stampsMutex;
std::vector<Stamp> lineStamps;   // a status line changed the job's percentage to `percent`
std::vector<Stamp> paintStamps;  // a paint over the row's bar drew `percent`
std::atomic<convert::convertFile*> watched{nullptr};

// Reads the debug output (standard error) and stamps each piece with a status line in it.
void readDebugOutput(int fd)
{
    char buffer[65536];
    int last = -1;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return;
        const auto now = Clock::now();
        convert::convertFile* job = watched.load();
        if (!job || std::string_view(buffer, static_cast<size_t>(got)).find("time=") == std::string_view::npos)
            continue;
        const int percent = job->getPercent();
        if (percent < 0 || percent == last)
            continue;
        last = percent;
        std::lock_guard lock(stampsMutex);
        lineStamps.push_back({now, percent});
    }
}

class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* page, convert::convertList& list) : page_(page), list_(list) {}

    bool eventFilter(QObject* target, QEvent* event) override
    {
        convert::convertFile* job = watched.load();
        if (target != page_ || event->type() != QEvent::Paint || !job)
            return false;
        const KXLib::KXProgressbar* bar = list_.progressBarOf(job);
        if (!bar || !static_cast<QPaintEvent*>(event)->rect().intersects(platform::toQRect(*bar->getRect())))
            return false;
        std::lock_guard lock(stampsMutex);
        paintStamps.push_back({Clock::now(), job->shownPercent()});
        return false;
    }

private:
    QWidget* page_;
    convert::convertList& list_;
};

double millisBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("lumaret-repaint-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch / "data");
    std::filesystem::create_directories(scratch / "config");
    const std::string clip = (scratch / "clip.mp4").string();
    const std::string make = "ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=40 -f lavfi -i "
                             "sine=duration=40 -c:v libx264 -preset ultrafast -c:a aac -shortest '" + clip + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg could not make the clip\n");
        return 1;
    }

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("LUMARET_DATA_DIR", (scratch / "data").c_str(), 1);
    ::setenv("LUMARET_CONFIG_DIR", (scratch / "config").c_str(), 1);
    ::setenv("LUMARET_DEBUG", "1", 1);
    // The debug output goes to standard error; the figures go to standard output.
    int debugPipe[2];
    if (::pipe(debugPipe) != 0 || ::dup2(debugPipe[1], STDERR_FILENO) < 0)
        return 1;
    ::close(debugPipe[1]);
    std::thread reader(readDebugOutput, debugPipe[0]);
    reader.detach();

    QApplication application(argc, argv);
    app::CLumaretDlg window(nullptr, nullptr);
    window.initDialog();
    window.getWindow()->show();
    window.convertPage.addFile(clip, nullptr);
    convert::convertList& list = window.convertPage.list();
    convert::convertFile* job = list.jobAt(0);
    watched.store(job);
    PaintWatch watch(platform::widgetOf(*window.convertPage.getWindow()), list);
    application.installEventFilter(&watch);

    // A loop of its own: the main window refuses the application's quit (it goes to the tray).
    QEventLoop loop;
    QTimer ended;
    QObject::connect(&ended, &QTimer::timeout, [&] {
        const convert::JobState state = job->getState();
        if (state == convert::JobState::Done || state == convert::JobState::Failed ||
            state == convert::JobState::ProbeFailed)
            loop.quit();
    });
    ended.start(200);
    const auto started = Clock::now();
    window.convertPage.startOrStop();
    loop.exec();
    std::printf("conversion: %.1f s\n", millisBetween(started, Clock::now()) / 1000.0);
    application.removeEventFilter(&watch);

    std::vector<double> delays;
    {
        std::lock_guard lock(stampsMutex);
        for (const Stamp& line : lineStamps) {
            // The percentage only grows during a run, so the first paint that shows at least this
            // one is the first to show it. The line is stamped by another thread, which may run
            // after the window thread has painted: such a paint counts as no delay.
            const auto shown = std::find_if(paintStamps.begin(), paintStamps.end(),
                                            [&](const Stamp& paint) { return paint.percent >= line.percent; });
            if (shown != paintStamps.end())
                delays.push_back(std::max(0.0, millisBetween(line.at, shown->at)));
        }
        std::printf("state %d; %zu percentages from status lines, %zu shown by a paint\n",
                    static_cast<int>(job->getState()), lineStamps.size(), delays.size());
    }
    std::sort(delays.begin(), delays.end());
    if (!delays.empty()) {
        std::printf("row repaint delay after a status line: median %.1f ms, 90th percentile %.1f ms, "
                    "longest %.1f ms (goal <= 100 ms)\n",
                    delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back());
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
