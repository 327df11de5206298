#include "kxlib/ui/KXDirectUIHandler.h"

#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXCheckBox.h"
#include "kxlib/ui/KXHyperLink.h"
#include "kxlib/ui/KXListCtrl.h"
#include "kxlib/ui/KXProgressbar.h"
#include "kxlib/ui/KXScrollbar.h"
#include "kxlib/ui/KXSlider.h"
#include "platform/gui/Window.h"

#include <vector>

namespace KXLib {

namespace {

using Factory = KXDirectUI* (*)();

template <class Control>
KXDirectUI* make()
{
    return new Control();
}

// The classes createControl knows, by the names their getClassName() returns.
const std::map<std::string, Factory>& registry()
{
    static const std::map<std::string, Factory> classes = {
        {"KXButtonEx", &make<KXButtonEx>},   {"KXCheckBox", &make<KXCheckBox>},
        {"KXHyperLink", &make<KXHyperLink>}, {"KXListCtrl", &make<KXListCtrl>},
        {"KXProgressbar", &make<KXProgressbar>},
        {"KXScrollbar", &make<KXScrollbar>}, {"KXSlider", &make<KXSlider>},
    };
    return classes;
}

bool carriesClientPoint(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP;
}

}  // namespace

KXDirectUIHandler::KXDirectUIHandler() = default;

KXDirectUIHandler::~KXDirectUIHandler()
{
    controls_.clear();
    hotControl_.reset();
}

void KXDirectUIHandler::removeAllControls()
{
    // Moved out first, so a control's destructor that looks at this handler sees an empty map.
    auto released = std::move(controls_);
    controls_.clear();
}

void KXDirectUIHandler::drawControls(HDC dc)
{
    for (const auto& [name, control] : controls_)
        control->draw(dc);
}

KXSmartPtr<KXDirectUI> KXDirectUIHandler::createControl(const std::string& className, const std::string& name,
                                                        bool keep)
{
    if (findControl(name))
        return nullptr;
    const auto found = registry().find(className);
    if (found == registry().end())
        return nullptr;
    KXSmartPtr<KXDirectUI> control(found->second());
    control->setName(name);
    if (keep)
        controls_.emplace(name, control);
    return control;
}

bool KXDirectUIHandler::addControl(KXSmartPtr<KXDirectUI> control)
{
    return controls_.emplace(control->getName(), control).second;
}

KXSmartPtr<KXDirectUI> KXDirectUIHandler::findControl(const std::string& name)
{
    const auto found = controls_.find(name);
    return found == controls_.end() ? KXSmartPtr<KXDirectUI>() : found->second;
}

void KXDirectUIHandler::removeControl(const std::string& name)
{
    const auto found = controls_.find(name);
    if (found == controls_.end())
        return;
    // Released after the map is consistent again, in case its destructor calls back.
    KXSmartPtr<KXDirectUI> released = std::move(found->second);
    controls_.erase(found);
}

bool KXDirectUIHandler::isMouseMessage(UINT message)
{
    return carriesClientPoint(message) || message == WM_MOUSEWHEEL || message == WM_MOUSELEAVE;
}

void KXDirectUIHandler::createTooltip()
{
    tooltipWindow_ = getWindow();
    if (tooltipWindow_)
        tooltipWindow_->setTooltip("");
}

bool KXDirectUIHandler::routeMessage(const MSG& msg)
{
    if (!tooltipWindow_)
        return false;
    HWND window = getWindow();
    if (!tracking_ && msg.message == WM_MOUSEMOVE) {
        if (window && window->trackMouseLeave())
            tracking_ = true;
    } else if (msg.message == WM_MOUSELEAVE) {
        tracking_ = false;
    }

    // The walk runs over a copy: a notification may add or remove controls, and the references
    // keep every control alive until the walk is over.
    std::vector<KXSmartPtr<KXDirectUI>> walk;
    walk.reserve(controls_.size());
    for (const auto& entry : controls_)
        walk.push_back(entry.second);

    for (const auto& control : walk) {
        if (!control->handleMessage(msg.message, msg.wParam, msg.lParam))
            continue;
        if (hotControl_ != control) {
            // The previous hot control sees the message too, so it can drop its hover look.
            if (KXSmartPtr<KXDirectUI> previous = hotControl_)
                previous->handleMessage(msg.message, msg.wParam, msg.lParam);
            hotControl_ = control;
        }
        updateTooltip(control, msg);
        return true;
    }
    if (msg.message == WM_MOUSEMOVE && window)
        window->hideTooltip();
    return false;
}

void KXDirectUIHandler::updateTooltip(const KXSmartPtr<KXDirectUI>& control, const MSG& msg)
{
    HWND window = getWindow();
    if (!window)
        return;
    std::string text;
    if (!control->getTooltip(text)) {
        window->hideTooltip();
        return;
    }
    const POINT position = carriesClientPoint(msg.message) ? pointFromLParam(msg.lParam) : window->cursorPos();
    if (text != lastTipText_ || !(position == lastTipPos_)) {
        lastTipText_ = text;
        lastTipPos_ = position;
        window->setTooltip(text);
        ++tooltipUpdates_;
    }
    window->relayTooltip();
}

}  // namespace KXLib
