#include "app/CliText.h"

#include "convert/QueuedFile.h"

#include <cstdio>

namespace app {

namespace {

std::string hexEscape(const char* prefix, unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%s%02X", prefix, value);
    return text;
}

}  // namespace

std::string printable(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
        case '\n':
            result += "\\n";
            continue;
        case '\r':
            result += "\\r";
            continue;
        case '\t':
            result += "\\t";
            continue;
        case '\\':
            result += "\\\\";
            continue;
        default:
            break;
        }
        if (byte < 0x20 || byte == 0x7F) {
            result += hexEscape("\\x", byte);
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080..U+009F: C1 controls, which some terminals obey (CSI is U+009B).
            result += hexEscape("\\u00", static_cast<unsigned char>(text[++i]));
        } else {
            result += static_cast<char>(byte);
        }
    }
    return result;
}

std::optional<std::string> cliOutputFolder(const char* command, const std::string& folder, std::ostream& err)
{
    std::optional<std::string> resolved = convert::QueuedFile::resolveFolder(folder);
    if (!resolved)
        err << "lumaret-cli " << command << ": the output folder \"" << printable(folder)
            << "\" is relative; give a full path (starting with / or ~/)\n";
    return resolved;
}

}  // namespace app
