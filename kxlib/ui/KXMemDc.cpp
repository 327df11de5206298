#include "kxlib/ui/KXMemDc.h"

namespace KXLib {

KXMemDc::KXMemDc(HDC target, const RECT& area, bool copyBackground)
    : platform::DeviceContext(area, 0xFFFFFF, target->pixelRatio()), target_(target)
{
    if (copyBackground)
        copyFrom(*target_, area);
}

KXMemDc::~KXMemDc()
{
    target_->copyFrom(*this, area());
}

}  // namespace KXLib
