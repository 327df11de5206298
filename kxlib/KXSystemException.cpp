#include "kxlib/KXSystemException.h"

#include <utility>

namespace KXLib {

KXSystemException::KXSystemException(const char* file, int line, std::string description)
    : KXException(file, line, std::move(description))  // NOLINT(bugprone-throw-keyword-missing): a base initialiser
{
}

KXSystemException::~KXSystemException() = default;

void KXSystemException::raise() const
{
    throw *this;
}

const char* KXSystemException::name() const
{
    return "KXSYSTEMLIB::KXSystemException";
}

}  // namespace KXLib
