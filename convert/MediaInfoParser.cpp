#include "convert/MediaInfoParser.h"

#include <cstdlib>
#include <optional>

namespace convert {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Calls take(line) for each line of the first input's section (from "Input #0" up to the next
// input, the output section or ffmpeg's closing complaint); stops when take returns false.
template <typename Take>
void forEachInputLine(std::string_view output, Take take)
{
    size_t at = output.find("Input #0");
    if (at == std::string_view::npos)
        at = 0;
    bool first = true;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        if (end == std::string_view::npos)
            end = output.size();
        const std::string_view line = output.substr(at, end - at);
        if (!first && (line.rfind("Input #", 0) == 0 || line.rfind("Output #", 0) == 0 ||
                       line.rfind("At least one output", 0) == 0))
            return;
        first = false;
        if (!take(line))
            return;
        at = end + 1;
    }
}

// The part of a stream line from its kind ("Video:", "Audio:") on, when the line describes a
// stream of that kind.
std::optional<std::string_view> streamOfKind(std::string_view line, std::string_view kind)
{
    const std::string_view text = trimmed(line);
    if (text.rfind("Stream #", 0) != 0)
        return std::nullopt;
    const size_t at = text.find(kind);
    if (at == std::string_view::npos)
        return std::nullopt;
    return text.substr(at);
}

int64_t millisOf(std::string_view durationText, std::string_view fraction)
{
    int64_t millis = static_cast<int64_t>(MediaInfoParser::secondsOf(durationText)) * 1000;
    int64_t scale = 100;
    for (size_t i = 0; i < fraction.size() && i < 3 && fraction[i] >= '0' && fraction[i] <= '9'; ++i) {
        millis += (fraction[i] - '0') * scale;
        scale /= 10;
    }
    return millis;
}

}  // namespace

uint32_t MediaInfoParser::secondsOf(std::string_view durationText)
{
    auto number = [](std::string_view part) -> uint32_t {
        uint32_t value = 0;
        size_t i = 0;
        while (i < part.size() && part[i] == ' ')
            ++i;
        for (; i < part.size() && part[i] >= '0' && part[i] <= '9' && value < 100000000u; ++i)
            value = value * 10 + static_cast<uint32_t>(part[i] - '0');
        return value;
    };
    const size_t first = durationText.find(':');
    if (first == std::string_view::npos)
        return 0;
    const uint32_t hours = number(durationText.substr(0, first));
    const size_t second = durationText.find(':', first + 1);
    if (second == std::string_view::npos)
        return hours * 3600u;
    return hours * 3600u + number(durationText.substr(first + 1, second - first - 1)) * 60u +
           number(durationText.substr(second + 1));
}

MediaInfo MediaInfoParser::parse(std::string_view output)
{
    MediaInfo result;
    bool haveDuration = false;
    std::optional<std::string_view> video;
    std::optional<std::string_view> audio;
    forEachInputLine(output, [&](std::string_view line) {
        if (!haveDuration) {
            const size_t marker = line.find("Duration: ");
            if (marker != std::string_view::npos) {
                const size_t begin = marker + 10;
                const size_t dot = line.find('.', begin);
                if (dot == std::string_view::npos || dot - begin >= 10)
                    return false;  // "Duration: N/A": no usable duration
                result.durationText = std::string(line.substr(begin, dot - begin));
                result.durationSeconds = secondsOf(result.durationText);
                result.durationMillis = millisOf(result.durationText, line.substr(dot + 1));
                haveDuration = true;
                return true;
            }
        }
        if (!video) {
            if (auto stream = streamOfKind(line, "Video:"); stream && stream->find("(attached pic)") == std::string_view::npos)
                video = stream;
        }
        if (!audio)
            audio = streamOfKind(line, "Audio:");
        return true;
    });
    if (!haveDuration || !video)
        return MediaInfo{};
    result.info = std::string(*video);
    if (audio)
        result.info += " " + std::string(*audio);
    result.ok = true;
    return result;
}

}  // namespace convert
