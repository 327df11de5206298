#pragma once
// The profile record: one conversion preset, exactly as it is held in memory, stored in the
// profile files and copied into every conversion job. 516 bytes, packed, little-endian on disk;
// texts are UTF-16LE, NUL-terminated inside their fixed arrays.
#include <cstddef>
#include <cstdint>
#include <string>

namespace profile {

inline constexpr std::size_t kProfileRecordSize = 516;
inline constexpr std::size_t kProfileTextChars = 100;   // categoryName, profileName
inline constexpr std::size_t kVideoSizeChars = 32;
inline constexpr char kRecordMagic[8] = {'L', 'u', 'm', 'a', 'r', 'e', 't', '\0'};

// Channel table indices (audioChannels).
enum AudioChannelChoice : int32_t {
    ChannelsDefault = 0,   // no channel option
    ChannelsMute = 1,      // no audio
    ChannelsMono = 2,
    ChannelsStereo = 3,
    ChannelsSurround = 4,  // 6 channels
};

#pragma pack(push, 1)
struct ProfileRecord {
    uint32_t isDefault;                       // 1 marks the default profile
    uint32_t isUserProfile;                   // 0: profile.dat, 1: user_profile.dat
    uint32_t inContextMenu;                   // offered by the file-manager context menu
    char16_t categoryName[kProfileTextChars]; // text of the parent node
    char16_t profileName[kProfileTextChars];  // unique node text
    int32_t conversionType;                   // 0..51, the conversion-type table
    int32_t videoCodec;                       // 1-based; <= 0 is the default codec
    char16_t videoSize[kVideoSizeChars];      // "320x240"; empty is the source size
    int32_t videoBitrate;                     // kbit/s; <= 0 not given
    float frameRate;                          // fps; <= 0 not given
    int32_t audioCodec;                       // 1-based; <= 0 is the default codec
    int32_t sampleRate;                       // Hz; <= 0 not given
    float audioBitrate;                       // kbit/s, may be fractional (12.2); <= 0 not given
    int32_t audioChannels;                    // AudioChannelChoice
    char recordMagic[8];                      // "Lumaret\0"
};
#pragma pack(pop)

static_assert(sizeof(ProfileRecord) == kProfileRecordSize, "the profile record is 516 bytes");
static_assert(offsetof(ProfileRecord, categoryName) == 12);
static_assert(offsetof(ProfileRecord, profileName) == 212);
static_assert(offsetof(ProfileRecord, conversionType) == 412);
static_assert(offsetof(ProfileRecord, videoSize) == 420);
static_assert(offsetof(ProfileRecord, videoBitrate) == 484);
static_assert(offsetof(ProfileRecord, frameRate) == 488);
static_assert(offsetof(ProfileRecord, audioBitrate) == 500);
static_assert(offsetof(ProfileRecord, audioChannels) == 504);
static_assert(offsetof(ProfileRecord, recordMagic) == 508);
static_assert(sizeof(float) == 4 && sizeof(char16_t) == 2);

// A fresh record: all zero bytes except the magic.
ProfileRecord makeEmptyProfileRecord();

// True when bytes 508..514 hold "Lumaret" (byte 515 is not examined).
bool hasRecordMagic(const ProfileRecord& record);

// True when the two records hold the same 516 bytes, as their files would: a NaN equals the same
// NaN, and -0 differs from 0.
bool sameRecordBytes(const ProfileRecord& a, const ProfileRecord& b);

// UTF-16 field helpers. Reading stops at the first NUL or the end of the array. Writing cuts the
// text to fit (leaving room for the terminating NUL) and leaves the bytes after the NUL as they were.
std::u16string fieldText(const char16_t* field, std::size_t capacity);
void setFieldText(char16_t* field, std::size_t capacity, std::u16string_view text);

// UTF-8 <-> UTF-16 conversion for texts crossing between records and the rest of the program.
// Invalid input never fails: bad sequences become U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string toUtf16(std::string_view text);

// The pieces of those conversions, for code that must treat invalid input otherwise (the command
// file keeps a path's stray bytes). decodeUtf8 returns the length of the valid UTF-8 sequence
// that starts at text[i] and sets its code point, or returns 0 when the bytes there start none
// (overlong forms, encoded surrogates and code points above U+10FFFF included); `taken` is then
// the number of bytes one U+FFFD replaces. The append functions add one code point.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& cp, std::size_t& taken);
void appendUtf8(std::string& out, char32_t cp);
void appendUtf16(std::u16string& out, char32_t cp);
// True when every byte of `text` belongs to a valid UTF-8 sequence (decodeUtf8's rules).
bool isValidUtf8(std::string_view text);

// Convenience accessors in UTF-8.
std::string profileNameOf(const ProfileRecord& record);
std::string categoryNameOf(const ProfileRecord& record);
std::string videoSizeOf(const ProfileRecord& record);

}  // namespace profile
