#pragma once
// The frames of an animated picture (GIF) with each frame's delay. Window thread only.
#include "platform/gui/Image.h"

#include <string>
#include <vector>

namespace platform {

class Animation {
public:
    // Decodes every frame. False (and the animation left as it was) when the file cannot be read
    // or has no frame.
    bool load(const std::string& path);
    bool isNull() const { return frames_.empty(); }
    int frameCount() const { return static_cast<int>(frames_.size()); }
    // Frame i as a full picture of the animation's size; a null image outside the range.
    const Image& frame(int i) const;
    // Delay after frame i in hundredths of a second. Files that ask for no delay get 10 (0.1 s),
    // as browsers do, so that an animation never spins the window thread.
    int delay(int i) const;

private:
    std::vector<Image> frames_;
    std::vector<int> delays_;
};

}  // namespace platform
