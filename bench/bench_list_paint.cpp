// Painting the list control: one screenful out of 20 rows against one out of 100,000 rows. The
// list walks only the rows in view, so the two should cost about the same; the ratio is printed at
// the end. A hit test over the same lists shows the same for the mouse.
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXListCtrl.h"
#include "platform/gui/DeviceContext.h"

#include "bench/RatioReporter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <string>

using namespace KXLib;

namespace {

constexpr RECT kListRect{0, 0, 614, 325};

// A list that draws what the program's lists draw per row: a few texts in their cells.
class TextList : public KXListCtrl {
protected:
    void drawHeaderCell(HDC dc, int column, const RECT& cell) override
    {
        dc->drawText("column " + std::to_string(column), cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0,
                     sharedFont());
    }
    void drawRow(HDC dc, int row, ListRow* entry, const RECT& rowRect) override
    {
        RECT cell;
        for (int column = 0; column < getColumnCount(); ++column) {
            if (getCellRect(row, column, cell))
                dc->drawText("/media/video/clip-" + std::to_string(entry->data) + ".mp4", cell,
                             DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, 0, sharedFont());
        }
    }
};

// A list laid out as the conversion queue is, with `rows` rows, scrolled to its middle, the row
// in the middle of the view selected (four lines high) and the one above it hot.
KXSmartPtr<TextList> makeList(int rows)
{
    KXSmartPtr<TextList> list(new TextList());
    list->setRect(kListRect);
    list->headerHeight = 20;
    list->lineHeight = 27;
    list->selectedRowLines = 4;
    for (int width : {30, 300, 75, 75, 100})
        list->insertColumn(list->getColumnCount(), width);
    for (int i = 0; i < rows; ++i)
        list->insertRow(static_cast<unsigned>(i), i);
    list->updateScrollbars();
    list->verticalScrollbar().setPos(rows / 2);
    const int middle = list->firstVisibleRow() + 4;
    list->selectRow(middle < rows ? middle : rows - 1);
    return list;
}

void loadScrollbarStrip()
{
    const auto path = std::filesystem::temp_directory_path() / "lumaret-bench-scrollbar.png";
    platform::Image strip(92, 62, 0xFF808080);
    strip.save(path.string());
    KXScrollbar::loadScrollbarImage(path.string(), SIZE{15, 15});
    std::filesystem::remove(path);
}

void BM_ListPaint(benchmark::State& state)
{
    auto list = makeList(static_cast<int>(state.range(0)));
    platform::DeviceContext dc(kListRect);
    for (auto _ : state) {
        list->draw(&dc);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ListPaint)->Arg(20)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ListHitTest(benchmark::State& state)
{
    auto list = makeList(static_cast<int>(state.range(0)));
    int row = -1;
    int y = kListRect.top;
    for (auto _ : state) {
        y = y + 7 < kListRect.bottom ? y + 7 : kListRect.top;
        benchmark::DoNotOptimize(list->hitTestRow(POINT{100, y}, row));
    }
}
BENCHMARK(BM_ListHitTest)->Arg(20)->Arg(100000);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    loadScrollbarStrip();
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"BM_ListPaint", {"20", "100000"}}, {"BM_ListHitTest", {"20", "100000"}}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
