#include "convert/CommandLineBuilder.h"

#include "convert/EncoderBinding.h"
#include "convert/EncoderOptions.h"
#include "convert/OutputName.h"
#include "platform/core/DebugOutput.h"
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

// The first candidate that is free at this moment; nothing is created.
std::optional<std::string> firstFreePath(const OutputName& name, std::string* reason)
{
    for (uint64_t n = 0;; ++n) {
        const std::string path = name.path(n);
        switch (nameState(path, name.fileName(n).size())) {
        case NameState::Free:
            return path;
        case NameState::TooLong:
            if (reason)
                *reason = "输出文件名太长: " + path;
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

std::optional<OutputName> CommandLineBuilder::nameOutput(const std::string& sourcePath,
                                                         const profile::ProfileRecord& profile,
                                                         const std::string& targetFolder, bool appendProfileName,
                                                         std::string* reason)
{
    if (std::string refusal = profileRefusal(profile.conversionType); !refusal.empty()) {
        if (reason)
            *reason = std::move(refusal);
        return std::nullopt;
    }
    return OutputName::make(sourcePath, profile, targetFolder, appendProfileName, reason);
}

std::string CommandLineBuilder::profileRefusal(int conversionType)
{
    if (profile::conversionTypeDescriptor(conversionType))
        return {};
    return "转换类型 " + std::to_string(conversionType) + " 超出范围(0 到 " +
           std::to_string(profile::kConversionTypeCount - 1) + "),无法转换";
}

std::optional<EncoderCommand> CommandLineBuilder::build(const std::string& sourcePath,
                                                        const profile::ProfileRecord& profile,
                                                        const std::string& targetFolder, bool appendProfileName,
                                                        std::string* reason) const
{
    const std::optional<OutputName> name = nameOutput(sourcePath, profile, targetFolder, appendProfileName, reason);
    if (!name)
        return std::nullopt;
    const std::optional<std::string> path = firstFreePath(*name, reason);
    if (!path)
        return std::nullopt;
    return buildFor(sourcePath, profile, name->folder(), *path);
}

EncoderCommand CommandLineBuilder::buildFor(const std::string& sourcePath, const profile::ProfileRecord& profile,
                                            const std::string& targetFolder, const std::string& outputPath) const
{
    EncoderOptions options = decideOptions(sourcePath, profile);
    options.outputPath = outputPath;

    EncoderCommand command = binding_.translate(options);
    command.commandText = options.program == EncoderProgram::Ffmpeg ? renderFfmpeg(options) : renderMencoder(options);
    command.outputPath = outputPath;
    command.targetFolder = targetFolder;

    platform::DebugOutput::line(command.commandText);
    for (const std::string& note : command.notes)
        platform::DebugOutput::line(note);
    return command;
}

std::optional<std::vector<std::string>> CommandLineBuilder::notesWithoutWaiting(
    const profile::ProfileRecord& profile) const
{
    if (!profile::conversionTypeDescriptor(profile.conversionType))
        return std::vector<std::string>{};
    // The paths play no part in the notes.
    const EncoderOptions options = decideOptions("/source", profile);
    if (binding_.needsCapabilities(options) && !binding_.capabilitiesRead())
        return std::nullopt;
    return binding_.translate(options).notes;
}

}  // namespace convert
