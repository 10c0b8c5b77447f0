// Halftoning by error diffusion: each pixel is quantised and what was lost is carried to its
// neighbours. Rows are scanned in serpentine order (even rows left to right, odd rows right
// to left) and only two rows of errors are kept: the previous row's and the current one's.
#include <algorithm>
#include <array>
#include <vector>

#include "diberrors.h"
#include "pixelconvert.h"
#include "platform/syserrors.h"

namespace {

// Level values and the thresholds at which the next level begins, per channel.
constexpr std::array<int, 6> RedLevels = {0, 51, 102, 153, 204, 255};
constexpr std::array<int, 5> RedSteps = {26, 77, 128, 179, 231};
constexpr std::array<int, 7> GreenLevels = {0, 43, 85, 128, 171, 214, 255};
constexpr std::array<int, 6> GreenSteps = {22, 64, 107, 150, 193, 234};
constexpr std::array<int, 5> BlueLevels = {0, 64, 128, 192, 255};
constexpr std::array<int, 4> BlueSteps = {32, 96, 160, 224};

template <std::size_t N> int Level(const std::array<int, N>& steps, int v) {
    return static_cast<int>(std::upper_bound(steps.begin(), steps.end(), v) - steps.begin());
}

using TError = std::array<std::int16_t, 3>; // red, green, blue

/// Walks the pixels in serpentine order and hands each its colour with the diffused error
/// subtracted; `quantise(y, x, value)` stores the pixel and returns its error per channel.
template <class Quantise> void Diffuse(const TDIBInfo& source, Quantise quantise) {
    const int width = source.Width();
    const int bits = source.BitCount();
    // Column x lives at index x + 1, so both neighbours of the edge columns exist.
    std::vector<TError> previous(static_cast<std::size_t>(width) + 2, TError{});
    std::vector<TError> current(previous.size(), TError{});
    for (int y = 0; y < source.Height(); ++y) {
        previous = current;
        const std::uint8_t* in = source.Row(y);
        const bool forward = y % 2 == 0;
        TError running{};
        for (int step = 0; step < width; ++step) {
            const int x = forward ? step : width - 1 - step;
            const int before = forward ? x : x + 2; // index of the column before x in scan order
            int c[3];
            if (bits == 24) {
                c[0] = in[3 * x + 2];
                c[1] = in[3 * x + 1];
                c[2] = in[3 * x];
            } else {
                const RGBQUAD& q =
                    source.ColorTable[static_cast<std::size_t>(PixelIndex(in, x, bits))];
                c[0] = q.rgbRed;
                c[1] = q.rgbGreen;
                c[2] = q.rgbBlue;
            }
            int v[3];
            for (int ch = 0; ch < 3; ++ch) {
                // The weights sum to 29/32, less than one, so the errors stay bounded (below
                // 255 × 32 / 3 per channel): they fit the 16-bit error rows.
                const int sum =
                    12 * previous[x + 1][ch] + 12 * running[ch] + 5 * previous[before][ch];
                v[ch] = c[ch] - sum / 32;
            }
            const TError error = quantise(y, x, v);
            current[x + 1] = error;
            running = error;
        }
    }
}

void Require(const TDIBInfo& source, const char* formatMessage, const char* bitsMessage) {
    Assert(source.Compression() == BI_RGB, formatMessage);
    const int bits = source.BitCount();
    Assert(bits == 1 || bits == 4 || bits == 8 || bits == 24, bitsMessage);
}

} // namespace

const std::array<RGBQUAD, 215>& HalftoneColors() {
    static const std::array<RGBQUAD, 215> colors = [] {
        std::array<RGBQUAD, 215> t{};
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 7; ++g)
                for (int b = 0; b < 5; ++b)
                    t[static_cast<std::size_t>((r * 7 + g) * 5 + b)] =
                        RGBQUAD{static_cast<std::uint8_t>(BlueLevels[b]),
                                static_cast<std::uint8_t>(GreenLevels[g]),
                                static_cast<std::uint8_t>(RedLevels[r]), 0};
        t[210] = RGBQUAD{0, 0, 128, 0};
        t[211] = RGBQUAD{0, 128, 128, 0};
        t[212] = RGBQUAD{128, 0, 128, 0};
        t[213] = RGBQUAD{192, 192, 192, 0};
        t[214] = RGBQUAD{128, 128, 128, 0};
        return t;
    }();
    return colors;
}

TDIBInfo ConvertToHalfTone(const TDIBInfo& source, bool UseFMO) {
    Require(source, "ConvertToHalfTone: Invalid DIB Format",
            "ConvertToHalfTone: Invalid Bit Count");
    TDIBInfo out = NewDIBAtDepth(source, 8, UseFMO);
    out.ColorTable.fill(RGBQUAD{});
    std::copy(HalftoneColors().begin(), HalftoneColors().end(), out.ColorTable.begin());
    out.Header.biClrUsed = 215;
    Diffuse(source, [&out](int y, int x, const int* diffused) {
        // The level tables are defined on −256..512 only, and the error is taken from the
        // clamped value.
        int v[3];
        for (int ch = 0; ch < 3; ++ch)
            v[ch] = std::clamp(diffused[ch], -256, 512);
        const int r = Level(RedSteps, v[0]);
        const int g = Level(GreenSteps, v[1]);
        const int b = Level(BlueSteps, v[2]);
        out.Row(y)[x] = static_cast<std::uint8_t>((r * 7 + g) * 5 + b);
        return TError{static_cast<std::int16_t>(RedLevels[r] - v[0]),
                      static_cast<std::int16_t>(GreenLevels[g] - v[1]),
                      static_cast<std::int16_t>(BlueLevels[b] - v[2])};
    });
    return out;
}

TDIBInfo ConvertToHalfToneBW(const TDIBInfo& source, bool UseFMO) {
    Require(source, "ConvertToHalfToneBW: Invalid DIB Format",
            "ConvertToHalfToneBW: Invalid Bit Count");
    TDIBInfo out = NewDIBAtDepth(source, 1, UseFMO);
    SetBlackAndWhiteTable(out);
    // No clamp here: a saturated colour leaves large errors in the two channels it lacks, and
    // cutting them off would darken it (pure red would come out almost black instead of one
    // pixel in three white).
    Diffuse(source, [&out](int y, int x, const int* v) {
        const bool white = v[0] + v[1] + v[2] >= 384;
        const int level = white ? 255 : 0;
        if (white)
            SetPixelIndex(out.Row(y), x, 1, 1);
        return TError{static_cast<std::int16_t>(level - v[0]),
                      static_cast<std::int16_t>(level - v[1]),
                      static_cast<std::int16_t>(level - v[2])};
    });
    return out;
}
