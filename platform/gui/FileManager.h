#pragma once
// Showing a file selected in its folder in the user's file manager (org.freedesktop.FileManager1
// ShowItems on the session bus), falling back to opening the folder with the desktop's opener
// when no file manager offers that.
//
// Threads: window thread (the fallback opens through Desktop).
#include "platform/gui/BusAddress.h"

#include <string>

namespace platform {

class FileManager {
public:
    enum class Shown {
        Selected,      // the file manager shows the file selected
        FolderOpened,  // no file manager answered; the folder was opened instead
        Failed,        // neither worked (no file manager, and the folder could not be opened)
    };

    static constexpr int kTimeoutMs = 3000;

    // Shows `path` (a file) selected in its folder. The file manager is asked on `bus` and waited
    // for at most `timeoutMs`. `status`, when given, receives how the bus call ended.
    static Shown showItem(const std::string& path, const BusAddress& bus = BusAddress::session(),
                          int timeoutMs = kTimeoutMs, BusStatus* status = nullptr);
};

}  // namespace platform
