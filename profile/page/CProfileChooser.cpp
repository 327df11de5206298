#include "profile/page/CProfileChooser.h"

#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXSkinColors.h"
#include "platform/DeviceContext.h"
#include "profile/ProfileNode.h"

namespace profile {

namespace {

constexpr int kCaptionHeight = 25;
constexpr COLORREF kTextColor = 0x000000;

// The names, one a row; the row's value is its index in the chooser's list.
class NameList : public KXLib::KXListCtrl {
public:
    explicit NameList(const std::vector<std::string>& names) : names_(names) {}

protected:
    void drawRow(HDC dc, int, KXLib::ListRow* entry, const RECT& rowRect) override
    {
        const auto index = static_cast<size_t>(entry->data);
        if (index < names_.size())
            dc->drawText(names_[index], RECT{rowRect.left + 6, rowRect.top, rowRect.right - 4, rowRect.bottom},
                         DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, kTextColor, KXLib::sharedFont());
    }

private:
    const std::vector<std::string>& names_;
};

}  // namespace

CProfileChooser::CProfileChooser(const ProfileTree& tree, const std::string& currentName, HWND owner)
    : app::CSkinDialog(owner)
{
    tree.findInPreOrder([&](const ProfileNode& node) {
        if (const ProfileRecord* record = node.record()) {
            if (profileNameOf(*record) == currentName)
                initialRow_ = static_cast<int>(records_.size());
            records_.push_back(*record);
            names_.push_back(profileNameOf(*record));
        }
        return false;
    });
}

CProfileChooser::~CProfileChooser() = default;

bool CProfileChooser::choose(ProfileRecord& chosen)
{
    doModal();
    return chosenRecord(chosen);
}

bool CProfileChooser::chosenRecord(ProfileRecord& out) const
{
    if (chosenRow_ < 0 || chosenRow_ >= static_cast<int>(records_.size()))
        return false;
    out = records_[static_cast<size_t>(chosenRow_)];
    return true;
}

int CProfileChooser::selectedRow() const { return list_ ? list_->getSelectedRow() : -1; }

void CProfileChooser::selectRow(int row)
{
    if (list_)
        list_->selectRow(row);
}

void CProfileChooser::onInitDialog()
{
    window_.resize(kWidth, kHeight);
    window_.setTitle(kTitle);
    auto close = placeControl<KXLib::KXButtonEx>("KXButtonEx", "close", RECT{kWidth - 42, 1, kWidth - 5, 19});
    close->loadImage("image/sysbutton_close_s.png", SIZE{37, 18});

    list_ = KXLib::KXSmartPtr<KXLib::KXListCtrl>(new NameList(names_));
    list_->setName("profile-names");
    list_->setHandler(KXLib::KXSmartPtr<KXLib::KXDirectUIHandler>(this));
    list_->setRect(RECT{10, kCaptionHeight + 6, kWidth - 10, kHeight - 44});
    list_->headerHeight = 0;
    list_->lineHeight = 22;
    list_->insertColumn(-1, kWidth - 20);
    for (size_t i = 0; i < names_.size(); ++i)
        list_->insertRow(static_cast<unsigned>(i), static_cast<std::intptr_t>(i));
    addControl(list_);
    list_->updateScrollbars();
    list_->selectRow(initialRow_);

    const int top = kHeight - 34;
    const int x = (kWidth - 148) / 2;
    addTextButton("ok", "确定", POINT{x, top});
    addTextButton("cancel", "取消", POINT{x + 79, top});
}

void CProfileChooser::paintBackground(platform::DeviceContext& dc, const RECT& client)
{
    KXLib::gradientFill(&dc, 0xFFFFFF, KXLib::KXSkinColors::light(), true, client.left, client.top, client.right,
                        kCaptionHeight);
    KXLib::gradientFill(&dc, KXLib::KXSkinColors::light(), KXLib::KXSkinColors::dark(), true, client.left,
                        kCaptionHeight, client.right, client.bottom);
    KXLib::drawRect(&dc, 0x878787, 0xFFFFFF, false, client.left + 5, client.top + kCaptionHeight, client.right - 5,
                    client.bottom - 5);
    dc.drawText(kTitle, RECT{10, client.top, client.right - 50, kCaptionHeight},
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, kTextColor, KXLib::sharedFont());
}

void CProfileChooser::onOK()
{
    // Nothing selected is nothing chosen: the box stays open.
    if (selectedRow() < 0)
        return;
    chosenRow_ = selectedRow();
    endDialog(IDOK);
}

void CProfileChooser::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (!control)
        return;
    const std::string name = control->getName();
    if (name == "profile-names") {
        if (message == WM_LBUTTONDBLCLK)
            onOK();
        return;
    }
    if (message != WM_LBUTTONUP)
        return;
    if (name == "ok")
        onOK();
    else if (name == "cancel" || name == "close")
        onCancel();
}

}  // namespace profile
