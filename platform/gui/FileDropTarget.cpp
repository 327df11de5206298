#include "platform/gui/FileDropTarget.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace platform {

namespace {

constexpr const char* kWatchName = "lumaret.fileDrops";

std::vector<std::string> localFiles(const QMimeData* mime)
{
    std::vector<std::string> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.push_back(toUtf8(url.toLocalFile()));
    return paths;
}

// Accepts drags that carry local files and hands their paths to the window's listener.
class DropWatch : public QObject {
public:
    DropWatch(Window& window, QWidget* widget) : QObject(widget), window_(window) { setObjectName(kWatchName); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (localFiles(drag->mimeData()).empty())
                drag->ignore();
            else
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const std::vector<std::string> paths = localFiles(drop->mimeData());
            if (paths.empty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            window_.send(WM_DROPFILES, reinterpret_cast<WPARAM>(&paths), 0);
            return true;
        }
        default: return false;
        }
    }

private:
    Window& window_;
};

}  // namespace

void FileDropTarget::enable(Window& window)
{
    QWidget* widget = widgetOf(window);
    if (!widget || isEnabled(window))
        return;
    widget->setAcceptDrops(true);
    widget->installEventFilter(new DropWatch(window, widget));
}

bool FileDropTarget::isEnabled(Window& window)
{
    QWidget* widget = widgetOf(window);
    return widget && widget->findChild<QObject*>(kWatchName, Qt::FindDirectChildrenOnly) != nullptr;
}

}  // namespace platform
