#pragma once
// Reads what `ffmpeg -i FILE` prints about a media file: its duration and a one-line description
// of its streams.
//
// The parser looks at the first input's header ("Duration: 00:01:23.45, ...") and its stream lines
// ("  Stream #0:0[0x1]: Video: h264 ..."). It ignores metadata blocks, side data and the build
// banner, whatever their indentation, so a "title : Video: x" tag cannot pass for a stream. The
// description is "Video: " plus the rest of the first video stream's line, then, when the file has
// audio, " Audio: " plus the rest of the first audio stream's line. A cover picture ("attached
// pic") is not a video stream.
//
// Fails (ok false) without "Duration: " followed within 9 characters by "." (so "N/A" fails), and
// without a video stream (audio-only files, random bytes, missing files).
//
// Pure functions; any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace convert {

struct MediaInfo {
    bool ok = false;
    std::string durationText;    // "00:01:23", the fraction dropped
    uint32_t durationSeconds = 0;
    int64_t durationMillis = 0;  // with the fraction, for the progress percentage
    std::string info;            // "Video: ... Audio: ..."
};

class MediaInfoParser {
public:
    static MediaInfo parse(std::string_view output);

    // Seconds of a duration text "h:m:s": split at the first and second colon, each part a
    // decimal integer. No colon: 0. One colon: hours only. "00:01:23" is 83.
    static uint32_t secondsOf(std::string_view durationText);
};

}  // namespace convert
