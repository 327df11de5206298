#include "app/HandOver.h"

#include "app/CommandFolder.h"
#include "app/GatheredFiles.h"
#include "convert/ConversionQueue.h"
#include "profile/ProfileStore.h"

#include <algorithm>
#include <iterator>

namespace app {

namespace {

HandOver::Step message(std::string text) { return HandOver::Step{HandOver::Step::Kind::Message, std::move(text), {}}; }

HandOver::Step refusal(std::string text)
{
    HandOver::Step step = message(std::move(text));
    step.refusal = true;
    return step;
}

HandOver::Result tell(std::string text)
{
    HandOver::Result result;
    result.steps.push_back(message(std::move(text)));
    return result;
}

}  // namespace

std::string HandOver::readFailedText(const std::string& path) { return kAddFailedPrefix + path + kAddFailedSuffix; }

HandOver::Result HandOver::run(const std::vector<std::string>& arguments, const std::filesystem::path& commandFile,
                               const profile::ProfileStore& profiles, const OptionSettings& options,
                               const std::filesystem::path& startFolder)
{
    switch (CommandFile::launchKind(arguments)) {
    case CommandFile::Launch::Normal: return {};
    case CommandFile::Launch::BadArguments: return tell(CommandFile::kBadArgumentsText);
    case CommandFile::Launch::OpenFiles:
        return fromContents(CommandFile::openedFiles(arguments, startFolder), profiles, options);
    case CommandFile::Launch::HandOver: break;
    }
    Result result;
    bool taken = false;
    for (const CommandFile::Contents& waiting : CommandFolder::take(CommandFolder::besideFile(commandFile))) {
        const bool handedOver =
            waiting.status == CommandFile::Status::Ok || waiting.status == CommandFile::Status::BadFirstRecord;
        taken = taken || handedOver;
        append(result, fromContents(waiting, profiles, options));
    }
    if (!taken)
        append(result, fromContents(CommandFile::read(commandFile), profiles, options));
    return result;
}

HandOver::Result HandOver::runInto(convert::ConversionQueue& queue, const std::vector<std::string>& arguments,
                                   const std::filesystem::path& commandFile, const profile::ProfileStore& profiles,
                                   const OptionSettings& options, const std::filesystem::path& startFolder)
{
    Result result = run(arguments, commandFile, profiles, options, startFolder);
    const bool anyFile = std::any_of(result.steps.begin(), result.steps.end(),
                                     [](const Step& step) { return step.kind == Step::Kind::QueueFile; });
    if (anyFile && queue.isConverting()) {
        result.refusedWhileConverting = true;
        return result;
    }
    for (const Step& step : result.steps)
        if (step.kind == Step::Kind::QueueFile)
            queue.addJob(step.file);
    result.filesQueued = true;
    return result;
}

void HandOver::append(Result& into, Result from)
{
    into.readCommandFile = into.readCommandFile || from.readCommandFile;
    into.showAddFiles = into.showAddFiles || from.showAddFiles;
    into.startConversion = into.startConversion || from.startConversion;
    std::move(from.steps.begin(), from.steps.end(), std::back_inserter(into.steps));
    if (!from.refusalBox.empty())
        into.refusalBox += (into.refusalBox.empty() ? "" : "\n") + from.refusalBox;
}

HandOver::Result HandOver::fromContents(const CommandFile::Contents& contents, const profile::ProfileStore& profiles,
                                        const OptionSettings& options)
{
    switch (contents.status) {
    case CommandFile::Status::Missing:
    case CommandFile::Status::Unreadable: return {};
    case CommandFile::Status::NotRegular:
    case CommandFile::Status::TooLarge: return tell(contents.problem);
    case CommandFile::Status::BadFirstRecord: return tell(CommandFile::kBadArgumentsText);
    case CommandFile::Status::Ok: break;
    }
    Result result;
    result.readCommandFile = true;
    if (contents.mode == CommandFile::Mode::Custom)
        customMode(contents, result);
    else
        profileMode(contents, profiles, options, result);
    // In custom mode the files only reach the add-files page, so nothing waits in the conversion
    // list yet: an automatic start would only tell the user that nothing is there.
    result.startConversion = contents.mode != CommandFile::Mode::Custom && options.autoConvertOnAdd != 0;
    return result;
}

void HandOver::customMode(const CommandFile::Contents& contents, Result& result)
{
    result.showAddFiles = !contents.paths.empty();
    std::vector<std::string> refused;
    for (const CommandFile::Path& path : contents.paths) {
        if (path.skipped) {
            result.steps.push_back(refusal(GatheredFiles::addFailedText(path.shown)));
            refused.push_back(path.shown);
        } else {
            result.steps.push_back(Step{Step::Kind::GatherFile, path.bytes, {}});
        }
    }
    result.refusalBox = GatheredFiles::refusedPathsText("添加文件 ", refused);
}

void HandOver::profileMode(const CommandFile::Contents& contents, const profile::ProfileStore& profiles,
                           const OptionSettings& options, Result& result)
{
    // A selector cut to the buffer's length names no profile, even when a shorter name matches it.
    const profile::ProfileRecord* chosen = contents.mode == CommandFile::Mode::Profile
                                               ? profiles.findProfileByName(std::string_view(contents.selectorUtf8()))
                                               : nullptr;
    if (!chosen) {
        result.steps.push_back(message(contents.selectorUtf8() + CommandFile::kNoSuchProfileSuffix));
        chosen = profiles.defaultProfile();
    }
    // Files from the file manager are written beside their sources, named as the options say.
    const convert::QueuedFile::Placement besideSource{std::string(), options.appendProfileName != 0};
    std::vector<std::string> refused;
    for (const CommandFile::Path& path : contents.paths) {
        if (path.skipped) {
            result.steps.push_back(refusal(readFailedText(path.shown)));
            refused.push_back(path.shown);
            continue;
        }
        auto file = convert::QueuedFile::build(path.bytes, chosen, {}, besideSource);
        if (file) {
            result.steps.push_back(Step{Step::Kind::QueueFile, {}, std::move(*file)});
        } else {
            result.steps.push_back(refusal(readFailedText(path.bytes)));
            refused.push_back(path.bytes);
        }
    }
    result.refusalBox = GatheredFiles::refusedPathsText(kAddFailedPrefix, refused);
}

}  // namespace app
