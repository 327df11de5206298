#include "kxlib/KXTime.h"

#include <chrono>

namespace KXLib {

KXTime::KXTime()
{
    using namespace std::chrono;
    const auto sinceEpoch = system_clock::now().time_since_epoch();
    const auto seconds = duration_cast<std::chrono::seconds>(sinceEpoch);
    const auto millis = duration_cast<milliseconds>(sinceEpoch - seconds);
    micros_ = static_cast<uint64_t>(seconds.count()) * 1000000u + static_cast<uint64_t>(millis.count()) * 1000u;
}

KXTime::~KXTime() = default;

}  // namespace KXLib
