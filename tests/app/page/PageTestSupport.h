#pragma once
// Helpers of the page tests: a data and settings folder of the test's own, a message presenter
// that records every message and answers as told, desktop services that record instead of acting,
// and a wait for the window thread's queue that blocks on events (no polling).
#include "convert/page/ConvertPageServices.h"
#include "platform/core/MessagePresenter.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pagetest {

struct Message {
    std::string text;
    uint8_t flags;
};

class RecordingPresenter : public platform::MessagePresenter {
public:
    std::string present(const std::string&, const std::string& text, uint8_t flags) override
    {
        messages.push_back({text, flags});
        return (flags & platform::MessageYesNo) ? answer : platform::kAnswerOk;
    }
    std::vector<Message> messages;
    std::string answer = platform::kAnswerYes;
};

class RecordingServices : public convert::ConvertPageServices {
public:
    bool openFile(const std::string& path) override
    {
        calls.push_back("open " + path);
        return desktopTakes;
    }
    bool showInFolder(const std::string&, const std::string& file) override
    {
        calls.push_back("show " + file);
        return desktopTakes;
    }
    std::string chooseFolder(HWND, const std::string& title, const std::string& startFolder) override
    {
        calls.push_back("choose " + title);
        folderStarts.push_back(startFolder);
        return folder;
    }
    bool moveToTrash(const std::string& path, std::string&) override
    {
        calls.push_back("trash " + path);
        return true;
    }
    unsigned popupMenu(HWND, const std::vector<convert::MenuItem>& items, POINT) override
    {
        menus.push_back(items);
        return 0;
    }
    void shutdownCountdown(HWND) override
    {
        calls.push_back(awake.empty() || awake.back() ? "countdown awake" : "countdown");
    }
    void keepAwake(bool on) override { awake.push_back(on); }

    std::vector<std::string> calls;
    std::vector<std::vector<convert::MenuItem>> menus;
    std::string folder;
    std::vector<bool> awake;
    bool desktopTakes = true;  // what openFile and showInFolder answer
    std::vector<std::string> folderStarts;  // the folder each folder chooser opened in
};

// The test's own data and settings folders, and the recording presenter, for one test.
class PageEnvironment {
public:
    PageEnvironment() : presenter(std::make_shared<RecordingPresenter>())
    {
        ::setenv("LUMARET_DATA_DIR", (dir.path() / "data").c_str(), 1);
        ::setenv("LUMARET_CONFIG_DIR", (dir.path() / "config").c_str(), 1);
        previous_ = platform::setMessagePresenter(presenter);
    }
    ~PageEnvironment()
    {
        platform::setMessagePresenter(previous_);
        ::unsetenv("LUMARET_DATA_DIR");
        ::unsetenv("LUMARET_CONFIG_DIR");
    }
    testsupport::TempDir dir;
    std::shared_ptr<RecordingPresenter> presenter;

private:
    std::shared_ptr<platform::MessagePresenter> previous_;
};

// Runs the window thread's events until `done` holds. The wait blocks for events; the one-minute
// limit only keeps a broken run from hanging the suite.
inline bool pumpUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    return true;
}

}  // namespace pagetest
