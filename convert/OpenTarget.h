#pragma once
// OpenTarget: the conversion list's "open" buttons (play the source, play the output, show the
// output in its folder) and what the user is told when nothing happens. A file that is gone is
// told as such and never handed to the desktop; a file the desktop could not open or show is told
// too, so a click never silently does nothing. Each notice is one sentence naming the file.
//
// Threads: any; `open` runs on the caller's thread.
#include <functional>
#include <string>

namespace convert {

class OpenTarget {
public:
    enum class Action { Open, Reveal };
    enum class Outcome { Done, Missing, Refused };

    static constexpr const char* kMissing = "文件 %s 已不存在,可能已被移动或删除。";
    static constexpr const char* kNoProgram = "没有可以打开文件 %s 的程序。";
    static constexpr const char* kNoFileManager = "无法在文件管理器中显示文件 %s。";

    // Hands `path` to `desktop` (which returns whether it took it) when it names an existing
    // file; Missing without calling it otherwise, Refused when it returned false.
    static Outcome open(const std::string& path, const std::function<bool(const std::string&)>& desktop);
    // The sentence for the user, naming the file by its name; empty for Done.
    static std::string notice(Outcome outcome, Action action, const std::string& path);
};

}  // namespace convert
