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
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::copy_n(text.data(), length, field);
    field[length] = u'\0';
}

namespace {

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

std::u16string toUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead < 0x80) { cp = lead; }
        else if ((lead & 0xE0) == 0xC0) { cp = lead & 0x1F; extra = 1; minimum = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { cp = lead & 0x0F; extra = 2; minimum = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { cp = lead & 0x07; extra = 3; minimum = 0x10000; }
        else { appendUtf16(out, kReplacement); ++i; continue; }
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!valid || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            appendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        appendUtf16(out, cp);
        i += extra + 1;
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
