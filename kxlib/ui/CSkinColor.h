#pragma once
// CSkinColor: the user's skin colour choice and the small pop-up in which it is made: ten preset
// swatches ("skin0" ... "skin9") and three sliders for hue, saturation and luminosity. The main
// window owns one, calls load() at start-up, opens the pop-up under its colour button and
// recolours itself when the pop-up posts WM_SKIN_CHANGED to it:
//   wParam 1  the choice changed (read hue, saturation, luminosity and presetColors());
//   wParam 0  the pop-up lost the focus: the owner closes it with close().
// The choice lives in the settings file (platform::Paths::settingsFile()), each value in a section
// of its own under the key "skin": [skin_color] skin=<preset>, [hue], [saturation], [luminosity].
// The same keys are what the settings store of the application reads and writes.
//
// Ownership: the object is disposed (a member of its owner, never deleted through references).
// The parent window handed to open() must outlive the pop-up.
// Threads: window thread only.
#include "kxlib/ui/KXDirectUIHandler.h"
#include "platform/core/WindowMessages.h"
#include "platform/gui/Window.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>

namespace KXLib {

class KXSlider;

class CSkinColor : public virtual KXDirectUIHandler, public platform::WindowListener {
public:
    struct Preset {
        const char* name;
        COLORREF first;   // the main colour
        COLORREF second;  // its darker companion
    };
    static const std::array<Preset, 10>& presets();

    static constexpr int kNeutralHue = 180;
    static constexpr int kNeutralPercent = 100;
    static constexpr int kMaxHue = 360;
    static constexpr int kMaxPercent = 200;
    // The pop-up's size as the main window places it.
    static constexpr int kPopupWidth = 200;
    static constexpr int kPopupHeight = 160;

    CSkinColor();
    // Closes the pop-up if it is still open.
    ~CSkinColor() override;
    CSkinColor(const CSkinColor&) = delete;
    CSkinColor& operator=(const CSkinColor&) = delete;

    // Reads the four settings (defaults for whatever is missing; numbers outside their slider's
    // range are brought into it) and sets currentColor to the preset's second colour.
    void load();
    // The two colours of currentSkin's preset; a name outside the table leaves both unchanged.
    void presetColors(COLORREF& first, COLORREF& second) const;
    // The pair the windows paint with: presetColors() with hue, saturation and luminosity applied
    // (left as they are at the neutral 180, 100, 100).
    void adjustedColors(COLORREF& first, COLORREF& second) const;
    // Creates and shows the pop-up at `screenRect` (screen coordinates) as a child pop-up of
    // `parent`; true at once when it is already open. False when there is no parent.
    bool open(HWND parent, const RECT& screenRect);
    // Removes the controls and destroys the pop-up; nothing when it is closed. Reopening builds
    // everything afresh.
    void close();
    bool isOpen() const { return popup_ != nullptr; }

    // The pop-up, null while it is closed.
    HWND getWindow() override { return popup_.get(); }
    void onControlEvent(KXSmartPtr<KXDirectUI> control, UINT message, WPARAM wParam, LPARAM lParam) override;

    void onPaint(platform::DeviceContext& dc) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int hue = 0;          // 0..360, 180 = no shift
    int saturation = 0;   // 0..200 percent
    int luminosity = 0;   // 0..200 percent
    COLORREF currentColor = 0;  // the bottom colour of the pop-up's background
    std::string currentSkin = "skin0";

private:
    void buildContent();
    void chooseSwatch(const std::string& name);
    void commitSlider(KXSlider& slider);
    void moveSlider(const char* name, int value);
    // The preset's first colour with the hue, saturation and luminosity applied.
    COLORREF adjustedFirstColor() const;
    // `color` with the hue, saturation and luminosity applied; unchanged at the neutral values.
    COLORREF adjusted(COLORREF color) const;
    void notifyParent(WPARAM wParam);
    void saveSettings() const;

    std::unique_ptr<platform::Window> popup_;
    HWND parent_ = nullptr;
};

}  // namespace KXLib
