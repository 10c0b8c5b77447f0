// Palette reductions: 24 bits to 256 or 16 colours, and 256 colours to 16.
#include <array>
#include <cstring>
#include <vector>

#include "colorsplit.h"
#include "diberrors.h"
#include "platform/syserrors.h"

namespace {

/// A colour standing for several pixels (a histogram cell or a colour-table entry).
struct TWeightedColor {
    std::uint8_t R, G, B;
    std::uint32_t N;
    std::uint32_t Key; // the cell or the old colour index this colour came from
    int Red() const { return R; }
    int Green() const { return G; }
    int Blue() const { return B; }
    std::uint32_t Weight() const { return N; }
};

/// One pixel of the high-quality reduction: every pixel is its own item.
struct TPixelColor {
    std::uint8_t B, G, R;
    int Red() const { return R; }
    int Green() const { return G; }
    int Blue() const { return B; }
    std::uint32_t Weight() const { return 1; }
};

void PutPalette(TDIBInfo& out, const std::vector<RGBQUAD>& palette) {
    out.ColorTable.fill(RGBQUAD{});
    std::copy(palette.begin(), palette.end(), out.ColorTable.begin());
    out.Header.biClrUsed = static_cast<std::uint32_t>(palette.size());
}

/// Histogram cell of a pixel: 5 bits of red, 6 of green, 5 of blue.
inline std::uint32_t Cell(const std::uint8_t* bgr) {
    return (std::uint32_t{bgr[2]} >> 3) * 2048 + (std::uint32_t{bgr[1]} >> 2) * 32 +
           (std::uint32_t{bgr[0]} >> 3);
}

TDIBInfo ReduceLow(const TDIBInfo& source, int depthLimit, bool UseFMO,
                   const TSplitProgress& progress) {
    struct TCell {
        std::uint64_t Red = 0, Green = 0, Blue = 0; // sums of the dropped low bits
        std::uint32_t Count = 0;
    };
    std::vector<TCell> cells(65536);
    const int width = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* p = source.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            TCell& c = cells[Cell(p)];
            c.Blue += p[0] & 7;
            c.Green += p[1] & 3;
            c.Red += p[2] & 7;
            ++c.Count;
        }
    }
    std::vector<TWeightedColor> items;
    for (std::uint32_t i = 0; i < cells.size(); ++i) {
        const TCell& c = cells[i];
        if (c.Count == 0)
            continue;
        items.push_back(
            TWeightedColor{static_cast<std::uint8_t>(c.Red / c.Count + (i >> 11) * 8),
                           static_cast<std::uint8_t>(c.Green / c.Count + ((i >> 5) & 63) * 4),
                           static_cast<std::uint8_t>(c.Blue / c.Count + (i & 31) * 8), c.Count, i});
    }

    std::vector<std::uint8_t> map(65536, 0);
    std::vector<RGBQUAD> palette;
    const auto onLeaf = [&map](std::span<TWeightedColor> range, int index) {
        for (const TWeightedColor& item : range)
            map[item.Key] = static_cast<std::uint8_t>(index);
    };
    TVarianceSplit<TWeightedColor, decltype(onLeaf)> split(depthLimit, TSplitRule::LowQuality,
                                                           progress, palette, nullptr, onLeaf);
    split.Run(items);

    TDIBInfo out = NewDIBAtDepth(source, depthLimit, UseFMO);
    PutPalette(out, palette);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* p = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x, p += 3)
            SetPixelIndex(row, x, depthLimit, map[Cell(p)]);
    }
    return out;
}

