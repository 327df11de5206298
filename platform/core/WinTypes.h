#pragma once
// The small vocabulary the windows and controls speak: rectangles, points, colours, window-message
// numbers, the packing of mouse coordinates and the rounded multiply-divide. The numbers are the
// classic desktop values so that message tables and stored constants read the same everywhere. No
// Qt here: everything above the platform layer includes this header instead of any toolkit header.
#include <cstdint>

namespace platform {
class Window;
class DeviceContext;
}  // namespace platform

// A window the controls live in, and a surface they paint into. Both are owned elsewhere (the
// window by its dialog, the surface by the repaint that hands it out); these are plain pointers.
using HWND = platform::Window*;
using HDC = platform::DeviceContext*;

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR: red in the low byte, then green, then blue

struct POINT {
    int x = 0;
    int y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const SIZE&, const SIZE&) = default;
};

// Left and top are inside the rectangle, right and bottom are not.
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// Mouse coordinates travel in lParam as two signed 16-bit words: x low, y high.
constexpr LPARAM MAKELPARAM(int low, int high)
{
    return static_cast<LPARAM>(static_cast<std::uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(l & 0xFFFF)); }
constexpr int GET_Y_LPARAM(LPARAM l)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((l >> 16) & 0xFFFF));
}
constexpr POINT pointFromLParam(LPARAM l) { return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}; }
// The wheel delta is the signed high word of wParam; one notch is 120.
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((w >> 16) & 0xFFFF));
}
constexpr WPARAM MAKEWPARAM(int low, int high)
{
    return static_cast<WPARAM>(static_cast<std::uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr int WHEEL_DELTA = 120;

// a * b / c computed in 64 bits and rounded to the nearest integer, halves away from zero, as the
// classic desktop helper answers; -1 when c is 0. Scroll geometry and percentages on both sides of
// the platform line use it, so thumbs drawn by the controls and by the native views' skin agree.
constexpr int mulDiv(long long a, long long b, long long c)
{
    if (c == 0)
        return -1;
    const long long product = a * b;
    const long long divisor = c < 0 ? -c : c;
    const long long magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
    return static_cast<int>((product < 0) != (c < 0) ? -magnitude : magnitude);
}

// Window messages.
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_USER = 0x0400;

// Key codes delivered in wParam of WM_KEYDOWN.
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_DELETE = 0x2E;

// Text-drawing flags.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Notifications of the native child controls (tree, combo boxes, edit boxes, buttons) to the
// window they sit on, and of the window system to a page.
//   WM_COMMAND     wParam MAKEWPARAM(control id, code) with a BN_, CBN_ or EN_ code below; lParam 0.
//                  Enter and Escape in an editor arrive as MAKEWPARAM(IDOK or IDCANCEL, 0) with the
//                  editor's id in lParam, so that an in-place editor can be committed or dropped.
//   WM_NOTIFY      wParam the control id; lParam an NM_ or TVN_ code (negative, as a signed value).
//   WM_SHOWWINDOW  wParam 1 when a page is shown, 0 when it is hidden.
//   WM_DROPFILES   wParam points to the std::vector<std::string> of dropped paths, valid during
//                  the call only (see FileDropTarget.h).
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_DROPFILES = 0x0233;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr int BN_CLICKED = 0;
constexpr int CBN_SELCHANGE = 1;
constexpr int CBN_KILLFOCUS = 4;
constexpr int CBN_EDITCHANGE = 5;
constexpr int EN_KILLFOCUS = 0x0200;
constexpr int EN_CHANGE = 0x0300;

constexpr int NM_CLICK = -2;
constexpr int NM_DBLCLK = -3;
constexpr int NM_KILLFOCUS = -8;
constexpr int TVN_SELCHANGED = -451;
constexpr int TVN_ITEMEXPANDED = -455;

constexpr int LOWORD(WPARAM w) { return static_cast<int>(w & 0xFFFF); }
constexpr int HIWORD(WPARAM w) { return static_cast<int>((w >> 16) & 0xFFFF); }
