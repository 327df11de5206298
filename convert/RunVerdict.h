#pragma once
// The verdict on one finished encoder run: whether it counts as a whole conversion, and when it
// does not, why, in the interface's language, for the row's error text.
//
// A run is a conversion only when the encoder ended with exit status 0, printed at least one
// status line, left a non-empty output file, and its last status line reached the probed duration
// within coverageSlackMillis(). The reasons are checked in that order, so the text names the first
// thing that went wrong: how the encoder ended, whether it converted at all, its output, and how
// far it got.
//
// Pure: it looks at what the job collected about the run and starts or reads nothing itself.
// Any thread.
#include "platform/core/ChildProcess.h"

#include <cstdint>
#include <string>

namespace convert {

class RunVerdict {
public:
    // What the job saw of a run that has ended.
    struct Run {
        platform::ChildProcess::ExitStatus exit;
        bool sawProgress = false;      // the encoder printed at least one status line
        int64_t lastTimeMillis = -1;   // the media time of its last status line; -1 before any
        bool outputWritten = false;    // the output file exists and is not empty
        std::string outputPath;        // for the text only
        int64_t durationMillis = 0;    // the probed duration; 0 or less when unknown
    };

    // program: the encoder's name as the user knows it ("ffmpeg", "mencoder").
    RunVerdict(const std::string& program, const Run& run);

    bool converted() const { return reason_.empty(); }
    // Why the run is not a conversion; empty when it is.
    const std::string& reason() const { return reason_; }
    // The encoder's last lines with the reason below them, at most
    // EncoderOutputReader::kMaxErrorText bytes: whole lines are dropped from the front when both do
    // not fit. The lines alone for a conversion.
    std::string errorText(std::string lastLines) const;

    // How far the encoder's last reported time may fall short of the probed duration for a run
    // to count as a whole conversion: the larger of 2 seconds and 3 % of the duration. The last
    // status line of a complete run lies within a frame or an audio packet of the end, and the
    // probe's container duration may exceed the streams by a little (a longer track that the
    // output type drops, a lower output frame rate); a cut source or an encoder that stopped on a
    // full disk falls short by far more.
    static int64_t coverageSlackMillis(int64_t durationMillis);
    // Whether lastTimeMillis reaches durationMillis within the slack; true for an unknown duration
    // (0 or less), which leaves nothing to compare with.
    static bool coversDuration(int64_t lastTimeMillis, int64_t durationMillis);
    // A media time as the encoders print it, hours:minutes:seconds.hundredths ("00:00:07.77"),
    // rounded to the nearest hundredth; negative times show as 0.
    static std::string clockText(double seconds);
    // "SIGSEGV" for 11: the short name reads the same in every language. The number for a signal
    // without a name.
    static std::string signalName(int signal);

private:
    static std::string reasonFor(const std::string& program, const Run& run);

    std::string reason_;
};

}  // namespace convert
