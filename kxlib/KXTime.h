#pragma once
// KXTime: a wall-clock instant with millisecond resolution, kept as microseconds since
// 1970-01-01 00:00 UTC (the sub-millisecond digits are always 0).
#include <cstdint>

namespace KXLib {

class KXTime {
public:
    // The current time.
    KXTime();
    explicit KXTime(uint64_t micros) : micros_(micros) {}
    virtual ~KXTime();
    KXTime(const KXTime&) = default;
    KXTime& operator=(const KXTime&) = default;

    uint64_t micros() const { return micros_; }

private:
    uint64_t micros_;
};

}  // namespace KXLib
