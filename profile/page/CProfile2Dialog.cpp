#include "profile/page/CProfile2Dialog.h"

#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXSkinColors.h"
#include "platform/gui/DeviceContext.h"
#include "platform/core/Paths.h"
#include "profile/ProfileFiles.h"

namespace profile {

namespace {

constexpr int kCaptionHeight = 25;
constexpr COLORREF kLineColor = RGB(168, 211, 231);
constexpr COLORREF kFrameColor = RGB(135, 135, 135);
constexpr int kValueColumnWidth = 238;

}  // namespace

CProfile2Dialog::CProfile2Dialog(HWND owner, std::filesystem::path dataDirectory)
    : app::CSkinDialog(owner)
    , chosenProfile(makeEmptyProfileRecord())
    , dataDirectory_(dataDirectory.empty() ? platform::Paths::dataDirectory() : std::move(dataDirectory))
{
}

CProfile2Dialog::~CProfile2Dialog() = default;

void CProfile2Dialog::onInitDialog()
{
    window_.resize(kWidth, kHeight);
    window_.setTitle(kTitle);
    KXLib::loadImage(icon_, "image/lumaret.ico");
    createControls();
    readTree();
    treeView_->show(tree_);
    const ProfileNode* preselected = tree_.findNodeByText(toUtf16(chosenName));
    if (!preselected || !preselected->isProfile()) {
        // The row's profile was deleted or renamed since: the default stands in for it.
        preselected = tree_.findDefaultNode();
        if (!preselected)
            preselected = tree_.findFirstProfileNode();
    }
    if (preselected)
        show(preselected);
    nameBox_->setText(chosenName);
}

void CProfile2Dialog::createControls()
{
    auto close = placeControl<KXLib::KXButtonEx>("KXButtonEx", "close", RECT{kWidth - 42, 1, kWidth - 5, 19});
    close->loadImage("image/sysbutton_close_s.png", SIZE{37, 18});
    addTextButton("ok", "确定", POINT{kWidth - 154, 30});
    addTextButton("cancel", "取消", POINT{kWidth - 80, 30});

    list_ = KXLib::KXSmartPtr<profileList>(new profileList(kValueColumnWidth));
    list_->setName("profile-list");
    list_->setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler>(this));
    list_->setRect(RECT{201, 62, kWidth - 7, kHeight - 7});
    list_->contextMenuEnabled = contextMenuEnabled;
    addControl(list_);
    list_->updateScrollbars();

    treeControl_ = std::make_unique<platform::TreeView>(window_, kTreeId);
    treeControl_->setRect(RECT{8, 28, 8 + 192, 28 + kHeight - 35});
    treeView_ = std::make_unique<ProfileTreeView>(*treeControl_);
    treeView_->dress();
    treeControl_->show();
    nameLabel_ = std::make_unique<platform::Label>(window_, 0, "当前选择方案:");
    nameLabel_->setRect(RECT{208, 32, 300, 50});
    nameLabel_->show();
    nameBox_ = std::make_unique<platform::EditBox>(window_, kNameBoxId, true);
    nameBox_->setRect(RECT{300, 30, kWidth - 162, 51});
    nameBox_->show();
}

void CProfile2Dialog::readTree()
{
    // The chooser never writes: damaged files are left for the profile page to deal with, and
    // whatever intact records they hold are shown.
    const ProfileFiles files(dataDirectory_);
    tree_.clear();
    files.load(tree_, {}, false);
}

void CProfile2Dialog::show(const ProfileNode* node)
{
    chosenNode_ = node;
    list_->workingCopy = *node->record();
    chosenName = node->textUtf8();
    if (nameBox_)
        nameBox_->setText(chosenName);
    treeView_->select(node);
    window_.invalidate();
}

void CProfile2Dialog::clickNode(const ProfileNode* node)
{
    if (node && node->isProfile() && node != chosenNode_)
        show(node);
}

void CProfile2Dialog::onOK()
{
    chosenProfile = list_ ? list_->workingCopy : makeEmptyProfileRecord();
    endDialog(IDOK);
}

void CProfile2Dialog::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (!control || message != WM_LBUTTONUP)
        return;
    const std::string name = control->getName();
    if (name == "ok")
        onOK();
    else if (name == "cancel" || name == "close")
        onCancel();
}

bool CProfile2Dialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && static_cast<int>(wParam) == kTreeId) {
        if (static_cast<int>(lParam) == NM_CLICK)
            clickNode(treeView_->nodeAtCursor());
        return true;
    }
    // Enter and Escape in the name box act as they do on the dialog.
    if (message == WM_COMMAND && HIWORD(wParam) == 0 && lParam == kNameBoxId) {
        if (LOWORD(wParam) == IDOK)
            onOK();
        else if (LOWORD(wParam) == IDCANCEL)
            onCancel();
        return true;
    }
    return CSkinDialog::onMessage(message, wParam, lParam);
}

void CProfile2Dialog::paintBackground(platform::DeviceContext& dc, const RECT& client)
{
    const COLORREF light = KXLib::KXSkinColors::light();
    KXLib::gradientFill(&dc, light, 0xFFFFFF, true, client.left, client.top, client.right, kCaptionHeight);
    KXLib::gradientFill(&dc, light, KXLib::KXSkinColors::dark(), true, client.left, kCaptionHeight, client.right,
                        client.bottom);
    KXLib::drawRect(&dc, kFrameColor, 0xFFFFFF, false, 5, kCaptionHeight, client.right - 5, client.bottom - 5);
    if (!icon_.isNull())
        dc.drawImage(icon_, RECT{5, 5, 21, 21}, RECT{0, 0, icon_.width(), icon_.height()});
    dc.drawText(kTitle, RECT{24, 0, client.right - 50, kCaptionHeight}, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                0x000000, KXLib::sharedFont());
    dc.line(kLineColor, 200, 26, 200, client.bottom - 6);
    dc.line(kLineColor, 201, 61, client.right - 6, 61);
}

}  // namespace profile