TDIBInfo ReduceHigh(const TDIBInfo& source, int depthLimit, bool UseFMO,
                    const TSplitProgress& progress, const char* treeMessage) {
    const int width = source.Width();
    std::vector<TPixelColor> items;
    items.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(source.Height()));
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* p = source.Row(y);
        for (int x = 0; x < width; ++x, p += 3)
            items.push_back(TPixelColor{p[0], p[1], p[2]});
    }
    std::vector<RGBQUAD> palette;
    std::vector<TSplitNode> tree;
    const auto onLeaf = [](std::span<TPixelColor>, int) {};
    TVarianceSplit<TPixelColor, decltype(onLeaf)> split(depthLimit, TSplitRule::HighQuality,
                                                        progress, palette, &tree, onLeaf);
    split.Run(items);
    items = {};

    TDIBInfo out = NewDIBAtDepth(source, depthLimit, UseFMO);
    PutPalette(out, palette);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* p = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int channel[3] = {p[2], p[1], p[0]};
            const TSplitNode* node = &tree[0];
            while (node->DivideID != scLeaf) {
                Assert(node->DivideID < scLeaf, treeMessage);
                const int next =
                    channel[node->DivideID] <= node->Threshold ? node->Lower : node->Upper;
                node = &tree[static_cast<std::size_t>(next)];
            }
            // Every pixel went down this same path while the tree was built, so its leaf
            // received colours.
            Assert(node->PaletteIndex >= 0, treeMessage);
            SetPixelIndex(row, x, depthLimit, node->PaletteIndex);
        }
    }
    return out;
}

void RequireTrueColor(const TDIBInfo& source, const char* message) {
    if (source.BitCount() != 24)
        RaiseDIB<EVdDIBBadDIBType>(message);
}

} // namespace

TDIBInfo ConvertTrueColorTo8BitRGBLow(const TDIBInfo& source, bool UseFMO,
                                      const TSplitProgress& progress) {
    RequireTrueColor(source, "ConvertTrueColorTo8BitRGBLow: Invalid Bitcount");
    return ReduceLow(source, 8, UseFMO, progress);
}

TDIBInfo ConvertTrueColorTo4BitRGBLow(const TDIBInfo& source, bool UseFMO,
                                      const TSplitProgress& progress) {
    RequireTrueColor(source, "ConvertTrueColorTo4BitRGBLow: Invalid Bitcount");
    return ReduceLow(source, 4, UseFMO, progress);
}

TDIBInfo ConvertTrueColorTo8BitRGBHigh(const TDIBInfo& source, bool UseFMO,
                                       const TSplitProgress& progress) {
    RequireTrueColor(source, "ConvertTrueColorTo8BitRGBHigh: Invalid Bitcount");
    return ReduceHigh(source, 8, UseFMO, progress,
                      "ConvertTrueColorTo8BitRGBHigh: Invalid DivideID");
}

TDIBInfo ConvertTrueColorTo4BitRGBHigh(const TDIBInfo& source, bool UseFMO,
                                       const TSplitProgress& progress) {
    RequireTrueColor(source, "ConvertTrueColorTo4BitRGBHigh: Invalid Bitcount");
    // The 4-bit reduction has always reported a broken tree under the 8-bit name.
    return ReduceHigh(source, 4, UseFMO, progress,
                      "ConvertTrueColorTo8BitRGBHigh: Invalid DivideID");
}

TDIBInfo Convert8BitRGBTo4BitRGB(const TDIBInfo& source, bool UseFMO,
                                 const TSplitProgress& progress) {
    if (source.BitCount() != 8 || source.Compression() != BI_RGB)
        RaiseDIB<EVdDIBBadDIBType>("Convert8BitRGBTo4BitRGB: Invalid Bitcount or Compression");
    std::array<std::uint32_t, 256> uses{};
    const int width = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Row(y);
        for (int x = 0; x < width; ++x)
            ++uses[row[x]];
    }
    std::vector<TWeightedColor> items;
    for (std::uint32_t i = 0; i < 256; ++i) {
        if (uses[i] == 0)
            continue;
        const RGBQUAD& c = source.ColorTable[i];
        items.push_back(TWeightedColor{c.rgbRed, c.rgbGreen, c.rgbBlue, uses[i], i});
    }
    std::array<std::uint8_t, 256> map{};
    std::vector<RGBQUAD> palette;
    const auto onLeaf = [&map](std::span<TWeightedColor> range, int index) {
        for (const TWeightedColor& item : range)
            map[item.Key] = static_cast<std::uint8_t>(index);
    };
    TVarianceSplit<TWeightedColor, decltype(onLeaf)> split(4, TSplitRule::LowQuality, progress,
                                                           palette, nullptr, onLeaf);
    split.Run(items);

    TDIBInfo out = NewDIBAtDepth(source, 4, UseFMO);
    PutPalette(out, palette);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width; ++x)
            SetPixelIndex(row, x, 4, map[in[x]]);
    }
    return out;
}
