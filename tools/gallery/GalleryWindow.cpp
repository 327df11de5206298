#include "tools/gallery/GalleryWindow.h"

#include "app/page/CAboutDialog.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/core/MessagePresenter.h"
#include "platform/core/Paths.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXCheckBox.h"
#include "kxlib/ui/KXColor.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXHyperLink.h"
#include "kxlib/ui/KXProgressbar.h"
#include "kxlib/ui/KXScrollbar.h"
#include "kxlib/ui/KXSkinColors.h"
#include "kxlib/ui/KXSlider.h"
#include "platform/core/WindowMessages.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/SkinScrollbars.h"
#include "tools/gallery/GalleryList.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <array>
#include <filesystem>
#include <unistd.h>

namespace gallery {

namespace {

constexpr COLORREF kTextColor = KXLib::palette::kText;
constexpr COLORREF kHeadingColor = KXLib::palette::kLink;
constexpr COLORREF kFrameColor = KXLib::palette::kFrame;
constexpr int kCaptionHeight = 30;
constexpr std::array<const char*, 4> kLooks{"正常", "悬停", "按下/选中", "禁用"};

// The state grid: one row per image strip.
struct StripRow {
    const char* image;
    SIZE frame;
    const char* caption;
};
constexpr std::array<StripRow, 15> kStrips{{
    {"lumaret-btn", {69, 21}, "确定"},
    {"lumaret-btn2", {69, 21}, "开始"},
    {"uninstall-btn", {69, 21}, "卸载"},
    {"lumaret-btn-menu", {20, 21}, ""},
    {"lumaret-config", {22, 22}, ""},
    {"lumaret-accept", {24, 24}, ""},
    {"lumaret-return", {24, 24}, ""},
    {"lumaret-add", {24, 24}, ""},
    {"lumaret-del", {24, 24}, ""},
    {"lumaret-color", {18, 18}, ""},
    {"sysbutton_close", {37, 18}, ""},
    {"sysbutton_min", {27, 18}, ""},
    {"sysbutton_menu", {27, 18}, ""},
    {"sysbutton_close_s", {37, 18}, ""},
    {"uninstall-close", {37, 18}, ""},
}};
constexpr int kGridLeft = 15;
constexpr int kGridColumn0 = 150;
constexpr int kGridColumnWidth = 76;
constexpr int kGridTop = 74;
constexpr int kGridRowHeight = 27;

// What the dialog buttons open.
struct Action {
    const char* name;
    const char* caption;
    int flags;  // message flags, or -1 about box, -2 skin pop-up
};
constexpr std::array<Action, 8> kActions{{
    {"open-info", "提示 1", 1},
    {"open-error", "错误 2", 2},
    {"open-both", "提示 3", 3},
    {"open-question", "是否 12", 12},
    {"open-plain", "无图标 16", 16},
    {"open-question-only", "问题 4", 4},
    {"open-about", "关于", -1},
    {"open-skin", "皮肤颜色", -2},
}};

// The check box has no picture in the program's skin (the pages use native check boxes), so the
// gallery paints an eight-frame strip of its own: unchecked normal, hover, pressed, disabled, then
// the same checked.
std::string writeCheckStrip()
{
    constexpr int size = 15;
    platform::Image strip(size * 8, size, 0);
    const std::array<std::uint32_t, 4> borders{0xFF8A9AAE, 0xFF3C7FD1, 0xFF2A5C9A, 0xFFC0C0C0};
    const std::array<std::uint32_t, 4> fills{0xFFFFFFFF, 0xFFEAF3FF, 0xFFCFE2FA, 0xFFF0F0F0};
    for (int frame = 0; frame < 8; ++frame) {
        const int look = frame % 4;
        const int x = frame * size;
        strip.fill(RECT{x + 1, 1, x + size - 1, size - 1}, borders[look]);
        strip.fill(RECT{x + 2, 2, x + size - 2, size - 2}, fills[look]);
        if (frame < 4)
            continue;
        const std::uint32_t mark = look == 3 ? 0xFF9A9A9A : 0xFF1F5FA8;
        for (int i = 0; i < 7; ++i) {
            // A tick: down-right for three pixels, then up-right.
            const int px = x + 4 + i;
            const int py = i < 3 ? 7 + i : 9 - (i - 2);
            strip.setPixel(px, py, mark);
            strip.setPixel(px, py - 1, mark);
        }
    }
    const auto path = std::filesystem::temp_directory_path() /
                      ("lumaret-gallery-check-" + std::to_string(::getpid()) + ".png");
    strip.save(path.string());
    return path.string();
}

}  // namespace

GalleryWindow::GalleryWindow() : window_(platform::Window::Kind::TopLevel, this)
{
    setDisposed(true);
    skinColor_.load();
    applySkinColours();
    window_.setTitle("Lumaret 控件一览");
    window_.resize(kWidth, kHeight);
    window_.setIcon((std::filesystem::path("image") / "lumaret.ico").string());
    KXLib::KXScrollbar::loadScrollbarImage("image/scrollbar2.png", SIZE{15, 15});
    createTooltip();

    buildStateGrid();
    buildTabs();
    buildList();
    buildBarsAndSliders();
    buildStatusPictures();
    buildDialogButtons();
    buildTree();
}

GalleryWindow::~GalleryWindow()
{
    skinColor_.close();
    removeAllControls();
}

void GalleryWindow::show(int x, int y)
{
    window_.setGeometry(RECT{x, y, x + kWidth, y + kHeight});
    window_.show();
    window_.activate();
}

void GalleryWindow::label(const std::string& text, int x, int y, bool heading)
{
    labels_.push_back(Label{text, POINT{x, y}, heading});
}

void GalleryWindow::stateButton(const std::string& name, const std::string& image, SIZE frame,
                                const std::string& caption, const RECT& rect, int look)
{
    auto button = placeControl<KXLib::KXButtonEx>("KXButtonEx", name, rect);
    button->loadImage("image/" + image + ".png", frame);
    if (!caption.empty())
        button->setText(caption, POINT{0, 0}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    button->setHighlighted(look == 1);
    button->setChecked(look == 2);
    button->setEnabled(look != 3);
}

void GalleryWindow::buildStateGrid()
{
    label("按钮与复选框", kGridLeft, 38, true);
    for (int look = 0; look < 4; ++look)
        label(kLooks[look], kGridColumn0 + look * kGridColumnWidth, 56);
    int top = kGridTop;
    for (const auto& strip : kStrips) {
        label(strip.image, kGridLeft, top + (strip.frame.cy - 14) / 2);
        for (int look = 0; look < 4; ++look) {
            const int left = kGridColumn0 + look * kGridColumnWidth;
            stateButton(std::string(strip.image) + "-" + std::to_string(look), strip.image, strip.frame,
                        strip.caption, RECT{left, top, left + strip.frame.cx, top + strip.frame.cy}, look);
        }
        top += kGridRowHeight;
    }
    checkStripPath_ = writeCheckStrip();
    for (int checked = 0; checked < 2; ++checked) {
        label(checked ? "复选框 (已选)" : "复选框", kGridLeft, top);
        for (int look = 0; look < 4; ++look) {
            const int left = kGridColumn0 + look * kGridColumnWidth;
            const std::string name = "check-" + std::to_string(checked) + std::to_string(look);
            auto box = placeControl<KXLib::KXCheckBox>("KXCheckBox", name, RECT{left, top, left + 70, top + 15});
            box->loadImage(checkStripPath_, SIZE{15, 15});
            box->setText("选项", POINT{20, 0}, DT_SINGLELINE | DT_VCENTER);
            box->setChecked(checked == 1);
            box->setHighlighted(look == 1);
            box->setEnabled(look != 3);
        }
        top += 22;
    }
    std::filesystem::remove(checkStripPath_);
}

void GalleryWindow::buildTabs()
{
    label("页面标签", kGridLeft, 556, true);
    const std::array<std::pair<const char*, const char*>, 4> tabs{
        {{"lumaret-movie", "转换"}, {"lumaret-profile", "配置"}, {"lumaret-set", "设置"}, {"lumaret-about", "关于"}}};
    for (int i = 0; i < 4; ++i) {
        const int left = kGridColumn0 - 60 + i * 84;
        stateButton(std::string("tab-") + tabs[i].first, tabs[i].first, SIZE{74, 68}, "",
                    RECT{left, 574, left + 74, 642}, i);
        auto tab = findControl(std::string("tab-") + tabs[i].first).dynamicCast<KXLib::KXButtonEx>();
        tab->setText(tabs[i].second, POINT{23, 50}, DT_SINGLELINE);
        label(kLooks[i], left + 10, 648);
    }
}

void GalleryWindow::buildList()
{
    label("列表 (200 行)", 470, 38, true);
    KXLib::KXSmartPtr<GalleryList> list(new GalleryList());
    list->setName("list");
    list->setHandler(this);
    list->setRect(RECT{470, 56, 945, 236});
    list->fill(200, 460);
    list->selectRow(2);
    addControl(list);
    list->updateScrollbars();
    // The mouse resting on the fifth row shows the hover look next to the selection.
    RECT hovered;
    if (list->getCellRect(4, -1, hovered))
        list->handleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(hovered.left + 10, hovered.top + 5));
}

void GalleryWindow::buildBarsAndSliders()
{
    label("进度条", 470, 246, true);
    const std::array<int, 4> positions{0, 33, 66, 100};
    for (int i = 0; i < 4; ++i) {
        const int left = 470 + (i % 2) * 240;
        const int top = 264 + (i / 2) * 22;
        auto bar = placeControl<KXLib::KXProgressbar>("KXProgressbar", "progress-" + std::to_string(i),
                                                      RECT{left, top, left + 225, top + 16});
        bar->setRange(100);
        bar->showText = true;
        bar->setPos(positions[i]);
    }

    label("滑块", 470, 316, true);
    struct SliderRow {
        const char* name;
        const char* caption;
        const char* track;
        int maxPos;
        int pos;
        bool enabled;
    };
    const std::array<SliderRow, 6> sliders{{
        {"slider-hue", "色调", "adj-hue", 360, 0, true},
        {"slider-sum", "饱和度", "adj-sum", 200, 100, true},
        {"slider-lum", "亮度", "adj-lum", 200, 200, true},
        {"slider-hue-off", "禁用", "adj-hue", 360, 180, false},
        {"slider-sum-off", "禁用", "adj-sum", 200, 50, false},
        {"slider-lum-off", "禁用", "adj-lum", 200, 150, false},
    }};
    for (int i = 0; i < 6; ++i) {
        const int left = 520 + (i / 3) * 240;
        const int top = 334 + (i % 3) * 18;
        label(sliders[i].caption, left - 48, top);
        auto slider = placeControl<KXLib::KXSlider>("KXSlider", sliders[i].name, RECT{left, top, left + 124, top + 14});
        slider->loadTrackImages(std::string("image/") + sliders[i].track + ".bmp", "");
        slider->loadThumbImage("image/adj-thumb.png");
        slider->setRange(sliders[i].maxPos);
        slider->setPos(sliders[i].pos);
        slider->setEnabled(sliders[i].enabled);
    }
}

void GalleryWindow::buildStatusPictures()
{
    label("忙碌动画、状态图标与链接", 470, 396, true);
    busy_.drawRect = RECT{470, 414, 490, 434};
    if (busy_.load("image/lumaret-process.gif", &window_))
        busy_.play();
    int x = 500;
    for (const char* name : {"lumaret-wait", "lumaret-error", "lumaret-complete"}) {
        platform::Image picture;
        if (KXLib::loadImage(picture, std::string("image/") + name + ".png"))
            pictures_.emplace_back(POINT{x, 414}, picture);
        x += 26;
    }
    for (int i = 0; i < 2; ++i) {
        auto link = placeControl<KXLib::KXHyperLink>("KXHyperLink", "link-" + std::to_string(i),
                                                     RECT{600 + i * 90, 416, 720 + i * 90, 434});
        link->text = i == 0 ? app::CAboutDialog::kReadmeLinkText : "使用说明 (悬停)";
        link->url = (platform::Paths::programDirectory() / app::CAboutDialog::kReadmeName).string();
        link->localFile = true;
        link->normalColor = KXLib::palette::kLink;
        link->hotColor = 0x676500;
        link->setTooltip(link->url);
        if (i == 1) {
            const RECT r = *link->getRect();
            link->handleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 2, r.top + 2));
        }
    }
}

