#pragma once
// UninstallList: the installer's list "uninstall.txt" in the install folder. UTF-8 text, one item a
// line: the first line is the decimal count n of the file lines that follow, each following line
// one absolute path of an installed file. White space around a line (the line end included) is not
// part of it; blank lines name nothing.
//
// The count only sizes the progress bar: every line is read whatever it says. Lines are kept whole
// however long they are (a path is never cut into pieces that would name other files); whether a
// line may be removed is UninstallScope's decision, not the reader's.
//
// Threads: any thread.
#include "platform/core/RegularFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class UninstallList {
public:
    // A list is a few hundred lines; a larger file is not one the installer wrote.
    static constexpr uint64_t kMaxBytes = 4 * 1024 * 1024;

    // Reads the list; nothing when it cannot be read (missing, not a regular file, larger than
    // kMaxBytes, unreadable). *status, when given, tells which: a missing list means there is no
    // installation, any other failure that one could not be read.
    static std::optional<UninstallList> read(const std::filesystem::path& file,
                                             platform::RegularFileStatus* status = nullptr);
    // Parses the text of a list.
    static UninstallList parse(std::string_view text);

    // The first line read as a C program's atoi reads it: leading blanks, an optional sign, then
    // the digits up to the first other character; 0 when there are none, clamped to the int range.
    int count() const { return count_; }
    // The lines after the first, trimmed, blank ones left out, in file order.
    const std::vector<std::string>& lines() const { return lines_; }

    // `text` without white space at either end.
    static std::string_view trim(std::string_view text);

private:
    static int parseCount(std::string_view line);

    int count_ = 0;
    std::vector<std::string> lines_;
};

}  // namespace app
