#include "convert/OpenTarget.h"

#include <filesystem>
#include <system_error>

namespace convert {

namespace {

std::string withName(const char* text, const std::string& path)
{
    // The box shows one line: the file's own name says which file without a long folder path.
    std::string name = std::filesystem::path(path).filename().string();
    if (name.empty())
        name = path;
    std::string sentence = text;
    sentence.replace(sentence.find("%s"), 2, name);
    return sentence;
}

}  // namespace

OpenTarget::Outcome OpenTarget::open(const std::string& path, const std::function<bool(const std::string&)>& desktop)
{
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return Outcome::Missing;
    return desktop(path) ? Outcome::Done : Outcome::Refused;
}

std::string OpenTarget::notice(Outcome outcome, Action action, const std::string& path)
{
    switch (outcome) {
    case Outcome::Done: return {};
    case Outcome::Missing: return withName(kMissing, path);
    case Outcome::Refused: return withName(action == Action::Open ? kNoProgram : kNoFileManager, path);
    }
    return {};
}

}  // namespace convert
