#include "platform/gui/BusAddress.h"

namespace platform {

const char* busStatusName(BusStatus status)
{
    switch (status) {
    case BusStatus::Done: return "done";
    case BusStatus::NoBus: return "no bus";
    case BusStatus::NoService: return "no service";
    case BusStatus::TimedOut: return "timed out";
    case BusStatus::Failed: return "failed";
    }
    return "failed";
}

}  // namespace platform
