#include "kxlib/ui/CSkinColor.h"

#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXColor.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "kxlib/ui/KXSlider.h"
#include "platform/gui/DeviceContext.h"
#include "platform/core/IniDocument.h"
#include "platform/core/IniFile.h"
#include "platform/core/Paths.h"

#include <algorithm>

namespace KXLib {

namespace {

// Each value sits in a section named after it, under the key "skin".
constexpr const char* kKey = "skin";
constexpr const char* kSkinSection = "skin_color";
constexpr const char* kHueSection = "hue";
constexpr const char* kSaturationSection = "saturation";
constexpr const char* kLuminositySection = "luminosity";
// The name was read into a 200-character buffer: longer names were never stored whole.
constexpr std::size_t kMaxSkinNameChars = 199;

constexpr const char* kHueSlider = "slider-hue";
constexpr const char* kSaturationSlider = "slider-sum";
constexpr const char* kLuminositySlider = "slider-lum";

constexpr COLORREF kFrameColor = palette::kFrame;

const CSkinColor::Preset* findPreset(const std::string& name)
{
    for (const auto& preset : CSkinColor::presets()) {
        if (name == preset.name)
            return &preset;
    }
    return nullptr;
}

// A stored name outside the table has no colours of its own; the pop-up's background then starts
// from the first preset rather than from black.
const CSkinColor::Preset& presetOrDefault(const std::string& name)
{
    const CSkinColor::Preset* preset = findPreset(name);
    return preset ? *preset : CSkinColor::presets().front();
}

// Cuts UTF-8 text after `count` characters, never inside a character.
std::string firstCharacters(const std::string& text, std::size_t count)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80 && chars++ == count)
            return text.substr(0, i);
    }
    return text;
}

}  // namespace

const std::array<CSkinColor::Preset, 10>& CSkinColor::presets()
{
    static const std::array<Preset, 10> table{{
        {"skin0", palette::kDefaultSkinLight, palette::kDefaultSkinDark},
        {"skin1", 0xEDA863, 0xE9933D},
        {"skin2", 0xE48A4E, 0xDE6D23},
        {"skin3", 0x6FF7DB, 0x0FF1C2},
        {"skin4", 0xBF8484, 0xB06666},
        {"skin5", 0x51BD87, 0x27AD6A},
        {"skin6", 0xE44D99, 0xDD2280},
        {"skin7", 0xE44DC6, 0xDD22B8},
        {"skin8", 0x7A4DE4, 0x5A22DD},
        {"skin9", 0x999999, 0x808080},
    }};
    return table;
}

CSkinColor::CSkinColor() { setDisposed(true); }

CSkinColor::~CSkinColor() { close(); }

void CSkinColor::load()
{
    setDisposed(true);
    const platform::IniDocument settings =
        platform::IniFile(platform::Paths::settingsFile()).load().value_or(platform::IniDocument());
    currentSkin = firstCharacters(settings.readString(kSkinSection, kKey, "skin0"), kMaxSkinNameChars);
    // The sliders can only show values inside their range; a hand-edited or damaged file must not
    // leave the colour shifted by an amount the sliders cannot show or take back.
    hue = std::clamp(settings.readInt(kHueSection, kKey, kNeutralHue), 0, kMaxHue);
    saturation = std::clamp(settings.readInt(kSaturationSection, kKey, kNeutralPercent), 0, kMaxPercent);
    luminosity = std::clamp(settings.readInt(kLuminositySection, kKey, kNeutralPercent), 0, kMaxPercent);
    currentColor = presetOrDefault(currentSkin).second;
}

void CSkinColor::presetColors(COLORREF& first, COLORREF& second) const
{
    if (const Preset* preset = findPreset(currentSkin)) {
        first = preset->first;
        second = preset->second;
    }
}

bool CSkinColor::open(HWND parent, const RECT& screenRect)
{
    if (popup_)
        return true;
    if (!parent)
        return false;
    parent_ = parent;
    popup_ = std::make_unique<platform::Window>(platform::Window::Kind::Popup, this, parent);
    popup_->setTitle("hsl");
    popup_->setGeometry(screenRect);
    buildContent();
    popup_->show();
    // Shown like a freshly created pop-up: it takes the focus, so leaving it can close it.
    popup_->activate();
    return true;
}

void CSkinColor::close()
{
    if (!popup_)
        return;
    removeAllControls();
    popup_.reset();
    parent_ = nullptr;
}

