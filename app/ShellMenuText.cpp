#include "app/ShellMenuText.h"

#include "profile/ProfileRecord.h"

namespace app {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::size_t kMaxFileNameBytes = 255;

int hexValue(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

bool hasControlCharacter(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

// The length of the UTF-8 text cut to at most `limit` bytes without splitting a character.
std::size_t cutPoint(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

}  // namespace

std::string ShellMenuText::identifierOf(std::u16string_view selector)
{
    std::string identifier;
    for (unsigned char byte : profile::toUtf8(selector)) {
        identifier.push_back(kHexDigits[byte >> 4]);
        identifier.push_back(kHexDigits[byte & 0x0F]);
    }
    return identifier;
}

std::optional<std::u16string> ShellMenuText::selectorOf(std::string_view identifier)
{
    if (identifier.empty() || identifier.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < identifier.size(); i += 2) {
        const int high = hexValue(identifier[i]);
        const int low = hexValue(identifier[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    if (!profile::isValidUtf8(bytes))
        return std::nullopt;
    return profile::toUtf16(bytes);
}

std::optional<std::string> ShellMenuText::commandWord(const std::string& programPath)
{
    if (programPath.empty() || !profile::isValidUtf8(programPath) || hasControlCharacter(programPath)
        || programPath.find_first_of("\"`$\\%") != std::string::npos)
        return std::nullopt;
    return "\"" + programPath + "\"";
}

std::string ShellMenuText::keyFileValue(std::string_view text)
{
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            value += "\\\\";
        else if (c == '\n')
            value += "\\n";
        else if (c == '\t')
            value += "\\t";
        else if (c == '\r')
            value += "\\r";
        else if (c == ' ' && i == 0)
            value += "\\s";
        else
            value.push_back(c);
    }
    return value;
}

std::string ShellMenuText::xmlText(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t')
            escaped.push_back(' ');  // not allowed in XML 1.0, even as a reference
        else
            escaped.push_back(c);
    }
    return escaped;
}

std::string ShellMenuText::scriptFileName(const std::string& label)
{
    std::string name;
    for (char c : label) {
        if (c == '/')
            name += "∕";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            name.push_back(' ');
        else
            name.push_back(c);
    }
    if (name.empty() || name.front() == '.')
        name = "．" + name;
    return name.substr(0, cutPoint(name, kMaxFileNameBytes));
}

}  // namespace app
