#pragma once
// KXMemDc: an off-screen surface over part of another surface. Drawing in the target's
// coordinates lands in the buffer; when the KXMemDc goes, the buffer is copied to the same area of
// the target in one step. Window thread only.
#include "platform/gui/DeviceContext.h"
#include "platform/core/WinTypes.h"

namespace KXLib {

class KXMemDc : public platform::DeviceContext {
public:
    // `target` must outlive this object. With `copyBackground` the buffer starts as a copy of
    // what the target shows in `area`, else it starts white. The buffer has the target's pixel
    // ratio, so nothing is lost in the copy back.
    KXMemDc(HDC target, const RECT& area, bool copyBackground);
    ~KXMemDc() override;

private:
    HDC target_;
};

}  // namespace KXLib
