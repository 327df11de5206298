#include "platform/SkinScrollBar.h"

namespace platform {

SkinScrollBar::SkinScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    setAttribute(Qt::WA_Hover, true);
}

void SkinScrollBar::retime(SliderAction before, int firstDelay)
{
    // The toolkit has just started (or restarted) its repeat timer with its own delays; start it
    // again with ours. The step that comes with the press has already been taken.
    const SliderAction now = repeatAction();
    if (now == SliderNoAction || now == before)
        return;
    setRepeatAction(now, firstDelay, kRepeatIntervalMs);
    lastFirstDelay_ = firstDelay;
    lastRepeatInterval_ = kRepeatIntervalMs;
}

void SkinScrollBar::mousePressEvent(QMouseEvent* event)
{
    const SliderAction before = repeatAction();
    QScrollBar::mousePressEvent(event);
    retime(before, kFirstRepeatDelayMs);
}

void SkinScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    // Coming back over the held part resumes the repeating at once at its running pace.
    const SliderAction before = repeatAction();
    QScrollBar::mouseMoveEvent(event);
    retime(before, kRepeatIntervalMs);
}

}  // namespace platform
