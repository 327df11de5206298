#include "platform/gui/SkinScrollBar.h"

#include <QMouseEvent>
#include <QStyleOptionSlider>

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
    if (event->button() == Qt::LeftButton)
        held_ = true;
    QScrollBar::mousePressEvent(event);
    retime(before, kFirstRepeatDelayMs);
}

void SkinScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        held_ = false;
    QScrollBar::mouseReleaseEvent(event);
}

void SkinScrollBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The toolkit would take the double click as one more press; the release that follows it
    // finds nothing pressed and does nothing either.
    event->accept();
}

void SkinScrollBar::initStyleOption(QStyleOptionSlider* option) const
{
    QScrollBar::initStyleOption(option);
    // While a part is held the toolkit names it as the active part even with the mouse off it;
    // the skin would then draw it hot. Hot belongs to the part under a free mouse only.
    if (held_)
        option->state &= ~QStyle::State_MouseOver;
}

void SkinScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    // Coming back over the held part resumes the repeating at once at its running pace.
    const SliderAction before = repeatAction();
    QScrollBar::mouseMoveEvent(event);
    retime(before, kRepeatIntervalMs);
}

}  // namespace platform
