#pragma once
// The encoders and muxers an ffmpeg build offers, read from `ffmpeg -encoders` and `ffmpeg -muxers`.
#include <set>
#include <string>
#include <string_view>

namespace convert {

class EncoderCapabilities {
public:
    // An unknown set: every question answers with the assumption of a current Debian build.
    EncoderCapabilities() = default;
    // Parses the two listings. Lines that do not look like entries are skipped; garbage yields an
    // empty, but known, set.
    static EncoderCapabilities parse(std::string_view encodersListing, std::string_view muxersListing);
    // A known set holding exactly the given names (tests).
    static EncoderCapabilities of(std::set<std::string> encoders, std::set<std::string> muxers);

    bool known() const { return known_; }
    bool hasEncoder(const std::string& name) const { return encoders_.count(name) != 0; }
    bool hasMuxer(const std::string& name) const { return muxers_.count(name) != 0; }

private:
    bool known_ = false;
    std::set<std::string> encoders_;
    std::set<std::string> muxers_;
};

}  // namespace convert
