#include "convert/page/CConvertDialog.h"

#include "app/BrowseFolder.h"
#include "app/GatheredFiles.h"
#include "app/HandOver.h"
#include "app/ProfileChoice.h"
#include "convert/AfterSuccess.h"
#include "convert/JobState.h"
#include "convert/OpenTarget.h"
#include "convert/QueueJournal.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/core/DebugOutput.h"
#include "platform/core/Paths.h"
#include "platform/core/WindowMessages.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/FileDropTarget.h"
#include "platform/core/MessagePresenter.h"
#include "platform/gui/WindowThread.h"

#include <cstdint>

namespace convert {

namespace {

constexpr RECT kListRect{0, 0, 614, 325};
constexpr RECT kStartRect{522, 330, 591, 351};
constexpr RECT kCpuRect{591, 330, 611, 351};
constexpr RECT kProgressRect{0, 330, 519, 351};
constexpr COLORREF kBottomLineColor = KXLib::palette::kDivider;
constexpr int kBottomLineRise = 30;
constexpr int kInitialProgressMax = 20;

struct PriorityItem {
    unsigned id;
    uint32_t priorityClass;
    const char* text;
};
constexpr PriorityItem kPriorityItems[] = {
    {CConvertDialog::kMenuRealtime, PriorityRealtime, "线程优先级-最高"},
    {CConvertDialog::kMenuHigh, PriorityHigh, "线程优先级-高"},
    {CConvertDialog::kMenuNormal, PriorityNormal, "线程优先级-正常"},
    {CConvertDialog::kMenuIdle, PriorityIdle, "线程优先级-低"},
};
constexpr const char* kShutdownItem = "转换结束后关闭计算机";

// Reports of jobs and the probe reach the page through the window thread's queue, in order.
void postToWindowThread(std::function<void()> task) { platform::WindowThread::post(std::move(task)); }

}  // namespace

CConvertDialog::CConvertDialog(ConvertPageHost& host, ConvertPageServices* services, const EncoderBinding* binding)
    : host_(host), ownServices_(services ? nullptr : std::make_unique<ConvertPageServices>()),
      services_(services ? services : ownServices_.get()), binding_(binding)
{
}

CConvertDialog::~CConvertDialog()
{
    if (list_)
        list_->teardown();
    // The queue stops the running encoder and the probe and deletes the jobs.
    queue_.reset();
    services_->keepAwake(false);
    removeAllControls();
}

void CConvertDialog::onInitPage()
{
    queue_ = std::make_unique<ConversionQueue>(postToWindowThread, this, binding_);
    // The speeds of earlier runs give the first file of this one an estimate.
    queue_->loadSpeedHistory(platform::Paths::dataDirectory());
    createControls();
    platform::FileDropTarget::enable(*getWindow());
}

void CConvertDialog::createControls()
{
    list_ = KXLib::KXSmartPtr<convertList>(new convertList());
    list_->setName("convertlist");
    list_->setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler>(this));
    list_->setRect(kListRect);
    list_->headerHeight = 20;
    list_->lineHeight = 27;
    list_->rowLines = 1;
    list_->selectedRowLines = 4;
    list_->selectedRowColorFrom = 0xFFFFFF;
    list_->selectedRowColorTo = KXLib::palette::kHighlightEnd;
    for (int width : convertList::kColumnWidths)
        list_->insertColumn(-1, width);
    addControl(list_);
    list_->initialise(queue_.get());
    list_->updateScrollbars();

