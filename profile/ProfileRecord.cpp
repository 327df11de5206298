#include "profile/ProfileRecord.h"

#include <algorithm>
#include <cstring>

namespace profile {

ProfileRecord makeEmptyProfileRecord()
{
    ProfileRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.recordMagic, kRecordMagic, sizeof record.recordMagic);
    return record;
}

bool hasRecordMagic(const ProfileRecord& record)
{
    return std::memcmp(record.recordMagic, kRecordMagic, 7) == 0;
}

bool sameRecordBytes(const ProfileRecord& a, const ProfileRecord& b)
{
    // The record is packed (no padding, see the static_asserts), so its bytes are all fields; the
    // floats are compared as stored on purpose.
    return std::memcmp(&a, &b, sizeof a) == 0;  // NOLINT(bugprone-suspicious-memory-comparison): packed, bytes meant
}

std::u16string fieldText(const char16_t* field, std::size_t capacity)
{
    std::size_t length = 0;
    while (length < capacity && field[length] != u'\0')
        ++length;
    return std::u16string(field, length);
}

void setFieldText(char16_t* field, std::size_t capacity, std::u16string_view text)
{
    if (capacity == 0)
        return;
    std::size_t length = std::min(text.size(), capacity - 1);
    // A cut between the two halves of a surrogate pair would store half a character.
    if (length > 0 && length < text.size() && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    std::copy_n(text.data(), length, field);
    field[length] = u'\0';
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void appendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

// The length of the valid UTF-8 sequence that starts at text[i] and its code point, or 0 when the
// bytes there do not start one. The second byte's range depends on the lead byte, which is what
// refuses overlong forms (C0, C1, E0 80..9F, F0 80..8F), encoded surrogates (ED A0..BF) and code
// points above U+10FFFF (F4 90..BF, F5..FF) before any of their bytes is taken as a character.
// On failure `taken` is the number of bytes one U+FFFD replaces: the longest prefix that could
// still have become a valid sequence, and at least one byte.
bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t taken = 1;
        const std::size_t length = decodeUtf8(text, i, cp, taken);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& cp, std::size_t& taken)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    taken = 1;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; cp = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= text.size())
            return 0;
        const unsigned char next = byte(k);
        if (next < low || next > high)
            return 0;
        low = 0x80;
        high = 0xBF;
        cp = (cp << 6) | (next & 0x3F);
        taken = k + 1;
    }
    return length;
}

std::u16string toUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        std::size_t taken = 1;
        const std::size_t length = decodeUtf8(text, i, cp, taken);
        if (length == 0) {
            appendUtf16(out, kReplacement);
            i += taken;
            continue;
        }
        appendUtf16(out, cp);
        i += length;
    }
    return out;
}

std::string profileNameOf(const ProfileRecord& record)
{
    return toUtf8(fieldText(record.profileName, kProfileTextChars));
}

std::string categoryNameOf(const ProfileRecord& record)
{
    return toUtf8(fieldText(record.categoryName, kProfileTextChars));
}

std::string videoSizeOf(const ProfileRecord& record)
{
    return toUtf8(fieldText(record.videoSize, kVideoSizeChars));
}

}  // namespace profile
