#include "convert/QueuedFile.h"

#include "platform/core/Paths.h"
#include "platform/core/RegularFile.h"

#include <limits>

#include <unistd.h>

namespace convert {

std::optional<QueuedFile> QueuedFile::build(const std::string& path, const profile::ProfileRecord* given,
                                            const NewFileProfile& rule, const Placement& placement)
{
    uint64_t size = 0;
    const auto status = platform::RegularFile::check(path, std::numeric_limits<uint64_t>::max(), &size);
    if (status != platform::RegularFileStatus::Ok || ::access(path.c_str(), R_OK) != 0)
        return std::nullopt;
    const profile::ProfileRecord* record = given ? given : rule.pick();
    QueuedFile file;
    file.sourcePath = path;
    file.sourceSize = size;
    if (record)
        file.profile = *record;
    file.targetFolder = placement.targetFolder;
    file.appendProfileName = placement.appendProfileName;
    return file;
}

std::optional<std::string> QueuedFile::resolveFolder(const std::string& folder)
{
    if (folder.empty())
        return folder;
    const std::string expanded = platform::Paths::expandHome(folder).string();
    if (expanded.front() != '/')
        return std::nullopt;
    return expanded;
}

std::string QueuedFile::relativeFolderText(const std::string& folder)
{
    return "输出路径 \"" + folder + "\" 不是完整路径,请填写以 / 或 ~/ 开头的文件夹。";
}

}  // namespace convert
