#pragma once
// convertList: the conversion list on the conversion page. One row per job of the page's
// ConversionQueue, in the queue's order; the row's value is the queue's convertFile. An ordinary
// row shows one line (status icon, source path, size, duration, the job's own progress bar); the
// selected row shows three more: the stream description (or a red error line), the output folder
// and profile, and five buttons that act on it. The list draws the logo when it is empty.
//
// The five buttons are one shared set: shown on the selected row while it is in view, hidden
// otherwise, and offered every mouse message before the list itself. Their clicks go to the list's
// handler (the page), which acts on the selected row.
//
// Ownership: the queue owns the jobs; the list keeps only their addresses and each job's progress
// bar. Every row is added and removed through the list so the two stay in step.
// Threads: window thread only.
#include "convert/ConversionQueue.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXGifCtrl.h"
#include "kxlib/ui/KXListCtrl.h"
#include "kxlib/ui/KXProgressbar.h"
#include "platform/gui/Image.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace convert {

class convertList : public KXLib::KXListCtrl {
public:
    // Columns, left to right.
    enum Column { StatusColumn, SourceColumn, SizeColumn, DurationColumn, ProgressColumn, ColumnCount };
    static constexpr std::array<int, ColumnCount> kColumnWidths{30, 300, 75, 75, 100};
    static constexpr std::array<const char*, ColumnCount> kColumnTitles{"状态", "来源", "大小(mb)", "时长", "进度"};
    static constexpr SIZE kButtonSize{69, 21};
    static constexpr int kButtonGap = 10;
    static constexpr POINT kLogoAt{220, 70};
    static constexpr COLORREF kErrorTextColor = 255;  // pure red
    static constexpr const char* kErrorLine = "发生错误了,移动光标到此查看具体的错误信息";

    // The row buttons' names, in their order on the button line.
    static constexpr const char* kPlay = "convertlist-play";
    static constexpr const char* kPreview = "convertlist-preview";
    static constexpr const char* kOpenOutput = "convertlist-openoutput";
    static constexpr const char* kChangeOutput = "convertlist-changeoutput";
    static constexpr const char* kChangeProfile = "convertlist-changeprofile";

    convertList();
    ~convertList() override;

    // Once, after the list has its handler and rectangle: the buttons, the status images and the
    // busy animation. `queue` holds the rows' jobs and must outlive the list's rows.
    void initialise(ConversionQueue* queue);

    // Gives the queue its own copy of `job` and returns that copy (null without a queue); the row
    // appears through the queue's listener (appendRow()). The caller keeps its object.
    convertFile* addJob(const convertFile& job);
    // Gives the queue a job for `file` and returns it (null without a queue), as above.
    convertFile* addJob(const QueuedFile& file);
    // Appends the row of a job the queue has just taken, whoever gave it (the queue's onJobAdded()).
    convertFile* appendRow(convertFile* own);
    // Removes the selected row and its job; nothing when no row is selected or the queue refuses
    // (the converting job).
    void removeSelected();
    // Forgets every row and progress bar (the queue deletes the jobs).
    void teardown();

    convertFile* jobAt(int row) const;
    convertFile* selectedJob() const;
    // The row buttons' enabled states follow the queue's mode and the selected row's state; called
    // when either changes.
    void refreshButtons() { updateButtonStates(); }
    // The queue's converting mode, which the list only reads.
    bool isConverting() const { return queue_ && queue_->isConverting(); }

    KXLib::KXSmartPtr<KXLib::KXButtonEx> button(const std::string& name) const;
    // The progress bar of a job, created on its row's first paint; null before.
    KXLib::KXProgressbar* progressBarOf(const convertFile* job) const;
    // Whether the busy animation plays (a converting row is in view).
    bool isAnimating() const { return busyAnimation_ && busyAnimation_->playing; }

    // The tooltip of the point (client coordinates), by line and column; false where none.
    bool tooltipAt(POINT point, std::string& out) const;
    // What a converting row says of its encoder (speed and time left), on line 2 of the selected
    // row and in the progress cell's tooltip; empty for a row that does not convert.
    std::string paceText(const convertFile* job) const;
    // Status texts of the tooltip; empty for Stopping.
    static std::string statusText(JobState state);
    // Bytes as megabytes with two decimals.
    static std::string sizeText(uint64_t bytes);

    void setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler> handler) override;
    std::string getClassName() const override;
    void draw(HDC dc) override;
    bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool getTooltip(std::string& out) const override;

protected:
    void drawHeaderCell(HDC dc, int column, const RECT& cell) override;
    void beginRows(HDC dc, const RECT& rowsArea) override;
    void endRows(HDC dc, const RECT& rowsArea) override;
    void drawRow(HDC dc, int row, KXLib::ListRow* entry, const RECT& rowRect) override;

private:
    void createButtons();
    void drawSummaryLine(HDC dc, int row, convertFile& job, const RECT& line);
    void drawStatusIcon(HDC dc, JobState state, const RECT& cell);
    void drawProgress(HDC dc, convertFile& job, const RECT& cell);
    void drawDetailLines(HDC dc, int row, convertFile& job, const RECT& rowRect);
    void placeButtons(const RECT& rowRect);
    void updateButtonStates();
    void showButtons(bool show);
    // The line (1 to 4) of `row` under y.
    int lineAt(int row, int y) const;
    RECT cellLine(int row, int column, int line) const;

    ConversionQueue* queue_ = nullptr;
    std::array<KXLib::KXSmartPtr<KXLib::KXButtonEx>, 5> buttons_;
    std::map<const convertFile*, KXLib::KXSmartPtr<KXLib::KXProgressbar>> bars_;
    platform::Image waitImage_;
    platform::Image errorImage_;
    platform::Image completeImage_;
    platform::Image logoImage_;
    std::unique_ptr<KXLib::KXGifCtrl> busyAnimation_;
    bool convertingRowDrawn_ = false;
    bool selectedRowInView_ = false;
    RECT selectedRowRect_{};
    POINT lastMouse_{-1, -1};
};

}  // namespace convert
