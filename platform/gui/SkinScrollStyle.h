#pragma once
// The look of the scroll bars of native views (tree views, text views, list widgets), painted from
// the scroll-bar skin sheet: 6 x 6 cells at a 19-pixel pitch, each picture 16 x 16.
//   columns: 0 first arrow (up / left), 1 second arrow (down / right), 2 thumb body (4-pixel caps at
//            both ends, an 8-pixel middle from offset 4 repeated), 3 thumb grip (centred on thumbs
//            longer than 24 pixels), 4 track (stretched; row 0 vertical, row 3 horizontal)
//   rows:    0, 1, 2 vertical bar normal, hot, pressed; 3, 4, 5 horizontal bar the same
// The corner between two bars is copied from (38, 57). Everything else is left to the application
// style. Window thread only. Install it with attachSkinScrollbar() (SkinScrollbars.h), which also
// gives the view scroll bars with the skin's auto-repeat timing.
#include <QImage>
#include <QProxyStyle>
#include <QStyleOptionSlider>

namespace platform {

class SkinScrollStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int kPitch = 19;
    static constexpr int kCell = 16;
    static constexpr int kSheetSize = 6 * kPitch;  // 114
    static constexpr int kMinThumb = 10;
    static constexpr int kGripThreshold = 24;

    // skin: the sheet; must be at least 114 x 114 (see isUsableSkin()). A sheet drawn at twice
    // the size (device-pixel ratio 2) is cut at the same cells and draws sharper on such screens.
    explicit SkinScrollStyle(const QImage& skin);

    static bool isUsableSkin(const QImage& skin);

    // Scroll-bar geometry follows the skin: arrows of the cell size at both ends, the track between,
    // the thumb sized to the visible share of the content but at least kMinThumb.
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& pos, const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

    // The sheet cell of a part: state 0 normal, 1 hot, 2 pressed.
    static QRect cell(int column, bool horizontal, int state);

private:
    struct Geometry {
        QRect firstArrow, secondArrow, track, thumb;
        bool hasThumb = false;
    };
    static Geometry geometryOf(const QStyleOptionSlider& option);
    static int partState(const QStyleOptionSlider& option, SubControl part);
    void drawThumb(QPainter* painter, const QRect& thumb, bool horizontal, int state) const;
    // A rectangle of the sheet's logical pixels in its stored pixels.
    QRectF stored(const QRect& logical) const;

    QImage skin_;
};

}  // namespace platform
