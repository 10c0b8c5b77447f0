// The bridge between a stored bitmap and Qt's images: what a bitmap looks like as pixels on
// screen, and a bitmap made from an image.
#pragma once

#include <QImage>

#include "dibinfo.h"

/// The bitmap as a 32-bit image, top row first, run-length data decoded. Colour indices
/// beyond the used colours show the (black) rest of the table.
QImage DIBToImage(const TDIBInfo& info);

/// Rewrites the pixels of an uncompressed bitmap from `image` (same size, top row first). For
/// palette depths each pixel takes the index of the nearest colour among the used ones; pixels
/// whose colour is still that of their current index keep it.
void WriteImageToDIB(const QImage& image, TDIBInfo& info);

/// A bottom-up bitmap of `bitCount` bits (1, 4, 8 or 24) holding `image`. At palette depths
/// an image with few enough colours keeps them exactly; otherwise 1 bit thresholds to black and
/// white, 4 bits takes the nearest of the sixteen standard colours and 8 bits is halftoned.
/// The table is always full (2^bitCount colours used).
TDIBInfo DIBFromImage(const QImage& image, int bitCount, bool UseFMO);
