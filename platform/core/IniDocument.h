#pragma once
// IniDocument: the text of one INI file, read and changed the way the classic private-profile
// functions do it, while every byte the caller does not change is kept exactly as it was.
//
// Shape: "[section]" lines followed by "key=value" lines. Section and key names are trimmed and
// matched without regard to ASCII letter case; values are trimmed. The first matching section and
// the first matching key in it count. Lines starting with ';' are comments; lines before the first
// section, lines without '=' and anything else unreadable are kept but never matched. A UTF-8 byte
// order mark and CRLF or LF line ends are accepted and preserved. Any bytes (binary garbage,
// NULs, very long lines) are safe: they only yield "not found".
//
// Not synchronised: one thread at a time per document.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view bytes);

    // The value of the key, or nothing when the section or key is absent.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // The value, or defaultValue when the key is absent.
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // The value read as an integer the way GetPrivateProfileInt reads it: defaultValue when the key
    // is absent or its value empty; otherwise leading blanks, an optional sign, a "0x" (hex), "0o"
    // (octal) or "0b" (binary) prefix and the digits that follow, stopping at the first other
    // character (no digits: 0). Too many digits wrap around in 32 bits rather than fail.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Sets the key's value. An existing line keeps its key spelling and line end and only its
    // value changes; a missing key is added after the section's last non-blank line; a missing
    // section is added at the end. Returns false, changing nothing, for names or values that could
    // not be read back as written: empty names, line breaks anywhere, '=' in a key, ']' in a
    // section name.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // The document's bytes, to be written back to the file.
    std::string bytes() const;

    // Integer parsing of readInt(), on its own.
    static int parseInt(std::string_view text);

private:
    struct Line {
        std::string text;   // without the line end
        std::string end;    // "\r\n", "\n" or "" (the last line of a file without a final line end)
    };
    struct Position {
        std::size_t sectionLine;   // index of the "[section]" line
        std::size_t sectionEnd;    // index one past the section's last line
    };

    std::optional<Position> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Position& position, std::string_view key) const;
    std::string newLineEnd() const;

    std::string byteOrderMark_;
    std::vector<Line> lines_;
};

}  // namespace platform
