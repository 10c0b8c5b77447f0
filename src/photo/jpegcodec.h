// JPEG decoding and encoding over libjpeg-turbo's libjpeg API, for the JPEG image class. Every
// libjpeg error becomes an EInvalidGraphic with a message for the user; libjpeg never ends the
// process, and nothing it allocated outlives the call.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include "platform/graphic.h"

/// What the header of a JPEG stream says, without decoding any pixel.
struct TJPEGHeader {
    int StoredWidth = 0; // as the pixels are stored
    int StoredHeight = 0;
    int Orientation = 1; // EXIF orientation, 1 = upright
    int Components = 0;  // 1 grey, 3 colour, 4 CMYK
    bool Progressive = false;
    QByteArray IccProfile; // the embedded colour profile (APP2 markers); empty when none
    /// Size at scale `num`/8 as the picture is seen (orientation applied); libjpeg rounds up.
    QSize SeenSize(int num = 8) const;
};

/// Reads the header; refuses streams that are no JPEG, are damaged before the first scan, or
/// claim more than MaxGraphicPixels.
TJPEGHeader ReadJPEGHeader(const QByteArray& data);

/// Decodes the whole picture at scale `num`/8 (1..8) of its size, through the discrete cosine
/// transform's own scaling (cheap for small previews), as 32-bit RGB with the EXIF orientation
/// applied and the colours of an embedded profile converted to sRGB. A picture cut short or
/// damaged so that it cannot be decoded raises. Scan data damaged here and there is decoded
/// past, as every JPEG reader does (the picture shows broken bands there): `damaged`, when
/// given, says whether there was any.
QImage DecodeJPEG(const QByteArray& data, int num = 8, bool* damaged = nullptr);

/// Decodes the picture at scale `num`/8 and reduces it while decoding to `seenSize` (as seen,
/// bounded by the decoded size), each pixel the average of the area it covers: the whole
/// decoded picture is never held, only a few of its rows. Errors as DecodeJPEG.
QImage DecodeJPEGReduced(const QByteArray& data, int num, const QSize& seenSize,
                         bool* damaged = nullptr);

/// Decodes the part `region` of the picture as seen at scale `num`/8 (whole pixels of the
/// picture DecodeJPEG(data, num) gives) and reduces it while decoding to `seenOut` (bounded by
/// the region's size), as ReduceGraphicRegion reduces: the pixels are exactly those of that
/// region of DecodeJPEG(data, num), reduced. Only the rows down to the region's last are read
/// and only the columns around it made into pixels, and the whole picture is never held.
/// Errors as DecodeJPEG, for the rows read.
QImage DecodeJPEGPart(const QByteArray& data, int num, const QRect& region, const QSize& seenOut,
                      bool* damaged = nullptr);

/// Where a JPEG's damage lies, for the user ("JPEGの圧縮データ").
QString JPEGDamageReason();

/// Encodes 32-bit pixels as a baseline JPEG of the given quality (1..100).
QByteArray EncodeJPEG(const QImage& image, int quality);
