#pragma once
// Reads the output of one ffmpeg run that probes several files at once (EncoderBinding::probeCommand
// with several sources) and tells which inputs have their answer.
//
// ffmpeg opens its inputs in order and prints each one's section ("Input #k, ...") once it is
// open; at the first input it cannot open it names the reason and ends without opening the rest.
// So an input's section is over when a later line closes it (the next input's header, the closing
// complaint); the output's end closes the last one. The first input whose header never came is
// the one ffmpeg could not open (or ended on): its answer is a failed result, exactly as a probe of
// that file alone would find nothing. The inputs after it have no answer: nobody asked ffmpeg
// about them yet.
//
// One MediaInfoParser per input keeps only what matters of the output, so memory stays bounded
// whatever its length. Not thread-safe: one batch belongs to one probe run.
#include "convert/MediaInfoParser.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace convert {

class MediaProbeBatch {
public:
    struct Answer {
        size_t index;   // the input's place in the run
        MediaInfo info;
    };

    // inputArguments: the arguments after each "-i", in order, word for word.
    explicit MediaProbeBatch(const std::vector<std::string>& inputArguments);

    // Takes the next piece of output.
    void feed(std::string_view piece);
    // The output has ended by itself (the run was not cut short): the last section seen is over
    // and the first input without a header is answered as failed.
    void finish();
    // The next answer known now, in input order, each given once; none when the next input's
    // answer is not known (yet, or ever).
    std::optional<Answer> takeAnswer();

private:
    std::vector<MediaInfoParser> parsers_;
    size_t answered_ = 0;
    bool finished_ = false;
    bool failureGiven_ = false;
};

}  // namespace convert
