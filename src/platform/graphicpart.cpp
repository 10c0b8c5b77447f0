#include "graphicpart.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "areareducer.h"

TGraphicPartPlan PlanGraphicPart(const QSizeF& seen, const QSize& decoded, const QRectF& part,
                                 const QSize& size) {
    if (seen.isEmpty() || decoded.isEmpty())
        return {};
    const double fx = decoded.width() / seen.width();
    const double fy = decoded.height() / seen.height();
    const QRectF p = QRectF(part.x() * fx, part.y() * fy, part.width() * fx, part.height() * fy) &
                     QRectF(0, 0, decoded.width(), decoded.height());
    if (p.isEmpty())
        return {};
    // Rounding noise of a hair's breadth past a pixel's edge takes no pixel of its own.
    constexpr double Hair = 1e-6;
    const int left = std::clamp(int(std::floor(p.left() + Hair)), 0, decoded.width() - 1);
    const int top = std::clamp(int(std::floor(p.top() + Hair)), 0, decoded.height() - 1);
    const int right = std::clamp(int(std::ceil(p.right() - Hair)), left + 1, decoded.width());
    const int bottom = std::clamp(int(std::ceil(p.bottom() - Hair)), top + 1, decoded.height());
    TGraphicPartPlan plan;
    plan.Region = QRect(left, top, right - left, bottom - top);
    const double rx = size.width() > 0 ? std::min(1.0, size.width() / p.width()) : 1.0;
    const double ry = size.height() > 0 ? std::min(1.0, size.height() / p.height()) : 1.0;
    plan.Out =
        QSize(std::clamp(int(std::lround(plan.Region.width() * rx)), 1, plan.Region.width()),
              std::clamp(int(std::lround(plan.Region.height() * ry)), 1, plan.Region.height()));
    const double sx = double(plan.Out.width()) / plan.Region.width();
    const double sy = double(plan.Out.height()) / plan.Region.height();
    plan.Source =
        QRectF((p.left() - left) * sx, (p.top() - top) * sy, p.width() * sx, p.height() * sy);
    return plan;
}

QImage ReduceGraphicRegion(const QImage& decoded, const QRect& region, const QSize& out) {
    const QRect r = region & decoded.rect();
    if (r.isEmpty())
        return {};
    const QImage pixels =
        decoded.format() == QImage::Format_RGB32 || decoded.format() == QImage::Format_ARGB32
            ? decoded
            : decoded.convertToFormat(QImage::Format_RGB32);
    if (out.boundedTo(r.size()) == r.size()) {
        QImage copy(r.size(), QImage::Format_RGB32);
        if (copy.isNull())
            return {};
        for (int y = 0; y < r.height(); ++y)
            std::memcpy(copy.scanLine(y),
                        reinterpret_cast<const QRgb*>(pixels.constScanLine(r.top() + y)) + r.left(),
                        std::size_t(r.width()) * sizeof(QRgb));
        return copy;
    }
    TAreaReducer reducer(r.size(), out);
    for (int y = 0; y < r.height(); ++y)
        reducer.AddRow(reinterpret_cast<const QRgb*>(pixels.constScanLine(r.top() + y)) + r.left());
    return reducer.Result();
}
