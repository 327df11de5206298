#include "convert/page/convertList.h"

#include "convert/JobState.h"
#include "convert/TimeLeftText.h"
#include "kxlib/ui/KXDirectUIHandler.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Window.h"
#include "profile/ProfileRecord.h"

#include <algorithm>
#include <cstdio>

namespace convert {

namespace {

constexpr COLORREF kTextColor = 0x000000;
constexpr COLORREF kHeaderTextColor = KXLib::palette::kText;
constexpr UINT kOneLine = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
constexpr UINT kCentred = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS;
constexpr int kIconSize = 20;
constexpr std::array<const char*, 5> kButtonNames{convertList::kPlay, convertList::kPreview,
                                                  convertList::kOpenOutput, convertList::kChangeOutput,
                                                  convertList::kChangeProfile};
constexpr std::array<const char*, 5> kButtonCaptions{"播放源视频", "播放新视频", "打开路径", "修改路径", "修改方案"};
constexpr const char* kOutputFolderLabel = "输出目录: ";
constexpr const char* kProfileLabel = "转换方案: ";

RECT inset(const RECT& r, int dx) { return RECT{r.left + dx, r.top, r.right - dx, r.bottom}; }

bool isFailure(JobState state) { return state == JobState::ProbeFailed || state == JobState::Failed; }

}  // namespace

convertList::convertList() = default;
convertList::~convertList() = default;

std::string convertList::getClassName() const { return "KXListCtrl"; }

void convertList::setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler> handler)
{
    KXListCtrl::setHandler(handler);
    for (auto& b : buttons_)
        if (b)
            b->setHandler(handler);
}

void convertList::initialise(ConversionQueue* queue)
{
    queue_ = queue;
    createButtons();
    KXLib::loadImage(waitImage_, "image/lumaret-wait.png");
    KXLib::loadImage(errorImage_, "image/lumaret-error.png");
    KXLib::loadImage(completeImage_, "image/lumaret-complete.png");
    KXLib::loadImage(logoImage_, "image/lumaret-logo.png");
    busyAnimation_ = std::make_unique<KXLib::KXGifCtrl>();
    HWND window = handler_ ? handler_->getWindow() : nullptr;
    if (!busyAnimation_->load("image/lumaret-process.gif", window))
        busyAnimation_.reset();
}

void convertList::createButtons()
{
    for (size_t i = 0; i < buttons_.size(); ++i) {
        KXLib::KXSmartPtr<KXLib::KXButtonEx> b(new KXLib::KXButtonEx());
        b->setName(kButtonNames[i]);
        b->setHandler(handler_);
        b->loadImage("image/lumaret-btn.png", kButtonSize);
        b->setRect(RECT{0, 0, kButtonSize.cx, kButtonSize.cy});
        b->setText(kButtonCaptions[i], POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        b->setVisible(false);
        buttons_[i] = b;
    }
}

KXLib::KXSmartPtr<KXLib::KXButtonEx> convertList::button(const std::string& name) const
{
    for (const auto& b : buttons_)
        if (b && b->getName() == name)
            return b;
    return {};
}

convertFile* convertList::addJob(const convertFile& job) { return queue_ ? queue_->addJob(job) : nullptr; }

convertFile* convertList::addJob(const QueuedFile& file) { return queue_ ? queue_->addJob(file) : nullptr; }

convertFile* convertList::appendRow(convertFile* own)
{
    insertRow(static_cast<unsigned>(getRowCount()), reinterpret_cast<std::intptr_t>(own));
    updateScrollbars();
    repaint();
    return own;
}

void convertList::removeSelected()
{
    const int row = getSelectedRow();
    convertFile* job = jobAt(row);
    if (!job || !queue_ || !queue_->removeJob(job))
        return;
    bars_.erase(job);
    deleteRow(row);
    showButtons(false);
    updateScrollbars();
    repaint();
}

void convertList::teardown()
{
    showButtons(false);
    deleteAllRows();
    bars_.clear();
    if (busyAnimation_)
        busyAnimation_->stop();
}

convertFile* convertList::jobAt(int row) const { return reinterpret_cast<convertFile*>(getRowData(row)); }

convertFile* convertList::selectedJob() const { return jobAt(getSelectedRow()); }

KXLib::KXProgressbar* convertList::progressBarOf(const convertFile* job) const
{
    const auto found = bars_.find(job);
    return found == bars_.end() ? nullptr : found->second.get();
}

std::string convertList::statusText(JobState state)
{
    switch (state) {
    case JobState::Waiting: return "等待转换";
    case JobState::Converting: return "正在转换";
    case JobState::ProbeFailed: return "转换错误";
    case JobState::Failed: return "转换失败";
    case JobState::Done: return "转换完成";
    default: return {};
    }
}

std::string convertList::sizeText(uint64_t bytes)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(bytes) * 0.0009765625 * 0.0009765625);
    return text;
}

