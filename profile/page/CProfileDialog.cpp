#include "profile/page/CProfileDialog.h"

#include "platform/core/WindowMessages.h"
#include "platform/gui/DeviceContext.h"
#include "platform/core/MessagePresenter.h"
#include "platform/gui/Window.h"
#include "profile/ProfileProperties.h"

#include <array>

namespace profile {

namespace {

constexpr COLORREF kSplitColor = RGB(168, 211, 231);
constexpr int kValueColumnWidth = 228;

// What the page does with a native control's report.
using Handler = void (CProfileDialog::*)();
struct Route {
    int id;
    int code;
    Handler handler;
};

// Leaving an in-place editor stores its value, as a click elsewhere does.
constexpr std::array<Route, 3> kCommandRoutes{{
    {CProfileDialog::kValueComboId, CBN_KILLFOCUS, &CProfileDialog::commitEdit},
    {CProfileDialog::kChoiceListId, CBN_KILLFOCUS, &CProfileDialog::commitEdit},
    {CProfileDialog::kNameEditId, EN_KILLFOCUS, &CProfileDialog::commitEdit},
}};

bool isEditorId(LPARAM id)
{
    return id == CProfileDialog::kValueComboId || id == CProfileDialog::kChoiceListId ||
           id == CProfileDialog::kNameEditId;
}

}  // namespace

CProfileDialog::CProfileDialog()
    : editor_(store_, this)
{
}

CProfileDialog::~CProfileDialog()
{
    open_ = RowEditor::Kind::None;
    if (loaded_)
        store_.save();
}

bool CProfileDialog::loadProfiles()
{
    if (!loadTried_) {
        loadTried_ = true;
        loaded_ = store_.loadAtStartup() && editor_.start();
    }
    return loaded_;
}

void CProfileDialog::onInitPage()
{
    loadProfiles();
    createControls();
    treeView_->show(store_.tree());
    showCurrent();
}

void CProfileDialog::createControls()
{
    platform::Window& window = *getWindow();
    tree_ = std::make_unique<platform::TreeView>(window, kTreeId);
    treeView_ = std::make_unique<ProfileTreeView>(*tree_);
    treeView_->dress();
    tree_->show();
    valueCombo_ = std::make_unique<platform::ComboBox>(window, kValueComboId, platform::ComboBox::Kind::Editable);
    valueCombo_->setTextLimit(ProfileRowEditors::kValueTextLimit);
    choiceList_ = std::make_unique<platform::ComboBox>(window, kChoiceListId, platform::ComboBox::Kind::DropList);
    nameEdit_ = std::make_unique<platform::EditBox>(window, kNameEditId);

    list_ = KXLib::KXSmartPtr<profileList>(new profileList(kValueColumnWidth));
    list_->setName(kListName);
    list_->setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler>(this));
    list_->setRect(kListRect);
    list_->contextMenuEnabled = contextMenuEnabled_;
    addControl(list_);
    list_->updateScrollbars();
    layout();
}

void CProfileDialog::layout()
{
    if (tree_)
        tree_->setRect(RECT{0, 0, kTreeWidth, getWindow()->clientRect().bottom});
}

void CProfileDialog::paintPage(platform::DeviceContext& dc, const RECT& client)
{
    dc.line(kSplitColor, kTreeWidth, client.top, kTreeWidth, client.bottom);
}

void CProfileDialog::showCurrent()
{
    if (!list_)
        return;
    list_->workingCopy = editor_.workingCopy();
    list_->contextMenuEnabled = contextMenuEnabled_;
    getWindow()->invalidate();
    if (treeView_)
        treeView_->select(editor_.currentNode());
}

// ---- the main window's operations ----

void CProfileDialog::addProfile()
{
    commitEdit();
    editor_.addProfile();
    showCurrent();
}

void CProfileDialog::deleteProfile()
{
    commitEdit();
    editor_.deleteProfile();
    showCurrent();
}

void CProfileDialog::acceptProfile()
{
    commitEdit();
    editor_.acceptProfile();
    showCurrent();
}

void CProfileDialog::revertProfile()
{
    commitEdit();
    editor_.revertProfile();
    showCurrent();
}

void CProfileDialog::selectProfileByName(const std::string& utf8Name)
{
    commitEdit();
    editor_.selectProfileByName(toUtf16(utf8Name));
    showCurrent();
}

bool CProfileDialog::currentProfile(std::string& name, ProfileRecord& record) const
{
    const ProfileNode* node = editor_.currentNode();
    if (!node || !node->record())
        return false;
    name = profileNameOf(*node->record());
    record = editor_.workingCopy();
    return true;
}

void CProfileDialog::setContextMenuEnabled(bool enabled)
{
    contextMenuEnabled_ = enabled;
    editor_.setContextMenuEnabled(enabled);
    showCurrent();
}

// ---- in-place editors ----

