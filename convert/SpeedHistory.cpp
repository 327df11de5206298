#include "convert/SpeedHistory.h"

#include "convert/Crc32.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace convert {

namespace {

constexpr std::string_view kHeaderLine = "LumaretSpeeds 1\n";
constexpr std::string_view kEndWord = "end ";

bool isStorableName(std::string_view name)
{
    if (name.empty() || name.size() > SpeedHistory::kLongestName)
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool isStorableRate(double rate)
{
    return std::isfinite(rate) && rate >= SpeedHistory::kLowestRate && rate <= SpeedHistory::kHighestRate;
}

// Folds one more file into an average: see the header for the weights.
void addSample(SpeedHistory::Average& average, double rate)
{
    average.samples = std::min(average.samples + 1, SpeedHistory::kMostSamples);
    const double weight = std::max(1.0 / average.samples, SpeedHistory::kNewWeight);
    average.secondsPerMediaSecond += weight * (rate - average.secondsPerMediaSecond);
}

bool addTo(SpeedHistory::Averages& averages, const std::string& name, double rate)
{
    auto found = averages.find(name);
    if (found == averages.end()) {
        if (averages.size() >= SpeedHistory::kMostProfiles)
            return false;
        found = averages.emplace(name, SpeedHistory::Average{}).first;
    }
    addSample(found->second, rate);
    return true;
}

std::string decimal(double value)
{
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

std::string hex8(uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

// Takes the text up to the next blank (or to the end) off the front of `line`.
std::string_view takeWord(std::string_view& line)
{
    const size_t blank = std::min(line.find(' '), line.size());
    const std::string_view word = line.substr(0, blank);
    line.remove_prefix(std::min(blank + 1, line.size()));
    return word;
}

// A whole decimal count without sign or leading zeros, 1..most.
std::optional<uint64_t> readCount(std::string_view word, uint64_t most)
{
    if (word.empty() || word.size() > 10 || (word[0] == '0' && word.size() > 1))
        return std::nullopt;
    uint64_t value = 0;
    const std::from_chars_result end = std::from_chars(word.data(), word.data() + word.size(), value);
    if (end.ec != std::errc() || end.ptr != word.data() + word.size() || value > most)
        return std::nullopt;
    return value;
}

std::optional<double> readRate(std::string_view word)
{
    // from_chars would also take "inf", "nan" and a sign; only plain digits, a point and an
    // exponent are what to_chars writes for the rates that may be stored.
    if (word.empty() || word.find_first_not_of("0123456789.e-+") != std::string_view::npos || word[0] == '-' ||
        word[0] == '+')
        return std::nullopt;
    double value = 0;
    const std::from_chars_result end = std::from_chars(word.data(), word.data() + word.size(), value);
    if (end.ec != std::errc() || end.ptr != word.data() + word.size() || !isStorableRate(value))
        return std::nullopt;
    return value;
}

// One "<samples> <rate> <name>" line without its "\n".
bool readProfileLine(std::string_view line, SpeedHistory::Averages& into)
{
    const std::optional<uint64_t> samples = readCount(takeWord(line), SpeedHistory::kMostSamples);
    const std::optional<double> rate = readRate(takeWord(line));
    if (!samples || *samples == 0 || !rate || !isStorableName(line))
        return false;
    // Names must come in ascending order, which also rules out a name given twice.
    if (!into.empty() && !(into.rbegin()->first < line))
        return false;
    into.emplace_hint(into.end(), std::string(line), SpeedHistory::Average{*rate, static_cast<uint32_t>(*samples)});
    return true;
}

bool readEndLine(std::string_view line, size_t profiles, std::string_view covered)
{
    if (line.substr(0, kEndWord.size()) != kEndWord)
        return false;
    line.remove_prefix(kEndWord.size());
    const std::optional<uint64_t> count = readCount(takeWord(line), SpeedHistory::kMostProfiles);
    // What is left of the line is the checksum.
    return count && *count == profiles && line == hex8(Crc32::of(covered));
}

}  // namespace

SpeedHistory::SpeedHistory() = default;

SpeedHistory::SpeedHistory(std::filesystem::path folder) : folder_(std::move(folder))
{
    load();
}

std::filesystem::path SpeedHistory::path() const
{
    return folder_ ? *folder_ / kFileName : std::filesystem::path();
}

std::filesystem::path SpeedHistory::badPath() const
{
    return folder_ ? *folder_ / (std::string(kFileName) + ".bad") : std::filesystem::path();
}

void SpeedHistory::load()
{
    std::error_code error;
    const std::filesystem::file_status entry = std::filesystem::symlink_status(path(), error);
    if (entry.type() == std::filesystem::file_type::not_found) {
        loaded_ = Loaded::Missing;
        return;
    }
    // A link is never read: it could lead anywhere, to a FIFO or to another user's file.
    if (!error && entry.type() != std::filesystem::file_type::symlink) {
        std::string bytes;
        if (platform::RegularFile::read(path(), kMostBytes, bytes) == platform::RegularFileStatus::Ok) {
            if (std::optional<Averages> averages = decode(bytes)) {
                remembered_ = std::move(*averages);
                loaded_ = Loaded::Read;
                return;
            }
        }
    }
    setAside();
}

void SpeedHistory::setAside()
{
    // rename() moves the entry itself: a link goes aside as a link, its target stays untouched.
    std::error_code error;
    std::filesystem::rename(path(), badPath(), error);
    loaded_ = error ? Loaded::NotKept : Loaded::SetAside;
}

bool SpeedHistory::record(const std::string& profileName, double encodingSeconds, double mediaSeconds)
{
    if (!isStorableName(profileName) || !std::isfinite(mediaSeconds) || mediaSeconds < kShortestMediaSeconds)
        return false;
    const double rate = encodingSeconds / mediaSeconds;
    if (!isStorableRate(rate))
        return false;
    const bool remembered = addTo(remembered_, profileName, rate);
    return addTo(thisRun_, profileName, rate) || remembered;
}

std::optional<double> SpeedHistory::rate(const std::string& profileName) const
{
    for (const Averages* averages : {&thisRun_, &remembered_}) {
        const auto found = averages->find(profileName);
        if (found != averages->end())
            return found->second.secondsPerMediaSecond;
    }
    return std::nullopt;
}

bool SpeedHistory::save(std::string* error) const
{
    if (!folder_ || loaded_ == Loaded::NotKept) {
        if (error)
            *error = folder_ ? "无法保存转换速度记录: 损坏的 " + path().string() + " 无法改名保存"
                             : "转换速度记录没有保存位置";
        return false;
    }
    return platform::AtomicFile::replace(path(), encode(remembered_), 0600, error);
}

std::string SpeedHistory::encode(const Averages& averages)
{
    std::string out(kHeaderLine);
    for (const auto& [name, average] : averages)
        out += std::to_string(average.samples) + " " + decimal(average.secondsPerMediaSecond) + " " + name + "\n";
    out += std::string(kEndWord) + std::to_string(averages.size()) + " " + hex8(Crc32::of(out)) + "\n";
    return out;
}

std::optional<SpeedHistory::Averages> SpeedHistory::decode(std::string_view bytes)
{
    if (bytes.substr(0, kHeaderLine.size()) != kHeaderLine || bytes.empty() || bytes.back() != '\n')
        return std::nullopt;
    Averages averages;
    size_t at = kHeaderLine.size();
    while (at < bytes.size()) {
        const size_t end = bytes.find('\n', at);
        const std::string_view line = bytes.substr(at, end - at);
        if (end + 1 == bytes.size())
            return readEndLine(line, averages.size(), bytes.substr(0, at)) ? std::optional(averages) : std::nullopt;
        if (averages.size() >= kMostProfiles || !readProfileLine(line, averages))
            return std::nullopt;
        at = end + 1;
    }
    return std::nullopt;
}

}  // namespace convert
