#include "colorprofile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <lcms2.h>

namespace {

// QImage's 32-bit pixels as bytes in memory: B, G, R, A on a little-endian machine.
constexpr cmsUInt32Number PixelType = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8;

// The same intent as ImageMagick's "-profile" and most photo programs: perceptual, which for
// the matrix profiles of cameras and phones is the same as relative colorimetric. The transform
// keeps no cache of the last pixel, so that threads may share it.
constexpr cmsUInt32Number Intent = INTENT_PERCEPTUAL;
constexpr cmsUInt32Number Flags = cmsFLAGS_NOCACHE;

// An lcms2 profile that is always closed.
struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using ProfileHandle = std::unique_ptr<void, ProfileCloser>;

ProfileHandle SRgb() {
    return ProfileHandle(cmsCreate_sRGBProfile());
}

// True when every colour of a coarse grid comes out within one level of itself: the profile
// is sRGB (or as good as), and converting would only cost time.
bool LeavesSRgbAlone(cmsHTRANSFORM transform) {
    constexpr int Steps = 9;
    std::vector<QRgb> in;
    for (int r = 0; r < Steps; ++r)
        for (int g = 0; g < Steps; ++g)
            for (int b = 0; b < Steps; ++b)
                in.push_back(
                    qRgb(r * 255 / (Steps - 1), g * 255 / (Steps - 1), b * 255 / (Steps - 1)));
    std::vector<QRgb> out(in.size());
    cmsDoTransform(transform, in.data(), out.data(), static_cast<cmsUInt32Number>(in.size()));
    for (std::size_t i = 0; i < in.size(); ++i)
        if (std::abs(qRed(in[i]) - qRed(out[i])) > 1 ||
            std::abs(qGreen(in[i]) - qGreen(out[i])) > 1 ||
            std::abs(qBlue(in[i]) - qBlue(out[i])) > 1)
            return false;
    return true;
}

cmsToneCurve* CurveFor(int transfer) {
    // H.273 transfer characteristics, as the curve from coded values to light.
    switch (transfer) {
    case 1: // BT.709
    case 6: // BT.601
    case 14:
    case 15: { // BT.2020, 10 and 12 bits
        const cmsFloat64Number bt709[5] = {1 / 0.45, 1 / 1.099, 0.099 / 1.099, 1 / 4.5, 0.081};
        return cmsBuildParametricToneCurve(nullptr, 4, bt709);
    }
    case 4:
        return cmsBuildGamma(nullptr, 2.2);
    case 5:
        return cmsBuildGamma(nullptr, 2.8);
    case 8:
        return cmsBuildGamma(nullptr, 1.0);
    default: { // 13 (sRGB) and whatever else: the curve of the screens the picture was made for
        const cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        return cmsBuildParametricToneCurve(nullptr, 4, srgb);
    }
    }
}

} // namespace

struct TColorConversion::TTransform {
    cmsHTRANSFORM Handle = nullptr; // RGB or CMYK to RGB; null for a grey table
    bool Cmyk = false;
    std::array<QRgb, 256> Grey{};

    TTransform() = default;
    TTransform(const TTransform&) = delete;
    TTransform& operator=(const TTransform&) = delete;
    ~TTransform() {
        if (Handle != nullptr)
            cmsDeleteTransform(Handle);
    }
};

