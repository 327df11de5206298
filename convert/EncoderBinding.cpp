#include "convert/EncoderBinding.h"

#include "platform/core/ChildProcess.h"
#include "platform/core/Paths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <thread>

namespace convert {

namespace {

constexpr std::string_view kStrictExperimental[] = {"-strict", "-2"};

// Containers that can hold AAC in place of AMR (3gp, 3g2, mp4, mov, psp).
bool containerTakesAac(const std::string& format)
{
    static constexpr std::array<std::string_view, 5> kAacContainers = {"3gp", "3g2", "mp4", "mov", "psp"};
    for (std::string_view name : kAacContainers) {
        if (format == name)
            return true;
    }
    return false;
}

std::vector<std::string> splitWords(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t position = 0;
    while (position < text.size()) {
        const auto start = text.find_first_not_of(' ', position);
        if (start == std::string_view::npos)
            break;
        const auto end = text.find(' ', start);
        words.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        position = end == std::string_view::npos ? text.size() : end;
    }
    return words;
}

// ffmpeg reads a leading "-" as an option and "name:" as a protocol; the file protocol prefix
// makes any path a plain file name.
std::string ffmpegFileArgument(const std::string& path) { return "file:" + path; }

// mencoder has no such prefix, but a path that starts with "/" or "./" is neither an option nor
// a stream URL.
std::string mencoderFileArgument(const std::string& path)
{
    return path.starts_with('/') ? path : "./" + path;
}

void append(std::vector<std::string>& argv, std::initializer_list<std::string> words)
{
    argv.insert(argv.end(), words);
}

// MPEG-1/2 video knows only a few frame rates. The classic grammar writes 29.97 as "29", which
// these encoders refuse, so the truncated rate is mapped back to the standard rate it came from.
std::string mpegFrameRate(int64_t rate)
{
    struct Standard {
        int64_t truncated;
        const char* text;
        double value;
    };
    static constexpr Standard kRates[] = {
        {23, "24000/1001", 23.976}, {24, "24", 24}, {25, "25", 25}, {29, "30000/1001", 29.97},
        {30, "30", 30},             {50, "50", 50}, {59, "60000/1001", 59.94}, {60, "60", 60},
    };
    const Standard* nearest = &kRates[0];
    for (const Standard& standard : kRates) {
        if (standard.truncated == rate)
            return standard.text;
        if (std::abs(standard.value - static_cast<double>(rate)) < std::abs(nearest->value - static_cast<double>(rate)))
            nearest = &standard;
    }
    return nearest->text;
}

bool isMpegVideo(const std::string& codec) { return codec == "mpeg1video" || codec == "mpeg2video"; }

std::string runForOutput(const std::string& program, const char* option)
{
    platform::ChildProcess child;
    std::string error;
    if (!child.start({program, "-hide_banner", option}, platform::ChildProcess::kNiceNormal, &error))
        return {};
    std::string text;
    while (child.read(text) == platform::ChildProcess::ReadStatus::Data) {
    }
    child.finish();
    return text;
}

// Both listings at once: each costs a start-up of ffmpeg (a tenth of a second and more), and the
// two are independent. Each child has its own reader, so neither can stall on a full pipe.
EncoderCapabilities queryInstalledFfmpeg(const std::string& ffmpeg)
{
    std::string muxers;
    std::thread muxerQuery;
    try {
        muxerQuery = std::thread([&muxers, &ffmpeg] { muxers = runForOutput(ffmpeg, "-muxers"); });
    } catch (const std::system_error&) {
        // No thread to spare: the muxers are asked for after the encoders.
    }
    const std::string encoders = runForOutput(ffmpeg, "-encoders");
    if (muxerQuery.joinable())
        muxerQuery.join();
    else
        muxers = runForOutput(ffmpeg, "-muxers");
    if (encoders.empty() && muxers.empty())
        return EncoderCapabilities();
    return EncoderCapabilities::parse(encoders, muxers);
}

std::string locateProgram(const char* variable, const char* name, bool& found)
{
    if (const char* given = std::getenv(variable); given && *given) {
        found = !platform::ChildProcess::findProgram(given).empty();
        return given;
    }
    std::string besideProgram = (platform::Paths::programDirectory() / name).string();
    if (!platform::ChildProcess::findProgram(besideProgram).empty()) {
        found = true;
        return besideProgram;
    }
    std::string onPath = platform::ChildProcess::findProgram(name);
    found = !onPath.empty();
    return found ? onPath : std::string(name);
}

// The audio encoder to start for a classic token, with the options it needs and a note when the
// result differs from what the token asked for.
struct AudioChoice {
    std::string codec;  // empty: leave the choice to ffmpeg
    bool strict = false;
    std::string note;
};

// The audio tokens whose translation depends on what the installed ffmpeg offers.
bool audioTokenNeedsCapabilities(const std::string& token)
{
    return token == "vorbis" || token == "libamr_nb" || token == "libamr_wb";
}

// The format tokens (first word) whose translation depends on what the installed ffmpeg offers.
bool formatNeedsCapabilities(const std::string& format) { return format == "ffm"; }

// Only the tokens of audioTokenNeedsCapabilities() read the binding's capabilities.
AudioChoice chooseAudioEncoder(const std::string& token, const std::string& format, const EncoderBinding& binding)
{
    if (token == "libfaac")
        return {"aac", false, {}};
    if (token == "vorbis") {
        const EncoderCapabilities& capabilities = binding.ffmpegCapabilities();
        if (capabilities.hasEncoder("libvorbis") || !capabilities.known())
            return {"libvorbis", false, {}};
        return {"vorbis", true, {}};
    }
    if (token == "sonicls")
        return {"sonicls", true, {}};
    if (token == "libamr_nb" || token == "libamr_wb") {
        const bool wide = token == "libamr_wb";
        const std::string encoder = wide ? "libvo_amrwbenc" : "libopencore_amrnb";
        const std::string codecName = wide ? "AMR WB" : "AMR NB";
        if (binding.ffmpegCapabilities().hasEncoder(encoder))
            return {encoder, false, {}};
        if (containerTakesAac(format))
            return {"aac", false,
                    codecName + " is not available in this ffmpeg; writing AAC with the same sample rate and channels"
                                " instead"};
        return {encoder, false,
                codecName + " is not available in this ffmpeg (it lacks " + encoder + "); the conversion will fail"};
    }
    return {token, false, {}};
}

// WMV, which the classic grammar gives to mencoder, translated for ffmpeg.
bool isWmv(const EncoderOptions& o) { return o.program == EncoderProgram::Mencoder; }

// A word that a format token carries after the container's name, as this ffmpeg spells it.
std::string ffmpegFormatWord(const std::string& word, const std::string& format)
{
    if (word == "-loop_output")
        return "-loop";  // the gif muxer's name for the same setting
    if (word == "rgb24" && format == "gif")
        return "rgb8";  // the gif encoder takes palette formats only
    return word;
}

// A type without a video half (or without an audio half) would otherwise let ffmpeg add the
// source's other stream with the container's default codec.
void appendMissingHalf(std::vector<std::string>& argv, const EncoderOptions& o,
                       const std::vector<std::string>& formatWords)
{
    const bool hasVn = std::find(formatWords.begin(), formatWords.end(), "-vn") != formatWords.end();
    if (!o.typeHasVideo && o.typeHasAudio && !hasVn)
        argv.emplace_back("-vn");
    if (o.typeHasVideo && !o.typeHasAudio)
        argv.emplace_back("-an");
}

// The container step: "-f" with the format token's first word (asf for WMV), then the options the
// token carries. Returns the format written.
std::string appendFfmpegContainer(EncoderCommand& command, const EncoderOptions& o, const EncoderBinding& binding)
{
    std::vector<std::string> formatWords = isWmv(o) ? std::vector<std::string>{"asf"} : splitWords(o.formatToken);
    if (formatWords.empty())
        formatWords.emplace_back();
    std::string format = formatWords.front();
    if (formatNeedsCapabilities(format) && !binding.ffmpegCapabilities().hasMuxer("ffm")) {
        format = "nut";
        command.notes.emplace_back("the ffm format is not available in this ffmpeg; writing NUT instead");
    }
    append(command.arguments, {"-f", format});
    for (std::size_t i = 1; i < formatWords.size(); ++i)
        command.arguments.push_back(ffmpegFormatWord(formatWords[i], format));
    if (isWmv(o)) {
        command.notes.emplace_back("WMV is written by ffmpeg (asf, " + o.videoToken + ", " +
                                   (o.audioToken.empty() ? std::string("wmav2") : o.audioToken) + ")");
        return format;
    }
    appendMissingHalf(command.arguments, o, formatWords);
    return format;
}

// The frame rate as written; MPEG video gets the standard rate the truncated one came from.
std::string ffmpegFrameRate(const std::string& codec, int64_t rate, std::vector<std::string>& notes)
{
    std::string text = std::to_string(rate);
    if (!isMpegVideo(codec))
        return text;
    std::string standard = mpegFrameRate(rate);
    if (standard != text)
        notes.emplace_back(codec + " takes only standard frame rates; using " + standard + " for " + text);
    return standard;
}

// The video step: codec (with the options its token carries), size, frame rate, bit rate.
void appendFfmpegVideo(EncoderCommand& command, const EncoderOptions& o)
{
    if (!o.videoOptions)
        return;
    std::vector<std::string>& argv = command.arguments;
    const std::vector<std::string> tokenWords = splitWords(o.videoToken);
    const std::string codec = tokenWords.empty() ? std::string() : tokenWords.front();
    if (!tokenWords.empty()) {
        argv.emplace_back("-vcodec");
        argv.insert(argv.end(), tokenWords.begin(), tokenWords.end());
    }
    if (o.videoSize)
        append(argv, {"-s", *o.videoSize});
    if (o.frameRate)
        append(argv, {"-r", ffmpegFrameRate(codec, *o.frameRate, command.notes)});
    if (o.videoBitrateKbps)
        append(argv, {"-b:v", std::to_string(*o.videoBitrateKbps * 1000)});
}

// The audio settings in the classic ffmpeg order: bit rate, channels (or none), sample rate.
void appendAudioSettings(std::vector<std::string>& argv, const EncoderOptions& o)
{
    if (o.audioBitrateBps)
        append(argv, {"-b:a", std::to_string(*o.audioBitrateBps)});
    if (o.channels == 0)
        argv.emplace_back("-an");
    else if (o.channels > 0)
        append(argv, {"-ac", std::to_string(o.channels)});
    if (o.sampleRate)
        append(argv, {"-ar", std::to_string(*o.sampleRate)});
}

// WMV's audio settings as mencoder's grammar gives them: kbit/s, then sample rate, then channels
// (mute has no option there).
void appendWmvAudioSettings(std::vector<std::string>& argv, const EncoderOptions& o)
{
    if (o.audioBitrateKbps)
        append(argv, {"-b:a", std::to_string(*o.audioBitrateKbps * 1000)});
    if (o.sampleRate)
        append(argv, {"-ar", std::to_string(*o.sampleRate)});
    if (o.channels > 0)
        append(argv, {"-ac", std::to_string(o.channels)});
}

// The audio step: the encoder to start and its settings. Returns whether that encoder needs
// experimental output allowed.
bool appendFfmpegAudio(EncoderCommand& command, const EncoderOptions& o, const std::string& format,
                       const EncoderBinding& binding)
{
    if (!o.audioOptions)
        return false;
    const AudioChoice choice = chooseAudioEncoder(o.audioToken, format, binding);
    if (!choice.note.empty())
        command.notes.push_back(choice.note);
    if (!choice.codec.empty())
        append(command.arguments, {"-acodec", choice.codec});
    if (isWmv(o))
        appendWmvAudioSettings(command.arguments, o);
    else
        appendAudioSettings(command.arguments, o);
    return choice.strict;
}

}  // namespace

const EncoderBinding& EncoderBinding::instance()
{
    static const EncoderBinding binding(locate());
    return binding;
}

EncoderBinding::Locations EncoderBinding::locate()
{
    Locations locations;
    locations.ffmpeg = locateProgram("LUMARET_FFMPEG", "ffmpeg", locations.ffmpegFound);
    locations.mencoder = locateProgram("LUMARET_MENCODER", "mencoder", locations.mencoderFound);
    return locations;
}

EncoderBinding::EncoderBinding(Locations locations, std::optional<EncoderCapabilities> capabilities)
    : locations_(std::move(locations)), query_(queryInstalledFfmpeg), capabilities_(std::move(capabilities))
{
    capabilitiesRead_.store(capabilities_.has_value());
}

EncoderBinding::EncoderBinding(Locations locations, CapabilityQuery query)
    : locations_(std::move(locations)), query_(std::move(query))
{
}

EncoderBinding::~EncoderBinding() = default;

const EncoderCapabilities& EncoderBinding::ffmpegCapabilities() const
{
    std::call_once(capabilitiesOnce_, [this] {
        if (!capabilities_) {
            if (!locations_.ffmpegFound || !query_)
                capabilities_.emplace();
            else
                capabilities_ = query_(locations_.ffmpeg);
        }
        capabilitiesRead_.store(true, std::memory_order_release);
    });
    return *capabilities_;
}

bool EncoderBinding::needsCapabilities(const EncoderOptions& o) const
{
    if (o.program == EncoderProgram::Mencoder) {
        // Which encoder writes WMV is the question; mencoder's translation asks nothing of ffmpeg.
        return !fixedWmvChoice().has_value();
    }
    const std::vector<std::string> formatWords = splitWords(o.formatToken);
    if (!formatWords.empty() && formatNeedsCapabilities(formatWords.front()))
        return true;
    return o.audioOptions && audioTokenNeedsCapabilities(o.audioToken);
}

void EncoderBinding::prepare(const EncoderOptions& options) const
{
    if (needsCapabilities(options))
        ffmpegCapabilities();
}

std::optional<bool> EncoderBinding::fixedWmvChoice() const
{
    if (const char* choice = std::getenv("LUMARET_WMV_ENCODER"); choice && std::string_view(choice) == "mencoder")
        return false;
    if (!locations_.ffmpegFound && locations_.mencoderFound)
        return false;
    return std::nullopt;
}

bool EncoderBinding::wmvThroughFfmpeg() const
{
    // Debian's mencoder links a libavcodec whose wmav2 path writes a single audio packet, so WMV
    // is written by ffmpeg unless asked otherwise (LUMARET_WMV_ENCODER=mencoder) or unless this
    // ffmpeg cannot write it at all.
    if (const std::optional<bool> fixed = fixedWmvChoice())
        return *fixed;
    const EncoderCapabilities& capabilities = ffmpegCapabilities();
    if (!capabilities.known())
        return true;
    const bool complete =
        capabilities.hasMuxer("asf") && capabilities.hasEncoder("wmv2") && capabilities.hasEncoder("wmav2");
    return complete || !locations_.mencoderFound;
}

EncoderCommand EncoderBinding::translate(const EncoderOptions& options) const
{
    if (options.program == EncoderProgram::Mencoder && !wmvThroughFfmpeg())
        return translateForMencoder(options);
    return translateForFfmpeg(options);
}

EncoderCommand EncoderBinding::translateForFfmpeg(const EncoderOptions& o) const
{
    EncoderCommand command;
    command.program = EncoderProgram::Ffmpeg;
    append(command.arguments, {locations_.ffmpeg, "-nostdin", "-i", ffmpegFileArgument(o.sourcePath), "-y"});
    const std::string format = appendFfmpegContainer(command, o, *this);
    appendFfmpegVideo(command, o);
    const bool audioStrict = appendFfmpegAudio(command, o, format, *this);
    // The mmf muxer writes stereo only when allowed experimental output.
    if (audioStrict || format == "mmf")
        command.arguments.insert(command.arguments.end(), std::begin(kStrictExperimental),
                                 std::end(kStrictExperimental));
    command.arguments.push_back(ffmpegFileArgument(o.outputPath));
    return command;
}

EncoderCommand EncoderBinding::translateForMencoder(const EncoderOptions& o) const
{
    EncoderCommand command;
    command.program = EncoderProgram::Mencoder;
    std::vector<std::string>& argv = command.arguments;
    append(argv, {locations_.mencoder, mencoderFileArgument(o.sourcePath), "-of", "lavf", "-lavfopts", "format=asf"});

    // mencoder keeps only the last -lavcopts it is given, so the video and audio settings that the
    // classic line gives in two go into one.
    std::string lavcopts = "vcodec=" + o.videoToken;
    if (o.videoBitrateKbps)
        lavcopts += ":vbitrate=" + std::to_string(*o.videoBitrateKbps);
    lavcopts += ":acodec=" + o.audioToken;
    if (o.audioBitrateKbps)
        lavcopts += ":abitrate=" + std::to_string(*o.audioBitrateKbps);
    append(argv, {"-ovc", "lavc", "-oac", "lavc", "-lavcopts", lavcopts});

    if (o.videoSize) {
        // The size becomes part of a filter chain, where "," or "=" would add filters of its own.
        const std::string& size = *o.videoSize;
        const auto x = size.rfind('x');
        const bool plain = x != std::string::npos && size.find_first_not_of("0123456789x") == std::string::npos;
        if (plain)
            append(argv, {"-vf", "scale=" + size.substr(0, x) + ":" + size.substr(x + 1)});
        else
            command.notes.emplace_back("the frame size \"" + size + "\" is not WIDTHxHEIGHT; the source size is kept");
    }
    if (o.frameRate)
        append(argv, {"-ofps", std::to_string(*o.frameRate)});
    if (o.sampleRate)
        append(argv, {"-srate", std::to_string(*o.sampleRate)});
    // -stereo selects a stereo mode in mencoder; the channel count is -channels.
    if (o.channels > 0)
        append(argv, {"-channels", std::to_string(o.channels)});
    append(argv, {"-o", mencoderFileArgument(o.outputPath)});
    return command;
}

EncoderCommand EncoderBinding::probeCommand(const std::string& sourcePath) const
{
    return probeCommand(std::vector<std::string>{sourcePath});
}

EncoderCommand EncoderBinding::probeCommand(const std::vector<std::string>& sourcePaths) const
{
    EncoderCommand command;
    command.program = EncoderProgram::Ffmpeg;
    command.commandText = "ffmpeg";
    command.arguments = {locations_.ffmpeg, "-hide_banner", "-nostdin"};
    for (const std::string& sourcePath : sourcePaths) {
        command.commandText += " -i \"" + sourcePath + "\"";
        command.arguments.push_back("-i");
        command.arguments.push_back(ffmpegFileArgument(sourcePath));
    }
    return command;
}

}  // namespace convert
