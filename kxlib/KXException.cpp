#include "kxlib/KXException.h"

#include <sstream>
#include <utility>

namespace KXLib {

KXException::KXException(const char* file, int line, std::string description)
    : file_(file), line_(line), description_(std::move(description))
{
}

KXException::~KXException() = default;

void KXException::raise() const
{
    throw *this;
}

const char* KXException::name() const
{
    return "KXBaseLib::Exception";
}

const char* KXException::what() const noexcept
{
    try {
        std::ostringstream text;
        if (file_ && line_ != 0)
            text << "File:" << file_ << " Line:" << line_ << " Name:";
        else
            text << "Name:";
        text << name() << " Description:" << description_ << std::endl;
        message_ = text.str();
        return message_.c_str();
    } catch (...) {
        // Out of memory while formatting: the kind alone still tells what went wrong.
        return name();
    }
}

}  // namespace KXLib