void GalleryWindow::buildDialogButtons()
{
    label("对话框", 715, 446, true);
    for (int i = 0; i < static_cast<int>(kActions.size()); ++i) {
        const int left = 715 + (i % 3) * 76;
        const int top = 464 + (i / 3) * 28;
        stateButton(kActions[i].name, "lumaret-btn", SIZE{69, 21}, kActions[i].caption,
                    RECT{left, top, left + 69, top + 21}, 0);
    }
}

void GalleryWindow::buildTree()
{
    label("原生树视图 (皮肤滚动条)", 470, 446, true);
    QWidget* host = platform::widgetOf(window_);
    tree_ = new QTreeWidget(host);
    tree_->setGeometry(470, 464, 230, 214);
    tree_->setHeaderHidden(true);
    tree_->setFont(QFont(QStringLiteral("Tahoma"), 9));
    const std::array<const char*, 6> groups{"常用视频格式", "移动设备", "网络视频", "音频", "高清视频", "自定义配置"};
    for (int g = 0; g < static_cast<int>(groups.size()); ++g) {
        auto* group = new QTreeWidgetItem(tree_, QStringList(platform::toQString(groups[g])));
        for (int i = 0; i < 8; ++i) {
            const std::string text = "配置 " + std::to_string(g + 1) + "." + std::to_string(i + 1) +
                                     " (640x480, 25 帧/秒, 768 kbps, 立体声 44100 Hz)";
            new QTreeWidgetItem(group, QStringList(platform::toQString(text)));
        }
        group->setExpanded(g < 3);
    }
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    platform::Image skin;
    if (KXLib::loadImage(skin, "image/lumaret-scrollskin.bmp", false))
        platform::attachSkinScrollbar(tree_, skin);
    tree_->show();
}

