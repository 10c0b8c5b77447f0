#include "picturefit.h"

#include <algorithm>
#include <cmath>

#include "platform/sysutils.h"

TRect FitPicture(int w, int h, int boxWidth, int boxHeight) {
    TRect r = Bounds(0, 0, boxWidth, boxHeight);
    if (w <= 0 || h <= 0)
        return r;
    int width = boxWidth;
    int height = boxHeight;
    int left = 0;
    int top = 0;
    if (h / 3 < w / 4) {
        // Wider than 4:3: full width. The two formulas differ in their last bits; each keeps
        // the order of operations the sheet was always computed with.
        height = w < boxWidth ? RoundHalfEven(static_cast<long double>(boxWidth) / w * h)
                              : RoundHalfEven(h / (static_cast<long double>(w) / boxWidth));
        top = (boxHeight - height) / 2;
    } else if (h / 3 > w / 4) {
        width = h < boxHeight ? RoundHalfEven(static_cast<long double>(boxHeight) / h * w)
                              : RoundHalfEven(w / (static_cast<long double>(h) / boxHeight));
        left = (boxWidth - width) / 2;
    }
    return Bounds(left, top, width, height);
}

QRectF FillSource(int w, int h, double boxWidth, double boxHeight, const TPictureFraming& framing) {
    if (w <= 0 || h <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return {0, 0, double(std::max(w, 0)), double(std::max(h, 0))};
    // Values from a hand-edited file may be anything, NaN included.
    auto within = [](double v, double lo, double hi, double fallback) {
        return std::isfinite(v) ? std::clamp(v, lo, hi) : fallback;
    };
    const double zoom = within(framing.Zoom, TPictureFraming::MinZoom, TPictureFraming::MaxZoom,
                               TPictureFraming::MinZoom);
    // Picture pixels per box unit when the picture just covers the box, then zoomed in.
    const double scale = std::min(w / boxWidth, h / boxHeight) / zoom;
    const double cropWidth = std::min(boxWidth * scale, double(w));
    const double cropHeight = std::min(boxHeight * scale, double(h));
    const double cx =
        std::clamp(within(framing.FocusX, 0, 1, 0.5) * w, cropWidth / 2, w - cropWidth / 2);
    const double cy =
        std::clamp(within(framing.FocusY, 0, 1, 0.5) * h, cropHeight / 2, h - cropHeight / 2);
    return {cx - cropWidth / 2, cy - cropHeight / 2, cropWidth, cropHeight};
}

namespace {

// The filling framing whose crop is centred on (cx, cy) of the photo as far as the photo
// allows, its focus the centre of the crop that then shows.
TPictureFraming CentredOn(double cx, double cy, double zoom, int w, int h, double boxWidth,
                          double boxHeight) {
    TPictureFraming framing;
    framing.Mode = TFrameMode::Fill;
    framing.Zoom = zoom;
    framing.FocusX = std::isfinite(cx) ? std::clamp(cx / w, 0.0, 1.0) : 0.5;
    framing.FocusY = std::isfinite(cy) ? std::clamp(cy / h, 0.0, 1.0) : 0.5;
    const QRectF crop = FillSource(w, h, boxWidth, boxHeight, framing);
    framing.FocusX = crop.center().x() / w;
    framing.FocusY = crop.center().y() / h;
    return framing;
}

double ClampedZoom(double zoom) {
    return std::isfinite(zoom)
               ? std::clamp(zoom, TPictureFraming::MinZoom, TPictureFraming::MaxZoom)
               : TPictureFraming::MinZoom;
}

} // namespace

TPictureFraming DragFraming(const TPictureFraming& start, int w, int h, double boxWidth,
                            double boxHeight, double dx, double dy) {
    if (w <= 0 || h <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return start;
    const QRectF crop = FillSource(w, h, boxWidth, boxHeight, start);
    const double scale = crop.width() / boxWidth; // photo pixels per box unit
    return CentredOn(crop.center().x() - dx * scale, crop.center().y() - dy * scale,
                     ClampedZoom(start.Zoom), w, h, boxWidth, boxHeight);
}

TPictureFraming ZoomFraming(const TPictureFraming& framing, int w, int h, double boxWidth,
                            double boxHeight, QPointF at, double zoom) {
    if (w <= 0 || h <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return framing;
    const QRectF crop = FillSource(w, h, boxWidth, boxHeight, framing);
    const double scale = crop.width() / boxWidth;
    const double newZoom = ClampedZoom(zoom);
    const double newScale = scale * ClampedZoom(framing.Zoom) / newZoom;
    // The photo's point under `at` stays under it.
    const double px = crop.left() + at.x() * scale;
    const double py = crop.top() + at.y() * scale;
    return CentredOn(px + (boxWidth / 2 - at.x()) * newScale,
                     py + (boxHeight / 2 - at.y()) * newScale, newZoom, w, h, boxWidth, boxHeight);
}
