#pragma once
// The desktop's file choosers, shown modally over an owner window: several existing files at once,
// or one existing folder. Each runs a nested event loop until the user answers.
//
// Threads: window thread only.
#include <string>
#include <vector>

namespace platform {

class Window;

class FileDialog {
public:
    // The title the folder chooser shows when the caller names none.
    static constexpr const char* kFolderTitle = "选择路径";

    // Lets the user pick one or more existing files, starting in `folder` (empty: the current
    // folder). `filter` names the choices as "媒体文件 (*)"; several are separated by ";;".
    // Links are returned as links, not followed. Returns the chosen paths in the dialog's order,
    // empty when the user cancels.
    static std::vector<std::string> chooseFiles(Window* owner, const std::string& title, const std::string& filter,
                                                const std::string& folder = {});

    // Lets the user pick an existing folder, starting in `folder`. Returns its path, empty when the
    // user cancels.
    static std::string chooseFolder(Window* owner, const std::string& title = kFolderTitle,
                                    const std::string& folder = {});
};

}  // namespace platform
