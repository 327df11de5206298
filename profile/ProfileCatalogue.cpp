#include "profile/ProfileCatalogue.h"

#include <array>

namespace profile {

namespace {

struct CatalogueEntry {
    const char16_t* category;
    const char16_t* name;
    int32_t conversionType;
    int32_t videoCodec;
    const char16_t* videoSize;
    int32_t videoBitrate;
    float frameRate;
    int32_t audioCodec;
    int32_t sampleRate;
    float audioBitrate;
    int32_t audioChannels;
    bool isDefault;
    bool inContextMenu;
};

// The built-in profiles in insertion order. Each entry's category is a top-level category or the
// name of an earlier profile, which then holds it as a child.
//
// The names are exact: the four profiles of "所有 转到 3gp" end in a space, which keeps them apart
// from the like-named profiles under "移动设备兼容格式3gp". A few values differ from their neighbours
// on purpose and must stay as they are (the 324x240 sizes, "avi hd 640x360 h264 宽屏" at 720x480,
// "mp4 HD 1280x720 h264" at 864 kbit/s, the 320 kbit/s 352x288 3gp profiles).
//
// category, name, type, video codec, size, video kbit/s, fps, audio codec, Hz, audio kbit/s,
// channels, default, context menu
constexpr std::array<CatalogueEntry, 103> kCatalogue = {{
    {u"所有 转到 移动设备", u"移动设备兼容格式mp4", 19, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, true, false},  // 1
    {u"移动设备兼容格式mp4", u"mp4 320x240 mpeg4", 19, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},  // 2
    {u"移动设备兼容格式mp4", u"mp4 400x240 mpeg4", 19, 1, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 3
    {u"移动设备兼容格式mp4", u"mp4 480x272 mpeg4 宽屏", 19, 1, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 4
    {u"移动设备兼容格式mp4", u"mp4 480x360 mpeg4", 19, 1, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 5
    {u"移动设备兼容格式mp4", u"mp4 320x240 h264", 19, 3, u"320x240", 288, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 6
    {u"移动设备兼容格式mp4", u"mp4 400x240 h264", 19, 3, u"400x240", 336, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 7
    {u"移动设备兼容格式mp4", u"mp4 480x272 h264 宽屏", 19, 3, u"480x272", 384, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 8
    {u"移动设备兼容格式mp4", u"mp4 480x360 h264", 19, 3, u"480x360", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 9
    {u"移动设备兼容格式mp4", u"mp4 320x240 xvid", 19, 4, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 10
    {u"移动设备兼容格式mp4", u"mp4 400x240 xvid", 19, 4, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 11
    {u"移动设备兼容格式mp4", u"mp4 480x272 xvid 宽屏", 19, 4, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 12
    {u"移动设备兼容格式mp4", u"mp4 480x360 xvid", 19, 4, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 13
    {u"所有 转到 移动设备", u"移动设备兼容格式3gp", 1, 1, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, false},  // 14
    {u"移动设备兼容格式3gp", u"3gp 176x144 h263", 1, 1, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, true},  // 15
    {u"移动设备兼容格式3gp", u"3gp 352x288 h263", 1, 1, u"352x288", 384, 18.0f, 1, 8000, 12.2f, 2, false, false},  // 16
    {u"移动设备兼容格式3gp", u"3gp 176x144 mpeg4", 1, 2, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, false},  // 17
    {u"移动设备兼容格式3gp", u"3gp 352x288 mpeg4", 1, 2, u"352x288", 384, 18.0f, 1, 8000, 12.2f, 2, false, false},  // 18
    {u"所有 转到 移动设备", u"移动设备兼容格式avi", 8, 2, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 19
    {u"移动设备兼容格式avi", u"avi 320x240 xvid", 8, 2, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},  // 20
    {u"移动设备兼容格式avi", u"avi 400x240 xvid", 8, 2, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 21
    {u"移动设备兼容格式avi", u"avi 480x272 xvid 宽屏", 8, 2, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 22
    {u"移动设备兼容格式avi", u"avi 480x360 xvid", 8, 2, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 23
    {u"移动设备兼容格式avi", u"avi 320x240 mpeg4", 8, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 24
    {u"移动设备兼容格式avi", u"avi 400x240 mpeg4", 8, 1, u"400x240", 448, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 25
    {u"移动设备兼容格式avi", u"avi 480x272 mpeg4 宽屏", 8, 1, u"480x272", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 26
    {u"移动设备兼容格式avi", u"avi 480x360 mpeg4", 8, 1, u"480x360", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 27
    {u"移动设备兼容格式avi", u"avi 320x240 h264", 8, 8, u"320x240", 288, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 28
    {u"移动设备兼容格式avi", u"avi 400x240 h264", 8, 8, u"400x240", 336, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 29
    {u"移动设备兼容格式avi", u"avi 480x272 h264 宽屏", 8, 8, u"480x272", 384, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 30
    {u"移动设备兼容格式avi", u"avi 480x360 h264", 8, 8, u"480x360", 512, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 31
    {u"所有 转到 移动设备", u"HD h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, true},  // 32
    {u"HD h264", u"mp4 hd 480x360 h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 33
    {u"HD h264", u"mp4 hd 640x480 h264", 19, 3, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 34
    {u"HD h264", u"mp4 hd 640x360 h264 宽屏", 19, 3, u"640x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 35
    {u"HD h264", u"mp4 hd 720x480 h264 宽屏", 19, 3, u"720x480", 1500, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 36
    {u"HD h264", u"mp4 hd 1280x720 h264 宽屏", 19, 3, u"1280x720", 1800, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 37
    {u"HD h264", u"avi hd 480x360 h264", 8, 8, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 38
    {u"HD h264", u"avi hd 640x480 h264", 8, 8, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 39
    {u"HD h264", u"avi hd 640x360 h264 宽屏", 8, 8, u"720x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 40
    {u"HD h264", u"avi hd 720x480 h264 宽屏", 8, 8, u"720x480", 1500, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 41
    {u"HD h264", u"avi hd 1280x720 h264 宽屏", 8, 8, u"1280x720", 1800, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 42
    {u"所有 转到 mp4", u"mp4 高质量和大小 mpeg", 19, 1, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, true},  // 43
    {u"所有 转到 mp4", u"mp4 中质量和大小 mpeg", 19, 1, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 44
    {u"所有 转到 mp4", u"mp4 低质量和大小 mpeg", 19, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 45
    {u"所有 转到 mp4", u"mp4 HD 480x360 mpeg", 19, 1, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 46
    {u"所有 转到 mp4", u"mp4 HD 640x360 mpeg 宽屏", 19, 1, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 47
    {u"所有 转到 mp4", u"mp4 HD 640x480 mpeg", 19, 1, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 48
    {u"所有 转到 mp4", u"mp4 HD 1280x720 mpeg 宽屏", 19, 1, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false,
     false},  // 49
    {u"所有 转到 mp4", u"mp4 高质量和大小 h264", 19, 3, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 50
    {u"所有 转到 mp4", u"mp4 中质量和大小 h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 51
    {u"所有 转到 mp4", u"mp4 低质量和大小 h264", 19, 3, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 52
    {u"所有 转到 mp4", u"mp4 HD 480x360 h264", 19, 3, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 53
    {u"所有 转到 mp4", u"mp4 HD 640x360 h264 宽屏", 19, 3, u"640x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 54
    {u"所有 转到 mp4", u"mp4 HD 640x480 h264", 19, 3, u"640x480", 864, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 55
    {u"所有 转到 mp4", u"mp4 HD 1280x720 h264", 19, 3, u"1280x720", 864, 25.0f, 1, 48000, 192.0f, 3, false, false},  // 56
    {u"所有 转到 mp4", u"mp4 HD 480x360 xvid", 19, 4, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 57
    {u"所有 转到 mp4", u"mp4 HD 640x360 xvid 宽屏", 19, 4, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 58
    {u"所有 转到 mp4", u"mp4 HD 640x480 xvid 宽屏", 19, 4, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 59
    {u"所有 转到 mp4", u"mp4 HD 1280x720 xvid 宽屏", 19, 4, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false,
     false},  // 60
    {u"所有 转到 flv", u"flv 320x240", 13, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},  // 61
    {u"所有 转到 flv", u"flv 640x480", 13, 1, u"640x480", 512, 18.0f, 1, 44100, 128.0f, 3, false, false},  // 62
    {u"所有 转到 flv", u"flv 176x144", 13, 1, u"176x144", 180, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 63
    {u"所有 转到 swf", u"swf 320x240", 30, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, true},  // 64
    {u"所有 转到 swf", u"swf 640x480", 30, 1, u"640x480", 512, 18.0f, 1, 44100, 128.0f, 3, false, false},  // 65
    {u"所有 转到 swf", u"swf 176x144", 30, 1, u"176x144", 180, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 66
    {u"所有 转到 avi", u"avi 高质量和大小 xvid", 8, 2, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, true},  // 67
    {u"所有 转到 avi", u"avi 中质量和大小 xvid", 8, 2, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 68
    {u"所有 转到 avi", u"avi 低质量和大小 xvid", 8, 2, u"324x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 69
    {u"所有 转到 avi", u"avi HD 480x360 xvid", 8, 2, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 70
    {u"所有 转到 avi", u"avi HD 640x360 xvid 宽屏", 8, 2, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 71
    {u"所有 转到 avi", u"avi HD 640x480 xvid", 8, 2, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 72
    {u"所有 转到 avi", u"avi HD 1280x720 xvid 宽屏", 8, 2, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false,
     false},  // 73
    {u"所有 转到 avi", u"avi HD 480x360 mpeg", 8, 1, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 74
    {u"所有 转到 avi", u"avi HD 640x360 mpeg 宽屏", 8, 1, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 75
    {u"所有 转到 avi", u"avi HD 640x480 mpeg", 8, 1, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 76
    {u"所有 转到 avi", u"avi HD 1280x720 mpeg 宽屏", 8, 1, u"1280x720", 2400, 25.0f, 1, 48000, 192.0f, 3, false,
     false},  // 77
    {u"所有 转到 avi", u"avi 高质量和大小 h264", 8, 8, u"640x480", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 78
    {u"所有 转到 avi", u"avi 中质量和大小 h264", 8, 8, u"480x360", 576, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 79
    {u"所有 转到 avi", u"avi 低质量和大小 h264", 8, 8, u"324x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 80
    {u"所有 转到 avi", u"avi HD 480x360 h264", 8, 8, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 81
    {u"所有 转到 avi", u"avi HD 640x360 h264 宽屏", 8, 8, u"640x360", 1024, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 82
    {u"所有 转到 avi", u"avi HD 640x480 h264", 8, 8, u"640x480", 1152, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 83
    {u"所有 转到 3gp", u"3gp 176x144 h263 ", 1, 1, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, true},  // 84
    {u"所有 转到 3gp", u"3gp 352x288 h263 ", 1, 1, u"352x288", 320, 18.0f, 1, 8000, 12.2f, 2, false, false},  // 85
    {u"所有 转到 3gp", u"3gp 176x144 mpeg ", 1, 2, u"176x144", 160, 15.0f, 1, 8000, 12.2f, 2, false, false},  // 86
    {u"所有 转到 3gp", u"3gp 352x288 mpeg ", 1, 2, u"352x288", 320, 18.0f, 1, 8000, 12.2f, 2, false, false},  // 87
    {u"所有 转到 mpg", u"vcd pal", 31, 2, u"352x288", 1150, 25.0f, 1, 44100, 224.0f, 3, false, true},  // 88
    {u"所有 转到 mpg", u"vcd ntsc", 31, 1, u"352x288", 1150, 29.97f, 1, 44100, 224.0f, 3, false, false},  // 89
    {u"所有 转到 mpg", u"svcd pal", 29, 2, u"480x576", 2040, 25.0f, 1, 44100, 224.0f, 3, false, false},  // 90
    {u"所有 转到 mpg", u"svcd ntsc", 29, 1, u"480x480", 2040, 29.97f, 1, 44100, 224.0f, 3, false, false},  // 91
    {u"所有 转到 vob", u"dvd pal small", 10, 2, u"352x288", 1856, 25.0f, 1, 48000, 448.0f, 3, false, true},  // 92
    {u"所有 转到 vob", u"dvd pal large", 10, 2, u"720x576", 6000, 25.0f, 1, 48000, 448.0f, 3, false, false},  // 93
    {u"所有 转到 vob", u"dvd ntsc small", 10, 1, u"352x240", 1856, 29.97f, 1, 48000, 448.0f, 3, false, false},  // 94
    {u"所有 转到 vob", u"dvd ntsc large", 10, 1, u"720x480", 6000, 29.97f, 1, 48000, 448.0f, 3, false, false},  // 95
    {u"所有 转到 mov", u"mov 高质量和大小 h264", 16, 3, u"640x480", 768, 24.0f, 1, 44100, 128.0f, 3, false, false},  // 96
    {u"所有 转到 mov", u"mov 中质量和大小 h264", 16, 3, u"480x360", 576, 24.0f, 1, 44100, 128.0f, 3, false, true},  // 97
    {u"所有 转到 mov", u"mov 低质量和大小 h264", 16, 3, u"320x240", 288, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 98
    {u"所有 转到 gif", u"gif 128x96", 14, 1, u"128x96", 0, 5.0f, 0, 0, 0.0f, 0, false, true},  // 99
    {u"所有 转到 gif", u"gif 64x48", 14, 1, u"64x48", 0, 5.0f, 0, 0, 0.0f, 0, false, false},  // 100
    {u"所有 转到 wmv", u"wmv 高质量和大小 wmv2", 51, 1, u"640x480", 1500, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 101
    {u"所有 转到 wmv", u"wmv 中质量和大小 wmv2", 51, 1, u"480x360", 768, 25.0f, 1, 44100, 128.0f, 3, false, false},  // 102
    {u"所有 转到 wmv", u"wmv 低质量和大小 wmv2", 51, 1, u"320x240", 384, 18.0f, 1, 22050, 64.0f, 3, false, false},  // 103
}};

ProfileRecord makeRecord(const CatalogueEntry& entry)
{
    ProfileRecord record = makeEmptyProfileRecord();
    record.isDefault = entry.isDefault ? 1 : 0;
    record.inContextMenu = entry.inContextMenu ? 1 : 0;
    setFieldText(record.categoryName, kProfileTextChars, entry.category);
    setFieldText(record.profileName, kProfileTextChars, entry.name);
    record.conversionType = entry.conversionType;
    record.videoCodec = entry.videoCodec;
    setFieldText(record.videoSize, kVideoSizeChars, entry.videoSize);
    record.videoBitrate = entry.videoBitrate;
    record.frameRate = entry.frameRate;
    record.audioCodec = entry.audioCodec;
    record.sampleRate = entry.sampleRate;
    record.audioBitrate = entry.audioBitrate;
    record.audioChannels = entry.audioChannels;
    return record;
}

}  // namespace

std::vector<ProfileRecord> catalogueRecords()
{
    std::vector<ProfileRecord> records;
    records.reserve(kCatalogue.size());
    for (const CatalogueEntry& entry : kCatalogue)
        records.push_back(makeRecord(entry));
    return records;
}

void buildCatalogue(ProfileTree& tree)
{
    for (const CatalogueEntry& entry : kCatalogue)
        tree.insertProfile(std::make_unique<ProfileRecord>(makeRecord(entry)));
}

std::size_t restoreMissingCatalogueProfiles(ProfileTree& tree)
{
    std::size_t restored = 0;
    for (const CatalogueEntry& entry : kCatalogue) {
        auto record = std::make_unique<ProfileRecord>(makeRecord(entry));
        ProfileNode* existing = tree.findNodeByText(fieldText(record->profileName, kProfileTextChars));
        if (existing && existing->isProfile())
            continue;
        if (existing) {
            existing->setImageIndex(profileImageIndex(record->conversionType));
            existing->setRecord(std::move(record));
        } else if (!tree.insertProfile(std::move(record))) {
            continue;
        }
        ++restored;
    }
    return restored;
}

}  // namespace profile
