// Native child controls on a window: what they report to the window's listener, the tree's items
// and icons, the combo boxes' limit and selection rules, and the editors' Enter, Escape and focus
// reports, including an owner that destroys the editor from its report.
#include "platform/gui/CheckBox.h"
#include "platform/gui/ComboBox.h"
#include "platform/gui/EditBox.h"
#include "platform/gui/GroupBox.h"
#include "platform/gui/Label.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/RadioButton.h"
#include "platform/gui/SkinScrollbars.h"
#include "platform/gui/TreeView.h"
#include "platform/gui/Window.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QCheckBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct Report {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Report&) const = default;
};

class Owner : public platform::WindowListener {
public:
    Owner() : window(platform::Window::Kind::TopLevel, this) { window.setGeometry(RECT{50, 50, 450, 350}); }
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || message == WM_NOTIFY)
            reports.push_back({message, wParam, lParam});
        if (onReport)
            onReport(message, wParam, lParam);
        return true;
    }
    bool has(const Report& r) const { return std::find(reports.begin(), reports.end(), r) != reports.end(); }

    platform::Window window;
    std::vector<Report> reports;
    std::function<void(UINT, WPARAM, LPARAM)> onReport;
};

void key(QWidget* widget, int code, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

void click(QWidget* widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// A strip of `cells` 16 x 16 cells: white ground, cell n with a dot of grey n in its middle.
platform::Image strip(int cells)
{
    platform::Image image(16 * cells, 16, 0xFFFFFFFF);
    for (int n = 0; n < cells; ++n)
        image.fill(RECT{16 * n + 4, 4, 16 * n + 12, 12}, 0xFF000000u | static_cast<unsigned>(n));
    return image;
}

TEST(NativeControlsTest, TreeHoldsItemsWithDataIconsAndReportsSelectionAndClicks)
{
    Owner owner;
    platform::TreeView tree(owner.window, 1012);
    EXPECT_EQ(tree.setImageStrip(strip(53)), 53);
    tree.setRect(RECT{0, 0, 235, 300});
    tree.show();
    owner.window.show();

    int record = 7;
    const platform::HTREEITEM category = tree.insertItem(nullptr, "常用视频格式", 0);
    const platform::HTREEITEM profile = tree.insertItem(category, "PSP 320x240", 27, &record);
    const platform::HTREEITEM second = tree.insertItem(nullptr, "自定义配置", 0);
    EXPECT_EQ(tree.count(), 3);
    EXPECT_EQ(tree.childItem(nullptr), category);
    EXPECT_EQ(tree.childItem(category), profile);
    EXPECT_EQ(tree.nextSibling(category), second);
    EXPECT_EQ(tree.nextSibling(second), nullptr);
    EXPECT_EQ(tree.parentItem(profile), category);
    EXPECT_EQ(tree.itemData(profile), &record);
    EXPECT_EQ(tree.itemData(category), nullptr);
    EXPECT_EQ(tree.itemText(profile), "PSP 320x240");
    EXPECT_EQ(tree.itemImage(profile), 27);

    // The icon is the strip's cell with white made transparent.
    auto* widget = static_cast<QTreeWidget*>(tree.nativeWidget());
    const QImage icon =
        widget->topLevelItem(0)->child(0)->icon(0).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(icon.pixel(8, 8), 0xFF00001Bu);

    owner.reports.clear();
    tree.expand(category);
    EXPECT_TRUE(tree.isExpanded(category));
    tree.selectItem(profile);
    EXPECT_EQ(tree.selectedItem(), profile);
    EXPECT_TRUE(owner.has({WM_NOTIFY, 1012, TVN_ITEMEXPANDED}));
    EXPECT_TRUE(owner.has({WM_NOTIFY, 1012, TVN_SELCHANGED}));

    // A click on the second top-level row selects it and reports NM_CLICK; the owner finds the
    // item with a hit test.
    const RECT row = tree.itemRect(second);
    ASSERT_FALSE(row.isEmpty());
    EXPECT_EQ(tree.hitTest(POINT{row.left + 30, row.top + 3}), second);
    owner.reports.clear();
    const QPoint inViewport = widget->viewport()->mapFrom(widget, QPoint(row.left + 30, row.top + 3));
    click(widget->viewport(), inViewport);
    EXPECT_EQ(tree.selectedItem(), second);
    ASSERT_FALSE(owner.reports.empty());
    EXPECT_EQ(owner.reports.back(), (Report{WM_NOTIFY, 1012, NM_CLICK}));

    tree.deleteItem(category);
    EXPECT_EQ(tree.count(), 1);
    tree.deleteAllItems();
    EXPECT_EQ(tree.childItem(nullptr), nullptr);
}

TEST(NativeControlsTest, TreeIconsAreSharpOnDoubleDensityScreens)
{
    Owner owner;
    platform::TreeView tree(owner.window, 1012);
    platform::Image doubled(32 * 53, 32, 0xFFFFFFFF);
    doubled.fill(RECT{32 * 5, 0, 32 * 5 + 1, 1}, 0xFF123456);
    EXPECT_EQ(tree.setImageStrip(strip(53), 16, RGB(255, 255, 255), doubled), 53);
    tree.insertItem(nullptr, "AVI", 5);
    const QIcon icon = static_cast<QTreeWidget*>(tree.nativeWidget())->topLevelItem(0)->icon(0);
    const QImage sharp = icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(sharp.size(), QSize(32, 32));
    EXPECT_EQ(sharp.pixel(0, 0), 0xFF123456u) << "the double-size cell, not the small one scaled up";
    EXPECT_EQ(qAlpha(sharp.pixel(1, 1)), 0) << "white is the mask there too";
}

TEST(NativeControlsTest, TreeWearsTheSkinnedScrollBars)
{
    Owner owner;
    platform::TreeView tree(owner.window, 1012);
    platform::Image skin(114, 114, 0xFF808080);
    EXPECT_TRUE(tree.attachSkinScrollbars(skin));
    EXPECT_TRUE(platform::hasSkinScrollbar(tree.nativeWidget()));
    EXPECT_FALSE(tree.attachSkinScrollbars(skin));
}

TEST(NativeControlsTest, EditableComboKeepsTwentyCharactersAndSelectsByPrefix)
{
    Owner owner;
    platform::ComboBox combo(owner.window, 1014, platform::ComboBox::Kind::Editable);
    combo.setTextLimit(20);
    combo.setRect(RECT{236, 20, 386, 40});
    combo.show();
    owner.window.show();
    combo.setFocus();

    auto* widget = static_cast<QComboBox*>(combo.nativeWidget());
    for (int i = 0; i < 25; ++i)
        key(widget, Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(combo.text(), std::string(20, 'a'));
    EXPECT_TRUE(owner.has({WM_COMMAND, MAKEWPARAM(1014, CBN_EDITCHANGE), 0}));
    combo.setText("123456789012345678901234");
    EXPECT_EQ(combo.text(), "12345678901234567890");

    combo.resetContent();
    combo.setText("");
    EXPECT_EQ(combo.addString("640x480"), 0);
    EXPECT_EQ(combo.addString("320x240"), 1);
    EXPECT_EQ(combo.text(), "") << "adding entries leaves the typed text alone";
    EXPECT_EQ(combo.curSel(), -1);
    EXPECT_EQ(combo.selectString("32"), 1);
    EXPECT_EQ(combo.text(), "320x240");
    EXPECT_EQ(combo.selectString("999"), -1);
    EXPECT_EQ(combo.curSel(), 1);
    EXPECT_EQ(combo.findStringExact("640X480"), 0);
    EXPECT_EQ(combo.findStringExact("640"), -1);
}

TEST(NativeControlsTest, DropListReportsTheUsersChoiceOnly)
{
    Owner owner;
    platform::ComboBox list(owner.window, 1020, platform::ComboBox::Kind::DropList);
    list.addString("否");
    list.addString("是");
    list.setCurSel(1);
    EXPECT_EQ(list.text(), "是");
    EXPECT_TRUE(owner.reports.empty()) << "a choice made by the program is not reported";
    emit static_cast<QComboBox*>(list.nativeWidget())->activated(0);
    EXPECT_EQ(owner.reports, (std::vector<Report>{{WM_COMMAND, MAKEWPARAM(1020, CBN_SELCHANGE), 0}}));
    list.setText("否");
    EXPECT_EQ(list.curSel(), 0);
    list.setCurSel(5);
    EXPECT_EQ(list.curSel(), -1);
}

TEST(NativeControlsTest, EditorsReportEnterEscapeAndFocusLoss)
{
    Owner owner;
    platform::EditBox edit(owner.window, 1006);
    platform::ComboBox combo(owner.window, 1014, platform::ComboBox::Kind::Editable);
    edit.setRect(RECT{10, 10, 200, 30});
    combo.setRect(RECT{10, 40, 200, 60});
    edit.show();
    combo.show();
    owner.window.show();
    owner.window.activate();

    key(edit.nativeWidget(), Qt::Key_Return);
    key(edit.nativeWidget(), Qt::Key_Escape);
    key(combo.nativeWidget(), Qt::Key_Enter);
    EXPECT_EQ(owner.reports, (std::vector<Report>{{WM_COMMAND, MAKEWPARAM(IDOK, 0), 1006},
                                                  {WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 1006},
                                                  {WM_COMMAND, MAKEWPARAM(IDOK, 0), 1014}}));

    owner.reports.clear();
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(edit.nativeWidget(), &out);
    QApplication::sendEvent(combo.nativeWidget(), &out);
    QFocusEvent toOwnList(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(combo.nativeWidget(), &toOwnList);
    EXPECT_EQ(owner.reports, (std::vector<Report>{{WM_COMMAND, MAKEWPARAM(1006, EN_KILLFOCUS), 0},
                                                  {WM_COMMAND, MAKEWPARAM(1014, CBN_KILLFOCUS), 0}}));

    edit.setReadOnly(true);
    EXPECT_TRUE(edit.isReadOnly());
    edit.setText("PSP 320x240");
    EXPECT_EQ(edit.text(), "PSP 320x240");
}

TEST(NativeControlsTest, OwnerMayDestroyTheEditorFromItsEnterReport)
{
    Owner owner;
    auto edit = std::make_unique<platform::EditBox>(owner.window, 1006);
    edit->show();
    owner.window.show();
    QPointer<QWidget> widget = edit->nativeWidget();
    int enters = 0;
    owner.onReport = [&](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            ++enters;
            edit.reset();
        }
    };
    key(widget, Qt::Key_Return);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(edit, nullptr);
    // The widget goes once the event loop runs again, and reports nothing on the way.
    owner.reports.clear();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
    EXPECT_TRUE(owner.reports.empty());
}

TEST(NativeControlsTest, OwnerMayDestroyTheTreeFromItsClickReport)
{
    Owner owner;
    auto tree = std::make_unique<platform::TreeView>(owner.window, 1012);
    tree->setRect(RECT{0, 0, 200, 200});
    const platform::HTREEITEM item = tree->insertItem(nullptr, "AVI", 9);
    tree->show();
    owner.window.show();
    auto* widget = static_cast<QTreeWidget*>(tree->nativeWidget());
    const RECT row = tree->itemRect(item);
    owner.onReport = [&](UINT message, WPARAM, LPARAM code) {
        if (message == WM_NOTIFY && code == NM_CLICK)
            tree.reset();
    };
    click(widget->viewport(), QPoint(row.left + 20, row.top + 3));
    EXPECT_EQ(tree, nullptr);
    owner.reports.clear();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(owner.reports.empty()) << "a tree on its way out reports nothing";
}

TEST(NativeControlsTest, CheckBoxAndRadioGroupsReportClicks)
{
    Owner owner;
    platform::CheckBox check(owner.window, 1022, "输出到源文件目录");
    platform::RadioButton first(owner.window, 1030, "使用程序默认转换方案", true);
    platform::RadioButton second(owner.window, 1031, "使用用户最后一次使用的转换方案", false);
    platform::RadioButton other(owner.window, 1040, "另一组", true);
    platform::GroupBox group(owner.window, 0, "右键菜单与拖拽");
    platform::Label label(owner.window, 0, "当前选择方案:");
    EXPECT_EQ(group.caption(), "右键菜单与拖拽");
    EXPECT_EQ(label.text(), "当前选择方案:");
    EXPECT_TRUE(label.nativeWidget()->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(label.nativeWidget()->autoFillBackground());

    check.setChecked(true);
    first.setChecked(true);
    other.setChecked(true);
    EXPECT_TRUE(owner.reports.empty()) << "the program's own changes are not reported";
    EXPECT_TRUE(first.isChecked()) << "a second group does not clear the first";

    static_cast<QCheckBox*>(check.nativeWidget())->click();
    static_cast<QRadioButton*>(second.nativeWidget())->click();
    EXPECT_FALSE(check.isChecked());
    EXPECT_TRUE(second.isChecked());
    EXPECT_FALSE(first.isChecked());
    EXPECT_TRUE(other.isChecked());
    EXPECT_EQ(owner.reports, (std::vector<Report>{{WM_COMMAND, MAKEWPARAM(1022, BN_CLICKED), 0},
                                                  {WM_COMMAND, MAKEWPARAM(1031, BN_CLICKED), 0}}));
}

TEST(NativeControlsTest, ControlsArePlacedHiddenUntilShownAndDisabledOnRequest)
{
    Owner owner;
    platform::EditBox edit(owner.window, 1006);
    edit.setRect(RECT{236, 40, 386, 60});
    EXPECT_EQ(edit.rect(), (RECT{236, 40, 386, 60}));
    EXPECT_FALSE(edit.isVisible());
    edit.show();
    EXPECT_TRUE(edit.isVisible());
    edit.setEnabled(false);
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_EQ(edit.nativeWidget()->parentWidget(), platform::widgetOf(owner.window));
}

}  // namespace