void CProfileDialog::openEditor(int row)
{
    if (!list_)
        return;
    const RowEditor contents = editor_.editorFor(row);
    switch (contents.kind) {
    case RowEditor::Kind::None: return;
    case RowEditor::Kind::Value:
        valueCombo_->resetContent();
        for (const std::string& entry : contents.entries)
            valueCombo_->addString(entry);
        if (contents.text.empty() || valueCombo_->selectString(contents.text) < 0)
            valueCombo_->setText(contents.text);
        placeEditor(*valueCombo_, row, true);
        break;
    case RowEditor::Kind::Choice:
        choiceList_->resetContent();
        for (const std::string& entry : contents.entries)
            choiceList_->addString(entry);
        choiceList_->setCurSel(contents.selected);
        placeEditor(*choiceList_, row, true);
        break;
    case RowEditor::Kind::Name:
        nameEdit_->setText(contents.text);
        placeEditor(*nameEdit_, row, true);
        nameEdit_->selectAll();
        break;
    }
    open_ = contents.kind;
    editRow_ = row;
}

void CProfileDialog::placeEditor(platform::NativeControl& control, int row, bool focus)
{
    RECT cell{};
    list_->getCellRect(row, 1, cell);
    control.setRect(cell);
    control.show();
    if (focus)
        control.setFocus();
}

void CProfileDialog::commitEdit()
{
    const RowEditor::Kind kind = open_;
    if (kind == RowEditor::Kind::None)
        return;
    // Closed before anything is stored: hiding the editor reports its focus loss, and a message
    // box shown while storing must not commit the same editor twice.
    open_ = RowEditor::Kind::None;
    bool changed = false;
    if (kind == RowEditor::Kind::Value) {
        const std::string text = valueCombo_->text();
        cancelEdit();
        changed = editor_.commitValue(editRow_, text);
    } else if (kind == RowEditor::Kind::Choice) {
        const int index = choiceList_->curSel();
        cancelEdit();
        changed = editor_.commitChoice(editRow_, index);
    } else {
        const std::string text = nameEdit_->text();
        cancelEdit();
        changed = editor_.commitName(text);
    }
    if (changed)
        showCurrent();
}

void CProfileDialog::cancelEdit()
{
    open_ = RowEditor::Kind::None;
    if (!valueCombo_)
        return;
    valueCombo_->hide();
    valueCombo_->resetContent();
    choiceList_->hide();
    choiceList_->resetContent();
    nameEdit_->hide();
}

// ---- events ----

void CProfileDialog::onTreeClick()
{
    commitEdit();
    editor_.clickNode(treeView_->nodeAtCursor());
    // A click that does not switch (a category, or while composing) leaves the current profile
    // selected, so the tree never shows another profile than the list.
    showCurrent();
}

void CProfileDialog::onListClick(LPARAM lParam)
{
    commitEdit();
    int row = -1;
    int column = -1;
    if (list_ && list_->hitTestCell(pointFromLParam(lParam), row, column) && column == 1)
        openEditor(row);
}

void CProfileDialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM lParam)
{
    if (control && control->getName() == kListName && message == WM_LBUTTONUP)
        onListClick(lParam);
}

bool CProfileDialog::onCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == 0 && isEditorId(lParam) && (id == IDOK || id == IDCANCEL)) {
        if (id == IDOK)
            commitEdit();
        else
            cancelEdit();
        return true;
    }
    for (const Route& route : kCommandRoutes)
        if (route.id == id && route.code == code) {
            (this->*route.handler)();
            return true;
        }
    // A choice made in a list is stored when the editor closes, not on CBN_SELCHANGE.
    return true;
}

bool CProfileDialog::onNotify(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<int>(wParam) != kTreeId)
        return false;
    const int code = static_cast<int>(lParam);
    if (code == NM_CLICK)
        onTreeClick();
    else if (code == TVN_ITEMEXPANDED)
        treeView_->noteAllExpanded();
    return true;
}

bool CProfileDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: return onCommand(wParam, lParam);
    case WM_NOTIFY: return onNotify(wParam, lParam);
    case WM_LBUTTONDOWN:
        // A press anywhere on the page's own surface ends an open edit.
        commitEdit();
        break;
    case WM_SHOWWINDOW: layout(); break;
    default: break;
    }
    return CPageDialog::onMessage(message, wParam, lParam);
}

// ---- ProfileEditorListener ----

void CProfileDialog::profileTreeChanged()
{
    if (treeView_)
        treeView_->show(store_.tree());
}

void CProfileDialog::profileSaved()
{
    if (HWND parent = parentWindow())
        parent->send(WM_PROFILE_SAVED);
}

void CProfileDialog::profilesStored()
{
    if (HWND parent = parentWindow())
        parent->send(WM_PROFILES_STORED);
}

void CProfileDialog::profileTreeEmpty()
{
    platform::showMessage("", kNoProfiles, platform::MessageError);
    if (HWND parent = parentWindow())
        parent->post(WM_CLOSE);
}

// ---- lookups ----

const ProfileRecord* CProfileDialog::findProfileByName(const std::string& utf8Name) const
{
    return store_.findProfileByName(std::string_view(utf8Name));
}

const ProfileRecord* CProfileDialog::defaultProfile() const { return store_.defaultProfile(); }

const ProfileRecord* CProfileDialog::lastUsedProfile() const { return store_.lastUsedProfile(); }

std::string CProfileDialog::defaultProfileName() const
{
    const ProfileRecord* record = defaultProfile();
    return record ? profileNameOf(*record) : std::string();
}

}  // namespace profile