// ---- drawing ----

void convertList::draw(HDC dc)
{
    convertingRowDrawn_ = false;
    KXListCtrl::draw(dc);
    if (getRowCount() == 0 && !logoImage_.isNull())
        dc->drawImage(logoImage_, rect_.left + kLogoAt.x, rect_.top + kLogoAt.y);
    for (const auto& b : buttons_)
        if (b && b->isVisible())
            b->draw(dc);
    // The animation runs only while a converting row is on screen.
    if (busyAnimation_ && !convertingRowDrawn_)
        busyAnimation_->stop();
}

void convertList::drawHeaderCell(HDC dc, int column, const RECT& cell)
{
    if (column >= 0 && column < ColumnCount)
        dc->drawText(kColumnTitles[column], cell, kCentred, kHeaderTextColor, KXLib::sharedFont());
}

void convertList::beginRows(HDC, const RECT&) { selectedRowInView_ = false; }

void convertList::endRows(HDC, const RECT&)
{
    showButtons(selectedRowInView_);
    if (selectedRowInView_)
        placeButtons(selectedRowRect_);
}

void convertList::drawRow(HDC dc, int row, KXLib::ListRow* entry, const RECT& rowRect)
{
    convertFile* job = reinterpret_cast<convertFile*>(entry->data);
    if (!job)
        return;
    drawSummaryLine(dc, row, *job, RECT{rowRect.left, rowRect.top, rowRect.right, rowRect.top + lineHeight});
    if (row == getSelectedRow()) {
        drawDetailLines(dc, row, *job, rowRect);
        // Only a row that ends inside the list shows its buttons.
        if (rowRect.bottom <= area_.bottom) {
            selectedRowInView_ = true;
            selectedRowRect_ = rowRect;
        }
    }
}

RECT convertList::cellLine(int row, int column, int line) const
{
    RECT cell{};
    if (!getCellRect(row, column, cell))
        return RECT{0, 0, 0, 0};
    const int top = cell.top + (line - 1) * lineHeight;
    return RECT{cell.left, top, cell.right, top + lineHeight};
}

void convertList::drawSummaryLine(HDC dc, int row, convertFile& job, const RECT&)
{
    const platform::Font& font = KXLib::sharedFont();
    const JobState state = job.getState();
    drawStatusIcon(dc, state, cellLine(row, StatusColumn, 1));
    std::string source;
    uint64_t size = 0;
    job.getProbeInput(source, size);
    dc->drawText(source, inset(cellLine(row, SourceColumn, 1), 2), kOneLine, kTextColor, font);
    dc->drawText(sizeText(size), cellLine(row, SizeColumn, 1), kCentred, kTextColor, font);
    std::string duration;
    job.getDurationText(duration);
    dc->drawText(duration, cellLine(row, DurationColumn, 1), kCentred, kTextColor, font);
    drawProgress(dc, job, cellLine(row, ProgressColumn, 1));
}

void convertList::drawStatusIcon(HDC dc, JobState state, const RECT& cell)
{
    const RECT icon{cell.left + 5, cell.top + 4, cell.left + 5 + kIconSize, cell.top + 4 + kIconSize};
    switch (state) {
    case JobState::Waiting: dc->drawImage(waitImage_, icon.left, icon.top); break;
    case JobState::Done: dc->drawImage(completeImage_, icon.left, icon.top); break;
    case JobState::ProbeFailed:
    case JobState::Failed: dc->drawImage(errorImage_, icon.left, icon.top); break;
    case JobState::Converting:
        if (busyAnimation_) {
            busyAnimation_->drawRect = icon;
            if (!busyAnimation_->playing)
                busyAnimation_->play();
            busyAnimation_->draw(dc);
            convertingRowDrawn_ = true;
        }
        break;
    default: break;  // Stopping shows nothing
    }
}

void convertList::drawProgress(HDC dc, convertFile& job, const RECT& cell)
{
    KXLib::KXSmartPtr<KXLib::KXProgressbar>& bar = bars_[&job];
    if (!bar) {
        bar = KXLib::KXSmartPtr<KXLib::KXProgressbar>(new KXLib::KXProgressbar());
        bar->setRange(100);
        bar->showText = true;
        bar->setName(profile::profileNameOf(job.getProfile()));
        bar->setHandler(handler_);
    }
    bar->setRect(RECT{cell.left, cell.top + 5, cell.right, cell.bottom - 5});
    const int percent = job.shownPercent();
    if (percent <= bar->maxPos)
        bar->setPos(percent);
    bar->draw(dc);
}

