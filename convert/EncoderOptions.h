#pragma once
// The pieces of one conversion command in the classic grammar, as the command-line builder decides
// them from a profile. The builder renders them as the classic one-line text; the encoder binding
// turns the same pieces into the argument vector of the installed encoder. Keeping the pieces
// apart (instead of re-splitting a text) is what keeps paths and the frame size single arguments.
#include "convert/EncoderCommand.h"

#include <cstdint>
#include <optional>
#include <string>

namespace convert {

struct EncoderOptions {
    // The encoder the classic grammar names: mencoder for the WMV type, ffmpeg otherwise.
    EncoderProgram program = EncoderProgram::Ffmpeg;
    int conversionType = 0;

    std::string sourcePath;
    // ffmpeg: the whole format token, which may carry options ("gif -pix_fmt rgb24 -loop_output 0").
    std::string formatToken;
    // Whether the conversion type has a video / audio half at all.
    bool typeHasVideo = false;
    bool typeHasAudio = false;

    // Video half. ffmpeg: present only when the type has video and a codec is chosen; mencoder:
    // always present.
    bool videoOptions = false;
    std::string videoToken;                   // ffmpeg: empty omits -vcodec; mencoder: never empty
    std::optional<std::string> videoSize;     // as stored in the profile
    std::optional<int64_t> frameRate;         // truncated
    std::optional<int64_t> videoBitrateKbps;

    // Audio half, under the same rule.
    bool audioOptions = false;
    std::string audioToken;                   // may be empty (an index past the codec list)
    std::optional<int64_t> audioBitrateBps;   // ffmpeg: truncation of the single-precision product
    std::optional<int64_t> audioBitrateKbps;  // mencoder: truncation of the profile value
    int channels = -1;                        // -1 no channel option, 0 no audio, n channels
    std::optional<int64_t> sampleRate;

    std::string outputPath;
};

}  // namespace convert
