#include "profile/ProfileRecordCheck.h"

#include "profile/EncodingTables.h"

#include <algorithm>
#include <cmath>

namespace profile {

namespace {

bool isFlag(uint32_t value)
{
    return value == 0 || value == 1;
}

bool isSurrogateHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isSurrogateLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The text ends inside the array and every surrogate belongs to a pair.
bool isWellFormedText(const char16_t* field, std::size_t capacity, bool mayBeEmpty)
{
    std::size_t length = 0;
    while (length < capacity && field[length] != u'\0')
        ++length;
    if (length == capacity || (length == 0 && !mayBeEmpty))
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (isSurrogateHigh(field[i]) && i + 1 < length && isSurrogateLow(field[i + 1]))
            ++i;
        else if (isSurrogateHigh(field[i]) || isSurrogateLow(field[i]))
            return false;
    }
    return true;
}

bool isCodecIndex(int32_t index, int count)
{
    return index <= std::max(1, count);
}

}  // namespace

bool isIntactRecord(const ProfileRecord& record)
{
    if (!hasRecordMagic(record))
        return false;
    if (!isFlag(record.isDefault) || !isFlag(record.isUserProfile) || !isFlag(record.inContextMenu))
        return false;
    if (!isWellFormedText(record.categoryName, kProfileTextChars, false)
        || !isWellFormedText(record.profileName, kProfileTextChars, false)
        || !isWellFormedText(record.videoSize, kVideoSizeChars, true))
        return false;
    const int type = record.conversionType;
    if (type < 0 || type >= kConversionTypeCount)
        return false;
    if (!isCodecIndex(record.videoCodec, videoCodecCount(type))
        || !isCodecIndex(record.audioCodec, audioCodecCount(type)))
        return false;
    if (!std::isfinite(record.frameRate) || !std::isfinite(record.audioBitrate))
        return false;
    return record.audioChannels >= 0 && record.audioChannels < kChannelChoiceCount;
}

}  // namespace profile