    start_ = placeControl<KXLib::KXButtonEx>("KXButtonEx", "start", kStartRect);
    start_->loadImage("image/lumaret-btn2.png", SIZE{69, 21});
    start_->setTooltip("开始对列表中的文件进行格式转换");
    start_->setText(kStartText, POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    cpu_ = placeControl<KXLib::KXButtonEx>("KXButtonEx", "cpu", kCpuRect);
    cpu_->loadImage("image/lumaret-btn-menu.png", SIZE{20, 21});
    cpu_->setTooltip("设置转换时的CPU使用率和转换完成后的动作");

    progress_ = placeControl<KXLib::KXProgressbar>("KXProgressbar", "convert-progress", kProgressRect);
    progress_->showText = true;
    progress_->setRange(kInitialProgressMax);
}

void CConvertDialog::paintPage(platform::DeviceContext& dc, const RECT& client)
{
    const int y = client.bottom - kBottomLineRise;
    KXLib::drawLine(&dc, kBottomLineColor, client.left, y, client.right, y);
}

// ---- adding and removing ----

bool CConvertDialog::refuseAddWhileConverting()
{
    if (!isConverting())
        return false;
    tellAddWhileConverting();
    return true;
}

void CConvertDialog::tellAddWhileConverting() { platform::showMessage("", kAddWhileConverting, 16); }

bool CConvertDialog::addReadableFile(const std::string& path, const profile::ProfileRecord* profile)
{
    // Only a regular file that this user may read enters the list; folders, devices and FIFOs are
    // refused like unreadable files.
    const auto file = QueuedFile::build(path, profile, app::ProfileChoice::of(host_.profileStore(), host_.options()),
                                        {std::string(), host_.options().appendProfileName != 0});
    if (file)
        list_->addJob(*file);
    return file.has_value();
}

void CConvertDialog::addFile(const std::string& path, const profile::ProfileRecord* profile)
{
    if (!refuseAddWhileConverting() && !addReadableFile(path, profile))
        platform::showMessage("", "读取文件 " + path + " 失败!", platform::MessageError);
}

void CConvertDialog::addAcceptedFiles(const std::vector<QueuedFile>& files)
{
    for (const QueuedFile& file : files)
        list_->addJob(file);
}

void CConvertDialog::restoreRows(const std::vector<JournalRow>& rows)
{
    for (const JournalRow& row : rows) {
        convertFile job(binding_);
        job.setDisposed(true);
        ConversionQueue::fillFromJournal(row, job);
        list_->addJob(job);
    }
    invalidateParent();
}

void CConvertDialog::deleteSelected()
{
    if (isConverting()) {
        platform::showMessage("", kDeleteWhileConverting, platform::MessageInfo);
        return;
    }
    list_->removeSelected();
    invalidateParent();
}

void CConvertDialog::dropFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> refused;
    if (!paths.empty() && !refuseAddWhileConverting()) {
        for (const std::string& path : paths)
            if (!addReadableFile(path, nullptr))
                refused.push_back(path);
    }
    if (!refused.empty())
        platform::showMessage("", app::GatheredFiles::refusedPathsText(app::HandOver::kAddFailedPrefix, refused),
                              platform::MessageError);
    if (host_.options().autoConvertOnAdd)
        startOrStop();
    invalidateParent();
}

// ---- converting ----

void CConvertDialog::setStartCaption(const char* text)
{
    start_->setCaption(text);
}

void CConvertDialog::showConverting(bool on)
{
    services_->keepAwake(on);
    list_->refreshButtons();
    setStartCaption(on ? kStopText : kStartText);
}

void CConvertDialog::startOrStop()
{
    if (isConverting()) {
        if (platform::showMessage("", kStopQuestion, platform::MessageQuestion | platform::MessageYesNo) ==
            platform::kAnswerNo)
            return;
        queue_->stopAll();
        showConverting(false);
        progress_->setPos(0);
    } else {
        const int waiting = countWaiting();
        if (waiting < 1) {
            platform::showMessage("", kNothingToConvert, platform::MessageError);
            return;
        }
        queue_->setMaxConverting(host_.options().filesAtOnce);
        if (!queue_->start())
            return;
        afterSuccess_.startRun();
        progress_->setRange(waiting);
        showConverting(true);
    }
    list_->invalidate();
    invalidateParent();
}

void CConvertDialog::stopAll()
{
    const bool wasConverting = isConverting();
    queue_->stopAll();
    if (wasConverting)
        showConverting(false);
}

convertFile* CConvertDialog::findConvertingJob() const { return queue_->findConvertingJob(); }
int CConvertDialog::countConverting() const { return queue_->countConverting(); }
int CConvertDialog::countWaiting() const { return queue_->countWaiting(); }
int CConvertDialog::countFinished() const { return queue_->countFinished(); }
int CConvertDialog::rowCount() const { return list_->getRowCount(); }

void CConvertDialog::applyProfile(const std::string& name, const profile::ProfileRecord& record)
{
    for (int row = 0; row < list_->getRowCount(); ++row) {
        convertFile* job = list_->jobAt(row);
        if (job && profile::profileNameOf(job->getProfile()) == name)
            job->setProfile(record);
    }
    list_->invalidate();
}

// ---- the queue's reports ----

void CConvertDialog::onJobStateChanged(convertFile*, JobState)
{
    list_->refreshButtons();
    list_->invalidate();
    invalidateParent();
}

void CConvertDialog::onJobProgress(convertFile*, int)
{
    list_->invalidate();
    invalidateParent();  // the main window's status line tells the queue's time left
}

std::optional<double> CConvertDialog::queueSecondsLeft() const
{
    return queue_ ? queue_->timeLeft().queueSeconds : std::nullopt;
}

void CConvertDialog::onJobAdded(convertFile* job)
{
    if (list_)
        list_->appendRow(job);
}

void CConvertDialog::onJobProbed(convertFile*) { list_->invalidate(); }

