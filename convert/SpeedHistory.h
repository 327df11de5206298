#pragma once
// SpeedHistory: how long each profile takes to encode, in seconds of encoding per second of media
// (0.5: a ten-minute film takes five minutes), remembered across runs in speed.dat in the data
// folder, so that the first file of a later queue already has a time-left estimate.
//
// A profile's value is a moving average of the files converted with it: the first file's rate
// stands alone, the next ones are averaged in with a weight of 1/n, and from the fourth on each
// new file weighs kNewWeight, so the value follows a machine that got faster or busier. The files
// of this run also keep a separate average: rate() prefers it, since the machine as it is now
// (its load, its heat) predicts the rest of the queue better than another day's history does.
//
// File format, version 1: UTF-8 text, lines ended by "\n", nothing else in the file:
//   LumaretSpeeds 1
//   <samples> <seconds per media second> <profile name>      one line per profile
//   end <number of profile lines> <CRC-32>
// <samples> is a decimal count from 1 to kMostSamples without leading zeros; the rate is a decimal
// number in the shortest form that reads back as the same double (std::to_chars), between kLowest
// and kHighestRate; the name is the rest of the line (1 to kLongestName bytes, no control
// characters), and the lines are sorted by name's bytes, each name once. The CRC-32 (IEEE) covers
// every byte before the "end" line and is written as 8 lowercase hexadecimal digits.
//
// Damage: a file that is not exactly that (cut at any byte, altered, another version), larger than
// kMostBytes, not a regular file (a FIFO is never opened for a wait), unreadable, or a symbolic
// link (wherever it points) is not read. It is moved aside to speed.dat.bad (a link is moved as
// the link; what it points to is never touched) and the history starts empty. When even that
// fails, save() refuses to write over what could not be kept.
//
// Writing: save() replaces speed.dat whole through AtomicFile (temporary file beside it, fsync,
// rename), so a reader finds the old file or the new one, and a link at its place is replaced by
// a plain file rather than followed.
//
// Threads: one owner thread; nothing is shared.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace convert {

class SpeedHistory {
public:
    static constexpr const char* kFileName = "speed.dat";
    static constexpr uint64_t kMostBytes = 1u << 20;
    static constexpr std::size_t kMostProfiles = 1024;
    static constexpr std::size_t kLongestName = 400;
    static constexpr uint32_t kMostSamples = 1000000;
    static constexpr double kLowestRate = 1e-4;
    static constexpr double kHighestRate = 1e4;
    static constexpr double kNewWeight = 0.3;
    // A file shorter than this says more about the encoder's start-up than about its pace.
    static constexpr double kShortestMediaSeconds = 0.5;

    struct Average {
        double secondsPerMediaSecond = 0;
        uint32_t samples = 0;
        bool operator==(const Average&) const = default;
    };
    using Averages = std::map<std::string, Average>;

    enum class Loaded {
        Nothing,     // in memory only: no folder given
        Missing,     // no file yet; the history starts empty
        Read,        // the file was read
        SetAside,    // the file was damaged, too large, not a plain file or a link; kept as .bad
        NotKept,     // as SetAside, but moving it failed; save() will not replace it
    };

    // A history kept in memory only; save() writes nothing.
    SpeedHistory();
    // Reads folder/speed.dat now, setting a damaged one aside (see above).
    explicit SpeedHistory(std::filesystem::path folder);

    Loaded loaded() const { return loaded_; }
    std::filesystem::path path() const;
    std::filesystem::path badPath() const;

    // A converted file: `encodingSeconds` on the awake clock for `mediaSeconds` of media. False
    // (nothing remembered) for a name that cannot be stored, a file shorter than
    // kShortestMediaSeconds, a rate outside kLowestRate..kHighestRate, or a new profile when
    // kMostProfiles are already remembered.
    bool record(const std::string& profileName, double encodingSeconds, double mediaSeconds);
    // The profile's seconds of encoding per second of media: this run's average when a file of
    // the profile was converted in it, else the remembered one; nothing for an unknown profile.
    std::optional<double> rate(const std::string& profileName) const;
    // What the file holds (and save() writes): the averages across runs.
    const Averages& remembered() const { return remembered_; }

    // Replaces speed.dat with remembered(). False, with a sentence naming the file in *error, when
    // the history has no folder, the damaged file could not be kept, or the write failed (the old
    // file is then left whole).
    bool save(std::string* error = nullptr) const;

    static std::string encode(const Averages& averages);
    // Nothing when the bytes are not exactly a version-1 file.
    static std::optional<Averages> decode(std::string_view bytes);

private:
    void load();
    void setAside();

    std::optional<std::filesystem::path> folder_;
    Loaded loaded_ = Loaded::Nothing;
    Averages remembered_;
    Averages thisRun_;
};

}  // namespace convert
