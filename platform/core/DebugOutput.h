#pragma once
// The program's debug output: command lines, encoder output and a few traces. It goes to standard
// error when the environment variable LUMARET_DEBUG is set (to anything but "0") and nowhere
// otherwise. Any thread; whole calls never interleave.
#include <string_view>

namespace platform {

class DebugOutput {
public:
    // True when debug output is switched on (read once).
    static bool enabled();
    // Writes text followed by a line feed.
    static void line(std::string_view text);
};

}  // namespace platform
