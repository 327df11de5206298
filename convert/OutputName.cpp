#include "convert/OutputName.h"

#include "platform/core/Paths.h"
#include "profile/EncodingTables.h"

#include <string_view>

namespace convert {

namespace {

// A profile name may hold any text; inside a file name a "/" would move the output into another
// folder, so it is written as "_".
std::string bracketText(const profile::ProfileRecord& record)
{
    std::string name = profile::profileNameOf(record);
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return " [" + name + "]";
}

// Two format tokens carry encoder options after the container's name ("gif -pix_fmt rgb24
// -loop_output 0", "ogg -vn"); only the name makes the extension.
std::string extensionOf(int conversionType)
{
    const std::string_view format = profile::conversionTypeFormat(conversionType);
    return "." + std::string(format.substr(0, format.find(' ')));
}

}  // namespace

std::optional<OutputName::SourceParts> OutputName::cutSource(const std::string& sourcePath)
{
    const size_t slash = sourcePath.rfind('/');
    if (slash == std::string::npos || slash + 1 == sourcePath.size())
        return std::nullopt;
    const std::string name = sourcePath.substr(slash + 1);
    const size_t dot = name.rfind('.');
    SourceParts parts;
    parts.folder = sourcePath.substr(0, slash);
    parts.base = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    return parts;
}

std::string OutputName::defaultFolder()
{
    return platform::Paths::expandHome("~/Lumaret_output").string();
}

std::optional<OutputName> OutputName::make(const std::string& sourcePath, const profile::ProfileRecord& profile,
                                           const std::string& targetFolder, bool appendProfileName,
                                           std::string* reason)
{
    const std::optional<SourceParts> parts = cutSource(sourcePath);
    if (!parts) {
        if (reason)
            *reason = "无法为 \"" + sourcePath + "\" 生成输出文件名";
        return std::nullopt;
    }

    OutputName name;
    name.folder_ = targetFolder.empty() ? parts->folder : targetFolder;
    name.folderWithSlash_ = name.folder_;
    if (name.folderWithSlash_.empty() || name.folderWithSlash_.back() != '/')
        name.folderWithSlash_ += '/';
    name.stem_ = parts->base;
    name.suffix_ = (appendProfileName ? bracketText(profile) : std::string()) + extensionOf(profile.conversionType);
    return name;
}

std::string OutputName::fileName(uint64_t n) const
{
    return stem_ + (n == 0 ? std::string() : "_" + std::to_string(n)) + suffix_;
}

std::string OutputName::path(uint64_t n) const
{
    return folderWithSlash_ + fileName(n);
}

}  // namespace convert