void CSkinColor::buildContent()
{
    createTooltip();
    for (int i = 0; i < static_cast<int>(presets().size()); ++i) {
        const std::string name = presets()[i].name;
        const int column = i % 5;
        const int top = i < 5 ? 5 : 45;
        const RECT cell{5 + 40 * column, top, 35 + 40 * column, top + 30};
        auto swatch = placeControl<KXButtonEx>("KXButtonEx", name, cell);
        swatch->loadImage("image/lumaret-skin" + std::to_string(i) + ".png", SIZE{30, 30});
        swatch->setChecked(name == currentSkin);
    }
    struct SliderSetup {
        const char* name;
        int top;
        const char* track;
        int maxPos;
        int pos;
    };
    const SliderSetup sliders[] = {
        {kHueSlider, 100, "image/adj-hue.bmp", kMaxHue, hue},
        {kSaturationSlider, 118, "image/adj-sum.bmp", kMaxPercent, saturation},
        {kLuminositySlider, 136, "image/adj-lum.bmp", kMaxPercent, luminosity},
    };
    for (const auto& setup : sliders) {
        auto slider = placeControl<KXSlider>("KXSlider", setup.name, RECT{40, setup.top, 164, setup.top + 14});
        slider->loadTrackImages(setup.track, "");
        slider->loadThumbImage("image/adj-thumb.png");
        slider->setRange(setup.maxPos);
        slider->setPos(setup.pos);
    }
}

void CSkinColor::onControlEvent(KXSmartPtr<KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    // A click, or a slider drag released over its slider; everything else is the controls' own.
    if (message != WM_LBUTTONUP)
        return;
    const std::string className = control->getClassName();
    if (className == "KXButtonEx")
        chooseSwatch(control->getName());
    else if (auto slider = control.dynamicCast<KXSlider>())
        commitSlider(*slider);
}

void CSkinColor::chooseSwatch(const std::string& name)
{
    if (name == currentSkin)
        return;
    if (auto previous = findControl(currentSkin).dynamicCast<KXButtonEx>())
        previous->setChecked(false);
    if (auto chosen = findControl(name).dynamicCast<KXButtonEx>())
        chosen->setChecked(true);
    currentSkin = name;
    hue = kNeutralHue;
    saturation = kNeutralPercent;
    luminosity = kNeutralPercent;
    moveSlider(kHueSlider, hue);
    moveSlider(kSaturationSlider, saturation);
    moveSlider(kLuminositySlider, luminosity);
    notifyParent(1);
    currentColor = presetOrDefault(currentSkin).first;
    if (popup_)
        popup_->invalidate();
    saveSettings();
}

void CSkinColor::commitSlider(KXSlider& slider)
{
    const std::string name = slider.getName();
    int* value = name == kHueSlider          ? &hue
                 : name == kSaturationSlider ? &saturation
                 : name == kLuminositySlider ? &luminosity
                                             : nullptr;
    if (value && *value != slider.getPos()) {
        *value = slider.getPos();
        notifyParent(1);
    }
    currentColor = adjustedFirstColor();
    if (popup_)
        popup_->invalidate();
    saveSettings();
}

void CSkinColor::moveSlider(const char* name, int value)
{
    if (auto slider = findControl(name).dynamicCast<KXSlider>())
        slider->setPos(value);
}

void CSkinColor::adjustedColors(COLORREF& first, COLORREF& second) const
{
    presetColors(first, second);
    first = adjusted(first);
    second = adjusted(second);
}

COLORREF CSkinColor::adjustedFirstColor() const { return adjusted(presetOrDefault(currentSkin).first); }

COLORREF CSkinColor::adjusted(COLORREF color) const
{
    const bool neutral = hue == kNeutralHue && saturation == kNeutralPercent && luminosity == kNeutralPercent;
    if (!neutral && saturation >= 0)
        adjustColor(color, &color, hue - kNeutralHue, saturation, luminosity);
    return color;
}

void CSkinColor::notifyParent(WPARAM wParam)
{
    if (parent_)
        parent_->post(WM_SKIN_CHANGED, wParam, 0);
}

void CSkinColor::saveSettings() const
{
    // One replacement of the file for all four values, so a reader never sees half a choice; an
    // unreadable file is never overwritten, and a lost write is harmless.
    const platform::IniFile file(platform::Paths::settingsFile());
    file.update([this](platform::IniDocument& settings) {
        settings.setValue(kSkinSection, kKey, currentSkin);
        settings.setValue(kHueSection, kKey, std::to_string(hue));
        settings.setValue(kSaturationSection, kKey, std::to_string(saturation));
        settings.setValue(kLuminositySection, kKey, std::to_string(luminosity));
        return true;
    });
}

void CSkinColor::onPaint(platform::DeviceContext& dc)
{
    const RECT client = popup_ ? popup_->clientRect() : dc.area();
    gradientFill(&dc, 0xFFFFFF, currentColor, true, client.left, client.top, client.right, client.bottom);
    // The thin border of the pop-up.
    drawRect(&dc, kFrameColor, 0, true, client.left, client.top, client.right, client.bottom);
    drawControls(&dc);
}

bool CSkinColor::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isMouseMessage(message)) {
        routeMessage(MSG{popup_.get(), message, wParam, lParam});
        return true;
    }
    switch (message) {
    case WM_KILLFOCUS:
        notifyParent(0);
        return true;
    case WM_CLOSE:
        // The window system (or the application quitting) closes the window; the owner is told as
        // when the pop-up is left, and destroys it. Refusing would hold up the application's quit.
        notifyParent(0);
        return false;
    default:
        return false;
    }
}

}  // namespace KXLib
