// Photos in every format the program reads, written by ImageMagick (and HEIC files by libheif's
// encoder where a rotation is wanted), and ImageMagick's own reading of them to compare with.
#pragma once

#include <array>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "imagemagick.h"

namespace testing_support {

/// The colour profiles the tests tag photos with, from Debian's packages.
inline const QString DisplayP3Profile = QStringLiteral("/usr/share/color/argyll/ref/DisplayP3.icm");
inline const QString AdobeRgbProfile =
    QStringLiteral("/usr/share/color/icc/colord/AdobeRGB1998.icc");
inline const QString SRgbProfile = QStringLiteral("/usr/share/color/icc/colord/sRGB.icc");
inline const QString CmykProfile =
    QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");

/// The four corners of a picture in distinct colours, so that each of the eight ways to turn
/// or mirror it shows differently: blue, red, lime and yellow.
inline constexpr std::array<QRgb, 4> CornerColours = {0xFF0000FFu, 0xFFFF0000u, 0xFF00FF00u,
                                                      0xFFFFFF00u};

/// Writes a `w` × `h` picture of four quarters (top-left blue, top-right red, bottom-left lime,
/// bottom-right yellow) to `path`, format from the extension (or a "FORMAT:" prefix), with
/// `extra` arguments before the output.
inline bool MakeCorners(const QString& path, int w, int h, const QStringList& extra = {}) {
    const auto rect = [](int x0, int y0, int x1, int y1) {
        return QStringLiteral("rectangle %1,%2 %3,%4").arg(x0).arg(y0).arg(x1).arg(y1);
    };
    QStringList args{QStringLiteral("-size"),
                     QStringLiteral("%1x%2").arg(w).arg(h),
                     QStringLiteral("xc:yellow"),
                     QStringLiteral("-fill"),
                     QStringLiteral("blue"),
                     QStringLiteral("-draw"),
                     rect(0, 0, w / 2 - 1, h / 2 - 1),
                     QStringLiteral("-fill"),
                     QStringLiteral("red"),
                     QStringLiteral("-draw"),
                     rect(w / 2, 0, w - 1, h / 2 - 1),
                     QStringLiteral("-fill"),
                     QStringLiteral("lime"),
                     QStringLiteral("-draw"),
                     rect(0, h / 2, w / 2 - 1, h - 1)};
    args << extra << path;
    return Convert(args);
}

/// A JPEG file with an APP1 block put right after its start-of-image marker: a TIFF structure
/// whose first directory holds only the orientation tag, in either byte order.
inline QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation,
                                      bool bigEndian = false) {
    auto u16 = [bigEndian](int v) {
        QByteArray b;
        b.append(char(bigEndian ? v >> 8 : v & 0xFF));
        b.append(char(bigEndian ? v & 0xFF : v >> 8));
        return b;
    };
    auto u32 = [&u16, bigEndian](int v) {
        return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16);
    };
    QByteArray tiff = bigEndian ? QByteArray("MM") : QByteArray("II");
    tiff += u16(42) + u32(8);              // header, first directory at offset 8
    tiff += u16(1);                        // one entry
    tiff += u16(0x0112) + u16(3) + u32(1); // orientation, SHORT, one value
    tiff += u16(orientation) + u16(0);     // the value, left-justified in 4 bytes
    tiff += u32(0);                        // no next directory
    QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1 = QByteArray("\xFF\xE1", 2);
    const int length = int(payload.size()) + 2;
    app1 += char(length >> 8);
    app1 += char(length & 0xFF);
    app1 += payload;
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

/// The colour at the centre of each quarter: top-left, top-right, bottom-left, bottom-right.
inline std::array<QRgb, 4> QuarterColours(const QImage& image) {
    const int w = image.width(), h = image.height();
    return {image.pixel(w / 4, h / 4), image.pixel(3 * w / 4, h / 4), image.pixel(w / 4, 3 * h / 4),
            image.pixel(3 * w / 4, 3 * h / 4)};
}

/// ImageMagick's reading of `path` with `extra` arguments after it (for example
/// "-auto-orient" or "-profile sRGB.icc"), as 32-bit RGB; `scratch` is a PNG file to write.
inline QImage ReadWithImageMagick(const QString& path, const QString& scratch,
                                  const QStringList& extra = {}) {
    QStringList args{path + QStringLiteral("[0]")};
    // +repage: a transposed picture keeps its old canvas, which -flatten would restore.
    args << extra << QStringLiteral("+repage") << QStringLiteral("-background")
         << QStringLiteral("white") << QStringLiteral("-flatten") << QStringLiteral("-depth")
         << QStringLiteral("8") << QStringLiteral("PNG24:") + scratch;
    if (!Convert(args))
        return {};
    return QImage(scratch).convertToFormat(QImage::Format_RGB32);
}

/// The reading of a HEIC file whose colours are to be converted: ImageMagick 6 reads a HEIC
/// file's pixels but not its colour profile, so libheif's heif-convert decodes it into a PNG
/// file that keeps the profile, and ImageMagick reads that with `extra`.
inline QImage ReadHeicWithImageMagick(const QString& path, const QString& scratch,
                                      const QStringList& extra = {}) {
    const QString decoded = scratch + QStringLiteral(".heif-convert.png");
    QProcess process;
    process.start(QStringLiteral("heif-convert"), {path, decoded});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return ReadWithImageMagick(decoded, scratch, extra);
}

/// Colour patches that a profile moves visibly: saturated and mid tones, 4 across, 2 down,
/// each `patch` pixels square.
inline const std::array<QRgb, 8> PatchColours = {0xFFDC3C28u, 0xFF3CB446u, 0xFF2850C8u,
                                                 0xFFE6C83Cu, 0xFF969696u, 0xFFFA78B4u,
                                                 0xFF781E1Eu, 0xFF78DCE6u};

inline QImage MakePatches(int patch) {
    QImage image(4 * patch, 2 * patch, QImage::Format_RGB32);
    for (int k = 0; k < 8; ++k)
        for (int y = 0; y < patch; ++y)
            for (int x = 0; x < patch; ++x)
                image.setPixel((k % 4) * patch + x, (k / 4) * patch + y, PatchColours[k]);
    return image;
}

/// The centre of patch `k` in a picture of the patches at any size.
inline QRgb PatchAt(const QImage& image, int k) {
    return image.pixel((2 * (k % 4) + 1) * image.width() / 8,
                       (2 * (k / 4) + 1) * image.height() / 4);
}

/// The largest difference in any channel.
inline int ChannelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

/// The mean of ChannelDistance over two pictures of one size, 0..255.
inline double MeanDistance(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += ChannelDistance(a.pixel(x, y), b.pixel(x, y));
    return sum / (double(a.width()) * a.height());
}

/// A stored picture that looks different in each of the eight ways to turn or mirror it: four
/// quarters of distinct colours, and a white bar along the top of the top-left one.
inline QImage Asymmetric(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, w / 2, h / 2, QColor(0, 0, 255));
    painter.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(255, 0, 0));
    painter.fillRect(0, h / 2, w / 2, h - h / 2, QColor(0, 255, 0));
    painter.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(255, 255, 0));
    painter.fillRect(0, 0, w / 2, h / 10, Qt::white);
    return image;
}

} // namespace testing_support
