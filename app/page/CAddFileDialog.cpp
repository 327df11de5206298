#include "app/page/CAddFileDialog.h"

#include "app/BrowseFolder.h"
#include "app/page/CLumaretDlg.h"
#include "profile/ProfileStore.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXButtonRow.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/core/WindowMessages.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/FileDropTarget.h"
#include "platform/gui/Label.h"
#include "platform/core/Paths.h"
#include "platform/gui/WindowThread.h"

#include <utility>

namespace app {

namespace {

constexpr COLORREF kDividerColor = KXLib::palette::kDivider;
constexpr SIZE kTextButtonFrame{69, 21};
constexpr SIZE kConfigFrame{22, 22};
constexpr RECT kListRect{205, 28, 609, 325};

// The labels stand left of the edits they name.
struct LabelRow {
    const char* text;
    RECT rect;
};
constexpr LabelRow kLabels[] = {
    {"转换方案:", {208, 6, 262, 24}},
    {"输出路径:", {208, 332, 262, 350}},
};
constexpr RECT kChosenProfileRect{264, 4, 398, 24};
constexpr RECT kOutputFolderRect{264, 330, 536, 351};

}  // namespace

std::vector<std::string> AddFileChoosers::chooseFiles(HWND owner, const std::string& startFolder)
{
    return platform::FileDialog::chooseFiles(owner, "", CAddFileDialog::kFileFilter, startFolder);
}

std::string AddFileChoosers::chooseFolder(HWND owner, const std::string& startFolder)
{
    return platform::FileDialog::chooseFolder(owner, platform::FileDialog::kFolderTitle, startFolder);
}

CAddFileDialog::CAddFileDialog(AddFilePageHost* host) : host_(host) {}

CAddFileDialog::~CAddFileDialog()
{
    // The native controls go before the page's window.
    labels_.clear();
    chosenEdit_.reset();
    outputEdit_.reset();
    treeView_.reset();
    tree_.reset();
    removeAllControls();
}

void CAddFileDialog::setChoosers(AddFileChoosers* choosers) { choosers_ = choosers ? choosers : &desktopChoosers_; }

// ---- set-up ----

void CAddFileDialog::onInitPage()
{
    profiles_ = std::make_unique<ProfileSnapshot>(platform::Paths::dataDirectory());
    createButtons();
    list_ = KXLib::KXSmartPtr<addFileList>(new addFileList(files_));
    list_->setName("add-file-list");
    list_->setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler>(this));
    list_->setRect(kListRect);
    list_->headerHeight = 20;
    list_->lineHeight = 20;
    list_->hasBorder = true;
    list_->rowLines = 1;
    list_->selectedRowLines = 2;
    for (int width : addFileList::kColumnWidths)
        list_->insertColumn(-1, width);
    addControl(list_);
    list_->updateScrollbars();
    createNativeControls();
    platform::FileDropTarget::enable(*getWindow());
}

// The page's buttons in creation order, each with what its click does.
const std::vector<CAddFileDialog::ButtonRow>& CAddFileDialog::buttonRows()
{
    static const std::vector<ButtonRow> rows = {
        {"add-file", "添加需要转换的媒体文件", "添加文件", {468, 4, 537, 24}, "image/lumaret-btn.png", kTextButtonFrame,
         [](CAddFileDialog& page) { page.onAddFile(); }},
        {"add-folder", "将文件夹内所有的文件添加到转换列表中", "添加文件夹", {540, 4, 609, 24}, "image/lumaret-btn.png",
         kTextButtonFrame, [](CAddFileDialog& page) { page.onAddFolder(); }},
        {"add-browse", "设置转换输出路径", "浏览", {540, 330, 609, 351}, "image/lumaret-btn.png", kTextButtonFrame,
         [](CAddFileDialog& page) { page.onBrowse(); }},
        {"add-config", nullptr, nullptr, {403, 3, 425, 25}, "image/lumaret-config.png", kConfigFrame,
         [](CAddFileDialog& page) { page.onConfig(); }},
    };
    return rows;
}

