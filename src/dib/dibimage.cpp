#include "dibimage.h"

#include <algorithm>
#include <climits>

#include <QHash>

#include "platform/syserrors.h"
#include "rle.h"

namespace {

QRgb TableColor(const TDIBInfo& info, int index) {
    const RGBQUAD& q = info.ColorTable[static_cast<std::size_t>(index)];
    return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

/// Index of the used colour nearest to `color` (squared distance in RGB).
int NearestIndex(const TDIBInfo& info, QRgb color) {
    const int count = std::max(1, std::min(info.ColorsUsed(), 1 << info.BitCount()));
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < count; ++i) {
        const QRgb c = TableColor(info, i);
        const int dr = qRed(c) - qRed(color);
        const int dg = qGreen(c) - qGreen(color);
        const int db = qBlue(c) - qBlue(color);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

QImage DIBToImage(const TDIBInfo& info) {
    if (info.Compression() == BI_RLE8)
        return DIBToImage(Convert8BitRLETo8BitRGB(info, false));
    if (info.Compression() == BI_RLE4)
        return DIBToImage(Convert4BitRLETo4BitRGB(info, false));
    Assert(info.Compression() == BI_RGB && info.ImageSize() >= info.UncompressedSize(),
           "DIBToImage: Invalid DIB");
    const int width = info.Width();
    const int height = info.Height();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw EOutOfMemory();
    const int bits = info.BitCount();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = info.Row(info.TopDown() ? y : height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (bits == 24) {
            for (int x = 0; x < width; ++x)
                out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        } else {
            for (int x = 0; x < width; ++x)
                out[x] = TableColor(info, PixelIndex(in, x, bits));
        }
    }
    return image;
}

void WriteImageToDIB(const QImage& source, TDIBInfo& info) {
    Assert(info.Compression() == BI_RGB && source.width() == info.Width() &&
               source.height() == info.Height(),
           "WriteImageToDIB: Invalid DIB");
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = info.Width();
    const int height = info.Height();
    const int bits = info.BitCount();
    QHash<QRgb, int> nearest;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = info.Row(info.TopDown() ? y : height - 1 - y);
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (bits == 24) {
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<std::uint8_t>(qBlue(in[x]));
                row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(in[x]));
                row[3 * x + 2] = static_cast<std::uint8_t>(qRed(in[x]));
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const QRgb color = in[x] | 0xFF000000u;
            if (TableColor(info, PixelIndex(row, x, bits)) == color)
                continue;
            auto it = nearest.constFind(color);
            if (it == nearest.constEnd())
                it = nearest.insert(color, NearestIndex(info, color));
            const int index = it.value();
            switch (bits) {
            case 1:
                row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(0x80 >> (x & 7))) |
                                                        ((index & 1) << (7 - (x & 7))));
                break;
            case 4:
                row[x >> 1] = static_cast<std::uint8_t>(
                    (x & 1) ? (row[x >> 1] & 0xF0) | index : (row[x >> 1] & 0x0F) | (index << 4));
                break;
            default:
                row[x] = static_cast<std::uint8_t>(index);
                break;
            }
        }
    }
}
