// Files dropped from a file manager reach the window as WM_DROPFILES with their local paths; drags
// without a local file are refused.
#include "platform/gui/FileDropTarget.h"
#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Page : public platform::WindowListener {
public:
    void onPaint(platform::DeviceContext&) override {}
    bool onMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == WM_DROPFILES)
            drops.push_back(platform::FileDropTarget::droppedFiles(wParam));
        return true;
    }
    std::vector<std::vector<std::string>> drops;
};

QMimeData* uriList(const QList<QUrl>& urls)
{
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

bool enter(QWidget* widget, const QMimeData* mime)
{
    QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

bool drop(QWidget* widget, const QMimeData* mime)
{
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

TEST(FileDropTargetTest, LocalFilesArriveInOrderAndRemoteOnesAreLeftOut)
{
    Page page;
    platform::Window window(platform::Window::Kind::TopLevel, &page);
    EXPECT_FALSE(platform::FileDropTarget::isEnabled(window));
    platform::FileDropTarget::enable(window);
    platform::FileDropTarget::enable(window);
    EXPECT_TRUE(platform::FileDropTarget::isEnabled(window));
    QWidget* widget = platform::widgetOf(window);

    std::unique_ptr<QMimeData> files(uriList({QUrl::fromLocalFile("/home/u/视频 1.avi"),
                                              QUrl(QStringLiteral("https://example.org/clip.mp4")),
                                              QUrl::fromLocalFile("/home/u/b.mkv")}));
    EXPECT_TRUE(enter(widget, files.get()));
    EXPECT_TRUE(drop(widget, files.get()));
    ASSERT_EQ(page.drops.size(), 1u);
    EXPECT_EQ(page.drops[0], (std::vector<std::string>{"/home/u/视频 1.avi", "/home/u/b.mkv"}));

    std::unique_ptr<QMimeData> remote(uriList({QUrl(QStringLiteral("https://example.org/clip.mp4"))}));
    EXPECT_FALSE(enter(widget, remote.get()));
    auto text = std::make_unique<QMimeData>();
    text->setText(QStringLiteral("/home/u/a.avi"));
    EXPECT_FALSE(enter(widget, text.get()));
    EXPECT_FALSE(drop(widget, remote.get()));
    EXPECT_EQ(page.drops.size(), 1u);
}

}  // namespace
