#include "app/UninstallList.h"

#include <climits>

namespace app {

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

}  // namespace

std::string_view UninstallList::trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

int UninstallList::parseCount(std::string_view line)
{
    std::size_t i = line.find_first_not_of(kWhiteSpace);
    if (i == std::string_view::npos)
        return 0;
    bool negative = false;
    if (line[i] == '+' || line[i] == '-')
        negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        // Past the int range the value is clamped instead of wrapping into a different count.
        if (value > INT_MAX) {
            value = INT_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

UninstallList UninstallList::parse(std::string_view text)
{
    UninstallList list;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (first) {
            list.count_ = parseCount(line);
            first = false;
            continue;
        }
        const std::string_view trimmed = trim(line);
        if (!trimmed.empty())
            list.lines_.emplace_back(trimmed);
    }
    return list;
}

std::optional<UninstallList> UninstallList::read(const std::filesystem::path& file,
                                                 platform::RegularFileStatus* status)
{
    std::string bytes;
    const platform::RegularFileStatus result = platform::RegularFile::read(file, kMaxBytes, bytes);
    if (status)
        *status = result;
    if (result != platform::RegularFileStatus::Ok)
        return std::nullopt;
    return parse(bytes);
}

}  // namespace app
