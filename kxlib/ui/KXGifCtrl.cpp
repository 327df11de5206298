#include "kxlib/ui/KXGifCtrl.h"

#include "platform/gui/DeviceContext.h"
#include "platform/core/Paths.h"
#include "platform/gui/Timer.h"
#include "platform/gui/Window.h"

#include <filesystem>

namespace KXLib {

KXGifCtrl::KXGifCtrl() : timer_(std::make_unique<platform::Timer>([this] { onTimer(); })) {}

KXGifCtrl::~KXGifCtrl() = default;

bool KXGifCtrl::load(const std::string& path, HWND parent)
{
    if (!parent)
        return false;
    std::filesystem::path file(path);
    if (file.is_relative())
        file = platform::Paths::programDirectory() / file;
    if (!animation_.load(file.string()))
        return false;
    parent_ = parent;
    shownFrame_ = 0;
    currentFrame = 0;
    return true;
}

void KXGifCtrl::play()
{
    if (animation_.isNull())
        return;
    playing = true;
    showFrame(0);
    timer_->start(animation_.delay(0) * 10);
    currentFrame = 1 % frameCount();
}

void KXGifCtrl::onTimer()
{
    timer_->stop();
    if (!playing)
        return;
    showFrame(currentFrame);
    timer_->start(animation_.delay(currentFrame) * 10);
    currentFrame = (currentFrame + 1) % frameCount();
}

void KXGifCtrl::showFrame(int frame)
{
    shownFrame_ = frame;
    if (parent_)
        parent_->invalidate(&drawRect);
}

void KXGifCtrl::draw(HDC dc)
{
    if (animation_.isNull())
        return;
    const platform::Image& frame = animation_.frame(shownFrame_);
    // Filtered, as the animation's frames have always been scaled: the frames come at one size
    // only, and on a screen of pixel ratio 2 they are enlarged without blocky edges.
    dc->drawImageSmooth(frame, drawRect, RECT{0, 0, frame.width(), frame.height()});
}

}  // namespace KXLib
