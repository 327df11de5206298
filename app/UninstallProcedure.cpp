#include "app/UninstallProcedure.h"

#include "app/UninstallList.h"
#include "platform/core/ChildProcess.h"
#include "platform/core/DebugOutput.h"
#include "platform/core/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace app {

namespace fs = std::filesystem;

namespace {

// A desktop entry of ours is a few hundred bytes.
constexpr uint64_t kEntryCap = 256 * 1024;

// Removes the empty folders below `folder`, deepest first. Links to folders are not followed: they
// are entries like any file, and they keep their folder.
void removeEmptySubfolders(const fs::path& folder)
{
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (!it->is_symlink(kindError) && it->is_directory(kindError)) {
            removeEmptySubfolders(it->path());
            std::error_code removeError;
            fs::remove(it->path(), removeError);
        }
    }
}

// True for a desktop database that holds nothing but its group header: what the database tool
// writes for an applications folder without a single entry. A database that is not a small
// regular file is left alone.
bool namesNoProgram(const fs::path& database)
{
    std::string text;
    if (platform::RegularFile::read(database, kEntryCap, text) != platform::RegularFileStatus::Ok)
        return false;
    return UninstallList::trim(text) == "[MIME Cache]";
}

// Runs a helper program to its end; its output is not needed.
void runToEnd(const std::vector<std::string>& argv)
{
    platform::ChildProcess child;
    std::string error;
    if (!child.start(argv, 0, &error)) {
        platform::DebugOutput::line("uninstall: " + error);
        return;
    }
    std::string output;
    while (child.read(output) == platform::ChildProcess::ReadStatus::Data)
        output.clear();
    child.finish();
}

}  // namespace

UninstallProcedure::UninstallProcedure(fs::path installFolder, Progress progress)
    : installFolder_(std::move(installFolder)), progress_(std::move(progress))
{
}

UninstallProcedure::~UninstallProcedure() = default;

void UninstallProcedure::report(UninstallStage stage, long value)
{
    if (progress_)
        progress_(stage, value);
}

void UninstallProcedure::run()
{
    refused_.clear();
    scope_.emplace(UninstallScope::forInstallFolder(installFolder_));
    platform::RegularFileStatus status = platform::RegularFileStatus::Missing;
    const std::optional<UninstallList> list = UninstallList::read(scope_->listFile(), &status);
    if (!list) {
        const bool missing = status == platform::RegularFileStatus::Missing;
        report(missing ? UninstallStage::NoList : UninstallStage::ListUnreadable);
        return;
    }
    if (list->count() < 1) {
        report(UninstallStage::Finished);
        return;
    }
    // The note is one of the listed files, so it is read before they go.
    const std::optional<UninstallList> created = UninstallList::read(scope_->createdFile());
    report(UninstallStage::Range, long(list->count()) + kFixedSteps);
    unregisterMenus();
    report(UninstallStage::Step);
    removeListedFiles(list->lines());
    removeFile(scope_->listFile());
    report(UninstallStage::Step);
    removeDesktopFolderEntry();
    report(UninstallStage::Step);
    removeMenuEntries();
    report(UninstallStage::Step);
    removeIconsAndLink();
    refreshDesktopDatabase();
    report(UninstallStage::Step);
    removeEmptyFolders();
    if (created)
        removeCreatedLeftovers(created->lines());
    report(UninstallStage::Step);
    report(UninstallStage::Finished);
}

void UninstallProcedure::unregisterMenus()
{
    const fs::path helper = installFolder_ / kHelperName;
    if (::access(helper.c_str(), X_OK) != 0)
        return;
    // The helper is waited for: it takes the data folder's lock, which creates that folder, and a
    // helper still running after the folders are swept would leave the install folder behind.
    runToEnd({helper.string(), "unregister"});
}

void UninstallProcedure::removeListedFiles(const std::vector<std::string>& lines)
{
    const UninstallScope& scope = *scope_;
    for (const std::string& line : lines) {
        std::string reason;
        const std::optional<fs::path> target = scope.owned(line, &reason);
        // The list may name itself; it goes after the loop, once it has been read to its end.
        if (target && *target == scope.listFile())
            continue;
        if (target) {
            removeFile(*target);
        } else {
            refused_.push_back(line);
            platform::DebugOutput::line("uninstall: refused list line (" + reason + "): " + line);
        }
        report(UninstallStage::Step);
    }
}

