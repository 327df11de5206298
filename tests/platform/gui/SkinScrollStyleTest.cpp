// Skinned scroll bars of native views: pixels come from the right cells of the sheet for each
// state, the held arrows and track repeat on the skin's timing, the thumb drags, and a missing or
// unusable sheet leaves the toolkit's own bars in place.
#include "platform/gui/Image.h"
#include "platform/gui/SkinScrollBar.h"
#include "platform/gui/SkinScrollStyle.h"
#include "platform/gui/SkinScrollbars.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyleOptionSlider>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using platform::SkinScrollBar;
using platform::SkinScrollStyle;

// A sheet whose every cell is one flat colour that names it, so a pixel tells which cell it came
// from: red = 20 + 40 * column, green = 20 + 40 * row.
QRgb cellColor(int column, int row) { return qRgb(20 + 40 * column, 20 + 40 * row, 200); }

QImage flatSheet()
{
    QImage sheet(114, 114, QImage::Format_RGB32);
    sheet.fill(qRgb(255, 0, 255));
    QPainter p(&sheet);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 6; ++column)
            p.fillRect(column * 19, row * 19, 16, 16, QColor(cellColor(column, row)));
    return sheet;
}

platform::Image loadedSheet(const testsupport::TempDir& dir, const QImage& sheet)
{
    const std::string file = (dir / "skin.bmp").string();
    sheet.save(QString::fromStdString(file), "BMP");
    platform::Image image;
    image.load(file);
    return image;
}

