#include "tools/gallery/NativeGallery.h"

#include "kxlib/ui/KXDraw.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/FileDropTarget.h"
#include "platform/gui/Image.h"
#include "platform/gui/PopupMenu.h"

#include <array>

namespace gallery {

namespace {
constexpr COLORREF kDividerColor = RGB(168, 211, 231);
constexpr int kTreeWidth = 235;
}  // namespace

NativeGallery::NativeGallery() : window_(platform::Window::Kind::TopLevel, this)
{
    window_.setTitle("Lumaret native controls");
    window_.resize(kWidth, kHeight);
    buildTree();
    buildEditors();
    buildOptions();
    platform::FileDropTarget::enable(window_);
}

NativeGallery::~NativeGallery() { controls_.clear(); }

template <typename Control, typename... Args>
Control& NativeGallery::place(const RECT& rect, Args&&... args)
{
    auto control = std::make_unique<Control>(window_, std::forward<Args>(args)...);
    control->setRect(rect);
    control->show();
    Control& placed = *control;
    controls_.push_back(std::move(control));
    return placed;
}

void NativeGallery::buildTree()
{
    auto& tree = place<platform::TreeView>(RECT{0, 0, kTreeWidth, kHeight}, 1012);
    platform::Image icons;
    platform::Image sharpIcons;  // the strip at twice the size, where the skin has one
    if (!sharpIcons.load("image/lumaret-imagelist@2x.png"))
        sharpIcons.load("image/lumaret-imagelist@2x.bmp");
    if (icons.load("image/lumaret-imagelist.bmp"))
        tree.setImageStrip(icons, platform::TreeView::kIconSize, RGB(255, 255, 255), sharpIcons);
    platform::Image skin;
    if (KXLib::loadImage(skin, "image/lumaret-scrollskin.bmp", false))
        tree.attachSkinScrollbars(skin);
    const std::array<const char*, 5> categories{"常用视频格式", "移动设备", "网络视频", "音频", "自定义配置"};
    int type = 0;
    for (size_t c = 0; c < categories.size(); ++c) {
        const platform::HTREEITEM category = tree.insertItem(nullptr, categories[c], 0);
        for (int i = 0; i < 6; ++i, type = (type + 7) % 52)
            tree.insertItem(category, std::string(categories[c]) + " 方案 " + std::to_string(i + 1), type + 1);
        // Enough rows open that the skinned scroll bar shows.
        tree.expand(category, c < 4);
    }
    tree.selectItem(tree.childItem(tree.childItem(nullptr)));
}

void NativeGallery::buildEditors()
{
    const int left = kTreeWidth + 16;
    place<platform::Label>(RECT{left, 14, left + 130, 34}, 0, "所属类别 (可编辑):");
    auto& combo = place<platform::ComboBox>(RECT{left + 135, 12, left + 320, 34}, 1014,
                                            platform::ComboBox::Kind::Editable);
    combo.setTextLimit(20);
    for (const char* size : {"320x240", "640x480", "720x576", "1280x720"})
        combo.addString(size);
    combo.setText("640x480");

    place<platform::Label>(RECT{left, 46, left + 130, 66}, 0, "转换类型 (列表):");
    auto& list = place<platform::ComboBox>(RECT{left + 135, 44, left + 320, 66}, 1020,
                                           platform::ComboBox::Kind::DropList);
    for (const char* type : {"AVI (.avi)", "MP4 (.mp4)", "FLV (.flv)", "WMV (.wmv)"})
        list.addString(type);
    list.setCurSel(1);

    place<platform::Label>(RECT{left, 78, left + 130, 98}, 0, "方案名称:");
    place<platform::EditBox>(RECT{left + 135, 76, left + 320, 98}, 1006).setText("PSP 320x240 MPEG4");
    place<platform::Label>(RECT{left, 110, left + 130, 130}, 0, "当前选择方案:");
    place<platform::EditBox>(RECT{left + 135, 108, left + 320, 130}, 1016, true).setText("iPod 320x240 H264");
}

void NativeGallery::buildOptions()
{
    const int left = kTreeWidth + 10;
    place<platform::GroupBox>(RECT{left, 142, kWidth - 10, 232}, 0, "输出设置");
    place<platform::CheckBox>(RECT{left + 12, 162, kWidth - 20, 182}, 1022, "输出到源文件目录").setChecked(true);
    place<platform::CheckBox>(RECT{left + 12, 184, kWidth - 20, 204}, 1023, "转换成功后删除源文件");
    auto& disabled = place<platform::CheckBox>(RECT{left + 12, 206, kWidth - 20, 226}, 1024, "转换结束后关闭计算机 (禁用)");
    disabled.setEnabled(false);

    place<platform::GroupBox>(RECT{left, 240, kWidth - 10, 310}, 0, "右键菜单与拖拽");
    place<platform::RadioButton>(RECT{left + 12, 260, kWidth - 20, 280}, 1030, "使用程序默认转换方案", true)
        .setChecked(true);
    place<platform::RadioButton>(RECT{left + 12, 282, kWidth - 20, 302}, 1031, "使用用户最后一次使用的转换方案",
                                 false);
}

void NativeGallery::show(int x, int y)
{
    window_.setGeometry(RECT{x, y, x + kWidth, y + kHeight});
    window_.show();
}

void NativeGallery::onPaint(platform::DeviceContext& dc)
{
    const RECT client = window_.clientRect();
    dc.fillSolid(client, RGB(255, 255, 255));
    KXLib::drawLine(&dc, kDividerColor, kTreeWidth, 0, kTreeWidth, client.bottom);
    dc.drawText(lastReport_.empty() ? "（控件通知显示在这里）" : lastReport_,
                RECT{kTreeWidth + 16, client.bottom - 28, client.right - 8, client.bottom - 8},
                DT_LEFT | DT_VCENTER | DT_SINGLELINE, RGB(0x22, 0x22, 0x22), platform::Font::standard());
}

int NativeGallery::openMenu(POINT client)
{
    platform::PopupMenu menu;
    menu.addItem(32771, "实时");
    menu.addItem(32772, "高");
    menu.addItem(32773, "普通", true);
    menu.addItem(32774, "低");
    menu.addSeparator();
    menu.addItem(32775, "转换结束后关闭计算机", true);
    const int chosen = menu.track(window_.clientToScreen(client), &window_);
    report("菜单命令 " + std::to_string(chosen));
    return chosen;
}

void NativeGallery::report(const std::string& text)
{
    lastReport_ = text;
    window_.invalidate();
}

bool NativeGallery::onKey(WPARAM key)
{
    if (key == 'F') {
        const auto files = platform::FileDialog::chooseFiles(&window_, "添加文件", "媒体文件 (*)");
        report("选择了 " + std::to_string(files.size()) + " 个文件");
        return true;
    }
    if (key == 'D') {
        report("输出目录: " + platform::FileDialog::chooseFolder(&window_));
        return true;
    }
    return false;
}

bool NativeGallery::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RBUTTONUP) {
        openMenu(pointFromLParam(lParam));
        return true;
    }
    if (message == WM_KEYDOWN)
        return onKey(wParam);
    if (message == WM_DROPFILES) {
        const auto& files = platform::FileDropTarget::droppedFiles(wParam);
        report("拖入 " + std::to_string(files.size()) + " 个文件: " + (files.empty() ? "" : files.front()));
        return true;
    }
    if (message == WM_COMMAND)
        lastReport_ = "WM_COMMAND id " + std::to_string(LOWORD(wParam)) + " code " + std::to_string(HIWORD(wParam)) +
                      " lParam " + std::to_string(lParam);
    else if (message == WM_NOTIFY)
        lastReport_ = "WM_NOTIFY id " + std::to_string(wParam) + " code " + std::to_string(lParam);
    else
        return false;
    window_.invalidate();
    return true;
}

}  // namespace gallery
