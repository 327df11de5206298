#include "convert/MediaProbeBatch.h"

namespace convert {

MediaProbeBatch::MediaProbeBatch(const std::vector<std::string>& inputArguments)
{
    parsers_.reserve(inputArguments.size());
    for (size_t index = 0; index < inputArguments.size(); ++index)
        parsers_.emplace_back(inputArguments[index], index);
}

void MediaProbeBatch::feed(std::string_view piece)
{
    // Answered inputs have nothing left to learn.
    for (size_t index = answered_; index < parsers_.size(); ++index)
        parsers_[index].feed(piece);
}

void MediaProbeBatch::finish()
{
    // A last line without its line break counts too (an empty line changes nothing).
    feed("\n");
    finished_ = true;
}

std::optional<MediaProbeBatch::Answer> MediaProbeBatch::takeAnswer()
{
    if (answered_ >= parsers_.size() || failureGiven_)
        return std::nullopt;
    MediaInfoParser& parser = parsers_[answered_];
    if (parser.sectionEnded() || (finished_ && parser.sawInput()))
        return Answer{answered_++, parser.finish()};
    if (!finished_)
        return std::nullopt;
    failureGiven_ = true;
    return Answer{answered_++, MediaInfo{}};
}

}  // namespace convert
