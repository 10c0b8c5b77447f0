// The colours of a photo that says what its pixel values mean: a phone's Display P3, a camera's
// Adobe RGB or a printing house's CMYK, named by an embedded ICC profile (or, in a HEIF file, by
// its primaries and tone curve). Screens, PDF files and printer drivers take pixels to be sRGB,
// so such a photo is converted to sRGB while it is decoded, through lcms2; a photo that names
// nothing is sRGB already.
#pragma once

#include <memory>

#include <QByteArray>
#include <QImage>

/// The pixels a conversion is given.
enum class TProfileInput {
    Rgb,         // 32-bit RGB (QImage::Format_RGB32)
    Grey,        // 32-bit RGB whose three channels are equal
    Cmyk,        // four bytes a pixel, 255 the most ink
    CmykInverted // four bytes a pixel as Adobe's programs write CMYK JPEGs, 0 the most ink
};

/// A picture's colours described by numbers instead of a profile: the chromaticities of its
/// primaries and white point, and its tone curve by its code in ITU-T H.273 (HEIF's "nclx").
struct TColorPrimaries {
    double RedX = 0, RedY = 0, GreenX = 0, GreenY = 0, BlueX = 0, BlueY = 0;
    double WhiteX = 0, WhiteY = 0;
    int Transfer = 13; // 13: the sRGB curve
};

/// ICC profiles larger than this are ignored: real ones are a few kilobytes, the largest
/// printer profiles a few megabytes.
inline constexpr qsizetype MaxIccProfileBytes = 16 * 1024 * 1024;

/// A conversion of pixels to sRGB; none (converting nothing) when made empty. Copies share one
/// transform, which any number of threads may use at once.
class TColorConversion {
  public:
    TColorConversion() = default;

    /// From an ICC profile for pixels of kind `input`. None when the profile cannot be read,
    /// is for other pixels than `input` (an RGB profile in a CMYK picture), or leaves sRGB
    /// pixels as they are (an sRGB profile, as many cameras embed).
    static TColorConversion FromIcc(const QByteArray& icc, TProfileInput input);
    /// From primaries and a tone curve, for RGB pixels; none when they are sRGB's.
    static TColorConversion FromPrimaries(const TColorPrimaries& primaries);

    /// True when the conversion changes pixels.
    bool Active() const { return FTransform != nullptr; }
    /// True for a conversion from CMYK pixels (ConvertCmykRow), false for RGB (ConvertRow).
    bool FromCmyk() const;

    /// Converts `width` pixels of 32-bit RGB in place.
    void ConvertRow(QRgb* row, int width) const;
    /// Converts `width` CMYK pixels (four bytes each) into 32-bit RGB pixels at `out`.
    void ConvertCmykRow(const uchar* cmyk, QRgb* out, int width) const;
    /// Converts every row of a 32-bit RGB image in place.
    void Convert(QImage& image) const;

  private:
    struct TTransform;
    std::shared_ptr<const TTransform> FTransform;
};
