// The chains of a pixel-format change: decode run-length data first, change the depth, encode
// last. Each step reads the previous step's bitmap and makes a new one; intermediate bitmaps
// are freed as soon as the next step has them, and all of them when a step fails.
#include <optional>

#include "pixelconvert.h"
#include "platform/syserrors.h"
#include "rle.h"

namespace {

constexpr const char* FormatError = "TVdIntenalDIB.SetPixelsFormat: PixelFormat Error";

int DepthOf(TVdPixelFormat format) {
    switch (format) {
    case vdPf1Bit:
        return 1;
    case vdPf4Bit:
    case vdPf4BitRLE:
        return 4;
    case vdPf8Bit:
    case vdPf8BitRLE:
        return 8;
    case vdPf24Bit:
        return 24;
    }
    return 0;
}

/// Holds the bitmap a chain has reached: the source until the first step, then each step's
/// result in turn (the previous one is freed when replaced).
class TChain {
  public:
    explicit TChain(const TDIBInfo& source) : FCurrent(&source) {}
    const TDIBInfo& Current() const { return *FCurrent; }
    void Step(TDIBInfo&& next) {
        FOwned = std::move(next);
        FCurrent = &*FOwned;
    }
    TDIBInfo Result() && {
        Assert(FOwned.has_value(), FormatError);
        return std::move(*FOwned);
    }

  private:
    const TDIBInfo* FCurrent;
    std::optional<TDIBInfo> FOwned;
};

TDIBInfo ChangeDepth(const TDIBInfo& s, int from, int to, int quality,
                     const TSplitProgress& progress, TColor monoColor, bool UseFMO) {
    switch (from * 100 + to) {
    case 104:
        return Convert1BitRGBTo4BitRGB(s, UseFMO);
    case 108:
        return Convert1BitRGBTo8BitRGB(s, UseFMO);
    case 124:
        return Convert1BitRGBToTrueColor(s, UseFMO);
    case 401:
        return Convert4BitRGBTo1BitRGB(s, UseFMO, monoColor);
    case 408:
        return Convert4BitRGBTo8BitRGB(s, UseFMO);
    case 424:
        return Convert4BitRGBToTrueColor(s, UseFMO);
    case 801:
        return Convert8BitTo1BitRGB(s, UseFMO, monoColor);
    case 804:
        return Convert8BitRGBTo4BitRGB(s, UseFMO, progress);
    case 824:
        return Convert8BitRGBToTrueColor(s, UseFMO);
    case 2401:
        return ConvertTrueColorTo1BitRGB(s, UseFMO, monoColor);
    case 2404:
        Assert(quality == 0 || quality == 1, FormatError);
        return quality == 0 ? ConvertTrueColorTo4BitRGBLow(s, UseFMO, progress)
                            : ConvertTrueColorTo4BitRGBHigh(s, UseFMO, progress);
    case 2408:
        Assert(quality == 0 || quality == 1, FormatError);
        return quality == 0 ? ConvertTrueColorTo8BitRGBLow(s, UseFMO, progress)
                            : ConvertTrueColorTo8BitRGBHigh(s, UseFMO, progress);
    default:
        throw EAssertionFailed(QString::fromLatin1(FormatError));
    }
}

} // namespace

TDIBInfo ConvertPixelFormat(const TDIBInfo& source, TVdPixelFormat from, int target, int quality,
                            const TSplitProgress& progress, TColor monoColor, bool UseFMO) {
    const bool halftone = target == vdPfHalftone || target == vdPfHalftoneBW;
    Assert(halftone || (target >= vdPf1Bit && target <= vdPf24Bit && target != from), FormatError);
    TChain chain(source);
    if (from == vdPf8BitRLE)
        chain.Step(Convert8BitRLETo8BitRGB(chain.Current(), UseFMO));
    else if (from == vdPf4BitRLE)
        chain.Step(Convert4BitRLETo4BitRGB(chain.Current(), UseFMO));

    if (target == vdPfHalftone)
        return ConvertToHalfTone(chain.Current(), UseFMO);
    if (target == vdPfHalftoneBW)
        return ConvertToHalfToneBW(chain.Current(), UseFMO);

    const auto to = static_cast<TVdPixelFormat>(target);
    const int fromDepth = DepthOf(from);
    const int toDepth = DepthOf(to);
    if (fromDepth != toDepth)
        chain.Step(
            ChangeDepth(chain.Current(), fromDepth, toDepth, quality, progress, monoColor, UseFMO));
    if (to == vdPf8BitRLE)
        chain.Step(Convert8BitRGBTo8BitRLE(chain.Current(), UseFMO));
    else if (to == vdPf4BitRLE)
        chain.Step(Convert4BitRGBTo4BitRLE(chain.Current(), UseFMO));
    return std::move(chain).Result();
}