QStyleOptionSlider barOption(Qt::Orientation orientation, int length)
{
    QStyleOptionSlider option;
    option.orientation = orientation;
    option.rect = orientation == Qt::Vertical ? QRect(0, 0, 16, length) : QRect(0, 0, length, 16);
    option.minimum = 0;
    option.maximum = 100;
    option.pageStep = 100;  // a thumb of half the track
    option.sliderPosition = 0;
    option.state = QStyle::State_Enabled;
    if (orientation == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return option;
}

QImage render(const SkinScrollStyle& style, const QStyleOptionSlider& option)
{
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    style.drawComplexControl(QStyle::CC_ScrollBar, &option, &p, nullptr);
    return image;
}

// A pixel of the bar at `along` pixels from its start, in the middle across.
QRgb at(const QImage& image, Qt::Orientation orientation, int along)
{
    return orientation == Qt::Vertical ? image.pixel(8, along) : image.pixel(along, 8);
}

TEST(SkinScrollStyle, PaintsEachPartFromTheCellOfItsState)
{
    const SkinScrollStyle style(flatSheet());
    for (const Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        SCOPED_TRACE(orientation == Qt::Vertical ? "vertical" : "horizontal");
        const int rowBase = orientation == Qt::Vertical ? 0 : 3;
        QStyleOptionSlider option = barOption(orientation, 216);  // track 184, thumb 92

        QImage image = render(style, option);
        EXPECT_EQ(at(image, orientation, 3), cellColor(0, rowBase));      // first arrow
        EXPECT_EQ(at(image, orientation, 212), cellColor(1, rowBase));    // second arrow
        EXPECT_EQ(at(image, orientation, 20), cellColor(2, rowBase));     // thumb cap
        EXPECT_EQ(at(image, orientation, 16 + 46), cellColor(3, rowBase)); // grip on a long thumb
        EXPECT_EQ(at(image, orientation, 150), cellColor(4, orientation == Qt::Vertical ? 0 : 3));  // track

        option.activeSubControls = QStyle::SC_ScrollBarSubLine;
        option.state |= QStyle::State_MouseOver;
        image = render(style, option);
        EXPECT_EQ(at(image, orientation, 3), cellColor(0, rowBase + 1)) << "hot arrow";
        EXPECT_EQ(at(image, orientation, 212), cellColor(1, rowBase)) << "the other arrow stays normal";

        option.state |= QStyle::State_Sunken;
        image = render(style, option);
        EXPECT_EQ(at(image, orientation, 3), cellColor(0, rowBase + 2)) << "pressed arrow";

        option.activeSubControls = QStyle::SC_ScrollBarSlider;
        image = render(style, option);
        EXPECT_EQ(at(image, orientation, 20), cellColor(2, rowBase + 2)) << "pressed thumb";
        EXPECT_EQ(at(image, orientation, 3), cellColor(0, rowBase));
    }
}

TEST(SkinScrollStyle, ADoubleSizeSheetIsCutAtTheSameCellsAndDrawsAtTheSameSize)
{
    QImage twin = flatSheet().scaled(228, 228);
    twin.setDevicePixelRatio(2.0);
    ASSERT_TRUE(SkinScrollStyle::isUsableSkin(twin));
    const SkinScrollStyle style(twin);
    const QImage image = render(style, barOption(Qt::Vertical, 216));
    EXPECT_EQ(at(image, Qt::Vertical, 3), cellColor(0, 0));
    EXPECT_EQ(at(image, Qt::Vertical, 15), cellColor(0, 0)) << "the arrow is 16 pixels long, not 32";
    EXPECT_EQ(at(image, Qt::Vertical, 212), cellColor(1, 0));
    EXPECT_EQ(at(image, Qt::Vertical, 20), cellColor(2, 0));
    EXPECT_EQ(at(image, Qt::Vertical, 150), cellColor(4, 0));

    QImage small = flatSheet().scaled(150, 150);
    small.setDevicePixelRatio(2.0);
    EXPECT_FALSE(SkinScrollStyle::isUsableSkin(small)) << "75 x 75 logical pixels are too few";
}

TEST(SkinScrollStyle, ThumbFollowsPositionAndHasNoGripWhenShort)
{
    const SkinScrollStyle style(flatSheet());
    QStyleOptionSlider option = barOption(Qt::Vertical, 216);
    option.maximum = 1000;
    option.pageStep = 10;  // 184 * 10 / 1010 rounds to 2: the minimum of 10 applies
    option.sliderPosition = 1000;
    const QRect thumb = style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, nullptr);
    EXPECT_EQ(thumb.height(), SkinScrollStyle::kMinThumb);
    EXPECT_EQ(thumb.bottom(), 199) << "at the end of the range the thumb touches the second arrow";
    EXPECT_EQ(style.hitTestComplexControl(QStyle::CC_ScrollBar, &option, QPoint(8, 100), nullptr),
              QStyle::SC_ScrollBarSubPage);
    EXPECT_EQ(style.hitTestComplexControl(QStyle::CC_ScrollBar, &option, QPoint(8, 195), nullptr),
              QStyle::SC_ScrollBarSlider);
    const QImage image = render(style, option);
    EXPECT_EQ(image.pixel(8, 195), cellColor(2, 0)) << "a 10-pixel thumb shows the body, no grip";

    option.maximum = 0;  // nothing to scroll: track and arrows only
    EXPECT_TRUE(style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, nullptr).isEmpty());
    EXPECT_EQ(render(style, option).pixel(8, 100), cellColor(4, 0));
}

TEST(SkinScrollStyle, CornerBetweenTheBarsComesFromTheSizeBoxCell)
{
    const SkinScrollStyle style(flatSheet());
    QStyleOption option;
    option.rect = QRect(0, 0, 16, 16);
    QImage image(16, 16, QImage::Format_RGB32);
    QPainter p(&image);
    style.drawPrimitive(QStyle::PE_PanelScrollAreaCorner, &option, &p, nullptr);
    EXPECT_EQ(image.pixel(8, 8), cellColor(2, 3));
}

class SkinnedTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree = std::make_unique<QTreeWidget>();
        for (int i = 0; i < 300; ++i)
            tree->addTopLevelItem(new QTreeWidgetItem(QStringList{QString("profile %1").arg(i)}));
        tree->resize(200, 240);
        tree->show();
        tree->verticalScrollBar()->setValue(5);
        skin = loadedSheet(dir, flatSheet());
    }

    // Sends a mouse event to the bar at a point in its own coordinates.
    static void mouse(QScrollBar* bar, QEvent::Type type, QPoint point)
    {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(point), bar->mapToGlobal(QPointF(point)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    }

    testsupport::TempDir dir;
    std::unique_ptr<QTreeWidget> tree;
    platform::Image skin;
};