void CAddFileDialog::createButtons()
{
    KXLib::placeButtons(*this, buttonRows(), POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CAddFileDialog::createNativeControls()
{
    platform::Window& window = *getWindow();
    tree_ = std::make_unique<platform::TreeView>(window, kTreeId);
    tree_->setRect(RECT{0, 0, kTreeWidth, CLumaretDlg::kPageHeight});
    treeView_ = std::make_unique<profile::ProfileTreeView>(*tree_);
    treeView_->dress();
    tree_->show();

    chosenEdit_ = std::make_unique<platform::EditBox>(window, kChosenProfileId, true);
    chosenEdit_->setRect(kChosenProfileRect);
    chosenEdit_->show();
    outputEdit_ = std::make_unique<platform::EditBox>(window, kOutputFolderId);
    outputEdit_->setRect(kOutputFolderRect);
    outputEdit_->show();
    for (const LabelRow& row : kLabels) {
        labels_.push_back(std::make_unique<platform::Label>(window, 0, row.text));
        labels_.back()->setRect(row.rect);
        labels_.back()->show();
    }
}

// ---- the page shown and hidden ----

void CAddFileDialog::onShown()
{
    rebuildTree();
    if (host_)
        files_.setOutputFolder(host_->options().outputFolder);
    refreshEdits();
    if (getWindow())
        getWindow()->invalidate();
}

void CAddFileDialog::onHidden()
{
    if (treeView_)
        treeView_->clear();
}

void CAddFileDialog::rebuildTree()
{
    if (!treeView_ || !profiles_)
        return;
    rebuilding_ = true;
    // The items point at the snapshot's nodes, which the reload may free.
    treeView_->clear();
    profiles_->reload();
    const profile::ProfileTree& model = profiles_->tree();
    const profile::ProfileNode* chosen = files_.chooseFromTree(model);
    treeView_->show(model);
    if (chosen)
        treeView_->select(chosen);
    rebuilding_ = false;
}

// ---- the profile choice ----

void CAddFileDialog::onTreeNotify(int code)
{
    if (rebuilding_ || !tree_)
        return;
    if (code == NM_CLICK)
        chooseItem(tree_->itemAtCursor());
    else if (code == TVN_SELCHANGED)
        chooseItem(tree_->selectedItem());
}

void CAddFileDialog::chooseItem(platform::HTREEITEM item)
{
    if (!item)
        return;
    // Category items carry no record and change nothing.
    const profile::ProfileNode* node = treeView_->nodeOf(item);
    if (const profile::ProfileRecord* record = node ? node->record() : nullptr) {
        files_.choose(*record);
        refreshEdits();
    }
}

bool CAddFileDialog::clickProfile(const std::string& name)
{
    if (!tree_)
        return false;
    std::vector<platform::HTREEITEM> pending{tree_->childItem(nullptr)};
    while (!pending.empty()) {
        platform::HTREEITEM item = pending.back();
        pending.pop_back();
        for (; item; item = tree_->nextSibling(item)) {
            if (tree_->itemText(item) == name) {
                chooseItem(item);
                return true;
            }
            if (platform::HTREEITEM child = tree_->childItem(item))
                pending.push_back(child);
        }
    }
    return false;
}

std::vector<std::string> CAddFileDialog::treeTexts() const
{
    std::vector<std::string> texts;
    if (!tree_)
        return texts;
    std::vector<platform::HTREEITEM> pending;
    if (platform::HTREEITEM first = tree_->childItem(nullptr))
        pending.push_back(first);
    while (!pending.empty()) {
        platform::HTREEITEM item = pending.back();
        pending.pop_back();
        texts.push_back(tree_->itemText(item));
        if (platform::HTREEITEM next = tree_->nextSibling(item))
            pending.push_back(next);
        if (platform::HTREEITEM child = tree_->childItem(item))
            pending.push_back(child);
    }
    return texts;
}

std::string CAddFileDialog::selectedTreeText() const
{
    platform::HTREEITEM item = tree_ ? tree_->selectedItem() : nullptr;
    return item ? tree_->itemText(item) : std::string();
}

void CAddFileDialog::profileSaved(const std::string& name, const profile::ProfileRecord& record)
{
    if (files_.profileSaved(name, record))
        refreshEdits();
}

void CAddFileDialog::refreshEdits()
{
    if (chosenEdit_)
        chosenEdit_->setText(files_.chosenName());
    if (outputEdit_)
        outputEdit_->setText(files_.outputFolder());
}

std::string CAddFileDialog::outputFolderText() const
{
    return outputEdit_ ? outputEdit_->text() : files_.outputFolder();
}

void CAddFileDialog::setOutputFolderText(const std::string& folder)
{
    files_.setOutputFolder(folder);
    if (outputEdit_)
        outputEdit_->setText(folder);
}

// ---- gathering ----

void CAddFileDialog::rowsChanged()
{
    if (list_)
        list_->syncRows();
    invalidateParent();
}

void CAddFileDialog::addFile(const std::string& path) { addFiles({path}); }

void CAddFileDialog::addFiles(const std::vector<std::string>& paths)
{
    files_.addFiles(paths);
    rowsChanged();
}

GatheredFiles::FolderResult CAddFileDialog::addFolder(const std::string& folder)
{
    GatheredFiles::FolderResult result = files_.addFolder(folder);
    rowsChanged();
    return result;
}

void CAddFileDialog::deleteSelected()
{
    const int row = list_ ? list_->getSelectedRow() : -1;
    if (row < 0 || !files_.removeAt(static_cast<std::size_t>(row)))
        return;
    list_->deleteRow(row);
    rowsChanged();
}

void CAddFileDialog::clearAll()
{
    files_.clear();
    rowsChanged();
}

bool CAddFileDialog::prepareForAccept()
{
    // A folder typed into the edit counts as one chosen with "浏览".
    files_.setOutputFolder(outputFolderText());
    if (!host_)
        return files_.prepareAccept(false, nullptr, nullptr);
    profile::ProfileStore& store = host_->profileStoreForUpdate();
    return files_.prepareAccept(host_->options().appendProfileName != 0, store.defaultProfile(), &store);
}

bool CAddFileDialog::confirmReturn()
{
    const bool leave = files_.confirmReturn();
    if (leave)
        rowsChanged();
    return leave;
}

// ---- the buttons ----

void CAddFileDialog::onAddFile()
{
    const BrowseFolder browse;
    const std::vector<std::string> paths = choosers_->chooseFiles(parentWindow(), browse.start());
    browse.rememberFiles(paths);
    if (!paths.empty())
        addFiles(paths);
}

void CAddFileDialog::onAddFolder()
{
    const BrowseFolder browse;
    const std::string folder = choosers_->chooseFolder(parentWindow(), browse.start());
    browse.rememberFolder(folder);
    if (!folder.empty())
        addFolder(folder);
}

void CAddFileDialog::onBrowse()
{
    // The output folder's chooser opens where the field points.
    const std::string folder =
        choosers_->chooseFolder(parentWindow(), BrowseFolder::existingOrHome(outputFolderText()));
    if (!folder.empty())
        setOutputFolderText(folder);
}

void CAddFileDialog::onConfig()
{
    if (parentWindow())
        parentWindow()->post(WM_EDIT_PROFILE);
}

void CAddFileDialog::clickButton(const std::string& name)
{
    KXLib::clickButton(buttonRows(), name, *this);
}

void CAddFileDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP || !control)
        return;
    // The choosers run loops of their own: they open once the click's notification has returned.
    const std::string name = control->getName();
    if (name != list_->getName())
        platform::WindowThread::post([this, name] { clickButton(name); });
}

bool CAddFileDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam)
            onShown();
        else
            onHidden();
        break;  // the base page slides in
    case WM_NOTIFY:
        if (static_cast<int>(wParam) == kTreeId)
            onTreeNotify(static_cast<int>(lParam));
        return true;
    case WM_DROPFILES: {
        // Adding may show message boxes, which must not run inside the drop itself.
        std::vector<std::string> paths = platform::FileDropTarget::droppedFiles(wParam);
        platform::WindowThread::post([this, paths = std::move(paths)] { addFiles(paths); });
        return true;
    }
    default:
        break;
    }
    return CPageDialog::onMessage(message, wParam, lParam);
}

void CAddFileDialog::paintPage(platform::DeviceContext& dc, const RECT& client)
{
    KXLib::drawLine(&dc, kDividerColor, kTreeWidth, client.top, kTreeWidth, client.bottom);
}

}  // namespace app
