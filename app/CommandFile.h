#pragma once
// CommandFile: the format in which the file-manager menus (lumaret-shellext convert) hand a profile
// and a list of files to a new `lumaret contextmenu`, and the single file "cmdline.txt" in the data
// folder that older writers use. Our own writer gives each hand-over a file of its own in the
// command folder (CommandFolder), so that two hand-overs never overwrite each other.
//
// Format: a sequence of records and nothing else (no header, no count). A record is a 4-byte
// unsigned little-endian length n followed by n bytes of UTF-16LE text; the text ends at its first
// NUL character or after the n bytes, whichever comes first. Record 1 is the selector: a profile
// name or "自定义转换"; every later record is one absolute path.
//
// Paths on Linux are bytes, not text. A path is carried in UTF-16 as follows, so that any path
// the file system can hold comes back byte for byte: each valid UTF-8 sequence becomes its
// character, and each byte that is not part of one (a stray 0x80..0xFF) becomes the lone low
// surrogate U+DC00 + byte (U+DC80..U+DCFF). Valid UTF-8 never yields a lone surrogate, so reading
// maps such a unit back to its byte without doubt. Any other lone surrogate (only a foreign writer
// produces one) reads as U+FFFD.
//
// Reading is bounded: the whole file is read once through platform::RegularFile (regular files
// only, at most kMaxFileBytes, never a wait on a FIFO); the selector is held as at most
// kSelectorChars characters; a path is taken whole when it is at most kMaxPathBytes bytes, and a
// longer record is skipped (never cut: a cut path would name another file) and reported in its
// place in the list, the records after it still read; a partial last record is ignored.
//
// Threads: every function is safe on any thread; nothing is shared.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class CommandFile {
public:
    static constexpr const char* kFileName = "cmdline.txt";
    // The command-line marker that asks for the hand-over.
    static constexpr const char* kMarker = "contextmenu";
    // The option the applications menu and "Open with" start the program with: `--open FILE...`.
    static constexpr const char* kOpenOption = "--open";
    // The selector of custom mode: the files go to the add-files page, without a profile.
    static constexpr std::u16string_view kCustomSelector = u"自定义转换";
    static constexpr const char* kCustomSelectorUtf8 = "自定义转换";
    // The messages the main window shows for a bad hand-over (error icon).
    static constexpr const char* kBadArgumentsText = "错误的启动参数...";
    static constexpr const char* kNoSuchProfileSuffix = " 转换方案不存在,使用系统默认的转换方案!";

    // The selector buffer holds 99 characters and its terminator; no profile name is longer.
    static constexpr std::size_t kSelectorChars = 99;
    // The longest path the system can open (PATH_MAX); a longer record is skipped.
    static constexpr std::size_t kMaxPathBytes = 4096;
    // 64 MiB is well over 100,000 paths; anything larger is not a command file.
    static constexpr uint64_t kMaxFileBytes = 64ull * 1024 * 1024;

    // What a start of the program asks for, decided from its whole argument vector (program path
    // included), as processCommandLine does before it opens anything.
    enum class Launch {
        Normal,        // fewer than two arguments: no hand-over, no message
        BadArguments,  // arguments, but no "contextmenu" anywhere in the command line: show
                       // kBadArgumentsText (error icon) and start normally
        HandOver,      // read the command file
        OpenFiles,     // kOpenOption as the first argument, then at least one file (each argument
                       // after it, whatever it looks like): hand those over (openedFiles) as a
                       // custom-mode command file would; the command file is not read. The option
                       // without files is a Normal start.
    };
    static Launch launchKind(const std::vector<std::string>& argv);

    enum class Status {
        Ok,              // the selector was read; `mode`, `selector` and `paths` are set
        Missing,         // no command file: start normally, no message
        Unreadable,      // no permission or an I/O error: start normally, no message
        NotRegular,      // a folder, FIFO, socket or device in its place: refused unread;
                         // `problem` names it (show it with the error icon, then start normally)
        TooLarge,        // over kMaxFileBytes: refused unread; `problem` names it, as above
        BadFirstRecord,  // the file ends inside the first record: show kBadArgumentsText, add nothing
    };

    enum class Mode {
        Custom,          // the selector is "自定义转换": enter add mode, each path to the add-files list
        Profile,         // look `selector` up with findProfileByName; when no profile has that
                         // name, show selector + kNoSuchProfileSuffix and use defaultProfile()
        UnknownProfile,  // the selector was longer than kSelectorChars and so names no profile:
                         // show selector (its first 99 characters) + kNoSuchProfileSuffix and use
                         // defaultProfile(), without a lookup that could match a shorter name
    };

    // One path record, in file order.
    struct Path {
        std::string bytes;      // the path exactly as the file system names it; empty when skipped
        bool skipped = false;   // the record held more than kMaxPathBytes: open nothing for it, show
                                // the adding page's message for a path that cannot be opened
        std::string shown;      // when skipped: the path's start in UTF-8 followed by "…", for that message
    };

    struct Contents {
        Status status = Status::Missing;
        std::string problem;      // for NotRegular and TooLarge: a sentence naming the file
        Mode mode = Mode::Profile;
        std::u16string selector;  // at most kSelectorChars UTF-16 units
        std::vector<Path> paths;
        std::string selectorUtf8() const;
    };

    // The files of an OpenFiles start as custom-mode contents (status Ok): every argument after
    // kOpenOption, made absolute against `startFolder` (the folder the program was started in);
    // a path longer than kMaxPathBytes is skipped as a command file's record is.
    static Contents openedFiles(const std::vector<std::string>& argv, const std::filesystem::path& startFolder);

    // The command file of this installation: platform::Paths::dataDirectory() / kFileName.
    static std::filesystem::path defaultFile();

    // Reads `file` once and parses it. Leaves the file in place.
    static Contents read(const std::filesystem::path& file);
    // Parses the bytes of a command file (status Ok or BadFirstRecord).
    static Contents parse(std::string_view bytes);

    // Writes the selector and the paths (bytes, as the file system names them) as records to a new
    // temporary file beside `file`, flushes it to disk and renames it over `file`, so that a reader
    // sees the previous file or the whole new one, never a part. Creates the folder when missing.
    // The file is private to the user (mode 0600). Returns false, with a sentence naming the file
    // in *error when given, when any step fails; the previous file is then left as it was.
    static bool write(const std::filesystem::path& file, std::u16string_view selector,
                      const std::vector<std::string>& paths, std::string* error);
    // The bytes write() stores: one record per text, lengths without a terminating NUL.
    static std::string encode(std::u16string_view selector, const std::vector<std::string>& paths);

    // The path <-> UTF-16 mapping described above.
    static std::u16string pathToText(std::string_view bytes);
    static std::string textToPath(std::u16string_view text);
};

}  // namespace app
