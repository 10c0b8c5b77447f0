#include "lrdesign.h"

#include "lrtypes.h"

namespace {

// k-th half centimetre of the page in design units.
int HalfCentimetre(int k) {
    return static_cast<int>(k * DotsPer100mm / 20.0);
}

} // namespace

void DrawDesignGrid(TCanvas& canvas, int width, int height, int left, int top) {
    canvas.Pen.Color = clSilver;
    canvas.Pen.Width = 1;
    for (int k = 0;; ++k) {
        const int x = -left + HalfCentimetre(k);
        if (x >= width)
            break;
        if (x > 0) {
            canvas.Pen.Style = k % 2 == 0 ? psSolid : psDot;
            canvas.MoveTo(x, 0);
            canvas.LineTo(x, height - 1);
        }
    }
    for (int k = 0;; ++k) {
        const int y = -top + HalfCentimetre(k);
        if (y >= height)
            break;
        if (y > 0) {
            canvas.Pen.Style = k % 2 == 0 ? psSolid : psDot;
            canvas.MoveTo(0, y);
            canvas.LineTo(width - 1, y);
        }
    }
    canvas.Pen.Style = psSolid;
}

void DrawDesignFrame(TCanvas& canvas, int width, int height, TColor color) {
    canvas.Pen.Color = color;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psDot;
    canvas.Polyline({{0, 0}, {width - 1, 0}, {width - 1, height - 1}, {0, height - 1}, {0, 0}});
    canvas.Pen.Style = psSolid;
}
