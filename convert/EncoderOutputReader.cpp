#include "convert/EncoderOutputReader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace convert {

namespace {

// A line longer than this without a break is taken as complete; output that never breaks its
// lines must not grow the pending text without bound.
constexpr size_t kMaxLine = 16384;
// How far after a marker the value may start, as the classic reader allowed.
constexpr size_t kMarkerReach = 299;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t skipBlanks(std::string_view text, size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    return at;
}

// Reads digits [. digits] at `at`; nullopt when there is no digit.
std::optional<double> readDecimal(std::string_view text, size_t& at)
{
    const size_t begin = at;
    double value = 0;
    while (at < text.size() && isDigit(text[at]) && at - begin < 12)
        value = value * 10 + (text[at++] - '0');
    if (at == begin)
        return std::nullopt;
    if (at < text.size() && text[at] == '.') {
        ++at;
        double scale = 0.1;
        while (at < text.size() && isDigit(text[at]) && scale > 1e-9) {
            value += (text[at++] - '0') * scale;
            scale /= 10;
        }
        while (at < text.size() && isDigit(text[at]))
            ++at;
    }
    return value;
}

// "HH:MM:SS.ff", "MM:SS.ff" or "SS.ff", with an optional minus sign (ffmpeg prints negative times
// before the first frame of some inputs; they count as 0).
std::optional<double> readClockTime(std::string_view text, size_t at)
{
    bool negative = false;
    if (at < text.size() && text[at] == '-') {
        negative = true;
        ++at;
    }
    double seconds = 0;
    for (int part = 0; part < 3; ++part) {
        const std::optional<double> value = readDecimal(text, at);
        if (!value)
            return std::nullopt;
        seconds = seconds * 60 + *value;
        if (at >= text.size() || text[at] != ':')
            break;
        ++at;
    }
    return negative ? 0.0 : seconds;
}

int cutPercent(double fraction)
{
    if (!(fraction > 0))
        return 0;
    return static_cast<int>(std::min(100.0, std::floor(fraction * 100.0)));
}

int64_t millisOf(double seconds)
{
    // Far beyond any real media (about 3 million years), and still inside the integer's range.
    constexpr double kLongest = 1e17;
    return static_cast<int64_t>(std::llround(std::clamp(seconds * 1000.0, 0.0, kLongest)));
}

// Leaves out a broken UTF-8 sequence at the front of a text cut from a longer one.
std::string_view fromCharacterStart(std::string_view text)
{
    size_t skip = 0;
    while (skip < text.size() && skip < 3 && (static_cast<unsigned char>(text[skip]) & 0xC0) == 0x80)
        ++skip;
    return text.substr(skip);
}

}  // namespace

EncoderOutputReader::EncoderOutputReader(EncoderProgram program, int64_t durationMillis)
    : program_(program), durationMillis_(std::max<int64_t>(0, durationMillis))
{
}

EncoderOutputReader::EncoderOutputReader(EncoderProgram program, std::string_view inputName) : program_(program)
{
    if (program_ == EncoderProgram::Ffmpeg)
        header_.emplace(inputName);
}

void EncoderOutputReader::setDurationMillis(int64_t durationMillis)
{
    header_.reset();
    durationMillis_ = std::max<int64_t>(0, durationMillis);
    durationFromHeader_ = false;
    updatePercent();
}

void EncoderOutputReader::readHeader(std::string_view piece)
{
    header_->feed(piece);
    if (header_->sectionEnded())
        endHeader();
}

void EncoderOutputReader::endHeader()
{
    const MediaInfo info = header_->finish();
    header_.reset();
    if (info.ok && !durationMillis_) {
        durationMillis_ = info.durationMillis;
        durationFromHeader_ = true;
        updatePercent();
    }
}

void EncoderOutputReader::updatePercent()
{
    if (!sawProgress_ || !durationMillis_)
        return;
    const int64_t duration = *durationMillis_;
    if (program_ == EncoderProgram::Mencoder) {
        // mencoder's own percentage follows the file position, which runs ahead of the time for
        // many containers; its position in seconds over the duration is the true share.
        percent_ = duration > 0 ? cutPercent(lastSeconds_ * 1000.0 / static_cast<double>(duration))
                                : std::clamp(ownPercent_, 0, 100);
    } else if (duration > 0) {
        percent_ = cutPercent(lastSeconds_ * 1000.0 / static_cast<double>(duration));
    }
}

std::optional<double> EncoderOutputReader::ffmpegStatusSeconds(std::string_view line)
{
    const size_t size = line.find("size=");
    if (size == std::string_view::npos ||
        (line.find("kB", size) == std::string_view::npos && line.find("KiB", size) == std::string_view::npos))
        return std::nullopt;
    const size_t time = line.find("time=");
    if (time == std::string_view::npos || line.find('.', time) == std::string_view::npos)
        return std::nullopt;
    const size_t start = skipBlanks(line, time + 5);
    if (start > time + 5 + kMarkerReach)
        return std::nullopt;
    return readClockTime(line, start);
}

