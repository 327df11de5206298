#include "kxlib/ui/KXDraw.h"

#include "kxlib/ui/KXDirectUI.h"
#include "kxlib/ui/KXPalette.h"
#include "platform/gui/DeviceContext.h"
#include "platform/core/EmbeddedResource.h"
#include "platform/core/Paths.h"

#include <filesystem>

namespace KXLib {

void drawLine(HDC dc, COLORREF color, int x1, int y1, int x2, int y2)
{
    dc->line(color, x1, y1, x2, y2);
}

void drawRect(HDC dc, COLORREF penColor, COLORREF fillColor, bool hollow, int x1, int y1, int x2, int y2)
{
    dc->rectangle(penColor, fillColor, hollow, x1, y1, x2, y2);
}

void drawRoundRect(HDC dc, COLORREF fillColor, bool hollow, int left, int top, int right, int bottom)
{
    dc->roundRect(palette::kFrame, fillColor, hollow, RECT{left, top, right, bottom}, 12, 12);
}

void gradientFill(HDC dc, COLORREF firstColor, COLORREF secondColor, bool vertical, int left, int top, int right,
                  int bottom)
{
    dc->gradient(RECT{left, top, right, bottom}, firstColor, secondColor, vertical);
}

bool loadImage(platform::Image& image, const std::string& path, bool premultiply)
{
    std::filesystem::path file(path);
    if (file.is_relative() && !platform::EmbeddedResource::isEmbedded(path))
        file = platform::Paths::programDirectory() / file;
    platform::Image loaded;
    if (!loaded.load(file.string()))
        return false;
    if (premultiply)
        loaded.premultiply();
    image = std::move(loaded);
    return true;
}

int stripFrame(int state, bool checked)
{
    if (state & KXDirectUI::kDisabled)
        return 3;
    if ((state & KXDirectUI::kPressed) || checked)
        return 2;
    if (state & (KXDirectUI::kHover | KXDirectUI::kHighlighted))
        return 1;
    return 0;
}

const platform::Font& sharedFont()
{
    static const platform::Font font = platform::Font::standard();
    return font;
}

}  // namespace KXLib
