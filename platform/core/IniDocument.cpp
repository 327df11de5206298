#include "platform/core/IniDocument.h"

#include <cstdint>

namespace platform {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

// The name of a "[section]" line, or nothing for other lines. A header without its closing
// bracket names the rest of the line, as the classic reader takes it.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    if (const auto close = line.find(']'); close != std::string_view::npos)
        line = line.substr(0, close);
    return trim(line);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
    std::size_t valueOffset;   // where the text after '=' starts in the line
};

std::optional<KeyLine> keyLine(std::string_view line)
{
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trim(line.substr(0, equals)), trim(line.substr(equals + 1)), equals + 1};
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

}  // namespace

IniDocument::IniDocument(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        byteOrderMark_ = kUtf8ByteOrderMark;
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    }
    while (!bytes.empty()) {
        const auto newline = bytes.find('\n');
        Line line;
        if (newline == std::string_view::npos) {
            line.text = bytes;
            bytes = {};
        } else {
            std::string_view text = bytes.substr(0, newline);
            line.end = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                line.end = "\r\n";
            }
            line.text = text;
            bytes.remove_prefix(newline + 1);
        }
        lines_.push_back(std::move(line));
    }
}

std::optional<IniDocument::Position> IniDocument::findSection(std::string_view section) const
{
    const std::string_view wanted = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i].text);
        if (!name || !equalNoCase(*name, wanted))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !sectionName(lines_[end].text))
            ++end;
        return Position{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const Position& position, std::string_view key) const
{
    const std::string_view wanted = trim(key);
    for (std::size_t i = position.sectionLine + 1; i < position.sectionEnd; ++i) {
        const auto parsed = keyLine(lines_[i].text);
        if (parsed && equalNoCase(parsed->key, wanted))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const
{
    const auto position = findSection(section);
    if (!position)
        return std::nullopt;
    const auto index = findKey(*position, key);
    if (!index)
        return std::nullopt;
    return std::string(keyLine(lines_[*index].text)->value);
}

std::string IniDocument::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const
{
    auto found = value(section, key);
    return found ? std::move(*found) : std::string(defaultValue);
}

int IniDocument::readInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const auto found = value(section, key);
    if (!found || found->empty())
        return defaultValue;
    return parseInt(*found);
}

int IniDocument::parseInt(std::string_view text)
{
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() >= 2 && text[0] == '0') {
        const char prefix = lowerAscii(text[1]);
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            text.remove_prefix(2);
    }
    // Unsigned arithmetic: overflow wraps instead of being undefined.
    uint32_t result = 0;
    for (const char c : text) {
        const int digit = digitValue(c);
        if (digit >= base)
            break;
        result = result * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    if (negative)
        result = 0u - result;
    return static_cast<int>(result);
}

std::string IniDocument::newLineEnd() const
{
    // New lines follow the file's own convention, judged by its first line.
    return (!lines_.empty() && lines_.front().end == "\r\n") ? "\r\n" : "\n";
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view sectionTrimmed = trim(section);
    const std::string_view keyTrimmed = trim(key);
    if (sectionTrimmed.empty() || keyTrimmed.empty() || hasLineBreak(section) || hasLineBreak(key) ||
        hasLineBreak(value) || keyTrimmed.find('=') != std::string_view::npos ||
        keyTrimmed.front() == ';' || keyTrimmed.front() == '[' ||
        sectionTrimmed.find(']') != std::string_view::npos)
        return false;

    const std::string end = newLineEnd();
    const auto position = findSection(sectionTrimmed);
    if (position) {
        if (const auto index = findKey(*position, keyTrimmed)) {
            Line& line = lines_[*index];
            line.text = line.text.substr(0, keyLine(line.text)->valueOffset) + std::string(value);
            return true;
        }
        // After the section's last non-blank line, so a blank separator before the next section
        // stays where it is.
        std::size_t insertAt = position->sectionEnd;
        while (insertAt > position->sectionLine + 1 && trim(lines_[insertAt - 1].text).empty())
            --insertAt;
        if (lines_[insertAt - 1].end.empty())
            lines_[insertAt - 1].end = end;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      Line{std::string(keyTrimmed) + "=" + std::string(value), end});
        return true;
    }

    if (!lines_.empty()) {
        if (lines_.back().end.empty())
            lines_.back().end = end;
        if (!trim(lines_.back().text).empty())
            lines_.push_back(Line{std::string(), end});
    }
    lines_.push_back(Line{"[" + std::string(sectionTrimmed) + "]", end});
    lines_.push_back(Line{std::string(keyTrimmed) + "=" + std::string(value), end});
    return true;
}

std::string IniDocument::bytes() const
{
    std::string result = byteOrderMark_;
    for (const Line& line : lines_) {
        result += line.text;
        result += line.end;
    }
    return result;
}

}  // namespace platform
