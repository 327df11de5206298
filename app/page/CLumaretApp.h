#pragma once
// CLumaretApp: the windowed program's start and end. run() opens the display (one line on standard
// error and status 1 when there is none), installs the skinned message box for every message,
// builds the main window and runs it modally; when that run ends the main window is destroyed
// (its pages save what they own) and the message box is uninstalled. Every launch is a process
// of its own: there is no single-instance lock.
//
// Threads: the main thread, which becomes the window thread.
namespace app {

class CLumaretApp {
public:
    // Returns the process's exit status.
    int run(int argc, char** argv);
    // The termination signal (SIGTERM, SIGHUP, SIGINT) that ended the last run, 0 for none. The
    // program has cleaned up by then; whoever ends the process raises the signal again so that
    // its parent sees how it ended.
    int endingSignal() const { return endingSignal_; }

private:
    int endingSignal_ = 0;
};

}  // namespace app
