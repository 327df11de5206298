#pragma once
// Handing things to the desktop: opening a web address, a mail link or a local file with the
// user's opener.
#include <functional>
#include <string>

namespace platform {

class Desktop {
public:
    using Opener = std::function<bool(const std::string& target)>;
    // Opens a URL (http, https, mailto, file) with the desktop's opener; false when none took it.
    // Window thread only.
    static bool openUrl(const std::string& target);
    // Opens a local file or folder with the desktop's opener for its type (xdg-open); false when
    // none took it. The path is taken literally (no URL parsing), so any file name works.
    // Window thread only.
    static bool openFile(const std::string& path);
    // Replaces the opener (tests use this so nothing is launched); an empty function restores the
    // desktop's own.
    static void setOpener(Opener opener);
};

}  // namespace platform
