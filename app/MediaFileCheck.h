#pragma once
// MediaFileCheck: whether a file is worth handing to the encoders, for the file managers' menus
// that filter nothing themselves. A file counts as video or audio when its first bytes carry the
// signature of a container or stream the encoders read (MP4/QuickTime, Matroska/WebM, AVI, WAV,
// ASF/WMV, FLV, MPEG program and transport streams, Ogg, RealMedia, MP3, AAC, FLAC, AIFF, AC-3,
// AMR, Monkey's Audio, WavPack, CAF, MXF, Y4M, NUT), as `file --mime-type` would judge it, or
// when its name ends in one of the usual media extensions (a clip is often cut or still being
// written, and its name is then the only sign). A file without an extension is judged by its
// content alone.
//
// Only regular files are opened, without waiting (a FIFO or a device in a file's place is no
// media file); at most kHeadBytes are read.
//
// Threads: any thread; nothing is shared.
#include <cstddef>
#include <filesystem>
#include <string_view>

namespace app {

class MediaFileCheck {
public:
    // Enough for a transport stream's third sync byte (two 188-byte packets and one more byte).
    static constexpr std::size_t kHeadBytes = 512;

    // True when `file` is a regular file that looks like video or audio by content or by name.
    static bool isMediaFile(const std::filesystem::path& file);
    // True when `head`, the first bytes of a file, begins with a known media signature.
    static bool hasMediaSignature(std::string_view head);
    // True when the name ends in a media extension, compared without regard to case.
    static bool hasMediaExtension(const std::filesystem::path& file);
};

}  // namespace app
