#include "app/CliCommands.h"

#include "app/CliText.h"
#include "app/ProfileChoice.h"
#include "app/SettingsStore.h"
#include "convert/ConversionQueue.h"
#include "convert/ConversionQueueLoop.h"
#include "convert/QueuedFile.h"
#include "convert/convertFile.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/Paths.h"
#include "profile/EncodingTables.h"
#include "profile/ProfileStore.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace app {

namespace {

struct ConvertArguments {
    std::optional<std::string> profileName;
    std::optional<std::string> outputFolder;
    std::optional<std::string> jobs;
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
        } else if (arg == "--jobs" && i + 1 < args.size()) {
            parsed.jobs = args[++i];
        } else {
            return std::nullopt;
        }
    }
    if (parsed.files.empty())
        return std::nullopt;
    return parsed;
}

// Per-file and overall progress: one line redrawn in place on a terminal (the file that reported
// last, when several convert at once), plain lines (one per tenth each file reaches) otherwise.
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
            return;
        }
        const auto tenth = lastTenth_.try_emplace(index, -1).first;
        if (shown / 10 > tenth->second) {
            tenth->second = shown / 10;
            out_ << "progress " << name << ' ' << shown << "% overall " << overall << "%\n" << std::flush;
        }
    }
    // Before the result line of the file in row `index`.
    void clear(size_t index)
    {
        if (terminal_ && drawn_)
            out_ << "\r\033[K" << std::flush;
        drawn_ = false;
        lastTenth_.erase(index);
    }

private:
    std::ostream& out_;
    bool terminal_;
    bool drawn_ = false;
    std::map<size_t, int> lastTenth_;  // per row that is converting
};

std::string lastLine(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == '\n')
        --end;
    const size_t begin = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1));
}

// The encoder's full text goes to standard error line by line, each line made printable.
void printLines(std::ostream& stream, const std::string& text)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        stream << printable(line) << '\n';
}

std::string sourceOf(const convert::convertFile& job)
{
    std::string source;
    uint64_t size = 0;
    job.getProbeInput(source, size);
    return source;
}

// The queue's listener: draws the running jobs' progress and prints each job's result as the
// queue reports its end. Rows that ended before the queue reached them in converting mode are
// printed by printRemaining().
class ConsoleReporter : public convert::ConversionQueueListener {
public:
    ConsoleReporter(std::ostream& out, std::ostream& err, bool terminal) : out_(out), err_(err), display_(out, terminal)
    {
    }
    void attach(const convert::ConversionQueue* queue) { queue_ = queue; }

    void onJobStateChanged(convert::convertFile* job, convert::JobState state) override
    {
        if (state == convert::JobState::Converting)
            onJobProgress(job, 0);
    }
    void onJobProgress(convert::convertFile* job, int percent) override
    {
        const int row = queue_->rowOf(job);
        if (row >= 0 && !printed_.count(job))
            display_.show(static_cast<size_t>(row), queue_->size(), printable(nameOf(*job)), percent);
    }
    void onJobFinished(convert::convertFile* job, convert::JobState) override { printResult(*job); }
    void onQueueEnded() override { ended_ = true; }

    bool ended() const { return ended_; }
    size_t failures() const { return failures_; }
    // Prints every row not printed yet, in row order.
    void printRemaining()
    {
        for (size_t row = 0; row < queue_->size(); ++row)
            printResult(*queue_->jobAt(row));
    }

private:
    static std::string nameOf(const convert::convertFile& job)
    {
        return std::filesystem::path(sourceOf(job)).filename().string();
    }

    void printResult(convert::convertFile& job)
    {
        if (!printed_.insert(&job).second)
            return;
        display_.clear(static_cast<size_t>(std::max(queue_->rowOf(&job), 0)));
        const std::string source = sourceOf(job);
        for (const std::string& note : job.getNotes())
            err_ << "note " << printable(source) << ": " << printable(note) << '\n';
        if (job.getState() == convert::JobState::Done) {
            out_ << "done " << printable(job.getOutputPath()) << '\n' << std::flush;
            return;
        }
        ++failures_;
        std::string reason;
        job.getMediaInfo(reason);
        out_ << "failed " << printable(source) << ": " << printable(lastLine(reason)) << '\n' << std::flush;
        if (reason.find('\n') != std::string::npos)
            printLines(err_, reason);
    }

    std::ostream& out_;
    std::ostream& err_;
    ProgressDisplay display_;
    const convert::ConversionQueue* queue_ = nullptr;
    std::set<const convert::convertFile*> printed_;
    size_t failures_ = 0;
    bool ended_ = false;
};

