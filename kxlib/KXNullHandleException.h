#pragma once
// Thrown by KXSmartPtr when a null pointer is dereferenced. Carries the smart pointer's file and
// line and an empty description.
#include "kxlib/KXException.h"

namespace KXLib {

class KXNullHandleException : public virtual KXException {
public:
    KXNullHandleException(const char* file, int line);
    ~KXNullHandleException() override;

    [[noreturn]] void raise() const override;
    const char* name() const override;   // "KXBaseLib::NullHandleException"
};

}  // namespace KXLib
