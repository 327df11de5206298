#pragma once
// CConvertDialog: the conversion page. It shows the conversion list, the start/stop button, the
// overall progress bar and the "cpu" button with its menu (encoder priority, power off when done),
// and it is a thin view over the engine's ConversionQueue: the queue converts the rows (as many at
// once as the options' filesAtOnce, given to it at each start), owns the converting mode and
// reports on the window thread; the page redraws and lets AfterSuccess do what follows a success,
// with its services as the desktop.
//
// Files enter as QueuedFile values (QueuedFile::build): dropped files through addFile(), the
// hand-over straight into the queue (HandOver::runInto), the add-files page's accept through
// addAcceptedFiles(); the rows appear as the queue reports each added job (onJobAdded()), so
// a file that cannot be read never enters the list. While the queue converts, dropping, the
// hand-over and deleting are refused with a message.
//
// Ownership: a member of the main window (disposed). It owns the queue (and so the jobs and the
// probe) and the list. The host and the services must outlive it.
// Threads: window thread only; the queue's reports arrive here through the window thread's queue.
#include "kxlib/ui/CPageDialog.h"
#include "convert/ConversionQueue.h"
#include "convert/OpenTarget.h"
#include "convert/QueuedFile.h"
#include "convert/page/ConvertPageHost.h"
#include "convert/page/ConvertPageServices.h"
#include "convert/page/convertList.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXProgressbar.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace convert {

class EncoderBinding;

class CConvertDialog : public app::CPageDialog, public ConversionQueueListener {
public:
    static constexpr const char* kStartText = "开始";
    static constexpr const char* kStopText = "停止";
    static constexpr COLORREF kButtonTextColor = KXLib::palette::kText;
    static constexpr const char* kAddWhileConverting = "当前正在转换文件,请稍候添加转换文件...";
    static constexpr const char* kDeleteWhileConverting = "对不起,当前正在转换文件,不允许删除!";
    static constexpr const char* kStopQuestion = "当前正在转换文件,您是否确定停止转换?";
    static constexpr const char* kNothingToConvert =
        "当前没有文件需要转换,请点击右上角的添加按钮,新增文件到转换列表中!";
    static constexpr const char* kChooseFolderTitle = "选择路径";

    // Menu command ids of the "cpu" menu.
    static constexpr unsigned kMenuRealtime = 0x8011;
    static constexpr unsigned kMenuHigh = 0x8015;
    static constexpr unsigned kMenuNormal = 0x8013;
    static constexpr unsigned kMenuIdle = 0x8014;
    static constexpr unsigned kMenuShutdown = 0x8017;

    // binding: the encoders (null: the process-wide binding); services null: the desktop's own.
    CConvertDialog(ConvertPageHost& host, ConvertPageServices* services = nullptr,
                   const EncoderBinding* binding = nullptr);
    // Stops the queue (and with it any encoder) before the window goes.
    ~CConvertDialog() override;

    // Adds a readable regular file with `profile`, or without one with the profile the options
    // choose (the last used or the default).
    void addFile(const std::string& path, const profile::ProfileRecord* profile);
    // The message of an add refused because the queue converts.
    void tellAddWhileConverting();
    // Adds the files of the add-files page's accept, in order, as they were prepared.
    void addAcceptedFiles(const std::vector<QueuedFile>& files);
    // Appends the rows of a recovered journal (QueueJournal::recover), in order, with their states.
    void restoreRows(const std::vector<JournalRow>& rows);
    // The start/stop button: starts the queue with the options' number of files at once, or asks
    // and stops every running encoder ("否" leaves them all running).
    void startOrStop();
    void deleteSelected();
    // Stops every running encoder and leaves converting mode without asking (program exit).
    void stopAll();
    convertFile* findConvertingJob() const;
    int countConverting() const;
    int countWaiting() const;
    int countFinished() const;
    int rowCount() const;
    // Gives every job whose profile is named `name` a copy of `record`.
    void applyProfile(const std::string& name, const profile::ProfileRecord& record);
    bool isConverting() const { return queue_ && queue_->isConverting(); }
    // The seconds the queue still needs while it converts; nothing when unknown or idle.
    std::optional<double> queueSecondsLeft() const;

    // Files dropped on the page, in order, the unreadable ones told in one message (one message too
    // while converting); then the automatic start when the options ask for it.
    void dropFiles(const std::vector<std::string>& paths);
    // The "cpu" menu as it would show now, and the action of one of its commands.
    std::vector<MenuItem> cpuMenuItems() const;
    void onMenuCommand(unsigned id);
    // The action of a row button ("convertlist-play", ...) on the selected row.
    void rowAction(const std::string& buttonName);

    convertList& list() { return *list_; }
    KXLib::KXProgressbar& overallBar() { return *progress_; }
    KXLib::KXButtonEx& startButton() { return *start_; }
    ConversionQueue& queue() { return *queue_; }

    void onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM wParam,
                        LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ConversionQueueListener, on the window thread.
    void onJobAdded(convertFile* job) override;
    void onJobStateChanged(convertFile* job, JobState state) override;
    void onJobProgress(convertFile* job, int percent) override;
    void onJobProbed(convertFile* job) override;
    void onJobFinished(convertFile* job, JobState state) override;
    void onQueueEnded() override;

protected:
    void onInitPage() override;
    void paintPage(platform::DeviceContext& dc, const RECT& client) override;

private:
    // Tells the user, in one box, why an open button opened nothing.
    void tellNothingOpened(OpenTarget::Action action, const std::string& path, OpenTarget::Outcome outcome);
    void createControls();
    void setStartCaption(const char* text);
    // The caption, the list's buttons and the machine kept awake follow the queue's mode.
    void showConverting(bool on);
    // True (after telling the user) while the queue converts.
    bool refuseAddWhileConverting();
    // Adds the file when it is a readable regular file; false (nothing told) otherwise.
    bool addReadableFile(const std::string& path, const profile::ProfileRecord* profile);
    void showCpuMenu();

    ConvertPageHost& host_;
    std::unique_ptr<ConvertPageServices> ownServices_;
    ConvertPageServices* services_;
    const EncoderBinding* binding_;
    std::unique_ptr<ConversionQueue> queue_;
    AfterSuccess afterSuccess_;  // what follows each success, told at most once per run
    KXLib::KXSmartPtr<convertList> list_;
    KXLib::KXSmartPtr<KXLib::KXButtonEx> start_;
    KXLib::KXSmartPtr<KXLib::KXButtonEx> cpu_;
    KXLib::KXSmartPtr<KXLib::KXProgressbar> progress_;
};

}  // namespace convert
