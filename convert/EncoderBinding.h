#pragma once
// Everything the program knows about today's encoders lives here: where ffmpeg and mencoder are,
// what the installed builds can do, and how the classic command grammar translates into arguments
// they accept.
//
// Encoders are looked up in this order: $LUMARET_FFMPEG / $LUMARET_MENCODER, the program folder,
// PATH. An encoder that is not found keeps its bare name, so starting it fails with a message that
// names it.
//
// WMV, which the classic grammar gives to mencoder, is written by ffmpeg (asf, wmv2, wmav2) when
// the installed ffmpeg can: Debian 12's mencoder writes WMV files that hold a single audio packet.
// LUMARET_WMV_ENCODER=mencoder selects mencoder for a build where it works.
//
// Threads: every const member may be called from any thread. The installed ffmpeg's encoder and
// muxer lists are read once, on first need, and kept for the life of the binding. Most profiles
// never need them (see needsCapabilities); asking costs two ffmpeg start-ups, run side by side.
//
// The lists are not cached on disk: the same ffmpeg binary can change what it offers when its
// libraries are swapped (Debian's libavcodec-extra adds the AMR encoders under an unchanged
// /usr/bin/ffmpeg), so a cache keyed by the binary would keep writing AAC for AMR profiles.
#include "convert/EncoderCapabilities.h"
#include "convert/EncoderCommand.h"
#include "convert/EncoderOptions.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace convert {

class EncoderBinding {
public:
    struct Locations {
        std::string ffmpeg;    // a path, or the bare name "ffmpeg" when none was found
        std::string mencoder;  // a path, or the bare name "mencoder" when none was found
        bool ffmpegFound = false;
        bool mencoderFound = false;
    };

    // The process-wide binding; locates the encoders on first use.
    static const EncoderBinding& instance();

    // Looks for the encoders now (environment, program folder, PATH).
    static Locations locate();

    // Reads the capabilities of the ffmpeg at the given path; called at most once per binding.
    using CapabilityQuery = std::function<EncoderCapabilities(const std::string& ffmpegPath)>;

    // A binding over the given encoders. Without capabilities, the installed ffmpeg is asked for
    // them on first need; with them (tests), it is never run.
    explicit EncoderBinding(Locations locations, std::optional<EncoderCapabilities> capabilities = std::nullopt);
    // A binding that asks `query` instead of the installed ffmpeg, on first need (tests that count
    // the questions). Not called when ffmpeg was not found.
    EncoderBinding(Locations locations, CapabilityQuery query);
    ~EncoderBinding();
    EncoderBinding(const EncoderBinding&) = delete;
    EncoderBinding& operator=(const EncoderBinding&) = delete;

    const Locations& locations() const { return locations_; }

    // What the installed ffmpeg can encode and write. When ffmpeg cannot be run, the lists are
    // empty and known() is false; the translation then assumes a current build. The first call
    // runs `ffmpeg -encoders` and `ffmpeg -muxers` at the same time and blocks until both end;
    // concurrent first callers wait for the same answer.
    const EncoderCapabilities& ffmpegCapabilities() const;
    // True once ffmpegCapabilities() answers without waiting (given at construction, or read).
    bool capabilitiesRead() const { return capabilitiesRead_.load(std::memory_order_acquire); }

    // Whether translate(options) depends on ffmpegCapabilities(): WMV (which encoder writes it),
    // the ffm container, and the vorbis and AMR audio encoders. Everything else translates by
    // fixed rules, without running ffmpeg.
    bool needsCapabilities(const EncoderOptions& options) const;

    // Reads now what translate(options) will need (the capability lists, only when
    // needsCapabilities), so that a later translate does not wait for ffmpeg. Blocking; any
    // thread. The job calls it while the probe runs.
    void prepare(const EncoderOptions& options) const;

    // The argument vector, the program that runs and the notes for a conversion in the classic
    // grammar. commandText and the output fields of the result are left empty: the builder fills
    // them.
    EncoderCommand translate(const EncoderOptions& options) const;

    // The media probe: "ffmpeg -i \"FILE\"" as text, and its argument vector (no output file; ffmpeg
    // prints the input's facts and then complains that no output was given). The started vector
    // leaves out ffmpeg's build banner, which would only take room in the probe's output limit.
    EncoderCommand probeCommand(const std::string& sourcePath) const;
    // The probe of several files in one run: the same arguments with "-i" and the file for each
    // source, in order (and likewise in the text). ffmpeg prints one section per input, in that
    // order, and stops at the first input it cannot open.
    EncoderCommand probeCommand(const std::vector<std::string>& sourcePaths) const;

private:
    EncoderCommand translateForFfmpeg(const EncoderOptions& options) const;
    EncoderCommand translateForMencoder(const EncoderOptions& options) const;
    // The WMV encoder when the choice does not depend on the capabilities (true: ffmpeg).
    std::optional<bool> fixedWmvChoice() const;
    bool wmvThroughFfmpeg() const;

    Locations locations_;
    CapabilityQuery query_;
    mutable std::once_flag capabilitiesOnce_;
    mutable std::optional<EncoderCapabilities> capabilities_;
    mutable std::atomic<bool> capabilitiesRead_{false};
};

}  // namespace convert
