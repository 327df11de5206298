#include "platform/gui/SkinScrollbars.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/SkinScrollBar.h"
#include "platform/gui/SkinScrollStyle.h"

#include <QAbstractScrollArea>
#include <QVariant>

namespace platform {
namespace {

// The view remembers its skin style under this property; it is what marks a view as skinned.
constexpr const char* kStyleProperty = "lumaret.skinScrollStyle";

SkinScrollStyle* styleOf(const QWidget* view)
{
    if (!view)
        return nullptr;
    return qobject_cast<SkinScrollStyle*>(view->property(kStyleProperty).value<QObject*>());
}

// Swaps one bar for another; the view copies range, page, steps and position across and deletes
// the old bar.
void replaceBar(QAbstractScrollArea* area, Qt::Orientation orientation, QScrollBar* bar, QStyle* style)
{
    if (style)
        bar->setStyle(style);
    if (orientation == Qt::Vertical)
        area->setVerticalScrollBar(bar);
    else
        area->setHorizontalScrollBar(bar);
}

}  // namespace

bool attachSkinScrollbar(QWidget* view, const Image& skin)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(view);
    if (!area || skin.isNull() || !SkinScrollStyle::isUsableSkin(skin.data()->image) || styleOf(view))
        return false;
    // The style goes with the view, but only once the view and its bars are gone: widgets keep
    // using their style while they are torn down, so it is not made a child of the view.
    auto* style = new SkinScrollStyle(skin.data()->image);
    QObject::connect(area, &QObject::destroyed, style, [style] { delete style; });
    replaceBar(area, Qt::Vertical, new SkinScrollBar(Qt::Vertical), style);
    replaceBar(area, Qt::Horizontal, new SkinScrollBar(Qt::Horizontal), style);
    // The view itself paints the corner between the two bars, so it takes the style too; the
    // style leaves everything but scroll bars and that corner to the application style.
    area->setStyle(style);
    area->setProperty(kStyleProperty, QVariant::fromValue<QObject*>(style));
    return true;
}

bool detachSkinScrollbar(QWidget* view)
{
    SkinScrollStyle* style = styleOf(view);
    if (!style)
        return false;
    auto* area = static_cast<QAbstractScrollArea*>(view);
    replaceBar(area, Qt::Vertical, new QScrollBar(Qt::Vertical), nullptr);
    replaceBar(area, Qt::Horizontal, new QScrollBar(Qt::Horizontal), nullptr);
    area->setStyle(nullptr);
    area->setProperty(kStyleProperty, QVariant());
    delete style;
    return true;
}

bool hasSkinScrollbar(const QWidget* view) { return styleOf(view) != nullptr; }

}  // namespace platform
