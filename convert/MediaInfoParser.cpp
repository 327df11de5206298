#include "convert/MediaInfoParser.h"

#include <cstdlib>
#include <optional>
#include <string>

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

size_t indentationOf(std::string_view line)
{
    size_t blanks = 0;
    while (blanks < line.size() && (line[blanks] == ' ' || line[blanks] == '\t'))
        ++blanks;
    return blanks;
}

bool startsWith(std::string_view text, std::string_view head)
{
    return text.substr(0, head.size()) == head;
}

// The header names the input as ffmpeg's log prints it: control characters other than the line
// and page breaks become "?".
std::string headerNeedle(std::string_view inputName)
{
    std::string needle = "from '";
    for (const char c : inputName) {
        const auto byte = static_cast<unsigned char>(c);
        needle += (byte < 0x08 || (byte > 0x0D && byte < 0x20)) ? '?' : c;
    }
    return needle + "':";
}

// The part of a stream line from its kind ("Video:", "Audio:") on, when the line describes a
// stream of that kind.
std::optional<std::string_view> streamOfKind(std::string_view line, std::string_view streamHead,
                                             std::string_view kind)
{
    const std::string_view text = trimmed(line);
    // streamHead is "Stream #k"; then ":" or, in older builds, ".".
    if (!startsWith(text, streamHead) || text.size() <= streamHead.size() ||
        (text[streamHead.size()] != ':' && text[streamHead.size()] != '.'))
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

MediaInfoParser::MediaInfoParser(std::string_view inputName, size_t inputIndex)
    : inputHead_("Input #" + std::to_string(inputIndex) + ", "),
      streamHead_("Stream #" + std::to_string(inputIndex))
{
    if (inputName.find('\n') != std::string_view::npos)
        nameNeedle_ = headerNeedle(inputName);
}

MediaInfo MediaInfoParser::parse(std::string_view output, std::string_view inputName)
{
    MediaInfoParser parser(inputName);
    parser.feed(output);
    return parser.finish();
}

void MediaInfoParser::feed(std::string_view piece)
{
    while (!piece.empty()) {
        const size_t end = piece.find('\n');
        const std::string_view part = piece.substr(0, end);
        if (pending_.size() < kMaxLine)
            pending_.append(part.substr(0, kMaxLine - pending_.size()));
        if (end == std::string_view::npos)
            return;
        takeLine(pending_);
        pending_.clear();
        piece.remove_prefix(end + 1);
    }
}

MediaInfo MediaInfoParser::finish()
{
    if (!pending_.empty()) {
        takeLine(pending_);
        pending_.clear();
    }
    if (!haveDuration_ || badDuration_ || !video_)
        return MediaInfo{};
    MediaInfo result = result_;
    result.info = *video_;
    if (audio_)
        result.info += " " + *audio_;
    result.ok = true;
    return result;
}

void MediaInfoParser::takeLine(std::string_view line)
{
    switch (section_) {
    case Section::BeforeInput:
    case Section::InputName:
        takeHeaderLine(line);
        break;
    case Section::Input:
        takeInputLine(line);
        break;
    case Section::After:
        break;
    }
}

// Waits for our input's header; when the name holds line breaks, its lines are gathered
// until the whole name has passed.
void MediaInfoParser::takeHeaderLine(std::string_view line)
{
    if (section_ == Section::BeforeInput) {
        if (!startsWith(line, inputHead_))
            return;
        sawInput_ = true;
        if (nameNeedle_.empty()) {
            section_ = Section::Input;
            return;
        }
        header_.clear();
        section_ = Section::InputName;
    } else {
        header_ += '\n';
    }
    header_.append(line);
    // A header that never shows the name is not the answer about our file: nothing more counts.
    if (header_.find(nameNeedle_) != std::string::npos)
        section_ = Section::Input;
    else if (header_.size() > nameNeedle_.size() + kMaxLine)
        section_ = Section::After;
    if (section_ != Section::InputName)
        header_ = std::string();
}

void MediaInfoParser::takeInputLine(std::string_view line)
{
    if (startsWith(line, "Input #") || startsWith(line, "Output #") || startsWith(line, "At least one output")) {
        section_ = Section::After;
        return;
    }
    const int indent = static_cast<int>(indentationOf(line));
    // A metadata block is every line indented deeper than its "Metadata:" line: the values of
    // tags, continuation lines included, are never read as the file's facts.
    if (metadataIndent_ >= 0 && indent > metadataIndent_)
        return;
    metadataIndent_ = -1;
    const std::string_view text = trimmed(line);
    if (text == "Metadata:") {
        metadataIndent_ = indent;
        return;
    }
    if (startsWith(text, "Duration: ") && indent <= 2) {
        takeDuration(text);
        return;
    }
    if (!video_) {
        if (auto stream = streamOfKind(line, streamHead_, "Video:");
            stream && stream->find("(attached pic)") == std::string_view::npos)
            video_ = std::string(*stream);
    }
    if (!audio_) {
        if (auto stream = streamOfKind(line, streamHead_, "Audio:"))
            audio_ = std::string(*stream);
    }
}

// "Duration: 00:01:23.45, start: ..."; only the section's first duration line counts.
void MediaInfoParser::takeDuration(std::string_view text)
{
    if (haveDuration_)
        return;
    haveDuration_ = true;
    const size_t begin = 10;
    const size_t dot = text.find('.', begin);
    if (dot == std::string_view::npos || dot - begin >= 10) {
        badDuration_ = true;  // "Duration: N/A": no usable duration
        return;
    }
    result_.durationText = std::string(text.substr(begin, dot - begin));
    result_.durationSeconds = secondsOf(result_.durationText);
    result_.durationMillis = millisOf(result_.durationText, text.substr(dot + 1));
}

}  // namespace convert