std::optional<double> EncoderOutputReader::ffmpegReportedSpeed(std::string_view line)
{
    const size_t marker = line.find("speed=");
    if (marker == std::string_view::npos)
        return std::nullopt;
    size_t at = skipBlanks(line, marker + 6);
    if (at > marker + 6 + kMarkerReach)
        return std::nullopt;
    const std::optional<double> speed = readDecimal(line, at);
    // The "x" proves the number was not cut off by the end of a piece of output.
    if (!speed || at >= line.size() || line[at] != 'x' || !(*speed > 0) || *speed > kMaxReportedSpeed)
        return std::nullopt;
    return speed;
}

std::optional<EncoderOutputReader::MencoderStatus> EncoderOutputReader::mencoderStatus(std::string_view line)
{
    const size_t pos = line.find("Pos:");
    if (pos == std::string_view::npos)
        return std::nullopt;
    const size_t open = line.find('(', pos);
    const size_t percentSign = line.find('%', pos);
    if (open == std::string_view::npos || percentSign == std::string_view::npos || percentSign < open)
        return std::nullopt;
    // The classic reader read at most 9 characters between the bracket and the sign.
    std::string_view number = line.substr(open + 1, std::min<size_t>(percentSign - open - 1, 9));
    size_t at = skipBlanks(number, 0);
    const std::optional<double> percent = readDecimal(number, at);
    if (!percent)
        return std::nullopt;
    MencoderStatus status;
    status.percent = static_cast<int>(std::min(100.0, *percent));
    size_t secondsAt = skipBlanks(line, pos + 4);
    if (const std::optional<double> seconds = readDecimal(line, secondsAt); seconds && secondsAt <= open)
        status.seconds = *seconds;
    return status;
}

bool EncoderOutputReader::feed(std::string_view piece)
{
    // The header comes before any status line; it is read as ffmpeg wrote it, line breaks and all.
    if (header_)
        readHeader(piece);
    bool progressed = false;
    size_t begin = 0;
    for (size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] != '\r' && piece[i] != '\n')
            continue;
        if (pending_.empty()) {
            progressed |= takeLine(piece.substr(begin, i - begin));
        } else {
            pending_.append(piece.substr(begin, i - begin));
            progressed |= takeLine(pending_);
            pending_.clear();
        }
        begin = i + 1;
    }
    pending_.append(piece.substr(begin));
    if (pending_.size() > kMaxLine) {
        progressed |= takeLine(pending_);
        pending_.clear();
    }
    return progressed;
}

void EncoderOutputReader::finish()
{
    if (!pending_.empty()) {
        takeLine(pending_);
        pending_.clear();
    }
    if (header_)
        endHeader();
}

bool EncoderOutputReader::takeLine(std::string_view line)
{
    if (line.empty())
        return false;
    remember(line);
    if (program_ == EncoderProgram::Mencoder) {
        const std::optional<MencoderStatus> status = mencoderStatus(line);
        if (!status)
            return false;
        sawProgress_ = true;
        ++statusLines_;
        lastTimeMillis_ = millisOf(status->seconds);
        lastSeconds_ = status->seconds;
        ownPercent_ = status->percent;
        updatePercent();
        return true;
    }
    const std::optional<double> seconds = ffmpegStatusSeconds(line);
    if (!seconds)
        return false;
    // The first status line comes after the header: what it said about the input is all there is.
    if (header_)
        endHeader();
    sawProgress_ = true;
    ++statusLines_;
    lastTimeMillis_ = millisOf(*seconds);
    lastSeconds_ = *seconds;
    reportedSpeed_ = ffmpegReportedSpeed(line);
    updatePercent();
    return true;
}

void EncoderOutputReader::remember(std::string_view line)
{
    // ffmpeg opens with its build banner: "ffmpeg version ..." and indented lines below it. It
    // says nothing about the failure and would crowd the error text out.
    if (firstLine_ && program_ == EncoderProgram::Ffmpeg && line.rfind("ffmpeg version", 0) == 0)
        inBanner_ = true;
    firstLine_ = false;
    if (inBanner_) {
        if (line.rfind("  ", 0) == 0 || line.rfind("ffmpeg version", 0) == 0)
            return;
        inBanner_ = false;
    }
    lastLines_.emplace_back(line);
    lastLinesBytes_ += line.size() + 1;
    // Keep a little more than the error text needs, so the text can start at a line start.
    while (lastLines_.size() > 1 && lastLinesBytes_ - lastLines_.front().size() - 1 > kMaxErrorText) {
        lastLinesBytes_ -= lastLines_.front().size() + 1;
        lastLines_.pop_front();
    }
}

std::string EncoderOutputReader::errorText() const
{
    // Whole lines from the end while they fit; a single line too long to fit is cut at its front.
    size_t used = 0;
    size_t first = lastLines_.size();
    while (first > 0) {
        const size_t cost = lastLines_[first - 1].size() + (used > 0 ? 1 : 0);
        if (used + cost > kMaxErrorText)
            break;
        used += cost;
        --first;
    }
    std::string text;
    if (first == lastLines_.size() && !lastLines_.empty()) {
        const std::string& last = lastLines_.back();
        return std::string(fromCharacterStart(std::string_view(last).substr(last.size() - kMaxErrorText)));
    }
    for (size_t i = first; i < lastLines_.size(); ++i) {
        if (!text.empty())
            text += '\n';
        text += lastLines_[i];
    }
    if (!pending_.empty() && text.size() + 1 + pending_.size() <= kMaxErrorText)
        text += (text.empty() ? "" : "\n") + pending_;
    return text;
}

}  // namespace convert
