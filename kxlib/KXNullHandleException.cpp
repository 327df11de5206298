#include "kxlib/KXNullHandleException.h"

namespace KXLib {

KXNullHandleException::KXNullHandleException(const char* file, int line)
    : KXException(file, line, std::string())  // NOLINT(bugprone-throw-keyword-missing): a base initialiser
{
}

KXNullHandleException::~KXNullHandleException() = default;

void KXNullHandleException::raise() const
{
    throw *this;
}

const char* KXNullHandleException::name() const
{
    return "KXBaseLib::NullHandleException";
}

}  // namespace KXLib
