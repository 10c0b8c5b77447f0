// Two renderings of one page compared pixel for pixel, allowing for what two rasterisers do
// differently (the grey levels of anti-aliased edges, an edge rounded to the next pixel).
#pragma once

#include <algorithm>
#include <cstdlib>

#include <QImage>
#include <QRect>

namespace testing_support {

struct TPageDifference {
    /// Pixels of `area` more than the threshold apart from the other rendering, with no
    /// neighbour within `reach` pixels that is closer.
    int Pixels = 0;
    /// The mean of the largest channel difference over the whole area, 0..255.
    double MeanLevel = 0;
};

inline TPageDifference ComparePages(const QImage& a, const QImage& b, const QRect& area,
                                    int threshold = 96, int reach = 1) {
    TPageDifference d;
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const auto distance = [p](QRgb q) {
                return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                 std::abs(qBlue(p) - qBlue(q))});
            };
            const int here = distance(b.pixel(x, y));
            sum += here;
            if (here <= threshold)
                continue;
            bool near = false;
            for (int dy = -reach; dy <= reach && !near; ++dy)
                for (int dx = -reach; dx <= reach && !near; ++dx)
                    near = b.rect().contains(x + dx, y + dy) &&
                           distance(b.pixel(x + dx, y + dy)) <= threshold;
            d.Pixels += !near;
        }
    d.MeanLevel = sum / (double(area.width()) * area.height());
    return d;
}

} // namespace testing_support
