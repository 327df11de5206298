#include "platform/gui/TreeView.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/SkinScrollbars.h"

#include <QCursor>
#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeWidget>

#include <functional>

namespace platform {

namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
// The icons live on the tree widget under this property, one per strip cell.
constexpr const char* kIconsProperty = "lumaret.treeIcons";

QTreeWidgetItem* itemOf(HTREEITEM item) { return reinterpret_cast<QTreeWidgetItem*>(item); }
HTREEITEM handleOf(QTreeWidgetItem* item) { return reinterpret_cast<HTREEITEM>(item); }

QTreeWidget* treeOf(const NativeControl& control) { return static_cast<QTreeWidget*>(control.nativeWidget()); }

// One cell of the strip with the mask colour made transparent.
QPixmap maskedCell(const QImage& strip, int index, int cell, COLORREF mask)
{
    QImage image = strip.copy(index * cell, 0, cell, cell).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(GetRValue(mask), GetGValue(mask), GetBValue(mask));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == (key & 0x00FFFFFF))
                line[x] = 0;
    }
    return QPixmap::fromImage(image);
}

// Icon n: the cell of the strip, and the cell of the double-size strip when it has one, which the
// toolkit picks on screens with twice the pixels.
QIcon iconOf(const QImage& strip, const QImage& strip2x, int index, int cell, COLORREF mask)
{
    QIcon icon(maskedCell(strip, index, cell, mask));
    if ((index + 1) * cell * 2 <= strip2x.width() && strip2x.height() >= cell * 2)
        icon.addPixmap(maskedCell(strip2x, index, cell * 2, mask));
    return icon;
}

// Turns releases and double clicks on the tree's surface into the tree's click reports.
class ClickWatch : public QObject {
public:
    ClickWatch(QObject* parent, std::function<void(int)> report) : QObject(parent), report_(std::move(report)) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        const bool left = (event->type() == QEvent::MouseButtonRelease ||
                           event->type() == QEvent::MouseButtonDblClick) &&
                          static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        if (!left)
            return false;
        // The owner may destroy the tree, and this watch with it, from the report: nothing of the
        // watch is used once the report runs.
        const std::function<void(int)> report = report_;
        report(event->type() == QEvent::MouseButtonRelease ? NM_CLICK : NM_DBLCLK);
        return false;
    }

private:
    std::function<void(int)> report_;
};

}  // namespace

TreeView::TreeView(Window& window, int id)
    : NativeControl(window, id, new QTreeWidget(widgetOf(window)), FocusLoss{WM_NOTIFY, NM_KILLFOCUS}, false)
{
    QTreeWidget* tree = treeOf(*this);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setIconSize(QSize(kIconSize, kIconSize));
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->header()->setStretchLastSection(false);
    QObject* context = signalContext();
    tree->viewport()->installEventFilter(new ClickWatch(context, [this](int code) { notifyNotify(code); }));
    QObject::connect(tree, &QTreeWidget::currentItemChanged, context, [this] { notifyNotify(TVN_SELCHANGED); });
    QObject::connect(tree, &QTreeWidget::itemExpanded, context, [this] { notifyNotify(TVN_ITEMEXPANDED); });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, context, [this] { notifyNotify(TVN_ITEMEXPANDED); });
}

int TreeView::setImageStrip(const Image& strip, int cell, COLORREF mask, const Image& strip2x)
{
    QTreeWidget* tree = treeOf(*this);
    QList<QIcon> icons;
    if (!strip.isNull() && cell > 0) {
        const QImage& image = strip.data()->image;
        const QImage doubled = strip2x.isNull() ? QImage() : strip2x.data()->image;
        for (int i = 0; (i + 1) * cell <= image.width(); ++i)
            icons.push_back(iconOf(image, doubled, i, cell, mask));
    }
    imageCount_ = static_cast<int>(icons.size());
    if (!tree)
        return imageCount_;
    tree->setProperty(kIconsProperty, QVariant::fromValue(icons));
    // Items inserted earlier take their icons from the new strip.
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        setItemImage(handleOf(*it), (*it)->data(0, kImageRole).toInt());
    return imageCount_;
}

int TreeView::imageCount() const { return imageCount_; }

int TreeView::horizontalScrollRange() const
{
    const QTreeWidget* tree = treeOf(*this);
    return tree ? tree->horizontalScrollBar()->maximum() : 0;
}

HTREEITEM TreeView::insertItem(HTREEITEM parent, const std::string& text, int image, void* data)
{
    QTreeWidget* tree = treeOf(*this);
    if (!tree)
        return nullptr;
    auto* item = parent ? new QTreeWidgetItem(itemOf(parent)) : new QTreeWidgetItem(tree);
    item->setText(0, toQString(text));
    item->setData(0, kDataRole, QVariant::fromValue(reinterpret_cast<quintptr>(data)));
    setItemImage(handleOf(item), image);
    return handleOf(item);
}