void CConvertDialog::onJobFinished(convertFile* job, JobState state)
{
    if (state == JobState::Done && job) {
        const app::OptionSettings& options = host_.options();
        afterSuccess_.apply(*job, {options.openOutputOnSuccess != 0, options.deleteSourceOnSuccess != 0}, *services_);
    }
    progress_->setPos(queue_->finishedThisRun());
    invalidateParent();
}

void CConvertDialog::onQueueEnded()
{
    showConverting(false);
    invalidateParent();
    if (host_.options().shutdownWhenDone)
        services_->shutdownCountdown(parentWindow());
}

// ---- menu, buttons, messages ----

std::vector<MenuItem> CConvertDialog::cpuMenuItems() const
{
    std::vector<MenuItem> items;
    const uint32_t current = queue_->priorityClass();
    for (const PriorityItem& item : kPriorityItems)
        items.push_back(MenuItem{item.id, item.text, item.priorityClass == current});
    items.push_back(MenuItem{});
    items.push_back(MenuItem{kMenuShutdown, kShutdownItem, host_.options().shutdownWhenDone != 0});
    return items;
}

void CConvertDialog::onMenuCommand(unsigned id)
{
    for (const PriorityItem& item : kPriorityItems) {
        if (item.id == id) {
            queue_->setPriorityClass(item.priorityClass);
            return;
        }
    }
    if (id == kMenuShutdown) {
        app::OptionSettings settings = host_.options();
        settings.shutdownWhenDone = settings.shutdownWhenDone ? 0 : 1;
        host_.applySettings(settings);
        invalidateParent();
    }
}

void CConvertDialog::showCpuMenu()
{
    const RECT* r = cpu_->getRect();
    const POINT at = getWindow()->clientToScreen(POINT{r->left, r->bottom + 2});
    const unsigned id = services_->popupMenu(getWindow(), cpuMenuItems(), at);
    if (id)
        onMenuCommand(id);
}

void CConvertDialog::tellNothingOpened(OpenTarget::Action action, const std::string& path, OpenTarget::Outcome outcome)
{
    const std::string notice = OpenTarget::notice(outcome, action, path);
    if (!notice.empty())
        platform::showMessage("", notice, platform::MessageInfo);
}

void CConvertDialog::rowAction(const std::string& name)
{
    // Boxes opened from here are centred on the main window (the page's place is in its parent's
    // coordinates).
    convertFile* job = list_->selectedJob();
    if (!job)
        return;
    std::string source;
    uint64_t size = 0;
    job->getProbeInput(source, size);
    if (name == convertList::kPlay || name == convertList::kPreview) {
        const std::string path = name == convertList::kPlay ? source : job->getOutputPath();
        const auto open = [this](const std::string& file) { return services_->openFile(file); };
        tellNothingOpened(OpenTarget::Action::Open, path, OpenTarget::open(path, open));
    } else if (name == convertList::kOpenOutput) {
        const std::string folder = job->getOutputFolder();
        const std::string path = job->getOutputPath();
        const auto reveal = [&](const std::string& file) { return services_->showInFolder(folder, file); };
        tellNothingOpened(OpenTarget::Action::Reveal, path, OpenTarget::open(path, reveal));
    } else if (name == convertList::kChangeOutput) {
        if (!queue_->mayChange(job))
            return;
        const std::string folder = services_->chooseFolder(
            parentWindow(), kChooseFolderTitle, app::BrowseFolder::existingOrHome(job->getOutputFolder()));
        // The chooser runs a loop of its own, during which the row may have moved on.
        if (!folder.empty() && queue_->mayChange(job))
            job->setTargetFolder(folder);
    } else if (name == convertList::kChangeProfile) {
        if (!queue_->mayChange(job))
            return;
        profile::ProfileRecord chosen{};
        if (host_.chooseProfile(parentWindow(), profile::profileNameOf(job->getProfile()), chosen) &&
            queue_->mayChange(job))
            job->setProfile(chosen);
    }
    list_->invalidate();
}

void CConvertDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP || !control)
        return;
    const std::string name = control->getName();
    if (name == "start")
        startOrStop();
    else if (name == "cpu")
        showCpuMenu();
    else if (name.rfind("convertlist-", 0) == 0)
        rowAction(name);
}

bool CConvertDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_REPAINT_PAGE) {
        getWindow()->invalidate();
        return true;
    }
    if (message == WM_DROPFILES) {
        // Adding may show message boxes, which must not run inside the drop itself: the paths are
        // copied (the dropped list lives for this call only) and added once the drop has ended.
        std::vector<std::string> paths = platform::FileDropTarget::droppedFiles(wParam);
        platform::WindowThread::post([this, paths = std::move(paths)] { dropFiles(paths); });
        return true;
    }
    return CPageDialog::onMessage(message, wParam, lParam);
}

}  // namespace convert
