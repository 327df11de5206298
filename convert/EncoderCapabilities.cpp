#include "convert/EncoderCapabilities.h"

#include <cctype>

namespace convert {

namespace {

// Both listings have the same shape after their legend: a flags column, the name, a description.
//   " V....D libx264              libx264 H.264 / AVC ..."
//   "  E mp4             MP4 (MPEG-4 Part 14)"
// The legend lines ("V..... = Video", " D. = Demuxing supported") and the "------" rule separate
// them from the entries; entries come after the rule.
std::set<std::string> parseListing(std::string_view listing)
{
    std::set<std::string> names;
    bool inEntries = false;
    std::size_t position = 0;
    while (position < listing.size()) {
        std::size_t end = listing.find('\n', position);
        if (end == std::string_view::npos)
            end = listing.size();
        std::string_view line = listing.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const auto first = line.find_first_not_of(' ');
        if (first == std::string_view::npos)
            continue;
        line.remove_prefix(first);
        if (line.starts_with("--")) {
            inEntries = true;
            continue;
        }
        if (!inEntries)
            continue;
        const auto flagsEnd = line.find(' ');
        if (flagsEnd == std::string_view::npos)
            continue;
        line.remove_prefix(flagsEnd);
        const auto nameStart = line.find_first_not_of(' ');
        if (nameStart == std::string_view::npos)
            continue;
        line.remove_prefix(nameStart);
        const std::string_view name = line.substr(0, line.find(' '));
        // Muxer names may list aliases ("matroska,webm" for demuxers); keep each.
        std::size_t from = 0;
        while (from <= name.size()) {
            const auto comma = name.find(',', from);
            const auto piece =
                name.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from);
            if (!piece.empty())
                names.emplace(piece);
            if (comma == std::string_view::npos)
                break;
            from = comma + 1;
        }
    }
    return names;
}

}  // namespace

EncoderCapabilities EncoderCapabilities::parse(std::string_view encodersListing, std::string_view muxersListing)
{
    EncoderCapabilities capabilities;
    capabilities.known_ = true;
    capabilities.encoders_ = parseListing(encodersListing);
    capabilities.muxers_ = parseListing(muxersListing);
    return capabilities;
}

EncoderCapabilities EncoderCapabilities::of(std::set<std::string> encoders, std::set<std::string> muxers)
{
    EncoderCapabilities capabilities;
    capabilities.known_ = true;
    capabilities.encoders_ = std::move(encoders);
    capabilities.muxers_ = std::move(muxers);
    return capabilities;
}

}  // namespace convert
