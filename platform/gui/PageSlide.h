#pragma once
// The slide that brings a page in: the page moves from one page-width to the right of its place
// to its place, right to left, over 200 ms, while its parent clips it. The page is at its place
// again when the slide ends, is stopped, or the PageSlide goes.
//
// Threads: window thread only. The page must outlive the PageSlide.
#include "platform/core/WinTypes.h"

#include <memory>

namespace platform {

class Window;

class PageSlide {
public:
    static constexpr int kDurationMs = 200;

    explicit PageSlide(Window& page);
    ~PageSlide();
    PageSlide(const PageSlide&) = delete;
    PageSlide& operator=(const PageSlide&) = delete;

    // Starts the slide towards the page's place (its geometry now, or the place a running slide
    // was heading for).
    void start(int durationMs = kDurationMs);
    bool isRunning() const;
    // Ends a running slide at once, with the page at its place.
    void finish();
    // Where the page ends up.
    RECT target() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
