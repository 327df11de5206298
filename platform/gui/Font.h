#pragma once
// A font request. The face is asked for by name; when the system lacks it, the font configuration
// picks a close sans face and borrows glyphs it cannot draw (the Chinese texts) from a CJK-capable
// face, so every text renders.
#include <string>

namespace platform {

struct Font {
    std::string face = "Tahoma";
    int pointSize = 9;  // points at 96 dots per inch: 9 points is 12 pixels
    bool bold = false;
    bool underline = false;

    // The font the controls share: "Tahoma" at 9 points.
    static Font standard() { return Font{}; }
    static Font withSize(int points) { Font f; f.pointSize = points; return f; }
    int pixelSize() const { return (pointSize * 96 + 36) / 72; }
    bool operator==(const Font&) const = default;
};

}  // namespace platform