TEST_F(SkinnedTree, AttachGivesTheSkinAndKeepsTheScrollState)
{
    ASSERT_TRUE(platform::attachSkinScrollbar(tree.get(), skin));
    auto* bar = qobject_cast<SkinScrollBar*>(tree->verticalScrollBar());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->width(), SkinScrollStyle::kCell);
    const QImage shot = bar->grab().toImage();
    EXPECT_EQ(shot.pixel(8, 3), cellColor(0, 0));
    EXPECT_EQ(shot.pixel(8, shot.height() - 3), cellColor(1, 0));

    QPointer<QStyle> style = bar->style();
    EXPECT_FALSE(platform::attachSkinScrollbar(tree.get(), skin)) << "already skinned";
    EXPECT_EQ(tree->verticalScrollBar()->style(), style.data()) << "the first skin stays";

    tree.reset();
    EXPECT_TRUE(style.isNull()) << "the style goes with its view";
}

TEST_F(SkinnedTree, HeldArrowRepeatsAfter300ThenEvery40Milliseconds)
{
    ASSERT_TRUE(platform::attachSkinScrollbar(tree.get(), skin));
    auto* bar = qobject_cast<SkinScrollBar*>(tree->verticalScrollBar());
    ASSERT_NE(bar, nullptr);
    const QPoint downArrow(8, bar->height() - 4);

    mouse(bar, QEvent::MouseButtonPress, downArrow);
    EXPECT_EQ(bar->value(), 6) << "one step at once";
    EXPECT_EQ(bar->heldAction(), QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->lastFirstDelay(), SkinScrollBar::kFirstRepeatDelayMs);
    EXPECT_EQ(bar->lastRepeatInterval(), SkinScrollBar::kRepeatIntervalMs);

    // Off the arrow the repeating pauses; back on it, it resumes at the running pace.
    mouse(bar, QEvent::MouseMove, QPoint(8, bar->height() / 2));
    EXPECT_EQ(bar->heldAction(), QAbstractSlider::SliderNoAction);
    mouse(bar, QEvent::MouseMove, downArrow);
    EXPECT_EQ(bar->heldAction(), QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->lastFirstDelay(), SkinScrollBar::kRepeatIntervalMs);

    mouse(bar, QEvent::MouseButtonRelease, downArrow);
    EXPECT_EQ(bar->heldAction(), QAbstractSlider::SliderNoAction);
}

TEST_F(SkinnedTree, DoubleClickOnAnArrowStepsOnceAndALeftPressedPartIsNotHot)
{
    ASSERT_TRUE(platform::attachSkinScrollbar(tree.get(), skin));
    auto* bar = qobject_cast<SkinScrollBar*>(tree->verticalScrollBar());
    ASSERT_NE(bar, nullptr);
    const QPoint downArrow(8, bar->height() - 4);

    // A double click arrives as press, release, double click, release: the double click is
    // swallowed, so the arrow steps once.
    mouse(bar, QEvent::MouseButtonPress, downArrow);
    mouse(bar, QEvent::MouseButtonRelease, downArrow);
    mouse(bar, QEvent::MouseButtonDblClick, downArrow);
    EXPECT_EQ(bar->heldAction(), QAbstractSlider::SliderNoAction);
    mouse(bar, QEvent::MouseButtonRelease, downArrow);
    EXPECT_EQ(bar->value(), 6);

    // Held, the arrow shows its pressed cell; moved off it onto the track (the mouse still over
    // the bar), it shows its normal cell, not the hot one.
    bar->setAttribute(Qt::WA_UnderMouse, true);
    mouse(bar, QEvent::MouseButtonPress, downArrow);
    EXPECT_EQ(bar->grab().toImage().pixel(downArrow), cellColor(1, 2));
    mouse(bar, QEvent::MouseMove, QPoint(8, bar->height() / 2));
    EXPECT_EQ(bar->grab().toImage().pixel(downArrow), cellColor(1, 0));
    mouse(bar, QEvent::MouseButtonRelease, QPoint(8, bar->height() / 2));

    // With nothing held, the part under the mouse is hot again.
    QHoverEvent hover(QEvent::HoverMove, QPointF(downArrow), bar->mapToGlobal(QPointF(downArrow)),
                      QPointF(8, bar->height() / 2));
    QApplication::sendEvent(bar, &hover);
    EXPECT_EQ(bar->grab().toImage().pixel(downArrow), cellColor(1, 1));
}

