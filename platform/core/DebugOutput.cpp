#include "platform/core/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

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
    static std::mutex writing;
    std::lock_guard lock(writing);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace platform