void GalleryWindow::applySkinColours()
{
    COLORREF light = KXLib::KXSkinColors::light();
    COLORREF dark = KXLib::KXSkinColors::dark();
    skinColor_.presetColors(light, dark);
    const int hueShift = skinColor_.hue - KXLib::CSkinColor::kNeutralHue;
    if (hueShift != 0 || skinColor_.saturation != 100 || skinColor_.luminosity != 100) {
        KXLib::adjustColor(light, &light, hueShift, skinColor_.saturation, skinColor_.luminosity);
        KXLib::adjustColor(dark, &dark, hueShift, skinColor_.saturation, skinColor_.luminosity);
    }
    KXLib::KXSkinColors::publish(light, dark);
}

bool GalleryWindow::openSkinPopup()
{
    const RECT r = window_.geometry();
    return skinColor_.open(&window_, RECT{r.right - 206, r.top + 95, r.right - 6, r.top + 255});
}

void GalleryWindow::onControlEvent(KXLib::KXSmartPtr<KXLib::KXDirectUI> control, UINT message, WPARAM, LPARAM)
{
    if (message != WM_LBUTTONUP)
        return;
    const std::string name = control->getName();
    for (int i = 0; i < static_cast<int>(kActions.size()); ++i) {
        // Boxes run their own loop; they are opened after this notification has returned.
        if (name == kActions[i].name)
            window_.post(WM_GALLERY_ACTION, static_cast<WPARAM>(i));
    }
    if (name == "lumaret-color-0")
        window_.post(WM_GALLERY_ACTION, kActions.size() - 1);
    if (name == "sysbutton_close-0")
        window_.post(WM_CLOSE);
}