TColorConversion TColorConversion::FromIcc(const QByteArray& icc, TProfileInput input) {
    if (icc.size() < 128 || icc.size() > MaxIccProfileBytes)
        return {};
    // The colour space as the header names it in its four bytes at offset 16 (lcms2 hands it
    // back as an enum, and a file may hold any value there, also one the enum does not name).
    const QByteArray space = icc.mid(16, 4);
    const bool cmyk = input == TProfileInput::Cmyk || input == TProfileInput::CmykInverted;
    const bool fits = (input == TProfileInput::Rgb && space == "RGB ") ||
                      (input == TProfileInput::Grey && space == "GRAY") ||
                      (cmyk && space == "CMYK");
    if (!fits)
        return {};
    const ProfileHandle profile(
        cmsOpenProfileFromMem(icc.constData(), static_cast<cmsUInt32Number>(icc.size())));
    if (!profile)
        return {};
    const ProfileHandle srgb = SRgb();
    auto transform = std::make_shared<TTransform>();
    if (input == TProfileInput::Grey) {
        // A grey profile only bends the tone curve: a table of the 256 greys does it.
        cmsHTRANSFORM grey =
            cmsCreateTransform(profile.get(), TYPE_GRAY_8, srgb.get(), TYPE_RGB_8, Intent, Flags);
        if (grey == nullptr)
            return {};
        std::array<cmsUInt8Number, 256> levels{};
        std::array<cmsUInt8Number, 256 * 3> rgb{};
        for (int v = 0; v < 256; ++v)
            levels[v] = static_cast<cmsUInt8Number>(v);
        cmsDoTransform(grey, levels.data(), rgb.data(), 256);
        cmsDeleteTransform(grey);
        bool same = true;
        for (int v = 0; v < 256; ++v) {
            transform->Grey[v] = qRgb(rgb[v * 3], rgb[v * 3 + 1], rgb[v * 3 + 2]);
            same = same && std::abs(rgb[v * 3] - v) <= 1 && std::abs(rgb[v * 3 + 1] - v) <= 1 &&
                   std::abs(rgb[v * 3 + 2] - v) <= 1;
        }
        if (same)
            return {};
    } else {
        const cmsUInt32Number from = input == TProfileInput::Rgb    ? PixelType
                                     : input == TProfileInput::Cmyk ? TYPE_CMYK_8
                                                                    : TYPE_CMYK_8_REV;
        transform->Handle =
            cmsCreateTransform(profile.get(), from, srgb.get(), PixelType, Intent, Flags);
        if (transform->Handle == nullptr)
            return {};
        transform->Cmyk = cmyk;
        if (!cmyk && LeavesSRgbAlone(transform->Handle))
            return {};
    }
    TColorConversion conversion;
    conversion.FTransform = std::move(transform);
    return conversion;
}

TColorConversion TColorConversion::FromPrimaries(const TColorPrimaries& p) {
    const cmsCIExyY white{p.WhiteX, p.WhiteY, 1.0};
    const cmsCIExyYTRIPLE primaries{
        {p.RedX, p.RedY, 1.0}, {p.GreenX, p.GreenY, 1.0}, {p.BlueX, p.BlueY, 1.0}};
    const auto valid = [](double x, double y) { return x > 0 && y > 0 && x + y <= 1.0; };
    if (!valid(p.WhiteX, p.WhiteY) || !valid(p.RedX, p.RedY) || !valid(p.GreenX, p.GreenY) ||
        !valid(p.BlueX, p.BlueY))
        return {};
    cmsToneCurve* curve = CurveFor(p.Transfer);
    if (curve == nullptr)
        return {};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const ProfileHandle profile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    if (!profile)
        return {};
    const ProfileHandle srgb = SRgb();
    auto transform = std::make_shared<TTransform>();
    transform->Handle =
        cmsCreateTransform(profile.get(), PixelType, srgb.get(), PixelType, Intent, Flags);
    if (transform->Handle == nullptr || LeavesSRgbAlone(transform->Handle))
        return {};
    TColorConversion conversion;
    conversion.FTransform = std::move(transform);
    return conversion;
}

bool TColorConversion::FromCmyk() const {
    return FTransform != nullptr && FTransform->Cmyk;
}

void TColorConversion::ConvertRow(QRgb* row, int width) const {
    if (FTransform == nullptr || FTransform->Cmyk || width <= 0)
        return;
    if (FTransform->Handle == nullptr) {
        for (int x = 0; x < width; ++x)
            row[x] = FTransform->Grey[qGreen(row[x])];
        return;
    }
    // In place: lcms2 reads each pixel before it writes it, and leaves the fourth byte alone.
    cmsDoTransform(FTransform->Handle, row, row, static_cast<cmsUInt32Number>(width));
}

void TColorConversion::ConvertCmykRow(const uchar* cmyk, QRgb* out, int width) const {
    if (FTransform == nullptr || !FTransform->Cmyk || width <= 0)
        return;
    cmsDoTransform(FTransform->Handle, cmyk, out, static_cast<cmsUInt32Number>(width));
    for (int x = 0; x < width; ++x)
        out[x] |= 0xFF000000u; // the transform leaves the fourth byte as it found it
}

void TColorConversion::Convert(QImage& image) const {
    if (FTransform == nullptr || FTransform->Cmyk || image.isNull())
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        ConvertRow(reinterpret_cast<QRgb*>(image.scanLine(y)), image.width());
}
