#include "platform/gui/SkinScrollStyle.h"

#include "platform/core/WinTypes.h"

#include <QPainter>
#include <QStyleOptionSlider>

#include <algorithm>

namespace platform {
namespace {

constexpr int kCapLength = 4;
constexpr int kMiddleLength = 8;
constexpr int kFirstArrowColumn = 0;
constexpr int kSecondArrowColumn = 1;
constexpr int kBodyColumn = 2;
constexpr int kGripColumn = 3;
constexpr int kTrackColumn = 4;
const QPoint kSizeBoxOrigin(38, 57);

}  // namespace

SkinScrollStyle::SkinScrollStyle(const QImage& skin)
    : QProxyStyle(nullptr), skin_(skin.convertToFormat(QImage::Format_RGB32))
{
}

bool SkinScrollStyle::isUsableSkin(const QImage& skin)
{
    const QSizeF logical = skin.deviceIndependentSize();
    return !skin.isNull() && logical.width() >= kSheetSize && logical.height() >= kSheetSize;
}

QRectF SkinScrollStyle::stored(const QRect& logical) const
{
    const double ratio = skin_.devicePixelRatio();
    return QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio, logical.height() * ratio);
}

QRect SkinScrollStyle::cell(int column, bool horizontal, int state)
{
    const int row = (horizontal ? 3 : 0) + std::clamp(state, 0, 2);
    return QRect(column * kPitch, row * kPitch, kCell, kCell);
}

SkinScrollStyle::Geometry SkinScrollStyle::geometryOf(const QStyleOptionSlider& option)
{
    Geometry g;
    const QRect r = option.rect;
    const bool horizontal = option.orientation == Qt::Horizontal;
    const int length = horizontal ? r.width() : r.height();
    // Arrows keep the cell size unless the bar is too short for two of them.
    const int arrow = std::min(kCell, length / 2);
    if (horizontal) {
        g.firstArrow = QRect(r.left(), r.top(), arrow, r.height());
        g.secondArrow = QRect(r.right() - arrow + 1, r.top(), arrow, r.height());
        g.track = QRect(r.left() + arrow, r.top(), std::max(0, length - 2 * arrow), r.height());
    } else {
        g.firstArrow = QRect(r.left(), r.top(), r.width(), arrow);
        g.secondArrow = QRect(r.left(), r.bottom() - arrow + 1, r.width(), arrow);
        g.track = QRect(r.left(), r.top() + arrow, r.width(), std::max(0, length - 2 * arrow));
    }

    // A thumb only when there is something to scroll. Its length is the visible share of the
    // content (page out of range + page), at least kMinThumb; it must fit in the track.
    const long long span = (long long)option.maximum - option.minimum;
    const int trackLength = horizontal ? g.track.width() : g.track.height();
    if (span <= 0 || trackLength < kMinThumb)
        return g;
    const int page = std::max(option.pageStep, 0);
    int thumb = mulDiv(page, trackLength, span + page);
    thumb = std::clamp(thumb, kMinThumb, trackLength);
    const int room = trackLength - thumb;
    const int offset = std::clamp(mulDiv((long long)option.sliderPosition - option.minimum, room, span), 0, room);
    g.thumb = horizontal ? QRect(g.track.left() + offset, r.top(), thumb, r.height())
                         : QRect(r.left(), g.track.top() + offset, r.width(), thumb);
    g.hasThumb = true;
    return g;
}

QRect SkinScrollStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                                      const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !slider)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const Geometry g = geometryOf(*slider);
    const bool horizontal = slider->orientation == Qt::Horizontal;
    switch (sub) {
    case SC_ScrollBarSubLine: return g.firstArrow;
    case SC_ScrollBarAddLine: return g.secondArrow;
    case SC_ScrollBarGroove: return g.track;
    case SC_ScrollBarSlider: return g.hasThumb ? g.thumb : QRect();
    case SC_ScrollBarSubPage:
        if (!g.hasThumb)
            return QRect();
        return horizontal ? QRect(g.track.topLeft(), QPoint(g.thumb.left() - 1, g.track.bottom()))
                          : QRect(g.track.topLeft(), QPoint(g.track.right(), g.thumb.top() - 1));
    case SC_ScrollBarAddPage:
        if (!g.hasThumb)
            return QRect();
        return horizontal ? QRect(QPoint(g.thumb.right() + 1, g.track.top()), g.track.bottomRight())
                          : QRect(QPoint(g.track.left(), g.thumb.bottom() + 1), g.track.bottomRight());
    default: return QRect();
    }
}

