#pragma once
// Lets a window take files dropped from a file manager. The drop reaches the window's listener as
// WM_DROPFILES with wParam pointing to a std::vector<std::string> of the dropped local paths, in
// the order the file manager gave them; the vector lives for that call only (use
// droppedFiles()). Only drags that carry at least one local file (text/uri-list with file: URLs)
// are accepted; remote URLs in a mixed drop are left out.
//
// Threads: window thread only.
#include "platform/core/WinTypes.h"

#include <string>
#include <vector>

namespace platform {

class Window;

class FileDropTarget {
public:
    // Starts accepting file drops on the window (for the window's life). Enabling twice is harmless.
    static void enable(Window& window);
    static bool isEnabled(Window& window);
    // The paths of a WM_DROPFILES message's wParam.
    static const std::vector<std::string>& droppedFiles(WPARAM wParam)
    {
        return *reinterpret_cast<const std::vector<std::string>*>(wParam);
    }
};

}  // namespace platform
