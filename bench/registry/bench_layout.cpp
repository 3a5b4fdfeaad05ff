// Layout pictures: drawing a fresh grid and a click (GUI thread), the stored form written on save
// (on the save worker) and read back when the page shows a layout (GUI thread), for the common
// block sizes.
//   bench_layout [repeats]   (default 20; run with QT_QPA_PLATFORM=offscreen)

#include "registry/LayoutDrawing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The median of repeats runs, in milliseconds (the machine may be busy with other work).
template<class F>
double median(int repeats, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, QString::fromLatin1(argv[1]).toInt()) : 20;
    std::printf("%-22s %9s %9s %9s %9s %9s %10s\n", "block", "grid ms", "click ms", "encode ms", "show ms",
                "scale ms", "stored kB");
    const std::vector<std::pair<int, int>> blocks = {{12, 8}, {24, 16}, {48, 32}};
    for (const auto &[columns, rows] : blocks) {
        LayoutSketch sketch;
        const double grid = median(repeats, [&] { sketch.reset(columns, rows); });
        // Every other well marked, as a dense layout would be.
        for (int i = 0; i < sketch.grid().wellCount(); i += 2)
            sketch.setMarked(i, true);
        const QPoint c = sketch.grid().centres.first();
        const double click = median(repeats, [&] { sketch.toggleAt(c.x(), c.y()); });
        Tool::Struct_Layout record;
        const double save = median(repeats, [&] { record = sketch.record(QStringLiteral("bench")); });
        QPixmap shown;
        const double show =
            median(repeats, [&] { shown = QPixmap::fromImage(LayoutDrawing::decodePicture(record.Image)); });
        const double scale = median(repeats, [&] {
            shown.scaled(QSize(620, 560), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        });
        std::printf("%2d x %-2d (%4d wells)    %9.1f %9.2f %9.1f %9.1f %9.1f %10.1f\n", columns, rows,
                    sketch.grid().wellCount(), grid, click, save, show, scale, record.Image.size() / 1024.0);
    }
    return 0;
}
