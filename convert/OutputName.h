#pragma once
// How a conversion's output file is named after its source, and where it goes when nothing else
// is known. This is the one place that cuts a source path into folder and name, and the one place
// that knows the fallback output folder.
//
// The name is the source's file name without its last extension, then "_N" when an earlier name is
// taken (N = 1, 2, ...), then " [profile name]" when asked for, then "." and the first word of the
// conversion type's format token: clip.avi, clip_1.avi, clip_1 [AVI 640x480].avi. A file name
// without an extension (common on Linux) keeps its whole name: "recording" gives recording.avi.
//
// Pure text work: nothing here touches the disk. Any thread.
#include "profile/ProfileRecord.h"

#include <cstdint>
#include <optional>
#include <string>

namespace convert {

class OutputName {
public:
    struct SourceParts {
        std::string folder;  // the text before the last "/" (empty for a file in "/")
        std::string base;    // the file name without its last extension
    };

    // Cuts a source path at its last "/". The base name drops the last "." and what follows, unless
    // that dot is the name's first character (".hidden" keeps its name). Nothing when the path has
    // no "/" or ends in one (no file name).
    static std::optional<SourceParts> cutSource(const std::string& sourcePath);

    // The folder shown for a job whose source cannot be cut: ~/Lumaret_output, expanded. It is also
    // what the options page offers when the user stops writing next to the source.
    static std::string defaultFolder();

    // The naming rule for one conversion. targetFolder empty means the source's own folder. Nothing
    // when the source path cannot be cut (the reason, a Chinese sentence, goes to *reason when
    // given). The conversion type must be in the table.
    static std::optional<OutputName> make(const std::string& sourcePath, const profile::ProfileRecord& profile,
                                          const std::string& targetFolder, bool appendProfileName,
                                          std::string* reason = nullptr);

    // The output folder, as given or as cut from the source, without a closing "/" unless given so.
    const std::string& folder() const { return folder_; }
    // The n-th candidate: n = 0 is the plain name, n >= 1 carries "_n".
    std::string fileName(uint64_t n) const;
    std::string path(uint64_t n) const;

private:
    std::string folder_;
    std::string folderWithSlash_;
    std::string stem_;
    std::string suffix_;  // " [profile name]" when asked for, then the extension
};

}  // namespace convert