void UninstallProcedure::removeFile(const fs::path& file)
{
    // unlink() removes a link itself and never a folder.
    if (::unlink(file.c_str()) != 0 && errno != ENOENT)
        platform::DebugOutput::line("uninstall: cannot remove " + file.string() + ": " + std::strerror(errno));
}

bool UninstallProcedure::entryIsOurs(const fs::path& entry) const
{
    // Another installation may have written an entry of the same name: ours names our folder.
    std::string text;
    std::error_code error;
    if (fs::is_symlink(entry, error))
        return true;
    if (platform::RegularFile::read(entry, kEntryCap, text) != platform::RegularFileStatus::Ok)
        return false;
    return text.find(scope_->installFolder().string() + "/") != std::string::npos;
}

void UninstallProcedure::removeDesktopFolderEntry()
{
    const fs::path& desktop = scope_->desktopFolder();
    if (!desktop.empty() && entryIsOurs(desktop / UninstallScope::kMenuEntry))
        removeFile(desktop / UninstallScope::kMenuEntry);
}

void UninstallProcedure::removeMenuEntries()
{
    const UninstallScope& scope = *scope_;
    for (const fs::path& data : scope.dataFolders()) {
        for (const char* name : {UninstallScope::kMenuEntry, UninstallScope::kUninstallEntry}) {
            const fs::path entry = data / "applications" / name;
            if (entryIsOurs(entry))
                removeFile(entry);
        }
    }
}

void UninstallProcedure::removeIconsAndLink()
{
    const UninstallScope& scope = *scope_;
    const fs::path userData = scope.dataFolders().front();
    for (int size : UninstallScope::kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        removeFile(userData / "icons" / "hicolor" / folder / "apps" / "lumaret.png");
    }
    // The link is ours when it leads into our folder; a "lumaret" of another installation stays.
    for (const fs::path& bin : scope.linkFolders()) {
        const fs::path link = bin / UninstallScope::kLinkName;
        std::error_code error;
        fs::path target = fs::read_symlink(link, error);
        if (error)
            continue;
        if (target.is_relative())
            target = bin / target;
        std::error_code resolveError;
        const fs::path folder = fs::weakly_canonical(target.parent_path(), resolveError);
        const fs::path relative = (folder / target.filename()).lexically_relative(scope.installFolder());
        if (!relative.empty() && *relative.begin() != "..")
            removeFile(link);
    }
}

void UninstallProcedure::refreshDesktopDatabase()
{
    const std::string tool = platform::ChildProcess::findProgram("update-desktop-database");
    const UninstallScope& scope = *scope_;
    const fs::path applications = scope.dataFolders().front() / "applications";
    std::error_code error;
    if (!tool.empty() && fs::is_directory(applications, error))
        runToEnd({tool, applications.string()});
}

void UninstallProcedure::removeEmptyFolders()
{
    const UninstallScope& scope = *scope_;
    if (!scope.ownsInside())
        return;
    removeEmptySubfolders(scope.installFolder());
    std::error_code error;
    fs::remove(scope.installFolder(), error);
}

void UninstallProcedure::removeCreatedLeftovers(const std::vector<std::string>& lines)
{
    std::vector<fs::path> folders;
    for (const std::string& line : lines) {
        const std::optional<fs::path> leftover = scope_->createdLeftover(line);
        if (!leftover)
            continue;
        if (leftover->filename() == UninstallScope::kDesktopDatabase) {
            if (namesNoProgram(*leftover))
                removeFile(*leftover);
        } else {
            folders.push_back(*leftover);
        }
    }
    // Deepest first, so that a folder emptied by removing its own subfolder goes too.
    std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) {
        return std::distance(a.begin(), a.end()) > std::distance(b.begin(), b.end());
    });
    for (const fs::path& folder : folders)
        ::rmdir(folder.c_str());   // only ever an empty folder, never a link
}

}  // namespace app
