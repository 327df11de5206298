#pragma once
// DisplaySession: the windowed program's connection to the user's display and the toolkit's
// application object, for the life of the program. open() checks first that a display can be
// reached, so a start without one ends with one plain line instead of the toolkit's abort.
//
// Threads: open and destroy on the main thread, which becomes the window thread.
#include <memory>
#include <string>

namespace platform {

class DisplaySession {
public:
    // Opens the display. Null, with a one-line reason in `error`, when no display can be reached:
    // no DISPLAY or WAYLAND_DISPLAY (and no QT_QPA_PLATFORM naming another platform), or a local X
    // display whose socket does not answer. argc and argv must outlive the session.
    static std::unique_ptr<DisplaySession> open(int& argc, char** argv, std::string& error);
    ~DisplaySession();
    DisplaySession(const DisplaySession&) = delete;
    DisplaySession& operator=(const DisplaySession&) = delete;

    // The reason open() would refuse, or empty when a display looks reachable. Reads only the
    // environment and the X socket.
    static std::string displayProblem();

private:
    DisplaySession(int& argc, char** argv);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
