#include "app/CommandFile.h"

#include "platform/RegularFile.h"
#include "profile/ProfileRecord.h"

namespace app {

namespace {

// Reads records one at a time from the bytes, never past their end.
class RecordReader {
public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

    // The next record's text bytes; false when the length or the text runs past the end.
    bool next(std::string_view& text)
    {
        if (bytes_.size() - at_ < 4)
            return false;
        uint32_t length = 0;
        for (int i = 3; i >= 0; --i)
            length = (length << 8) | static_cast<unsigned char>(bytes_[at_ + static_cast<size_t>(i)]);
        if (length > bytes_.size() - at_ - 4)
            return false;
        text = bytes_.substr(at_ + 4, length);
        at_ += 4 + static_cast<size_t>(length);
        return true;
    }
    bool atEnd() const { return at_ >= bytes_.size(); }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

// UTF-16LE units up to the first NUL or the end (an odd last byte is no character).
std::u16string decode(std::string_view text, size_t maxChars)
{
    std::u16string units;
    for (size_t i = 0; i + 1 < text.size() && units.size() < maxChars; i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                                (static_cast<unsigned char>(text[i + 1]) << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return units;
}

}  // namespace

CommandFileContents CommandFile::parse(std::string_view bytes)
{
    CommandFileContents contents;
    RecordReader reader(bytes);
    std::string_view text;
    if (!reader.next(text)) {
        contents.status = CommandFileContents::Status::BadSelector;
        return contents;
    }
    contents.status = CommandFileContents::Status::Ok;
    contents.selector = profile::toUtf8(decode(text, kSelectorChars));
    while (!reader.atEnd() && reader.next(text)) {
        CommandFileContents::Path path;
        path.tooLong = text.size() > kMaxPathBytes;
        path.text = profile::toUtf8(decode(text, text.size() / 2));
        contents.paths.push_back(std::move(path));
    }
    return contents;
}

CommandFileContents CommandFile::read(const std::filesystem::path& file)
{
    std::string bytes;
    if (platform::RegularFile::read(file, kMaxFileBytes, bytes) != platform::RegularFileStatus::Ok)
        return {};
    return parse(bytes);
}

bool CommandFile::hasMarker(const std::vector<std::string>& arguments)
{
    std::string commandLine;
    for (const std::string& argument : arguments)
        commandLine += argument + " ";
    return commandLine.find(kMarker) != std::string::npos;
}

}  // namespace app
