#pragma once
// Shared pieces of the control tests: a handler with a real (never shown) window that records the
// notifications it receives, and small strip images written to a temporary folder.
#include "kxlib/ui/KXDirectUIHandler.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Image.h"
#include "platform/gui/Window.h"
#include "tests/support/TestSupport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace controltest {

struct Event {
    std::string control;
    UINT message;
    bool operator==(const Event&) const = default;
};

class RecordingHandler : public KXLib::KXDirectUIHandler, public platform::WindowListener {
public:
    RecordingHandler() : window(platform::Window::Kind::TopLevel, this)
    {
        setDisposed(true);
        window.resize(400, 300);
        createTooltip();
    }
    ~RecordingHandler() override { removeAllControls(); }

    HWND getWindow() override { return &window; }
    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM) override
    {
        events.push_back({control->getName(), message});
        if (onEvent)
            onEvent(control, message);
    }
    void onPaint(platform::DeviceContext& dc) override
    {
        ++paints;
        drawControls(&dc);
    }
    // With routeWindowInput, the window's own mouse input goes to the controls, as every page
    // passes it on; tests that replay toolkit events through the window turn it on.
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!routeWindowInput || message < WM_MOUSEMOVE || message > WM_MOUSEWHEEL)
            return false;
        routeMessage(MSG{&window, message, wParam, lParam});
        return true;
    }

    // Routes one mouse message at client point (x, y).
    bool send(UINT message, int x, int y, WPARAM wParam = 0)
    {
        return routeMessage(MSG{&window, message, wParam, MAKELPARAM(x, y)});
    }
    // The notifications since the last call.
    std::vector<Event> take() { return std::exchange(events, {}); }

    template <class Control>
    KXLib::KXSmartPtr<Control> make(const std::string& className, const std::string& name, const RECT& rect)
    {
        return placeControl<Control>(className, name, rect);
    }

    platform::Window window;
    std::vector<Event> events;
    std::function<void(KXLib::KXSmartPtr<KXLib::KXDirectUI>, UINT)> onEvent;
    int paints = 0;
    bool routeWindowInput = false;
};

// Writes a strip of `count` frames of w x h, frame i filled with colours[i] (0xAARRGGBB).
inline std::string writeStrip(const testsupport::TempDir& dir, const std::string& name, int w, int h,
                              const std::vector<std::uint32_t>& colours)
{
    platform::Image strip(w * static_cast<int>(colours.size()), h, 0);
    for (size_t i = 0; i < colours.size(); ++i)
        strip.fill(RECT{static_cast<int>(i) * w, 0, static_cast<int>(i + 1) * w, h}, colours[i]);
    const std::string path = (dir / name).string();
    strip.save(path);
    return path;
}

// Opaque colours that are easy to tell apart.
inline const std::vector<std::uint32_t>& frameColours()
{
    static const std::vector<std::uint32_t> colours = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080,
                                                       0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF000000};
    return colours;
}

// The colour a surface shows at (x, y) after the control has painted itself on white.
inline std::uint32_t paintedAt(KXLib::KXDirectUI& control, int x, int y)
{
    platform::DeviceContext dc(RECT{0, 0, 400, 300});
    control.draw(&dc);
    return dc.pixel(x, y);
}

}  // namespace controltest
