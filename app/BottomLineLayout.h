#pragma once
// BottomLineLayout: where the main window's two bottom lines go, the profile in use at the left
// and the file count at the right. The count starts 200 pixels from the right edge when it fits
// there. A count too wide for that place (thousands of files, or a fallback font wider than the
// one the layout was drawn for) starts further left so the whole line shows; the profile line is
// shortened to make room, down to its label, and only a count wider than that is cut.
//
// Threads: any (no state).
namespace app {

class BottomLineLayout {
public:
    static constexpr int kProfileIndent = 8;     // the profile line's left, from the client's left
    static constexpr int kCountFromRight = 200;  // the count's usual left, from the client's right
    static constexpr int kGap = 4;               // between the lines, and after the count

    // Horizontal extents, left inclusive, right exclusive, in client coordinates.
    struct Placement {
        int profileLeft = 0;
        int profileRight = 0;
        int countLeft = 0;
        int countRight = 0;
    };

    // `labelWidth` is the width of the profile line's fixed label, `countWidth` that of the whole
    // count line, both in the font they are drawn in.
    static Placement place(int clientLeft, int clientRight, int labelWidth, int countWidth);
};

}  // namespace app
