#include "platform/gui/TooltipText.h"

#include "platform/gui/QtBridge.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStringList>
#include <QStyle>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

namespace platform {

namespace {

// One paragraph (no '\n' in it) broken into lines of at most `maxWidth` pixels.
QStringList wrapParagraph(const QString& paragraph, const QFont& font, int maxWidth)
{
    if (paragraph.isEmpty())
        return {paragraph};
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(maxWidth);
        lines.append(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

std::string wrapLines(const std::string& text, const QFont& font, int maxWidth)
{
    QStringList lines;
    for (const QString& paragraph : toQString(text).split(QLatin1Char('\n')))
        lines.append(wrapParagraph(paragraph, font, std::max(maxWidth, 1)));
    return toUtf8(lines.join(QLatin1Char('\n')));
}

}  // namespace

std::string wrapTooltipText(const std::string& text, int maxWidth)
{
    return wrapLines(text, QToolTip::font(), maxWidth);
}

std::string wrapText(const std::string& text, const Font& font, int maxWidth)
{
    return wrapLines(text, toQFont(font), maxWidth);
}

int tooltipTextWidth()
{
    // The tooltip label keeps a margin of one pixel more than its frame on each side, inside a
    // frame of that width, and rounds its width up by one pixel.
    const int frame = QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth) : 1;
    return kTooltipMaxWidth - 2 * (2 * frame + 1) - 1;
}

}  // namespace platform
