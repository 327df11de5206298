#include "convert/CommandLineBuilder.h"

#include "convert/EncoderBinding.h"
#include "convert/EncoderOptions.h"
#include "platform/DebugOutput.h"
#include "profile/EncodingTables.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <limits>
#include <string_view>
#include <sys/stat.h>

namespace convert {

namespace {

constexpr std::string_view kDefaultSizeText = "默认";

// Profile values come from files the user may have edited: a float that is infinite or NaN, or
// larger than any integer, must not reach an undefined conversion.
int64_t truncateTowardZero(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return std::numeric_limits<int64_t>::max();
    if (value <= -9.2e18)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

bool isSizeGiven(const std::string& size) { return !size.empty() && size != kDefaultSizeText; }

// The encoder's bit rate in bits per second. The product is taken in single precision on purpose:
// 12.2f * 1000.0f is 12200 in float arithmetic, while the double product of the same float
// (12.19999980926513671875 * 1000) truncates to 12199.
int64_t audioBitsPerSecond(float kbps)
{
    const float product = kbps * 1000.0f;
    return truncateTowardZero(product);
}

void decideVideo(EncoderOptions& options, const profile::ProfileRecord& record)
{
    const int t = record.conversionType;
    const int codec = record.videoCodec;
    const std::string size = profile::videoSizeOf(record);
    if (options.program == EncoderProgram::Ffmpeg) {
        if (!profile::hasVideo(t) || codec < 1)
            return;
        options.videoToken = std::string(profile::videoCodecToken(t, codec));
    } else {
        const std::string_view token = codec >= 1 ? profile::videoCodecToken(t, codec) : std::string_view{};
        options.videoToken = token.empty() ? std::string("wmv2") : std::string(token);
    }
    options.videoOptions = true;
    if (isSizeGiven(size))
        options.videoSize = size;
    if (record.frameRate > 0)
        options.frameRate = truncateTowardZero(record.frameRate);
    if (record.videoBitrate > 0)
        options.videoBitrateKbps = record.videoBitrate;
}

void decideAudio(EncoderOptions& options, const profile::ProfileRecord& record)
{
    const int t = record.conversionType;
    const int codec = record.audioCodec;
    if (options.program == EncoderProgram::Ffmpeg) {
        if (!profile::hasAudio(t) || codec < 1)
            return;
        options.audioToken = std::string(profile::audioCodecToken(t, codec));
    } else {
        options.audioToken = codec < 1 ? std::string("wmav2") : std::string(profile::audioCodecToken(t, codec));
    }
    options.audioOptions = true;
    const float bitrate = record.audioBitrate;
    if (bitrate > 0) {
        options.audioBitrateBps = audioBitsPerSecond(bitrate);
        options.audioBitrateKbps = truncateTowardZero(bitrate);
    }
    options.channels = record.audioChannels >= 0 ? profile::channelCount(record.audioChannels) : -1;
    if (record.sampleRate > 0)
        options.sampleRate = record.sampleRate;
}

EncoderOptions decideOptions(const std::string& sourcePath, const profile::ProfileRecord& record)
{
    EncoderOptions options;
    const int t = record.conversionType;
    options.program = t == profile::kWmvConversionType ? EncoderProgram::Mencoder : EncoderProgram::Ffmpeg;
    options.conversionType = t;
    options.sourcePath = sourcePath;
    options.formatToken = std::string(profile::conversionTypeFormat(t));
    options.typeHasVideo = profile::hasVideo(t);
    options.typeHasAudio = profile::hasAudio(t);
    decideVideo(options, record);
    decideAudio(options, record);
    return options;
}

// The frame size as mencoder's scale filter wants it: the last "x" becomes ":".
std::string scaleArgument(std::string size)
{
    if (const auto x = size.rfind('x'); x != std::string::npos)
        size[x] = ':';
    return size;
}

std::string renderFfmpeg(const EncoderOptions& o)
{
    std::string line = "ffmpeg -i \"" + o.sourcePath + "\" -y -f " + o.formatToken;
    if (o.videoOptions) {
        if (!o.videoToken.empty())
            line += " -vcodec " + o.videoToken;
        if (o.videoSize)
            line += " -s " + *o.videoSize;
        if (o.frameRate)
            line += " -r " + std::to_string(*o.frameRate);
        if (o.videoBitrateKbps)
            line += " -b " + std::to_string(*o.videoBitrateKbps * 1000);
    }
    if (o.audioOptions) {
        line += " -acodec " + o.audioToken;
        if (o.audioBitrateBps)
            line += " -ab " + std::to_string(*o.audioBitrateBps);
        if (o.channels == 0)
            line += " -an";
        else if (o.channels > 0)
            line += " -ac " + std::to_string(o.channels);
        if (o.sampleRate)
            line += " -ar " + std::to_string(*o.sampleRate);
    }
    line += " \"" + o.outputPath + "\"";
    return line;
}

std::string renderMencoder(const EncoderOptions& o)
{
    std::string line = "mencoder \"" + o.sourcePath + "\" -of lavf -lavfopts format=asf";
    line += " -ovc lavc -lavcopts vcodec=" + o.videoToken;
    if (o.videoBitrateKbps)
        line += ":vbitrate=" + std::to_string(*o.videoBitrateKbps);
    if (o.videoSize)
        line += " -vf scale=" + scaleArgument(*o.videoSize);
    if (o.frameRate)
        line += " -ofps " + std::to_string(*o.frameRate);
    line += " -oac lavc -lavcopts acodec=" + o.audioToken;
    if (o.audioBitrateKbps)
        line += ":abitrate=" + std::to_string(*o.audioBitrateKbps);
    if (o.sampleRate)
        line += " -srate " + std::to_string(*o.sampleRate);
    if (o.channels > 0)
        line += " -stereo " + std::to_string(o.channels);
    line += " -o \"" + o.outputPath + "\"";
    return line;
}

// A profile name may hold any text; inside a file name a "/" would move the output into another
// folder, so it is written as "_".
std::string bracketText(const profile::ProfileRecord& record)
{
    std::string name = profile::profileNameOf(record);
    for (char& c : name) {
        if (c == '/')
            c = '_';
    }
    return " [" + name + "]";
}

enum class NameState { Free, Taken, TooLong };

NameState nameState(const std::string& path, std::size_t fileNameLength)
{
    if (fileNameLength > NAME_MAX || path.size() >= PATH_MAX)
        return NameState::TooLong;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0)
        return NameState::Taken;
    // Only a name that is certainly there is skipped; any other failure (a missing or unreadable
    // folder) leaves the name to the encoder, which reports what is wrong with it.
    return errno == ENAMETOOLONG ? NameState::TooLong : NameState::Free;
}

struct OutputChoice {
    std::string targetFolder;
    std::string outputPath;
};

std::optional<OutputChoice> chooseOutput(const std::string& sourcePath, const profile::ProfileRecord& record,
                                         const std::string& targetFolder, bool appendProfileName)
{
    const auto slash = sourcePath.rfind('/');
    const auto dot = sourcePath.rfind('.');
    if (slash == std::string::npos || dot == std::string::npos || slash > dot)
        return std::nullopt;

    OutputChoice choice;
    choice.targetFolder = targetFolder.empty() ? sourcePath.substr(0, slash) : targetFolder;
    if (!choice.targetFolder.empty())
        ::mkdir(choice.targetFolder.c_str(), 0777);  // one level; an existing folder is fine

    std::string folder = choice.targetFolder;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    const std::string base = sourcePath.substr(slash + 1, dot - slash - 1);
    const std::string bracket = appendProfileName ? bracketText(record) : std::string();
    const std::string_view format = profile::conversionTypeFormat(record.conversionType);
    const std::string extension = "." + std::string(format.substr(0, format.find(' ')));

    for (uint64_t n = 0;; ++n) {
        const std::string fileName = base + (n == 0 ? std::string() : "_" + std::to_string(n)) + bracket + extension;
        const std::string path = folder + fileName;
        switch (nameState(path, fileName.size())) {
        case NameState::Free:
            choice.outputPath = path;
            return choice;
        case NameState::TooLong:
            return std::nullopt;
        case NameState::Taken:
            break;
        }
    }
}

}  // namespace

CommandLineBuilder::CommandLineBuilder() : binding_(EncoderBinding::instance()) {}

CommandLineBuilder::CommandLineBuilder(const EncoderBinding& binding) : binding_(binding) {}

void CommandLineBuilder::prepare(const profile::ProfileRecord& profile) const
{
    // The paths play no part in what the binding needs to know.
    binding_.prepare(decideOptions(std::string(), profile));
}

std::optional<EncoderCommand> CommandLineBuilder::build(const std::string& sourcePath,
                                                        const profile::ProfileRecord& profile,
                                                        const std::string& targetFolder,
                                                        bool appendProfileName) const
{
    EncoderOptions options = decideOptions(sourcePath, profile);
    const std::optional<OutputChoice> output = chooseOutput(sourcePath, profile, targetFolder, appendProfileName);
    if (!output)
        return std::nullopt;
    options.outputPath = output->outputPath;

    EncoderCommand command = binding_.translate(options);
    command.commandText = options.program == EncoderProgram::Ffmpeg ? renderFfmpeg(options) : renderMencoder(options);
    command.outputPath = output->outputPath;
    command.targetFolder = output->targetFolder;

    platform::DebugOutput::line(command.commandText);
    for (const std::string& note : command.notes)
        platform::DebugOutput::line(note);
    return command;
}

}  // namespace convert
