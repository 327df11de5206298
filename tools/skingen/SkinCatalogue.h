#pragma once
// Every picture of the skin: the files the programs load from their image/ folder, with their exact
// pixel sizes and frame layouts. The skin generator paints from this table and refuses to write a
// picture whose size differs from its row; the skin tests check the built folder against it. No Qt
// here, so tests and tools of any layer can read it.
#include <array>
#include <string_view>

namespace skingen {

enum class FileFormat { Png, Bmp24, Gif, Ico };

// How the frames of a picture are laid out.
enum class Layout {
    Single,     // one picture
    Strip,      // frames side by side: normal, hover (or highlighted), pressed (or checked), disabled
    Cells,      // equal cells side by side, picked by index (icon lists)
    Grid,       // a sheet of parts at fixed places (the two scroll-bar sheets)
    Animation,  // GIF frames of frameWidth x frameHeight, each with its own delay
    IconSizes,  // an icon container holding the same picture at several sizes
};

struct SkinFile {
    std::string_view name;  // file name inside image/
    FileFormat format;
    Layout layout;
    int width;        // whole picture, pixels
    int height;
    int frameWidth;   // one frame, cell or part
    int frameHeight;
    int frames;       // frames, cells, animation frames or icon sizes
    std::string_view use;
};

// Cell sizes of the two scroll-bar sheets and of the profile-type icon list.
inline constexpr int kListScrollPart = 15;   // scrollbar2.png parts are 15 x 15
inline constexpr int kScrollSkinPitch = 19;  // lumaret-scrollskin.bmp: 6 x 6 cells, 19 pixels apart
inline constexpr int kScrollSkinCell = 16;   // each cell's picture is 16 x 16
inline constexpr int kProfileIconCount = 53; // cell 0 category, cell t + 1 conversion type t
// The busy animation's frame count and delay (hundredths of a second per frame).
inline constexpr int kBusyFrames = 12;
inline constexpr int kBusyDelay = 8;
// The sizes inside lumaret.ico, smallest first.
inline constexpr std::array<int, 4> kIconSizes{16, 32, 48, 256};

inline constexpr std::array kSkinFiles{
    // Main window.
    SkinFile{"lumaret-back.png", FileFormat::Png, Layout::Single, 628, 96, 628, 96, 1,
             "main window header decoration, alpha-blended at (0, 0) over the skin-colour gradients"},
    SkinFile{"sysbutton_close.png", FileFormat::Png, Layout::Strip, 148, 18, 37, 18, 4,
             "main window close button over the title band"},
    SkinFile{"sysbutton_min.png", FileFormat::Png, Layout::Strip, 108, 18, 27, 18, 4,
             "main window minimise button"},
    SkinFile{"sysbutton_menu.png", FileFormat::Png, Layout::Strip, 108, 18, 27, 18, 4,
             "main window hide-to-tray button"},
    SkinFile{"lumaret-movie.png", FileFormat::Png, Layout::Strip, 296, 68, 74, 68, 4,
             "\"convert\" tab; caption drawn by the control at (23, 50); checked shows frame 2"},
    SkinFile{"lumaret-profile.png", FileFormat::Png, Layout::Strip, 296, 68, 74, 68, 4, "\"profile\" tab"},
    SkinFile{"lumaret-set.png", FileFormat::Png, Layout::Strip, 296, 68, 74, 68, 4, "\"option\" tab"},
    SkinFile{"lumaret-about.png", FileFormat::Png, Layout::Strip, 296, 68, 74, 68, 4, "\"about\" tab"},
    SkinFile{"lumaret-accept.png", FileFormat::Png, Layout::Strip, 96, 24, 24, 24, 4, "page toolbar: accept"},
    SkinFile{"lumaret-return.png", FileFormat::Png, Layout::Strip, 96, 24, 24, 24, 4, "page toolbar: return"},
    SkinFile{"lumaret-add.png", FileFormat::Png, Layout::Strip, 96, 24, 24, 24, 4, "page toolbar: add"},
    SkinFile{"lumaret-del.png", FileFormat::Png, Layout::Strip, 96, 24, 24, 24, 4, "page toolbar: delete"},
    SkinFile{"lumaret-color.png", FileFormat::Png, Layout::Strip, 72, 18, 18, 18, 4,
             "opens the skin colour pop-up"},
    SkinFile{"lumaret-add-tip.png", FileFormat::Png, Layout::Single, 44, 44, 44, 44, 1,
             "marker left of the status line in the toolbar band, alpha-blended"},
    SkinFile{"scrollbar2.png", FileFormat::Png, Layout::Grid, 90, 62, kListScrollPart, kListScrollPart, 24,
             "list scroll bars: arrows (rows 0-1), thumbs with 2-pixel caps (row 2), tracks (row 3, stretched)"},
    SkinFile{"lumaret.ico", FileFormat::Ico, Layout::IconSizes, 256, 256, 16, 16, int(kIconSizes.size()),
             "window, tray and caption icon (drawn 16 x 16); PNG entries 16, 32, 48, 256"},

    // Conversion page and queue.
    SkinFile{"lumaret-btn.png", FileFormat::Png, Layout::Strip, 276, 21, 69, 21, 4,
             "text button; caption drawn by the control in 0x301C00 / 0x808080"},
    SkinFile{"lumaret-btn2.png", FileFormat::Png, Layout::Strip, 276, 21, 69, 21, 4,
             "the emphasised start / stop button"},
    SkinFile{"lumaret-btn-menu.png", FileFormat::Png, Layout::Strip, 80, 21, 20, 21, 4,
             "drop-down beside the start button (priority and shutdown menu)"},
    SkinFile{"lumaret-wait.png", FileFormat::Png, Layout::Single, 20, 20, 20, 20, 1, "row status: waiting"},
    SkinFile{"lumaret-error.png", FileFormat::Png, Layout::Single, 20, 20, 20, 20, 1, "row status: failed"},
    SkinFile{"lumaret-complete.png", FileFormat::Png, Layout::Single, 20, 20, 20, 20, 1, "row status: done"},
    SkinFile{"lumaret-process.gif", FileFormat::Gif, Layout::Animation, 20, 20, 20, 20, kBusyFrames,
             "row status: converting; looping animation, transparent background"},
    SkinFile{"lumaret-logo.png", FileFormat::Png, Layout::Single, 176, 176, 176, 176, 1,
             "empty conversion list at (220, 70); about box scales it to 96 x 96"},

    // Add-files page, profile pages.
    SkinFile{"lumaret-config.png", FileFormat::Png, Layout::Strip, 88, 22, 22, 22, 4,
             "edit the chosen profile (add-files page)"},
    SkinFile{"lumaret-imagelist.bmp", FileFormat::Bmp24, Layout::Cells, 848, 16, 16, 16, kProfileIconCount,
             "profile-type icons: cell 0 category, cell t + 1 type t; property rows and the tree image "
             "lists (white 0xFFFFFF is the mask colour)"},

    // Message box and about box.
    SkinFile{"sysbutton_close_s.png", FileFormat::Png, Layout::Strip, 148, 18, 37, 18, 4,
             "dialog close button over the light caption strip"},
    SkinFile{"info.png", FileFormat::Png, Layout::Single, 32, 32, 32, 32, 1, "message box: information"},
    SkinFile{"error.png", FileFormat::Png, Layout::Single, 32, 32, 32, 32, 1, "message box: error"},
    SkinFile{"question.png", FileFormat::Png, Layout::Single, 32, 32, 32, 32, 1, "message box: question"},
    SkinFile{"lumaret-text.png", FileFormat::Png, Layout::Single, 160, 40, 160, 40, 1,
             "about box word mark at (105, 22)"},

    // Skin colour pop-up.
    SkinFile{"lumaret-skin0.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin0"},
    SkinFile{"lumaret-skin1.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin1"},
    SkinFile{"lumaret-skin2.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin2"},
    SkinFile{"lumaret-skin3.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin3"},
    SkinFile{"lumaret-skin4.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin4"},
    SkinFile{"lumaret-skin5.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin5"},
    SkinFile{"lumaret-skin6.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin6"},
    SkinFile{"lumaret-skin7.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin7"},
    SkinFile{"lumaret-skin8.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin8"},
    SkinFile{"lumaret-skin9.png", FileFormat::Png, Layout::Strip, 120, 30, 30, 30, 4, "preset swatch skin9"},
    SkinFile{"adj-hue.bmp", FileFormat::Bmp24, Layout::Single, 124, 8, 124, 8, 1,
             "hue slider track (slider 124 x 14, no margins), copied as it is"},
    SkinFile{"adj-sum.bmp", FileFormat::Bmp24, Layout::Single, 124, 8, 124, 8, 1, "saturation slider track"},
    SkinFile{"adj-lum.bmp", FileFormat::Bmp24, Layout::Single, 124, 8, 124, 8, 1, "luminosity slider track"},
    SkinFile{"adj-thumb.png", FileFormat::Png, Layout::Single, 11, 14, 11, 14, 1,
             "thumb of the three sliders, alpha-blended"},

    // Skinned scroll bars of the native tree and text views.
    SkinFile{"lumaret-scrollskin.bmp", FileFormat::Bmp24, Layout::Grid, 114, 114, kScrollSkinCell,
             kScrollSkinCell, 36,
             "native view scroll bars: columns arrow 1, arrow 2, thumb body (4-pixel caps, 8-pixel middle), "
             "grip, track; rows vertical normal/hot/pressed then horizontal; size box copied from (38, 57)"},

    // Uninstaller.
    SkinFile{"uninstall-btn.png", FileFormat::Png, Layout::Strip, 276, 21, 69, 21, 4,
             "uninstaller start and cancel buttons"},
    SkinFile{"uninstall-close.png", FileFormat::Png, Layout::Strip, 148, 18, 37, 18, 4,
             "uninstaller close button"},
};

// Whether a picture also comes painted at twice the size, as "name@2x.png" (or .bmp), for screens
// with a device-pixel ratio of 2: every PNG and BMP but the profile-type icon list, whose cells the
// native tree cuts by pixel and whose pixel-font labels are drawn for exactly 16 pixels.
constexpr bool hasDoubleSizeTwin(const SkinFile& entry)
{
    return entry.format == FileFormat::Png ||
           (entry.format == FileFormat::Bmp24 && entry.name != "lumaret-imagelist.bmp");
}

}  // namespace skingen
