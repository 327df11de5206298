#include "kxlib/KXAutoLock.h"

namespace KXLib {

KXAutoLock::KXAutoLock(KXCriticalSection* section) : section_(section)
{
    if (section_)
        section_->enter();
}

KXAutoLock::~KXAutoLock()
{
    leave();
}

void KXAutoLock::leave()
{
    if (section_ && !released_) {
        released_ = true;
        section_->leave();
    }
}

}  // namespace KXLib
