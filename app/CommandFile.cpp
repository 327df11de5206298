#include "app/CommandFile.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Paths.h"
#include "platform/core/RegularFile.h"
#include "profile/ProfileRecord.h"


#include <algorithm>

namespace app {

namespace {

constexpr char16_t kStrayByteBase = 0xDC00;
constexpr char32_t kReplacement = 0xFFFD;
// How much of a skipped path its message shows.
constexpr std::size_t kShownChars = 120;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool isStrayByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// Reads records one after another from the file's bytes without copying them.
class RecordReader {
public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

    // The text of the next record up to its first NUL, as raw UTF-16LE bytes (an odd last byte
    // of a record cannot form a character and is dropped). False at the end of the file or when
    // the record is cut short: a partial record is never used.
    bool next(std::string_view& text)
    {
        if (bytes_.size() - position_ < 4)
            return false;
        uint32_t length = 0;
        for (int k = 3; k >= 0; --k)
            length = (length << 8) | static_cast<unsigned char>(bytes_[position_ + k]);
        if (bytes_.size() - position_ - 4 < length)
            return false;
        text = bytes_.substr(position_ + 4, length & ~uint32_t(1));
        for (std::size_t i = 0; i < text.size(); i += 2) {
            if (text[i] == '\0' && text[i + 1] == '\0') {
                text = text.substr(0, i);
                break;
            }
        }
        position_ += 4 + std::size_t(length);
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

char16_t unitAt(std::string_view utf16le, std::size_t index)
{
    return static_cast<char16_t>(static_cast<unsigned char>(utf16le[2 * index])
                                 | (static_cast<unsigned char>(utf16le[2 * index + 1]) << 8));
}

std::u16string unitsOf(std::string_view utf16le, std::size_t maxUnits)
{
    const std::size_t count = std::min(utf16le.size() / 2, maxUnits);
    std::u16string text(count, u'\0');
    for (std::size_t i = 0; i < count; ++i)
        text[i] = unitAt(utf16le, i);
    return text;
}

// The first maxUnits units, one fewer when the cut would split a surrogate pair.
std::u16string cutText(std::string_view utf16le, std::size_t maxUnits)
{
    std::u16string text = unitsOf(utf16le, maxUnits);
    if (utf16le.size() / 2 > maxUnits && !text.empty() && isHighSurrogate(text.back()))
        text.pop_back();
    return text;
}

CommandFile::Path pathOf(std::string_view utf16le)
{
    CommandFile::Path path;
    // Every unit stands for at least one byte of the path, so a record with more units than the
    // limit has bytes need not be decoded to be refused.
    if (utf16le.size() / 2 <= CommandFile::kMaxPathBytes)
        path.bytes = CommandFile::textToPath(unitsOf(utf16le, CommandFile::kMaxPathBytes));
    if (utf16le.size() / 2 > CommandFile::kMaxPathBytes || path.bytes.size() > CommandFile::kMaxPathBytes) {
        path.bytes.clear();
        path.skipped = true;
        path.shown = profile::toUtf8(cutText(utf16le, kShownChars)) + "…";
    }
    return path;
}

void appendRecord(std::string& out, std::u16string_view text)
{
    const uint32_t length = static_cast<uint32_t>(text.size() * 2);
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<char>((length >> (8 * k)) & 0xFF));
    for (char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
}

}  // namespace

CommandFile::Contents CommandFile::openedFiles(const std::vector<std::string>& argv,
                                               const std::filesystem::path& startFolder)
{
    Contents contents;
    contents.status = Status::Ok;
    contents.mode = Mode::Custom;
    contents.selector = kCustomSelector;
    const auto option = std::find(argv.begin(), argv.end(), kOpenOption);
    for (auto it = option == argv.end() ? argv.end() : option + 1; it != argv.end(); ++it) {
        const std::filesystem::path given(*it);
        // Not normalised: "x/../y" means what the file system says when x is a link.
        const std::string absolute = (given.is_absolute() ? given : startFolder / given).string();
        // The same limits as a path that comes through the command file, and the same message.
        std::string record;
        appendRecord(record, pathToText(absolute));
        contents.paths.push_back(pathOf(std::string_view(record).substr(4)));
    }
    return contents;
}

std::string CommandFile::Contents::selectorUtf8() const
{
    return profile::toUtf8(selector);
}

CommandFile::Launch CommandFile::launchKind(const std::vector<std::string>& argv)
{
    if (argv.size() < 2)
        return Launch::Normal;
    // Checked before the marker: a file of that name must not turn the start into a hand-over.
    if (argv[1] == kOpenOption)
        return argv.size() > 2 ? Launch::OpenFiles : Launch::Normal;
    // The marker counts anywhere in the command line, also inside the program's own path or
    // another argument, as it does in the command line the platform reports as one string.
    std::string commandLine;
    for (const std::string& argument : argv)
        commandLine += argument + ' ';
    return commandLine.find(kMarker) == std::string::npos ? Launch::BadArguments : Launch::HandOver;
}

std::filesystem::path CommandFile::defaultFile()
{
    return platform::Paths::dataDirectory() / kFileName;
}

CommandFile::Contents CommandFile::read(const std::filesystem::path& file)
{
    std::string bytes;
    const platform::RegularFileStatus status = platform::RegularFile::read(file, kMaxFileBytes, bytes);
    Contents contents;
    switch (status) {
    case platform::RegularFileStatus::Ok:
        return parse(bytes);
    case platform::RegularFileStatus::Missing:
        contents.status = Status::Missing;
        break;
    case platform::RegularFileStatus::Unreadable:
        contents.status = Status::Unreadable;
        break;
    case platform::RegularFileStatus::NotRegular:
        contents.status = Status::NotRegular;
        break;
    case platform::RegularFileStatus::TooLarge:
        contents.status = Status::TooLarge;
        break;
    }
    contents.problem = platform::RegularFile::describe(status, file);
    return contents;
}

CommandFile::Contents CommandFile::parse(std::string_view bytes)
{
    Contents contents;
    RecordReader reader(bytes);
    std::string_view text;
    if (!reader.next(text)) {
        contents.status = Status::BadFirstRecord;
        return contents;
    }
    contents.status = Status::Ok;
    contents.selector = cutText(text, kSelectorChars);
    if (text.size() / 2 > kSelectorChars)
        contents.mode = Mode::UnknownProfile;
    else if (contents.selector == kCustomSelector)
        contents.mode = Mode::Custom;
    else
        contents.mode = Mode::Profile;
    while (reader.next(text))
        contents.paths.push_back(pathOf(text));
    return contents;
}

std::string CommandFile::encode(std::u16string_view selector, const std::vector<std::string>& paths)
{
    std::string bytes;
    appendRecord(bytes, selector);
    for (const std::string& path : paths)
        appendRecord(bytes, pathToText(path));
    return bytes;
}

bool CommandFile::write(const std::filesystem::path& file, std::u16string_view selector,
                        const std::vector<std::string>& paths, std::string* error)
{
    return platform::AtomicFile::replace(file, encode(selector, paths), 0600, error);
}

std::u16string CommandFile::pathToText(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        std::size_t taken = 1;
        const std::size_t length = profile::decodeUtf8(bytes, i, cp, taken);
        if (length == 0) {
            // Only one byte at a time is carried as a stray: the next may start a valid sequence.
            text.push_back(static_cast<char16_t>(kStrayByteBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        profile::appendUtf16(text, cp);
        i += length;
    }
    return text;
}

std::string CommandFile::textToPath(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            profile::appendUtf8(bytes, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (isStrayByte(unit)) {
            bytes.push_back(static_cast<char>(unit - kStrayByteBase));
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            profile::appendUtf8(bytes, kReplacement);
        } else {
            profile::appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace app
