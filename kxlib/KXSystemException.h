#pragma once
// Thrown when a system object is misused, such as a KXThread started a second time. Carries the
// throw site's file and line and a description.
#include "kxlib/KXException.h"

namespace KXLib {

class KXSystemException : public virtual KXException {
public:
    KXSystemException(const char* file, int line, std::string description);
    ~KXSystemException() override;

    [[noreturn]] void raise() const override;
    const char* name() const override;   // "KXSYSTEMLIB::KXSystemException"
};

}  // namespace KXLib
