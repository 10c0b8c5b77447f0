// Where a picture goes in its box: scaled to the box's width or height so that it keeps its
// own aspect ratio, and centred; or, framed by the user, covering the whole box with the part
// of the photo the user chose. The main window's sample (224 × 168) and the printed sheet
// (708 × 531) use the same rules.
#pragma once

#include <cstdint>

#include <QPointF>
#include <QRectF>

#include "platform/types.h"

/// The rectangle, relative to the box, that a w × h picture takes in a boxWidth × boxHeight
/// box of aspect 4:3. A picture counts as exactly 4:3 when h div 3 = w div 4 and then fills
/// the box; a wider one takes the full width, a taller one the full height, its other side
/// rounded to the nearest integer (halves to even) and centred by integer halving. A picture
/// without pixels fills the box.
TRect FitPicture(int w, int h, int boxWidth, int boxHeight);

/// How the photo takes the picture box: "枠に合わせる" (whole, by the rule above) or
/// "枠いっぱい" (covering the whole box, cropped where the shapes differ).
enum class TFrameMode : std::uint8_t { Fit, Fill };

/// The user's framing of the photo. Focus and zoom matter only when the photo fills the box.
struct TPictureFraming {
    TFrameMode Mode = TFrameMode::Fit;
    /// The point of the upright photo, in 0..1 of its width and height (0, 0 its top-left
    /// corner), on which the crop centres as far as the box allows.
    double FocusX = 0.5;
    double FocusY = 0.5;
    /// 1 (the photo just covers the box) .. MaxZoom.
    double Zoom = 1.0;

    static constexpr double MinZoom = 1.0;
    static constexpr double MaxZoom = 4.0;

    bool operator==(const TPictureFraming&) const = default;
};

/// The part of a w × h picture, in its pixels, that covers a box of the given shape when the
/// picture fills it with `framing`'s focus and zoom (clamped to their ranges). Only the box's
/// aspect ratio counts, so the sample and the sheet show the same part. The whole picture for
/// a picture without pixels.
QRectF FillSource(int w, int h, double boxWidth, double boxHeight, const TPictureFraming& framing);

/// The framing after the photo was dragged by (dx, dy) units of a box of the given shape from
/// where `start` showed it: the part shown moves the other way, as far as the photo reaches,
/// and the focus becomes the centre of the part then shown. A filling framing, whatever
/// `start`'s mode.
TPictureFraming DragFraming(const TPictureFraming& start, int w, int h, double boxWidth,
                            double boxHeight, double dx, double dy);

/// The framing at `zoom` (clamped to its range) that keeps the point of the photo under the
/// point `at` of the box (in box units) where it was, as far as the photo reaches.
TPictureFraming ZoomFraming(const TPictureFraming& framing, int w, int h, double boxWidth,
                            double boxHeight, QPointF at, double zoom);