TEST_F(SkinnedTree, TrackPressPagesAndThumbDrags)
{
    ASSERT_TRUE(platform::attachSkinScrollbar(tree.get(), skin));
    auto* bar = qobject_cast<SkinScrollBar*>(tree->verticalScrollBar());
    ASSERT_NE(bar, nullptr);
    bar->setValue(0);
    const int page = bar->pageStep();

    mouse(bar, QEvent::MouseButtonPress, QPoint(8, bar->height() - 24));
    EXPECT_EQ(bar->value(), page);
    EXPECT_EQ(bar->heldAction(), QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar->lastFirstDelay(), SkinScrollBar::kFirstRepeatDelayMs);
    mouse(bar, QEvent::MouseButtonRelease, QPoint(8, bar->height() - 24));

    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.pageStep = bar->pageStep();
    option.sliderPosition = bar->sliderPosition();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    ASSERT_FALSE(thumb.isEmpty());
    const int before = bar->value();
    mouse(bar, QEvent::MouseButtonPress, thumb.center());
    mouse(bar, QEvent::MouseMove, thumb.center() + QPoint(0, 40));
    mouse(bar, QEvent::MouseButtonRelease, thumb.center() + QPoint(0, 40));
    EXPECT_GT(bar->value(), before);
    EXPECT_LT(bar->value(), bar->maximum());
}

TEST_F(SkinnedTree, MissingOrUnusableSheetKeepsTheToolkitBars)
{
    QScrollBar* plain = tree->verticalScrollBar();
    EXPECT_FALSE(platform::attachSkinScrollbar(tree.get(), platform::Image()));
    platform::Image missing;
    EXPECT_FALSE(missing.load((dir / "no-such-skin.bmp").string()));
    EXPECT_FALSE(platform::attachSkinScrollbar(tree.get(), missing));
    EXPECT_FALSE(platform::attachSkinScrollbar(tree.get(), loadedSheet(dir, flatSheet().copy(0, 0, 60, 60))));
    EXPECT_FALSE(platform::attachSkinScrollbar(nullptr, skin));
    QWidget notAView;
    EXPECT_FALSE(platform::attachSkinScrollbar(&notAView, skin));
    EXPECT_EQ(tree->verticalScrollBar(), plain);
    EXPECT_FALSE(platform::hasSkinScrollbar(tree.get()));
    EXPECT_FALSE(tree->grab().isNull());
}

TEST_F(SkinnedTree, DetachGivesPlainBarsBackAndTextViewsTakeTheSkinToo)
{
    ASSERT_TRUE(platform::attachSkinScrollbar(tree.get(), skin));
    tree->verticalScrollBar()->setValue(7);
    ASSERT_TRUE(platform::detachSkinScrollbar(tree.get()));
    EXPECT_EQ(qobject_cast<SkinScrollBar*>(tree->verticalScrollBar()), nullptr);
    EXPECT_EQ(tree->verticalScrollBar()->value(), 7);
    EXPECT_FALSE(platform::detachSkinScrollbar(tree.get()));
    EXPECT_TRUE(platform::attachSkinScrollbar(tree.get(), skin)) << "a detached view can be skinned again";

    QPlainTextEdit text;
    text.setPlainText(QString("line\n").repeated(400));
    text.resize(200, 120);
    text.show();
    ASSERT_TRUE(platform::attachSkinScrollbar(&text, skin));
    EXPECT_NE(qobject_cast<SkinScrollBar*>(text.verticalScrollBar()), nullptr);
    EXPECT_EQ(text.verticalScrollBar()->grab().toImage().pixel(8, 3), cellColor(0, 0));
}

}  // namespace
