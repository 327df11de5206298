#pragma once
// HandOver: the one-shot hand-over from the file manager's menu, decided without a window. Given
// the program's arguments, the command file (CommandFile), the profiles and the options, it works
// out everything the main window must do and returns it as a plain result; the window only shows
// the messages, switches the view and adds the files, in the result's order.
//
// Rules:
// - "--open" followed by files (the applications menu's entry): the files go to the add-files page
//   as in custom mode, without a command file.
// - Fewer than two arguments: nothing. Arguments without "contextmenu" anywhere: the message
//   "错误的启动参数..." and nothing else.
// - "contextmenu": every hand-over waiting in the command folder beside the command file
//   (CommandFolder) is taken, oldest first, and each is decided as below, one after another, into
//   one result. Only when none was taken is the single command file itself read (as an older
//   writer leaves it; it stays in place), so a stale one is not added again with every hand-over.
// - A missing or unreadable command file: nothing, silently. A folder, FIFO or device in its place,
//   or a file too large to be one: its problem is told. A file that ends inside its first record:
//   "错误的启动参数...".
// - Selector "自定义转换" (custom mode): the add-files page is shown and every path goes to its list
//   (the page applies its own check and message); a path too long to open is told with that page's
//   failure message.
// - Any other selector names a profile. When no profile has that name (or the selector was cut to
//   its buffer), selector + " 转换方案不存在,使用系统默认的转换方案!" is told and the default profile is
//   used, whatever the options say. Every path that is a readable regular file becomes a
//   QueuedFile with a copy of that profile, written beside its source and named as the
//   options say; any other path is told
//   with "读取文件 ... 失败!".
// - After the paths of a named profile, the conversion starts when the options ask for an automatic
//   start (even with no file: the conversion page then tells that nothing waits). Custom mode never
//   starts it: its files wait on the add-files page, not in the conversion list.
// Every message uses the error icon. A path that is told is also a refusal: the window shows the
// refusals of one hand-over together, in the one box of refusalBox after the files were added, so a
// command file naming thousands of missing files brings one box, not thousands.
//
// Threads: any; the store must not change during run().
#include "app/CommandFile.h"
#include "app/OptionSettings.h"
#include "convert/QueuedFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace convert {
class ConversionQueue;
}

namespace profile {
class ProfileStore;
}

namespace app {

class HandOver {
public:
    static constexpr const char* kAddFailedPrefix = "读取文件 ";
    static constexpr const char* kAddFailedSuffix = " 失败!";

    // One thing for the main window to do, in order.
    struct Step {
        enum class Kind {
            Message,     // show `text` with the error icon
            QueueFile,   // add `file` to the conversion list
            GatherFile,  // add `text` (a path) to the add-files list
        };
        Kind kind = Kind::Message;
        std::string text;
        convert::QueuedFile file;
        bool refusal = false;  // a Message about one path; shown gathered in Result::refusalBox
    };

    struct Result {
        bool readCommandFile = false;  // the file was read (the window repaints afterwards)
        bool showAddFiles = false;     // custom mode with at least one path: show the add-files page first
        std::vector<Step> steps;
        bool startConversion = false;  // after the steps: the start/stop action of the conversion page
        std::string refusalBox;        // the refusals' one message (GatheredFiles::refusedPathsText); may be empty
        // Set by runInto() only:
        bool filesQueued = false;             // the QueueFile steps' files are in the queue already
        bool refusedWhileConverting = false;  // the queue converts, so none of them was added
    };

    // "读取文件 " + path + " 失败!", the conversion page's message for a path it cannot read.
    static std::string readFailedText(const std::string& path);

    // startFolder: the folder the program was started in, against which the files of an
    // "--open" start (the applications menu's "Open with") are resolved.
    static Result run(const std::vector<std::string>& arguments, const std::filesystem::path& commandFile,
                      const profile::ProfileStore& profiles, const OptionSettings& options,
                      const std::filesystem::path& startFolder = {});
    // As run(), and the files of the QueueFile steps go straight into `queue` (whose listener shows
    // them), so the window never handles a profile record on its way to the queue. A queue that
    // converts takes none of them: the result says so, and the window tells it as an add would.
    // The queue's owner's thread.
    static Result runInto(convert::ConversionQueue& queue, const std::vector<std::string>& arguments,
                          const std::filesystem::path& commandFile, const profile::ProfileStore& profiles,
                          const OptionSettings& options, const std::filesystem::path& startFolder = {});
    // The decision for a command file already read.
    static Result fromContents(const CommandFile::Contents& contents, const profile::ProfileStore& profiles,
                               const OptionSettings& options);

private:
    // Adds the decision for one more command file to `into`.
    static void append(Result& into, Result from);
    static void customMode(const CommandFile::Contents& contents, Result& result);
    static void profileMode(const CommandFile::Contents& contents, const profile::ProfileStore& profiles,
                            const OptionSettings& options, Result& result);
};

}  // namespace app
