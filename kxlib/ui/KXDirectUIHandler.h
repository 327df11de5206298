#pragma once
// KXDirectUIHandler: the container of a window's windowless controls and their message router.
// Every dialog mixes it in; the dialog paints the controls from its paint handler (drawControls),
// passes every mouse message of its window to routeMessage, and receives the controls'
// notifications in onControlEvent (a click is WM_LBUTTONUP).
//
// Controls are kept by name in an ordered map (plain byte order of the UTF-8 names). Routing walks
// the map in order and stops at the first control that claims the message, so where rectangles
// overlap the name that sorts first gets the mouse; painting walks the same order, so the name
// that sorts last is painted on top.
//
// Threads: window thread only.
#include "kxlib/ui/KXDirectUI.h"
#include "kxlib/KXShared.h"
#include "kxlib/KXSmartPtr.h"
#include "platform/core/WinTypes.h"

#include <map>
#include <string>

namespace KXLib {

class KXDirectUIHandler : public virtual KXShared {
public:
    KXDirectUIHandler();
    // Empties the map (releasing the controls) and drops the hot control.
    ~KXDirectUIHandler() override;

    // The window the controls live in; null while it does not exist.
    virtual HWND getWindow() = 0;
    // The single notification sink: `control` claimed `message`. The callback may remove
    // controls, including `control` itself.
    virtual void onControlEvent(KXSmartPtr<KXDirectUI> control, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    virtual void removeAllControls();
    // Draws every control in map order.
    virtual void drawControls(HDC dc);
    // Creates a control of a registered class ("KXButtonEx", "KXCheckBox", "KXHyperLink",
    // "KXProgressbar", "KXScrollbar", "KXSlider", "KXListCtrl") and names it; keeps it in the map
    // when `keep`. Null when the class is unknown or the name is already in use.
    virtual KXSmartPtr<KXDirectUI> createControl(const std::string& className, const std::string& name, bool keep);
    // The usual way a window adds a control: creates one of a registered class, keeps it, makes
    // this handler its owner and places it at `rect`. Null, with nothing kept, when createControl
    // refuses or the class is not a `Control`.
    template <class Control>
    KXSmartPtr<Control> placeControl(const std::string& className, const std::string& name, const RECT& rect)
    {
        const KXSmartPtr<KXDirectUI> created = createControl(className, name, true);
        KXSmartPtr<Control> control = created.template dynamicCast<Control>();
        if (!control) {
            if (created)
                removeControl(name);
            return control;
        }
        control->setHandler(KXSmartPtr<KXDirectUIHandler>(this));
        control->setRect(rect);
        return control;
    }
    // Keeps a control constructed by its owner; false when its name is already in use.
    virtual bool addControl(KXSmartPtr<KXDirectUI> control);
    // Null when absent.
    virtual KXSmartPtr<KXDirectUI> findControl(const std::string& name);
    virtual void removeControl(const std::string& name);
    // Offers a message of the window to the controls (see the header comment); true when one
    // claimed it. Routes nothing and returns false until createTooltip() has run with a window.
    virtual bool routeMessage(const MSG& msg);
    // Whether a window message is one of the mouse's (moves, presses and releases of either button,
    // double clicks, the wheel, leaving the window): the messages every window passes to
    // routeMessage, so that all windows agree on what their controls get to see.
    static bool isMouseMessage(UINT message);

    // Sets up the window's tooltip; call once the window exists, before routing.
    void createTooltip();

    KXSmartPtr<KXDirectUI> hotControl() const { return hotControl_; }
    bool isTrackingLeave() const { return tracking_; }
    // How many times a tooltip text was handed to the window (it is handed over only when the
    // text or the cursor position changed).
    int tooltipUpdateCount() const { return tooltipUpdates_; }
    const std::string& lastTooltipText() const { return lastTipText_; }
    size_t controlCount() const { return controls_.size(); }

private:
    void updateTooltip(const KXSmartPtr<KXDirectUI>& control, const MSG& msg);

    KXSmartPtr<KXDirectUI> hotControl_;
    bool tracking_ = false;
    std::string lastTipText_;
    POINT lastTipPos_{-1, -1};
    HWND tooltipWindow_ = nullptr;
    int tooltipUpdates_ = 0;
    std::map<std::string, KXSmartPtr<KXDirectUI>> controls_;
};

}  // namespace KXLib
