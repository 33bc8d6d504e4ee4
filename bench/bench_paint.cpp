// Full repaints of the section view at full-HD size: a block at the table's
// limits (100 points, 100 segments) with the grid on, fitted and zoomed far
// out. Prints median and 95th percentile per repaint.
#include "view/sectionpainter.h"
#include "view/viewstate.h"

#include "benchblocks.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kWarmUp = 20;
constexpr int kRuns = 400;

// The ragged 100-gon with its centre of gravity.
BlkRec raggedBlock()
{
    BlkRec b;
    raggedOutline(b);
    b.Gx = 6;
    b.Gy = 3.5;
    return b;
}

struct Figures
{
    double median = 0;
    double p95 = 0;
};

Figures measure(QImage::Format format, const ViewState& v, const BlkRec& b,
                const std::function<void(QPainter&)>& setup)
{
    QImage img(kWidth, kHeight, format);
    SectionPainter::Options opt;
    opt.grid = true;
    std::vector<double> ms;
    ms.reserve(kRuns);
    for (int i = 0; i < kWarmUp + kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        QPainter p(&img);
        if (setup)
            setup(p);
        SectionPainter::paint(p, img.size(), v, b, opt);
        p.end();
        const double elapsed = t.nsecsElapsed() / 1e6;
        if (i >= kWarmUp)
            ms.push_back(elapsed);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 95 / 100)]};
}

// target 0: a figure for comparison only.
void report(const char* scene, const char* format, const char* path, double target,
            const Figures& f)
{
    std::printf("%-21s %-28s %-13s median %6.3f ms  p95 %6.3f ms", scene, format, path, f.median,
                f.p95);
    if (target > 0)
        std::printf("  (target median <= %.0f ms: %s)", target,
                    f.median <= target ? "met" : "MISSED");
    else
        std::printf("  (for comparison)");
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const BlkRec b = raggedBlock();
    ViewState fit;
    fit.Gz_xmax = kWidth;
    fit.Gz_ymax = kHeight;
    Mk_Dan_xyminmax(fit, b);
    Mk_Dan_scl(fit);
    ViewState out = fit;
    for (int i = 0; i < 200; ++i)
        Set_Dan_scl(out, 1, fit.Dan_xc, fit.Dan_yc);
    ViewState dense = fit; // the densest 1 m grid: 3 px apart
    while (dense.Dan_scl * 0.75 >= 3)
        Set_Dan_scl(dense, 1, fit.Dan_xc, fit.Dan_yc);

    std::printf("bench_paint: %d x %d, %d points, %d segments, grid on; %d repaints each\n", kWidth,
                kHeight, int(b.PntCnt), int(b.LineCnt), kRuns);
    std::printf("fitted %.1f px/m, zoomed out 200 steps %.3g px/m (grid every %.3g m), "
                "densest 1 m grid %.2f px/m\n",
                fit.Dan_scl, out.Dan_scl, SectionPainter::gridStep(out.Dan_scl), dense.Dan_scl);

    // Painting into a plain QImage (what the drawing area does) lets the grid
    // write the image's pixels; the targets apply to that. A clip of the whole
    // image sends the grid through QPainter's dashed lines instead, as on any
    // other device (a widget, or an image with a device pixel ratio).
    const std::function<void(QPainter&)> direct;
    const std::function<void(QPainter&)> viaPainter = [](QPainter& p) {
        p.setClipRect(QRect(0, 0, kWidth, kHeight));
    };
    const struct
    {
        const char* name;
        QImage::Format format;
    } formats[] = {{"Format_RGB32", QImage::Format_RGB32},
                   {"Format_ARGB32_Premultiplied", QImage::Format_ARGB32_Premultiplied}};
    const struct
    {
        const char* name;
        const ViewState* view;
        double target;
    } scenes[] = {
        {"fitted", &fit, 2}, {"zoomed out 200 steps", &out, 5}, {"densest 1 m grid", &dense, 5}};

    for (const auto& s : scenes) {
        for (const auto& f : formats) {
            report(s.name, f.name, "image pixels", s.target, measure(f.format, *s.view, b, direct));
            report(s.name, f.name, "QPainter", 0, measure(f.format, *s.view, b, viaPainter));
        }
    }
    return 0;
}
