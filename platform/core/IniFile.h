#pragma once
// IniFile: an INI file on disk with private-profile semantics (see IniDocument for the reading
// rules). Every read opens the file afresh, so changes by other programs are seen; nothing is
// cached.
//
// - A missing file, a missing section or key, or a file that cannot be read (no permission, a
//   folder, a FIFO or device, larger than kMaxFileBytes) gives the caller's default. Only regular
//   files are read, and a FIFO or device is refused without waiting on it.
// - A write reads the file, changes the one key and writes the whole text back; everything else
//   (comments, other sections, unknown keys, the byte order mark, line ends) stays byte for byte.
//   The folder, file, section and key are created as needed.
// - A write never leaves a half-written file: the new text goes to a temporary file in the same
//   folder, which is then renamed over the old one (a symbolic link is followed, the link kept).
//   A file that exists but cannot be read is never overwritten.
//
// - A write is a read, a change and a replacement; the file's folder stays locked (FolderLock)
//   from the read to the replacement, so a write by another program in between is never undone.
//
// Threads: any thread.
#include "platform/core/IniDocument.h"
#include "platform/core/RegularFile.h"

#include <cstddef>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class IniFile {
public:
    // Settings files are a few hundred bytes; anything far larger is not one of ours.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    explicit IniFile(std::filesystem::path file);

    const std::filesystem::path& path() const { return file_; }

    // The file's document; an empty document when the file does not exist; nothing when it exists
    // but cannot be read. `status`, when given, receives what the file turned out to be (Missing
    // and Ok give a document, the others nothing), for a caller that explains the refusal.
    std::optional<IniDocument> load(RegularFileStatus* status = nullptr) const;
    // Replaces the file with the document's bytes, safely (see above). False on failure, the old
    // file then untouched.
    bool save(const IniDocument& document) const;

    // Reads the document, lets `change` edit it and writes it back, with the folder locked
    // throughout. False, and the file untouched, when the file cannot be read, `change` returns
    // false or the write fails.
    bool update(const std::function<bool(IniDocument&)>& change) const;

    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    // False when the file could not be read or written, or IniDocument::setValue refused the names.
    bool writeString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    std::filesystem::path file_;
};

}  // namespace platform
