#include "app/CliCommands.h"

#include "app/SettingsStore.h"
#include "convert/convertFile.h"
#include "convert/convertFileInfoThread.h"
#include "platform/ChildProcess.h"
#include "platform/Paths.h"
#include "profile/ProfileStore.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace app {

namespace {

struct ConvertArguments {
    std::optional<std::string> profileName;
    std::optional<std::string> outputFolder;
    std::vector<std::string> files;
};

std::optional<ConvertArguments> parseArguments(const std::vector<std::string>& args)
{
    ConvertArguments parsed;
    bool onlyFiles = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyFiles || arg.empty() || arg[0] != '-') {
            parsed.files.push_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if ((arg == "--profile" || arg == "--output-dir") && i + 1 < args.size()) {
            (arg == "--profile" ? parsed.profileName : parsed.outputFolder) = args[++i];
        } else {
            return std::nullopt;
        }
    }
    if (parsed.files.empty())
        return std::nullopt;
    return parsed;
}

bool isFinal(int state)
{
    return state == convert::Done || state == convert::Failed || state == convert::ProbeFailed;
}

// The listener of every job: wakes the queue loop on each report.
class QueueWatcher : public convert::convertEvent {
public:
    void onStateChanged(convert::convertFile*, int) override
    {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }
    // Waits for the job's end, calling tick() at least every quarter second meanwhile to redraw
    // the progress.
    template <typename Tick>
    void waitForEnd(const convert::convertFile& job, Tick tick)
    {
        std::unique_lock lock(mutex_);
        while (!isFinal(job.getState())) {
            changed_.wait_for(lock, std::chrono::milliseconds(250));
            lock.unlock();
            tick();
            lock.lock();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Per-file and overall progress: one line redrawn in place on a terminal, plain lines (one per
// tenth reached) otherwise.
class ProgressDisplay {
public:
    ProgressDisplay(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

    void show(size_t index, size_t total, const std::string& name, int percent)
    {
        const int shown = percent < 0 ? 0 : percent;
        const int overall = static_cast<int>((index * 100 + static_cast<size_t>(shown)) / total);
        if (terminal_) {
            out_ << "\r\033[K[" << index + 1 << '/' << total << "] " << name << "  " << shown << "%  (overall "
                 << overall << "%)" << std::flush;
            drawn_ = true;
        } else if (shown / 10 > lastTenth_) {
            lastTenth_ = shown / 10;
            out_ << "progress " << name << ' ' << shown << "% overall " << overall << "%\n" << std::flush;
        }
    }
    // Before a result line, and before the next file.
    void clear()
    {
        if (terminal_ && drawn_)
            out_ << "\r\033[K" << std::flush;
        drawn_ = false;
        lastTenth_ = -1;
    }

private:
    std::ostream& out_;
    bool terminal_;
    bool drawn_ = false;
    int lastTenth_ = -1;
};

std::string lastLine(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '\n')
        --end;
    const size_t begin = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1));
}

// An interrupted command-line conversion must not leave encoders behind: their groups are killed
// before the signal ends the program.
void endEncodersAndDie(int signal)
{
    platform::ChildProcess::killAllGroups();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

const profile::ProfileRecord* chooseProfile(const profile::ProfileStore& store, const ConvertArguments& args,
                                            const OptionSettings& options)
{
    if (args.profileName)
        return store.findProfileByName(std::string_view(*args.profileName));
    // The profile a file dropped on the conversion page would get.
    return options.profileChoice == kUseDefaultProfile ? store.defaultProfile() : store.lastUsedProfile();
}

// With LUMARET_CLI_RUSAGE set, the CPU time of the converter itself (all its threads) and of the
// encoders it ran, for the benchmarks.
void reportResourceUse(std::ostream& err)
{
    if (!std::getenv("LUMARET_CLI_RUSAGE"))
        return;
    auto seconds = [](const rusage& use) {
        return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
               static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
    };
    rusage self {};
    rusage children {};
    ::getrusage(RUSAGE_SELF, &self);
    ::getrusage(RUSAGE_CHILDREN, &children);
    err << "rusage self=" << seconds(self) << " children=" << seconds(children) << '\n';
}

}  // namespace

// Converts the files one after another as the conversion list does: every file is queued to the
// media probe at once, then each job is started in turn and waited for. Prints "done OUTPUT" or
// "failed SOURCE: REASON" per file; exit status 0 when every file was converted. Sources are never
// deleted, whatever the settings say.
int runConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const std::optional<ConvertArguments> parsed = parseArguments(args);
    if (!parsed)
        return kCliUsage;

    // Only looked up: the profile files are left as they are (the profile page normalises them).
    profile::ProfileStore store;
    if (!store.load()) {
        err << "lumaret-cli convert: no profiles could be read\n";
        return kCliFailure;
    }
    const OptionSettings options = SettingsStore().loadOptions();
    const profile::ProfileRecord* chosen = chooseProfile(store, *parsed, options);
    if (!chosen) {
        err << "lumaret-cli convert: no profile named \"" << parsed->profileName.value_or("") << "\"\n";
        return kCliFailure;
    }
    const profile::ProfileRecord record = *chosen;
    const std::string folderSetting = parsed->outputFolder ? *parsed->outputFolder : options.outputFolder;
    const std::string folder = folderSetting.empty() ? std::string() : platform::Paths::expandHome(folderSetting).string();

    std::signal(SIGINT, endEncodersAndDie);
    std::signal(SIGTERM, endEncodersAndDie);
    std::signal(SIGHUP, endEncodersAndDie);

    QueueWatcher watcher;
    std::vector<std::unique_ptr<convert::convertFile>> jobs;
    convert::convertFileInfoThread probe;  // declared after the jobs: stopped before they go
    probe.setDisposed(true);
    probe.start(nullptr);
    for (const std::string& file : parsed->files) {
        std::error_code error;
        const std::filesystem::path source = std::filesystem::absolute(file, error);
        const auto size = std::filesystem::file_size(source, error);
        auto job = std::make_unique<convert::convertFile>();
        job->setDisposed(true);
        job->setSource(source.string(), error ? 0 : size);
        job->setTargetFolder(folder);
        job->setProfile(record);
        job->setAppendProfileName(options.appendProfileName != 0);
        job->setListener(&watcher);
        probe.enqueue(job.get());
        jobs.push_back(std::move(job));
    }

    const bool terminal = &out == &std::cout && ::isatty(STDOUT_FILENO);
    ProgressDisplay display(out, terminal);
    size_t failures = 0;
    for (size_t i = 0; i < jobs.size(); ++i) {
        convert::convertFile& job = *jobs[i];
        std::string source;
        uint64_t size = 0;
        job.getProbeInput(source, size);
        const std::string name = std::filesystem::path(source).filename().string();
        if (job.start())
            watcher.waitForEnd(job, [&] { display.show(i, jobs.size(), name, job.getPercent()); });
        display.clear();

        for (const std::string& note : job.getNotes())
            out << "note " << source << ": " << note << '\n';
        if (job.getState() == convert::Done) {
            out << "done " << job.getOutputPath() << '\n' << std::flush;
            continue;
        }
        ++failures;
        std::string reason;
        job.getMediaInfo(reason);
        out << "failed " << source << ": " << lastLine(reason) << '\n' << std::flush;
        if (reason.find('\n') != std::string::npos)
            err << reason << '\n';
    }
    probe.stop();
    reportResourceUse(err);
    return failures == 0 ? kCliSuccess : kCliFailure;
}

}  // namespace app