bool GalleryWindow::open(const std::string& name)
{
    for (int i = 0; i < static_cast<int>(kActions.size()); ++i) {
        if (name == kActions[i].name) {
            window_.post(WM_GALLERY_ACTION, static_cast<WPARAM>(i));
            return true;
        }
    }
    return false;
}

void GalleryWindow::runAction(int action)
{
    const Action& chosen = kActions.at(static_cast<size_t>(action));
    if (chosen.flags == -1) {
        app::CAboutDialog about(&window_);
        about.doModal();
    } else if (chosen.flags == -2) {
        if (skinColor_.isOpen())
            skinColor_.close();
        else
            openSkinPopup();
    } else {
        lastAnswer_ = platform::showMessage("", std::string("这是标志为 ") + std::to_string(chosen.flags) +
                                               " 的消息框, 它按文字的宽度调整大小。",
                                       static_cast<uint8_t>(chosen.flags));
    }
    window_.invalidate();
}

bool GalleryWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isMouseMessage(message)) {
        if (!routeMessage(MSG{&window_, message, wParam, lParam}) && message == WM_LBUTTONDOWN)
            window_.startMove();
        return true;
    }
    switch (message) {
    case WM_CLOSE:
        QCoreApplication::exit(0);
        return true;
    case WM_GALLERY_ACTION:
        runAction(static_cast<int>(wParam));
        return true;
    case WM_SKIN_CHANGED:
        if (wParam == 1) {
            applySkinColours();
            window_.invalidate();
        } else {
            skinColor_.close();
        }
        return true;
    default:
        return false;
    }
}