QStyle::SubControl SkinScrollStyle::hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                                          const QPoint& pos, const QWidget* widget) const
{
    if (control != CC_ScrollBar || !qstyleoption_cast<const QStyleOptionSlider*>(option))
        return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
    for (SubControl part : {SC_ScrollBarSubLine, SC_ScrollBarAddLine, SC_ScrollBarSlider, SC_ScrollBarSubPage,
                            SC_ScrollBarAddPage}) {
        if (subControlRect(control, option, part, widget).contains(pos))
            return part;
    }
    return SC_None;
}

int SkinScrollStyle::partState(const QStyleOptionSlider& option, SubControl part)
{
    if (!(option.state & State_Enabled) || !(option.activeSubControls & part))
        return 0;
    if (option.state & State_Sunken)
        return 2;  // pressed, and the mouse is over the pressed part
    // The bar reports the pressed part as active even while the mouse is off it; then it is drawn
    // normal. A hovered part is hot.
    return (option.state & State_MouseOver) ? 1 : 0;
}

void SkinScrollStyle::drawThumb(QPainter* painter, const QRect& thumb, bool horizontal, int state) const
{
    const QRect body = cell(kBodyColumn, horizontal, state);
    const int length = horizontal ? thumb.width() : thumb.height();
    const int across = horizontal ? thumb.height() : thumb.width();
    // Drawn along the vertical axis into a scratch picture, then placed; horizontal thumbs use
    // their own (transposed) cells, so only the axis of the copies changes.
    auto piece = [&](int from, int size, int at, int count) {
        const QRect source = horizontal ? QRect(body.left() + from, body.top(), size, kCell)
                                        : QRect(body.left(), body.top() + from, kCell, size);
        const QRect target = horizontal ? QRect(thumb.left() + at, thumb.top(), count, across)
                                        : QRect(thumb.left(), thumb.top() + at, across, count);
        painter->drawImage(QRectF(target), skin_, stored(source));
    };
    const int cap = std::min(kCapLength, length / 2);
    piece(0, cap, 0, cap);
    for (int at = cap; at < length - cap; at += kMiddleLength) {
        const int n = std::min(kMiddleLength, length - cap - at);
        piece(kCapLength, n, at, n);
    }
    piece(kCell - cap, cap, length - cap, cap);
    if (length > kGripThreshold) {
        const QRect grip = cell(kGripColumn, horizontal, state);
        const QRect target = horizontal
                                 ? QRect(thumb.left() + (length - kCell) / 2, thumb.top(), kCell, across)
                                 : QRect(thumb.left(), thumb.top() + (length - kCell) / 2, across, kCell);
        painter->drawImage(QRectF(target), skin_, stored(grip));
    }
}

void SkinScrollStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !slider) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const Geometry g = geometryOf(*slider);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    // The track stretched over the whole bar first, so short bars never show the widget behind.
    painter->drawImage(QRectF(g.track), skin_, stored(cell(kTrackColumn, horizontal, 0)));
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Arrows: the cell of their state, unscaled; a bar too short for whole arrows clips them.
    painter->save();
    painter->setClipRect(g.firstArrow);
    painter->drawImage(QRectF(g.firstArrow.topLeft(), QSizeF(kCell, kCell)), skin_,
                       stored(cell(kFirstArrowColumn, horizontal, partState(*slider, SC_ScrollBarSubLine))));
    painter->setClipRect(g.secondArrow);
    painter->drawImage(QRectF(g.secondArrow.topLeft(), QSizeF(kCell, kCell)), skin_,
                       stored(cell(kSecondArrowColumn, horizontal, partState(*slider, SC_ScrollBarAddLine))));
    painter->restore();
    const bool enabled = slider->state & State_Enabled;
    if (g.hasThumb && enabled)
        drawThumb(painter, g.thumb, horizontal, partState(*slider, SC_ScrollBarSlider));
    painter->restore();
}

void SkinScrollStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (element == PE_PanelScrollAreaCorner) {
        painter->drawImage(QRectF(option->rect), skin_, stored(QRect(kSizeBoxOrigin, QSize(kCell, kCell))));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int SkinScrollStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent: return kCell;
    case PM_ScrollBarSliderMin: return kMinThumb;
    case PM_ScrollView_ScrollBarSpacing:
    case PM_ScrollView_ScrollBarOverlap: return 0;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int SkinScrollStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const
{
    switch (hint) {
    // The bars are always drawn, never overlaid; a track press pages.
    case SH_ScrollBar_Transient:
    case SH_ScrollBar_LeftClickAbsolutePosition:
    case SH_ScrollView_FrameOnlyAroundContents: return 0;
    default: return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

}  // namespace platform
