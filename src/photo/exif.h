// The orientation tag of a photo's EXIF block: cameras and phones store the sensor's pixels as
// they came and note in tag 0x0112 how the picture must be turned to be seen upright.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QImage>

/// EXIF orientation values: 1 upright, 2 mirrored, 3 turned 180°, 4 flipped, 5 transposed,
/// 6 turned 90° clockwise, 7 transversed, 8 turned 90° counter-clockwise.
inline constexpr int ExifUpright = 1;

/// The orientation stored in the payload of an APP1 marker ("Exif\0\0" and a TIFF structure);
/// ExifUpright when the block is not EXIF, carries no orientation, or is malformed. Every read
/// is bounds-checked: the block comes from the file as it stands.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

/// The orientation in an EXIF block as PNG ("eXIf") and WebP ("EXIF") files carry it: the TIFF
/// structure alone, or (as some writers have it) behind "Exif\0\0"; ExifUpright as above.
int ExifBlockOrientation(const std::uint8_t* data, std::size_t size);

/// The ICC profile of a TIFF file (tag 34675 of its first directory); empty when it has none
/// or the tag does not lie within the file.
QByteArray TiffIccProfile(const QByteArray& tiff);

/// True for the orientations that swap width and height (5 to 8).
constexpr bool OrientationSwapsAxes(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

/// The stored picture turned and mirrored as the orientation says, so it is seen upright.
QImage ApplyExifOrientation(const QImage& image, int orientation);