void GalleryWindow::onPaint(platform::DeviceContext& dc)
{
    const RECT client = window_.clientRect();
    const COLORREF light = KXLib::KXSkinColors::light();
    const COLORREF dark = KXLib::KXSkinColors::dark();
    KXLib::gradientFill(&dc, 0xFFFFFF, light, true, 0, 0, client.right, kCaptionHeight);
    KXLib::gradientFill(&dc, light, dark, true, 0, kCaptionHeight, client.right, client.bottom);
    KXLib::drawRoundRect(&dc, 0xFFFFFF, false, 5, kCaptionHeight, client.right - 5, client.bottom - 5);
    KXLib::drawRect(&dc, kFrameColor, 0, true, 0, 0, client.right, client.bottom);
    dc.drawText("Lumaret 控件一览 (所有控件的各种状态)", RECT{10, 0, client.right - 120, kCaptionHeight},
                DT_SINGLELINE | DT_VCENTER, kTextColor, KXLib::sharedFont());
    const std::string answer = lastAnswer_.empty() ? "消息框回答: (尚未打开)" : "消息框回答: " + lastAnswer_;
    dc.drawText(answer, RECT{715, 560, 945, 580}, DT_SINGLELINE | DT_VCENTER, kTextColor, KXLib::sharedFont());

    for (const auto& l : labels_) {
        const platform::Font font = l.heading ? platform::Font{"Tahoma", 9, true, false} : KXLib::sharedFont();
        const SIZE size = platform::DeviceContext::measureText(l.text, font);
        dc.drawText(l.text, RECT{l.at.x, l.at.y, l.at.x + size.cx + 2, l.at.y + size.cy + 2}, DT_SINGLELINE,
                    l.heading ? kHeadingColor : kTextColor, font);
    }
    for (const auto& [at, picture] : pictures_)
        dc.drawImage(picture, at.x, at.y);
    busy_.draw(&dc);
    drawControls(&dc);
}

}  // namespace gallery