// An interrupted command-line conversion must not leave encoders behind: their groups are killed
// before the signal ends the program.
void endEncodersAndDie(int signal)
{
    platform::ChildProcess::killAllGroups();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The profile given with --profile, looked up by name; without one, the profile a file dropped on
// the conversion page gets (QueuedFile::build applies that rule).
const profile::ProfileRecord* chooseProfile(const profile::ProfileStore& store, const ConvertArguments& args,
                                            const OptionSettings& options)
{
    if (args.profileName)
        return store.findProfileByName(std::string_view(*args.profileName));
    return ProfileChoice::of(store, options).pick();
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

// The number of files converted at once: --jobs when given (a whole number from 1 to the
// processors' count, nothing else), else the settings' files_at_once.
std::optional<int> filesAtOnce(const ConvertArguments& args, const OptionSettings& options, std::ostream& err)
{
    if (!args.jobs)
        return options.filesAtOnce;
    const std::string& text = *args.jobs;
    const int most = convert::ConversionQueue::processorCount();
    const bool digits = !text.empty() && text.size() <= 3 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int count = digits ? std::stoi(text) : 0;
    if (count < 1 || count > most) {
        err << "lumaret-cli convert: --jobs takes a number from 1 to " << most << ", not \"" << printable(text)
            << "\"\n";
        return std::nullopt;
    }
    return count;
}

// Adds one file, as the conversion list adopts a file: absolute path, size, the chosen profile
// and folder. A file that cannot be read is reported as failed and not queued.
bool addFile(convert::ConversionQueue& queue, const std::string& file, const profile::ProfileRecord& record,
             const convert::QueuedFile::Placement& placement, std::ostream& out)
{
    std::error_code error;
    const std::filesystem::path source = std::filesystem::absolute(file, error);
    const std::string path = error ? file : source.string();
    const auto queued = convert::QueuedFile::build(path, &record, {}, placement);
    if (!queued) {
        out << "failed " << printable(path) << ": 读取文件 " << printable(path) << " 失败!\n" << std::flush;
        return false;
    }
    queue.addJob(*queued);
    return true;
}

}  // namespace

// Converts the files through the conversion queue, as the conversion page does: every file is
// queued to the media probe at once (so each is probed while others convert), and --jobs encoders
// (else the settings' files_at_once, normally 1) run at a time, taking the files in the order
// given. Prints "done OUTPUT" or "failed SOURCE: REASON" per file as it ends, and the encoder
// binding's substitution notes ("note SOURCE: TEXT") on standard error; paths are made printable.
// Exit status 0 when every file was converted. Sources are never deleted, whatever the settings say.
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
        err << "lumaret-cli convert: no profile named \"" << printable(parsed->profileName.value_or("")) << "\"\n";
        return kCliFailure;
    }
    const profile::ProfileRecord record = *chosen;
    if (!profile::conversionTypeDescriptor(record.conversionType)) {
        err << "lumaret-cli convert: the profile \"" << printable(profile::profileNameOf(record))
            << "\" has an unknown conversion type (" << record.conversionType << ")\n";
        return kCliFailure;
    }
    const std::string folderSetting = parsed->outputFolder ? *parsed->outputFolder : options.outputFolder;
    const std::optional<std::string> resolved = cliOutputFolder("convert", folderSetting, err);
    if (!resolved)
        return kCliUsage;
    const std::string& folder = *resolved;
    const std::optional<int> jobs = filesAtOnce(*parsed, options, err);
    if (!jobs)
        return kCliUsage;

    std::signal(SIGINT, endEncodersAndDie);
    std::signal(SIGTERM, endEncodersAndDie);
    std::signal(SIGHUP, endEncodersAndDie);

    // The queue's reports run here, on this thread, between waits for the next one.
    convert::ConversionQueueLoop loop;
    ConsoleReporter reporter(out, err, &out == &std::cout && ::isatty(STDOUT_FILENO));
    size_t failures = 0;
    size_t unreadable = 0;
    {
        convert::ConversionQueue queue(loop.poster(), &reporter);
        reporter.attach(&queue);
        const convert::QueuedFile::Placement placement{folder, options.appendProfileName != 0};
        for (const std::string& file : parsed->files)
            if (!addFile(queue, file, record, placement, out))
                ++unreadable;
        queue.setMaxConverting(*jobs);
        // Each success teaches the next run's estimates, the window's as well as this one's.
        queue.loadSpeedHistory(platform::Paths::dataDirectory());
        if (queue.start()) {
            while (!reporter.ended())
                loop.runOne();
        }
        reporter.printRemaining();
        failures = reporter.failures() + unreadable;
    }
    reportResourceUse(err);
    return failures == 0 ? kCliSuccess : kCliFailure;
}

}  // namespace app
