#pragma once
// Parsing of the values a user types into the profile editor's in-place combo box. A text is
// taken only when the whole of it (leading and trailing blanks aside) is a value the record's
// field can hold and the program can use; otherwise the caller leaves the field unchanged. So a
// pasted 1,000-character text, "29,97", "320x" or a bit rate past the 32-bit range never reaches a
// record, and a text never writes past its field. Safe from any thread.
#include <cstdint>
#include <string_view>

namespace profile {

class ProfileValueParser {
public:
    // The largest frame side accepted: what the encoders can still produce.
    static constexpr int kMaxFrameSide = 16384;

    // A non-negative decimal integer that fits a signed 32-bit field ("1500"). Negative values
    // and signs are refused: the editor offers none, and "not given" is written as 0.
    static bool parseCount(std::string_view text, int32_t& value);
    // A non-negative decimal number with '.' as the decimal point ("29.97", "12.2", "25"), finite
    // as a 32-bit float. A comma is not a decimal point here: "29,97" is refused rather than read
    // as 29.
    static bool parseDecimal(std::string_view text, float& value);
    // A frame size "<width>x<height>", both sides 1..kMaxFrameSide without signs or blanks inside.
    static bool isFrameSize(std::string_view text);

    // The text without leading and trailing blanks.
    static std::string_view trim(std::string_view text);
};

}  // namespace profile
