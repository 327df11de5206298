#pragma once
// Reads a running encoder's console output: turns its status lines into a percentage and keeps its
// last lines for the error text of a failed conversion.
//
// Output arrives in pieces of any size; the reader splits it into lines at "\r" (the status lines
// overwrite each other with a carriage return) and "\n", so a status line cut by a pipe read still
// counts once it is complete. Each status line replaces the percentage: the latest line wins.
//
// Status lines, by the encoder that actually runs:
//   ffmpeg:   "... size=  256kB time=00:00:04.00 bitrate=..." ("size=" followed by "kB", or by
//             "KiB" as ffmpeg 7 and later write it, and "time=" followed by a time with a ".").
//             The time is hours:minutes:seconds.fraction, or plain seconds as older builds wrote
//             it.
//   mencoder: "Pos:  12.3s  369f (10%) ..." ("Pos:", then "(", a whole number and "%").
// ffmpeg also states its speed on the status line ("speed=1.23x": seconds of media per second of
// encoding, averaged since it started; "speed=N/A" before it knows). mencoder states none; its
// speed is measured from its positions over time by EncodingSpeedMeter.
// The percentage is the encoder's position over the media's duration, cut to 0..100. With an
// unknown duration (0) a status line still counts as progress, but only mencoder's own percentage
// can be shown; for ffmpeg the percentage stays unknown (negative).
//
// The duration may also be still to come (a conversion that starts before the media probe has
// answered). Then ffmpeg's own header is read for it: the "Input #0" section it prints before it
// starts converting, by MediaInfoParser and so by the probe's rules (the section's own duration
// line, never a tag, and only when the section has a video stream). The probe's answer, given with
// setDurationMillis() whenever it arrives, replaces the header's duration. Until either is known
// the percentage stays unknown, for mencoder too: its own percentage runs ahead of its position.
//
// Not thread-safe: one reader belongs to one job thread.
#include "convert/EncoderCommand.h"
#include "convert/MediaInfoParser.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace convert {

class EncoderOutputReader {
public:
    // The longest error text, in bytes of UTF-8.
    static constexpr size_t kMaxErrorText = 4999;

    // durationMillis: the media's duration as the probe found it; 0 when unknown.
    EncoderOutputReader(EncoderProgram program, int64_t durationMillis);
    // The duration is not known yet: ffmpeg's header gives it, or setDurationMillis(). inputName:
    // the argument after "-i" as the encoder was given it (see MediaInfoParser).
    EncoderOutputReader(EncoderProgram program, std::string_view inputName);

    // The media probe's duration (0 when it found none), replacing any other; the percentage
    // follows at once from the latest status line.
    void setDurationMillis(int64_t durationMillis);
    // The duration the percentage is computed with: the one given, else the one ffmpeg's header
    // stated; nothing while neither is known.
    std::optional<int64_t> durationMillis() const { return durationMillis_; }
    // Whether the duration came from ffmpeg's own header rather than from the constructor or the probe.
    bool durationFromHeader() const { return durationFromHeader_; }

    // Takes the next piece of output. Returns true when a status line was completed in it.
    bool feed(std::string_view piece);
    // The output has ended: a last line without a line break is read too.
    void finish();

    bool sawProgress() const { return sawProgress_; }
    // How many status lines were read.
    uint64_t statusLines() const { return statusLines_; }
    // The latest percentage, 0..100; negative while none is known.
    int percent() const { return percent_; }
    // The encoder's position in the media, in milliseconds, as its latest status line gave it
    // (ffmpeg's "time=", mencoder's "Pos:"); negative times count as 0. -1 before any status
    // line. Compared with the probed duration, it tells whether the whole file was converted.
    int64_t lastTimeMillis() const { return lastTimeMillis_; }
    // The speed the latest status line stated (ffmpeg's "speed="), in seconds of media per second
    // of encoding; nothing when that line stated none, "N/A" or a value that is no speed.
    std::optional<double> reportedSpeed() const { return reportedSpeed_; }

    // The encoder's last lines, joined by "\n", at most kMaxErrorText bytes, cut at a line start
    // where one fits (else inside the one long line, at a character boundary). ffmpeg's build
    // banner is left out. Empty when the encoder printed nothing else.
    std::string errorText() const;

    // The status-line rules, for one line.
    static std::optional<double> ffmpegStatusSeconds(std::string_view line);
    // The "speed=" value of a line: a finite number above 0 and at most kMaxReportedSpeed, written
    // as digits with an optional fraction and followed by "x". Anything else (N/A, inf, nan, a
    // sign, an exponent, a value cut off before its "x") gives nothing.
    static std::optional<double> ffmpegReportedSpeed(std::string_view line);
    // Far beyond what any encoder reaches; a larger value is taken for garbage.
    static constexpr double kMaxReportedSpeed = 1e6;
    struct MencoderStatus {
        double seconds = 0;
        int percent = 0;
    };
    static std::optional<MencoderStatus> mencoderStatus(std::string_view line);

private:
    bool takeLine(std::string_view line);
    void remember(std::string_view line);
    // Reads ffmpeg's header until its input section is over; then the header's duration counts.
    void readHeader(std::string_view piece);
    void endHeader();
    void updatePercent();

    EncoderProgram program_;
    std::optional<int64_t> durationMillis_;
    bool durationFromHeader_ = false;
    std::optional<MediaInfoParser> header_;  // while ffmpeg's header is read for the duration
    double lastSeconds_ = 0;                 // the position of the latest status line
    int ownPercent_ = -1;                    // mencoder's own percentage on that line
    std::string pending_;  // the start of a line whose end has not arrived yet
    std::deque<std::string> lastLines_;
    size_t lastLinesBytes_ = 0;
    bool inBanner_ = false;
    bool firstLine_ = true;
    bool sawProgress_ = false;
    uint64_t statusLines_ = 0;
    int percent_ = -1;
    int64_t lastTimeMillis_ = -1;
    std::optional<double> reportedSpeed_;
};

}  // namespace convert
