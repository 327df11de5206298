#pragma once
// The application object of a windowed program (lumaret, the uninstaller): the toolkit's
// application and its event loop. Without a display the program cannot start: create() says so in
// one line on standard error and returns null, instead of letting the toolkit abort.
//
// Threads: the thread that creates the application is the window thread; everything else in this
// layer that touches windows runs there.
#include <memory>
#include <string>

namespace platform {

class Application {
public:
    // Creates the application for `argc`/`argv` (both must outlive it). `programName` starts the
    // line written when no display can be opened, e.g. "lumaret: no display: DISPLAY is not set".
    static std::unique_ptr<Application> create(int& argc, char** argv, const std::string& programName);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the event loop until quit(); returns the code given to quit(). Hiding or closing the
    // last window does not end it (the main window hides to the tray).
    int run();
    static void quit(int code = 0);

    // Makes the toolkit's own dialogs (file and folder choosers, their buttons) speak the language
    // of `locale` ("zh_CN"), from the toolkit's translations (Debian: qt6-translations-l10n).
    // Needs the application to exist; false when no translation for it is installed.
    static bool loadToolkitTranslations(const std::string& locale);

    // Why no display can be opened with this environment; empty when one can (or the toolkit is
    // asked to draw without a screen, as the offscreen platform does).
    static std::string missingDisplayReason();

private:
    Application(int& argc, char** argv);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
