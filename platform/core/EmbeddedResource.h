#pragma once
// Pictures built into a program's own file rather than read from its image folder: the uninstaller
// carries its button strips and icon inside itself, so it still draws itself while it removes the
// image folder. A program embeds a file under the prefix "/lumaret" of the toolkit's resource
// system (qt_add_resources in its CMakeLists.txt); the names below then load through Image::load
// and Window::setIcon like any file path.
//
// Threads: any thread; pure functions.
#include <string>

namespace platform {

class EmbeddedResource {
public:
    // The path under which a built-in file of that name loads.
    static std::string path(const std::string& name);
    // Whether `path` names a built-in file rather than one on disk.
    static bool isEmbedded(const std::string& path);
};

}  // namespace platform