void convertList::drawDetailLines(HDC dc, int row, convertFile& job, const RECT&)
{
    const platform::Font& font = KXLib::sharedFont();
    const RECT info = inset(cellLine(row, SourceColumn, 2), 2);
    if (isFailure(job.getState())) {
        dc->drawText(kErrorLine, info, kOneLine, kErrorTextColor, font);
    } else {
        std::string mediaInfo;
        job.getMediaInfo(mediaInfo);
        dc->drawText(mediaInfo, info, kOneLine, kTextColor, font);
    }
    const std::string pace = paceText(&job);
    if (!pace.empty()) {
        const RECT from = cellLine(row, SizeColumn, 2);
        const RECT to = cellLine(row, ProgressColumn, 2);
        dc->drawText(pace, inset(RECT{from.left, from.top, to.right, to.bottom}, 2), kOneLine, kTextColor, font);
    }
    const RECT folder = inset(cellLine(row, SourceColumn, 3), 2);
    dc->drawText(kOutputFolderLabel + job.getOutputFolder(), folder, kOneLine, kTextColor, font);
    const RECT right = cellLine(row, ProgressColumn, 3);
    const RECT profileArea{folder.right + 4, folder.top, right.right, folder.bottom};
    dc->drawText(kProfileLabel + profile::profileNameOf(job.getProfile()), profileArea, kOneLine, kTextColor, font);
}

void convertList::placeButtons(const RECT& rowRect)
{
    RECT source{};
    if (!getCellRect(getSelectedRow(), SourceColumn, source))
        return;
    int left = source.left + 2;
    const int top = rowRect.top + 3 * lineHeight + 2;
    for (auto& b : buttons_) {
        b->setRect(RECT{left, top, left + kButtonSize.cx, top + kButtonSize.cy});
        left += kButtonSize.cx + kButtonGap;
    }
    updateButtonStates();
}

void convertList::updateButtonStates()
{
    const convertFile* job = selectedJob();
    const bool converted = job && job->getState() == JobState::Done;
    const bool editable = queue_ && queue_->mayChange(job);
    for (auto& b : buttons_) {
        if (!b)
            continue;
        const std::string name = b->getName();
        bool enabled = true;
        if (name == kPreview)
            enabled = converted;
        else if (name == kChangeOutput || name == kChangeProfile)
            enabled = editable;
        if (b->isEnabled() != enabled)
            b->setEnabled(enabled);
    }
}

void convertList::showButtons(bool show)
{
    for (auto& b : buttons_)
        if (b && b->isVisible() != show)
            b->setVisible(show);
}

// ---- input and tooltips ----

bool convertList::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN)
        lastMouse_ = pointFromLParam(lParam);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        // A click may remove this list (and its buttons) through the page: keep the button alive
        // for the call and return at once.
        KXLib::KXSmartPtr<KXLib::KXButtonEx> b = buttons_[i];
        if (b && b->isVisible() && b->handleMessage(message, wParam, lParam))
            return true;
    }
    return KXListCtrl::handleMessage(message, wParam, lParam);
}

bool convertList::getTooltip(std::string& out) const { return tooltipAt(lastMouse_, out); }

int convertList::lineAt(int row, int y) const
{
    RECT whole{};
    if (!getCellRect(row, -1, whole) || lineHeight <= 0)
        return 0;
    return std::min(4, 1 + (y - whole.top) / lineHeight);
}

std::string convertList::paceText(const convertFile* job) const
{
    if (!queue_ || !job || job->getState() != JobState::Converting)
        return {};
    const ConversionQueue::TimeLeftNow now = queue_->timeLeft();
    const ConversionQueue::RowTimeLeft* row = now.find(job);
    return row ? TimeLeftText::rowPace(row->speed, row->seconds) : std::string();
}

bool convertList::tooltipAt(POINT point, std::string& out) const
{
    int row = -1;
    int column = -1;
    if (!hitTestCell(point, row, column))
        return false;
    convertFile* job = jobAt(row);
    if (!job)
        return false;
    switch (lineAt(row, point.y)) {
    case 1:
        if (column == StatusColumn)
            out = statusText(job->getState());
        else if (column == ProgressColumn)
            out = paceText(job);
        else if (column == SourceColumn) {
            uint64_t size = 0;
            job->getProbeInput(out, size);
        } else
            return false;
        return !out.empty();
    case 2: {
        job->getMediaInfo(out);
        // What the encoder binding substituted for this job (an audio codec the encoder lacks, and
        // the like) is part of the story of its output.
        for (const std::string& note : job->getNotes())
            out += "\n" + note;
        return !out.empty();
    }
    case 3:
        out = column <= SourceColumn ? kOutputFolderLabel + job->getOutputFolder()
                                     : kProfileLabel + profile::profileNameOf(job->getProfile());
        return true;
    default: return false;
    }
}

}  // namespace convert
