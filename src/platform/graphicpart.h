// Cutting a part out of a decoded picture for drawing it at a given size: which whole pixels of
// the decoding hold the part, how far they are averaged down, and where the part then lies in
// them. Every picture format cuts its parts by this one plan, so that a part decoded alone
// and the same part cut out of a whole decoding come out pixel for pixel the same.
#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

struct TGraphicPartPlan {
    QRect Region;  // whole pixels of the decoding around the part; empty when it misses
    QSize Out;     // Region's size averaged down (Region's own size when not reduced)
    QRectF Source; // where the part lies in those Out pixels
};

/// Plans `part` of a picture of `seen` pixels (as seen, the coordinates of `part`) from a
/// decoding of it at `decoded` pixels, for drawing at about `size`: reduced so that the part
/// comes to about `size`, never enlarged.
TGraphicPartPlan PlanGraphicPart(const QSizeF& seen, const QSize& decoded, const QRectF& part,
                                 const QSize& size);

/// The pixels `region` of `decoded` averaged down to `out` (copied when `out` is the region's
/// own size), as 32-bit RGB.
QImage ReduceGraphicRegion(const QImage& decoded, const QRect& region, const QSize& out);
