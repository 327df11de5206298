#pragma once
// CommandFile: the reader of the command file, cmdline.txt in the data folder, through which the
// file manager's context menu hands a profile and a list of files to a starting program.
//
// The file is a sequence of records and nothing else. Each record is a 4-byte little-endian length
// n followed by n bytes of UTF-16LE text, which ends at the first NUL or after the n bytes. The first
// record is the profile selector (a profile name, or "自定义转换" for the add-files page); each
// further record is one full source path.
//
// Bounds: the selector is held as at most 99 characters (longer ones are cut, as the writer's
// buffer would). A path is read whole up to kMaxPathBytes; a longer record is kept out of the list
// (marked tooLong, so the caller reports it like a file it cannot open), because a cut path would
// name another file. A record whose length runs past the end of the file ends the reading; what
// was read before stays. Nothing is ever written past a buffer: every length is checked against
// the bytes that remain.
//
// Threads: any thread; no state.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct CommandFileContents {
    enum class Status {
        Unread,       // no command file, or one that cannot be read: a normal start, no message
        BadSelector,  // the first record is incomplete: nothing is added
        Ok,
    };
    struct Path {
        std::string text;  // UTF-8
        bool tooLong = false;
    };
    Status status = Status::Unread;
    std::string selector;  // UTF-8, at most kSelectorChars UTF-16 characters
    std::vector<Path> paths;
};

class CommandFile {
public:
    static constexpr std::size_t kSelectorChars = 99;
    static constexpr std::size_t kMaxPathBytes = 4096;
    // A command file lists files, never this many bytes of them.
    static constexpr uint64_t kMaxFileBytes = 64ull << 20;
    static constexpr const char* kFileName = "cmdline.txt";
    static constexpr const char* kMarker = "contextmenu";
    static constexpr const char* kCustomSelector = "自定义转换";
    static constexpr const char* kBadArguments = "错误的启动参数...";
    static constexpr const char* kUnknownProfileSuffix = " 转换方案不存在,使用系统默认的转换方案!";

    // The records of a command file's bytes.
    static CommandFileContents parse(std::string_view bytes);
    // Reads and parses a file (regular files only, at most kMaxFileBytes).
    static CommandFileContents read(const std::filesystem::path& file);
    // Whether the marker appears anywhere in the command line (the program's path included).
    static bool hasMarker(const std::vector<std::string>& arguments);
};

}  // namespace app
