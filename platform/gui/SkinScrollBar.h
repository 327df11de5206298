#pragma once
// The scroll bar that attachSkinScrollbar() gives a native view: a plain scroll bar whose held
// arrows and track repeat after 300 ms and then every 40 ms, as the skinned bars of the desktop
// program always did, instead of the toolkit's 500 ms and 50 ms. Repeating stops while the mouse
// is off the pressed part and resumes at the 40 ms pace when it comes back. Hover is tracked so the
// skin can show hot parts; while a part is held nothing is hot, so a pressed part the mouse has
// left draws normal. The second press of a double click is swallowed, as the skinned bars of the
// desktop program did: a double click on an arrow steps once, not twice. Window thread only.
#include <QScrollBar>

namespace platform {

class SkinScrollBar : public QScrollBar {
    Q_OBJECT
public:
    static constexpr int kFirstRepeatDelayMs = 300;
    static constexpr int kRepeatIntervalMs = 40;

    explicit SkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The delays handed to the repeat timer by the last press or re-entry (0, 0 before any).
    int lastFirstDelay() const { return lastFirstDelay_; }
    int lastRepeatInterval() const { return lastRepeatInterval_; }
    // The action being repeated (none while nothing is held or the mouse is off the part).
    SliderAction heldAction() { return repeatAction(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void initStyleOption(QStyleOptionSlider* option) const override;

private:
    void retime(SliderAction before, int firstDelay);

    int lastFirstDelay_ = 0;
    int lastRepeatInterval_ = 0;
    bool held_ = false;  // the left button went down on the bar and is not up yet
};

}  // namespace platform
