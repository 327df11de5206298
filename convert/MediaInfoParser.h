#pragma once
// Reads what `ffmpeg -i FILE` prints about a media file: its duration and a one-line description
// of its streams.
//
// ffmpeg given several inputs prints one section per input, in order. Only the section of the
// parser's own input counts (input k: from its "Input #k, ..." header up to the next input, the
// output section or ffmpeg's closing complaint). In it the parser takes the header's own duration
// line ("  Duration: 00:01:23.45, ...") and the stream lines of that input ("  Stream #k:0[0x1]:
// Video: h264 ...", or the older "Stream #k.0"). Metadata blocks are skipped whole, by their
// indentation, whatever they hold: a "title : Duration: unknown" or a "Stream #0:0(und): Video: x"
// tag can pass neither for the duration nor for a stream, and a file name in the header ("from
// 'talk Duration: 2.mp4'") is not a duration line either. The description is "Video: " plus the
// rest of the first video stream's line, then, when the file has audio, " Audio: " plus the rest
// of the first audio stream's line. A cover picture ("attached pic") is not a video stream.
//
// Output of any length may be fed in pieces of any size: only the current line (cut at kMaxLine
// bytes) and the lines that matter are kept, so memory stays bounded however many chapters and
// tags a file carries.
//
// Fails (ok false) without the duration line, when its value has no "." within 9 characters (so
// "N/A" fails), and without a video stream (audio-only files, random bytes, missing files).
//
// Not thread-safe: one parser belongs to one probe. The static functions are pure; any thread.
#include <cstddef>
#include <cstdint>
#include <optional>
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
    // The longest line kept; the rest of a longer line is dropped.
    static constexpr size_t kMaxLine = 4096;

    // inputName: the input argument exactly as ffmpeg was given it ("file:/videos/a.mp4"). ffmpeg
    // repeats it in the section's header, line breaks included; knowing it lets the parser step
    // over such a name instead of reading its lines as the file's facts. Empty: the header is
    // taken to be one line. inputIndex: the input's place among ffmpeg's inputs (0 for the first).
    explicit MediaInfoParser(std::string_view inputName = {}, size_t inputIndex = 0);

    // Takes the next piece of output.
    void feed(std::string_view piece);
    // The output has ended (a last line without a line break counts too): the result.
    MediaInfo finish();
    // Whether the input's header has been seen: without it, ffmpeg never opened the input (it could
    // not, or it ended before).
    bool sawInput() const { return sawInput_; }
    // Whether the input's section is over (the next input, the output section or the
    // closing complaint has begun): nothing fed from now on changes the result.
    bool sectionEnded() const { return section_ == Section::After; }

    // The whole output at once.
    static MediaInfo parse(std::string_view output, std::string_view inputName = {});

    // Seconds of a duration text "h:m:s": split at the first and second colon, each part a
    // decimal integer. No colon: 0. One colon: hours only. "00:01:23" is 83.
    static uint32_t secondsOf(std::string_view durationText);

private:
    enum class Section { BeforeInput, InputName, Input, After };

    void takeLine(std::string_view line);
    void takeHeaderLine(std::string_view line);
    void takeInputLine(std::string_view line);
    void takeDuration(std::string_view line);

    std::string inputHead_;   // "Input #k, "
    std::string streamHead_;  // "Stream #k"
    std::string nameNeedle_;  // "from '<name>':" when the name holds a line break, else empty
    Section section_ = Section::BeforeInput;
    std::string pending_;     // the start of the current line, at most kMaxLine bytes
    std::string header_;      // the header's lines while the name is stepped over
    int metadataIndent_ = -1; // indentation of the open "Metadata:" block; -1 outside one
    bool sawInput_ = false;
    bool haveDuration_ = false;
    bool badDuration_ = false;
    MediaInfo result_;
    std::optional<std::string> video_;
    std::optional<std::string> audio_;
};

}  // namespace convert
