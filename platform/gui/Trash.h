#pragma once
// Moving a file to the desktop's trash (the freedesktop trash: the home trash for files on the
// home's file system, a trash folder at the top of other file systems), so a user can still get
// it back. Threads: any.
#include <string>

namespace platform {

class Trash {
public:
    enum class Result {
        Moved,    // the file is in the trash
        Missing,  // there is no such file
        NoTrash,  // the file's file system has no usable trash; the file is untouched
    };

    // Moves the file (or folder) to the trash. `trashedPath`, when given, receives where it went.
    // Anything but Moved leaves the file where it was.
    static Result moveToTrash(const std::string& path, std::string* trashedPath = nullptr);
};

}  // namespace platform
