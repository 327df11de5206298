#pragma once
// KXDirectUI: the base of the windowless controls. A control owns a rectangle in its owner
// window's client area, paints itself into the surface it is given, and decides from raw mouse
// messages (client coordinates packed in lParam) whether a message is its own. Its owner, a
// KXDirectUIHandler, keeps it by name, paints it, routes messages to it and receives its
// notifications through onControlEvent.
//
// Ownership: controls live in KXSmartPtr (the handler's map and usually a member of the owner).
// A control holds a reference to its handler; owners are disposed objects, so the cycle never
// deletes anything, and the owner empties its map when it goes.
//
// Threads: window thread only, except invalidate(), which may be called from any thread while the
// owner's window exists.
#include "kxlib/KXShared.h"
#include "kxlib/KXSmartPtr.h"
#include "platform/core/WinTypes.h"

#include <string>

namespace KXLib {

class KXDirectUIHandler;

class KXDirectUI : public virtual KXShared {
public:
    // Bits of the state word.
    static constexpr int kHighlighted = 0x01;  // drawn with the hover frame (set by the owner)
    static constexpr int kDisabled = 0x04;
    static constexpr int kHover = 0x08;        // the mouse is over the control
    static constexpr int kPressed = 0x10;      // the left button went down on it; mouse captured
    static constexpr int kHidden = 0x80;

    KXDirectUI();
    ~KXDirectUI() override;

    // Keeps a reference to the handler (and drops the one to the previous handler).
    virtual void setHandler(KXSmartPtr<KXDirectUIHandler> handler);
    virtual KXSmartPtr<KXDirectUIHandler> getHandler();
    virtual int getState() const;
    virtual void setRect(const RECT& rect);
    virtual const RECT* getRect() const;
    // The state setters below repaint the control when its state word changes.
    virtual void setHighlighted(bool highlighted);
    // Hiding drops every other bit (releasing the mouse capture when pressed); showing again
    // starts from a clean state word.
    virtual void setVisible(bool visible);
    virtual bool isVisible() const;
    // Disabling a pressed control drops its press and the mouse capture with it, so that a
    // release that comes later (even after the control is enabled again) is never taken as a click
    // the user did not make.
    virtual void setEnabled(bool enabled);
    virtual bool isEnabled() const;
    // Left and top inclusive, right and bottom exclusive.
    virtual bool hitTest(POINT point) const;
    virtual void setTooltip(const std::string& text);
    // False (out untouched) when the control has no tooltip.
    virtual bool getTooltip(std::string& out) const;
    virtual void setName(const std::string& name);
    virtual std::string getName() const;
    // Asks the owner window to repaint this control's rectangle. Throws KXNullHandleException
    // when the control has no handler.
    virtual void invalidate();

    // Forgets a press the control can no longer finish (it was hidden or disabled while the button
    // was down): pressed and the capture go, nothing is reported. Controls with more press state
    // (a held scroll arrow, a thumb drag) drop that too.
    virtual void cancelPress();

    // The registry name of the control's class ("KXButtonEx", ...).
    virtual std::string getClassName() const = 0;
    // Paints the control into `dc` at its rectangle.
    virtual void draw(HDC dc) = 0;
    // Looks at one mouse message; true when the control claims it.
    virtual bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    void setStateBit(int bit, bool on);
    // invalidate() once the control has a handler; before that nothing of it is on screen.
    void repaint();
    bool hasState(int bit) const { return (state_ & bit) != 0; }
    // Hidden or disabled controls ignore the mouse.
    bool ignoresInput() const { return hasState(kHidden) || hasState(kDisabled); }
    // The owner window, null when there is no handler or it has no window yet.
    HWND ownerWindow();
    // Sets or clears pressed together with the owner window's mouse capture.
    void pressAndCapture();
    void releasePress();
    // The hover and press tracking the clickable controls share. Each repaints only when a state
    // bit actually changes; only hoverMove and pressIfInside notify the owner.
    // Sets kHover when the mouse is inside, clears it when outside; true when the bit changed.
    bool trackHover(bool inside);
    // The hover rule of a mouse move: the move that enters is claimed and reported, further moves
    // inside are claimed without a repaint or a report, moves outside are never claimed (leaving
    // only drops the hover look). Returns notify()'s result when it reports.
    bool hoverMove(bool inside, WPARAM wParam, LPARAM lParam);
    // A press taken by the control: pressed with the owner window's capture, repainted.
    void beginPress();
    // The press rule of buttons and links: a press inside is taken and reported, one outside is
    // not claimed. Returns notify()'s result when it reports.
    bool pressIfInside(bool inside, UINT message, WPARAM wParam, LPARAM lParam);
    // Ends a press: drops pressed and the capture and repaints. False, with nothing done, when the
    // control was not pressed.
    bool endPress();
    // Tells the handler that this control claimed a message, then returns true. The handler's
    // callback may remove and release this control: nothing of the control may be touched after
    // this call, so callers return its result at once.
    bool notify(UINT message, WPARAM wParam, LPARAM lParam);

    std::string name_;
    std::string tooltip_;
    RECT rect_;
    int state_ = 0;
    KXSmartPtr<KXDirectUIHandler> handler_;
};

}  // namespace KXLib
