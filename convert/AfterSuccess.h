#pragma once
// AfterSuccess: what follows a file the queue reported Done. With the options' "open the output"
// the output is shown in its folder first; with "delete the source" the source then goes to the
// trash, but only when the success is verified: the job is Done, its output exists as a non-empty
// regular file, and that file is not the source itself. A user's file is never given up on the
// strength of a report alone. Nor is it ever deleted for good: a source the trash cannot take stays
// where it is, and the user is told so in a box, once per queue run (the first such file and why),
// so a long list does not bring one box per file.
//
// The desktop's part (the file manager, the trash) sits behind SuccessDesktop, which the
// conversion page implements with the services of the platform's desktop half; the engine never
// reaches the desktop itself.
//
// Threads: the queue owner's thread (the window thread in the program).
#include <string>

namespace convert {

class convertFile;

class SuccessDesktop {
public:
    virtual ~SuccessDesktop() = default;
    // Shows `file` selected in `folder`; false when nothing could show it.
    virtual bool showInFolder(const std::string& folder, const std::string& file) = 0;
    // Moves the file to the trash; false when it stayed where it was, with `why` in Chinese when
    // that is worth telling (left empty for a file that is simply no longer there).
    virtual bool moveToTrash(const std::string& path, std::string& why) = 0;
};

class AfterSuccess {
public:
    struct Options {
        bool openOutput = false;    // the options' openOutputOnSuccess
        bool removeSource = false;  // the options' deleteSourceOnSuccess
    };

    // A queue run begins: the next source the trash refuses is told again.
    void startRun() { toldSourceKept_ = false; }
    // Applies the policy to `job`; nothing happens for a job that is not Done. Returns true when
    // the source was moved to the trash.
    bool apply(convertFile& job, const Options& options, SuccessDesktop& desktop);
    // The checks a source must pass before it may go.
    static bool outputIsVerified(convertFile& job);
    // The box's text for a source the trash did not take.
    static std::string sourceKeptText(const std::string& source, const std::string& why);

private:
    bool toldSourceKept_ = false;
};

}  // namespace convert
