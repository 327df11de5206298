#include "platform/core/DebugOutput.h"

#include "kxlib/KXMutex.h"
#include "kxlib/KXMutexLock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

bool DebugOutput::enabled()
{
    static const bool on = [] {
        const char* value = std::getenv("LUMARET_DEBUG");
        return value && *value && std::strcmp(value, "0") != 0;
    }();
    return on;
}

void DebugOutput::line(std::string_view text)
{
    if (!enabled())
        return;
    // One line at a time, so that lines of different threads never interleave.
    static KXLib::KXMutex writing;
    KXLib::KXMutexLock lock(writing);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace platform
