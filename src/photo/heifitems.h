// The turning, mirroring and cropping a HEIF file gives an item (its "irot", "imir" and "clap"
// properties), read from the file's boxes: libheif 1.15 applies them while it decodes an item
// but does not tell them. A thumbnail needs them: phones store it as the sensor's pixels came,
// without properties of its own, so that it must be turned as the primary image is.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QSize>

/// One transformative property, in the order the file lists the item's properties.
struct THeifTransform {
    enum TKind : std::uint8_t { Rotate, Mirror, Crop };
    TKind Kind = Rotate;
    /// Rotate: quarter turns counter-clockwise (0..3).
    int QuarterTurns = 0;
    /// Mirror: true for left and right exchanged ("imir" axis 1), false for top and bottom.
    bool LeftRight = false;
    /// Crop: the clean aperture's width and height and the offset of its centre from the
    /// picture's, as fractions (numerator, denominator).
    std::int64_t Width[2] = {0, 1}, Height[2] = {0, 1}, OffsetX[2] = {0, 1}, OffsetY[2] = {0, 1};

    bool operator==(const THeifTransform&) const = default;
};

/// The transformative properties of item `item`, in order; none when it has none. Nothing when
/// the boxes cannot be read (every read is bounds-checked: the bytes are the file's).
std::optional<std::vector<THeifTransform>> ReadHeifItemTransforms(const QByteArray& file,
                                                                  std::uint32_t item);

/// `image`, a picture of an item whose own pixels are `coded` large before the transforms,
/// turned, mirrored and cropped as they say; a crop is scaled from `coded` to the image's
/// pixels, so that a smaller picture of the item is cut alike. Null when a crop leaves nothing.
QImage ApplyHeifTransforms(const QImage& image, const QSize& coded,
                           const std::vector<THeifTransform>& transforms);
