// Helpers of the bitmap tests: bitmap files built byte by byte, ImageMagick as an outside
// reader and writer, and image comparison.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "dib/dibinfo.h"

/// A bitmap file put together field by field, so that tests can damage any of them.
struct TBmpFile {
    std::uint16_t Type = 0x4D42;
    std::uint32_t HeaderSize = 40;
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::uint16_t Planes = 1;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0;
    std::uint32_t SizeImage = 0;
    std::int32_t XPelsPerMeter = 0;
    std::int32_t YPelsPerMeter = 0;
    std::uint32_t ClrUsed = 0;
    std::uint32_t ClrImportant = 0;
    /// Written inside a header larger than 40 bytes, or right after a 40-byte header.
    std::vector<std::uint32_t> Masks;
    /// Colour table bytes (4 per entry; 3 per entry for a 12-byte core header).
    QByteArray Table;
    QByteArray Pixels;
    std::optional<std::uint32_t> OffBits;  // default: right after the table
    std::optional<std::uint32_t> FileSize; // default: the real size

    QByteArray Bytes() const;
};

/// A colour table of `count` four-byte entries where entry i is (blue i, green 255 − i, red
/// i / 2, 0).
QByteArray RampTable(int count);

/// Reads bitmap file bytes the way the program reads a file.
TDIBInfo ReadBytes(const QByteArray& bytes, bool UseFMO = false);

/// Writes a bitmap to bytes.
QByteArray WriteBytes(const TDIBInfo& info);

/// A bitmap of the given depth whose pixels are set from `indices` (top row first), with
/// colour table `table` (RGBQUADs).
TDIBInfo MakeIndexedDIB(int width, int height, int bits, const std::vector<int>& indices,
                        const std::vector<RGBQUAD>& table);

/// A 24-bit bitmap holding `image` (top row first in the image, bottom-up in storage).
TDIBInfo MakeTrueColorDIB(const QImage& image, bool topDown = false);

/// A folder for files of one test, removed with the object.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    QString File(const QString& name) const;

  private:
    QString FPath;
};

/// Runs ImageMagick's convert with `arguments`; fails the test (returns false) when it fails.
bool RunConvert(const QStringList& arguments);

/// ImageMagick's own decoding of a picture file, as a 32-bit image.
QImage ImageMagickDecode(const QString& path);

/// Saves the bytes to a file.
void SaveFile(const QString& path, const QByteArray& bytes);
QByteArray LoadFile(const QString& path);

/// Compares two images pixel by pixel in red, green and blue with a tolerance per channel;
/// the failure names the first differing pixel.
::testing::AssertionResult SameImage(const QImage& expected, const QImage& actual,
                                     int tolerance = 0);
