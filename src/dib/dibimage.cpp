#include "dibimage.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include <QHash>

#include "pixelconvert.h"
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

namespace {

// The sixteen colours of the standard VGA palette, as red, green, blue.
constexpr QRgb StandardColors[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

/// The image's distinct colours in order of first appearance, when there are at most `limit`.
std::optional<std::vector<QRgb>> FewColors(const QImage& image, int limit) {
    QHash<QRgb, int> seen;
    std::vector<QRgb> colors;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (seen.contains(c))
                continue;
            if (static_cast<int>(colors.size()) == limit)
                return std::nullopt;
            seen.insert(c, 0);
            colors.push_back(c);
        }
    }
    return colors;
}

} // namespace

TDIBInfo DIBFromImage(const QImage& source, int bitCount, bool UseFMO) {
    Assert(bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24,
           "DIBFromImage: Invalid BitCount");
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    TDIBInfo info;
    info.Header = MakeInfoHeader(image.width(), image.height(), 24, 0);
    if (bitCount == 24 || bitCount == 8) {
        info.Memory = GetMemory(info.UncompressedSize(), UseFMO);
        WriteImageToDIB(image, info);
        if (bitCount == 24)
            return info;
        if (!FewColors(image, 256)) {
            TDIBInfo halftone = ConvertToHalfTone(info, UseFMO);
            halftone.Header.biClrUsed = 256;
            return halftone;
        }
    }
    const int colors = 1 << bitCount;
    TDIBInfo out;
    out.Header = MakeInfoHeader(image.width(), image.height(), bitCount, colors);
    out.Memory = GetMemory(out.UncompressedSize(), UseFMO);
    const auto exact = FewColors(image, colors);
    std::vector<QRgb> table;
    if (exact)
        table = *exact;
    else if (bitCount == 4)
        table.assign(std::begin(StandardColors), std::end(StandardColors));
    else
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    for (std::size_t i = 0; i < table.size(); ++i)
        out.ColorTable[i] = RGBQUAD{static_cast<std::uint8_t>(qBlue(table[i])),
                                    static_cast<std::uint8_t>(qGreen(table[i])),
                                    static_cast<std::uint8_t>(qRed(table[i])), 0};
    // Every pixel starts at index 0; WriteImageToDIB gives each its nearest table colour, with
    // unused entries (black) left out of the search by a count of only the real colours.
    out.Header.biClrUsed = static_cast<std::uint32_t>(std::max<std::size_t>(table.size(), 1));
    WriteImageToDIB(image, out);
    out.Header.biClrUsed = static_cast<std::uint32_t>(colors);
    return out;
}
