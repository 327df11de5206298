// A full repaint of the control gallery window, which holds every kind of control at once: the
// custom-drawn part (background, texts, every control, the list) painted into one off-screen
// surface, as each repaint of a window does; and the whole window rendered by the toolkit, which
// adds the native tree view with its skinned scroll bars.
#include "platform/gui/DeviceContext.h"
#include "platform/core/Paths.h"
#include "platform/gui/QtBridge.h"
#include "tools/gallery/GalleryWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// The gallery lives in main(), between the application object's birth and death: its windows are
// toolkit widgets, which must be destroyed while the application object still exists. (A static
// gallery outlived it and crashed the program on its way out.)
gallery::GalleryWindow* g_gallery = nullptr;

gallery::GalleryWindow& theGallery() { return *g_gallery; }

void BM_GalleryCustomPaint(benchmark::State& state)
{
    auto& window = theGallery();
    for (auto _ : state) {
        platform::DeviceContext dc(RECT{0, 0, gallery::GalleryWindow::kWidth, gallery::GalleryWindow::kHeight});
        window.onPaint(dc);
        benchmark::DoNotOptimize(dc.pixel(10, 10));
    }
}
BENCHMARK(BM_GalleryCustomPaint)->Unit(benchmark::kMillisecond);

void BM_GalleryWholeWindowRender(benchmark::State& state)
{
    QWidget* widget = platform::widgetOf(theGallery().window());
    for (auto _ : state) {
        const QPixmap picture = widget->grab();
        benchmark::DoNotOptimize(picture.cacheKey());
    }
}
BENCHMARK(BM_GalleryWholeWindowRender)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The skin is found beside the program, as the gallery itself finds it.
    std::filesystem::current_path(platform::Paths::programDirectory());
    {
        gallery::GalleryWindow gallery;
        g_gallery = &gallery;
        gallery.show(0, 0);
        QApplication::processEvents();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        g_gallery = nullptr;
    }
    return 0;
}