void TreeView::deleteItem(HTREEITEM item) { delete itemOf(item); }

void TreeView::deleteAllItems()
{
    if (QTreeWidget* tree = treeOf(*this))
        tree->clear();
}

int TreeView::count() const
{
    int n = 0;
    if (QTreeWidget* tree = treeOf(*this))
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            ++n;
    return n;
}

std::string TreeView::itemText(HTREEITEM item) const { return item ? toUtf8(itemOf(item)->text(0)) : std::string(); }

void TreeView::setItemText(HTREEITEM item, const std::string& text)
{
    if (item)
        itemOf(item)->setText(0, toQString(text));
}

int TreeView::itemImage(HTREEITEM item) const { return item ? itemOf(item)->data(0, kImageRole).toInt() : -1; }

void TreeView::setItemImage(HTREEITEM item, int image)
{
    QTreeWidget* tree = treeOf(*this);
    if (!item || !tree)
        return;
    const QList<QIcon> icons = tree->property(kIconsProperty).value<QList<QIcon>>();
    itemOf(item)->setData(0, kImageRole, image);
    itemOf(item)->setIcon(0, image >= 0 && image < icons.size() ? icons[image] : QIcon());
}

void* TreeView::itemData(HTREEITEM item) const
{
    return item ? reinterpret_cast<void*>(itemOf(item)->data(0, kDataRole).value<quintptr>()) : nullptr;
}

void TreeView::setItemData(HTREEITEM item, void* data)
{
    if (item)
        itemOf(item)->setData(0, kDataRole, QVariant::fromValue(reinterpret_cast<quintptr>(data)));
}

HTREEITEM TreeView::parentItem(HTREEITEM item) const { return item ? handleOf(itemOf(item)->parent()) : nullptr; }

HTREEITEM TreeView::childItem(HTREEITEM item) const
{
    if (item)
        return itemOf(item)->childCount() > 0 ? handleOf(itemOf(item)->child(0)) : nullptr;
    QTreeWidget* tree = treeOf(*this);
    return tree && tree->topLevelItemCount() > 0 ? handleOf(tree->topLevelItem(0)) : nullptr;
}

HTREEITEM TreeView::nextSibling(HTREEITEM item) const
{
    QTreeWidget* tree = treeOf(*this);
    if (!item || !tree)
        return nullptr;
    QTreeWidgetItem* it = itemOf(item);
    if (QTreeWidgetItem* parent = it->parent()) {
        const int next = parent->indexOfChild(it) + 1;
        return next < parent->childCount() ? handleOf(parent->child(next)) : nullptr;
    }
    const int next = tree->indexOfTopLevelItem(it) + 1;
    return next < tree->topLevelItemCount() ? handleOf(tree->topLevelItem(next)) : nullptr;
}

void TreeView::selectItem(HTREEITEM item)
{
    QTreeWidget* tree = treeOf(*this);
    if (!tree)
        return;
    if (!item) {
        tree->setCurrentItem(nullptr);
        tree->clearSelection();
        return;
    }
    tree->setCurrentItem(itemOf(item));
    tree->scrollToItem(itemOf(item));
}

HTREEITEM TreeView::selectedItem() const
{
    QTreeWidget* tree = treeOf(*this);
    if (!tree)
        return nullptr;
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : handleOf(selected.front());
}

void TreeView::expand(HTREEITEM item, bool expanded)
{
    if (item)
        itemOf(item)->setExpanded(expanded);
}

bool TreeView::isExpanded(HTREEITEM item) const { return item && itemOf(item)->isExpanded(); }

HTREEITEM TreeView::hitTest(POINT p) const
{
    QTreeWidget* tree = treeOf(*this);
    if (!tree)
        return nullptr;
    const QPoint inViewport = tree->viewport()->mapFrom(tree, QPoint(p.x, p.y));
    return handleOf(tree->itemAt(inViewport));
}

HTREEITEM TreeView::itemAtCursor() const
{
    QTreeWidget* tree = treeOf(*this);
    if (!tree)
        return nullptr;
    const QPoint local = tree->mapFromGlobal(QCursor::pos());
    return hitTest(POINT{local.x(), local.y()});
}

RECT TreeView::itemRect(HTREEITEM item) const
{
    QTreeWidget* tree = treeOf(*this);
    if (!tree || !item)
        return RECT{};
    const QRect inViewport = tree->visualItemRect(itemOf(item));
    if (inViewport.isEmpty())
        return RECT{};
    return toRect(inViewport.translated(tree->viewport()->mapTo(tree, QPoint(0, 0))));
}

bool TreeView::attachSkinScrollbars(const Image& skin) { return attachSkinScrollbar(treeOf(*this), skin); }

}  // namespace platform
