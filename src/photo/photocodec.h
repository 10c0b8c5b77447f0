// Reading the photo formats besides JPEG and bitmaps: PNG, GIF (its first frame), TIFF and
// WebP through Qt's image readers, HEIF (the HEIC photos of phones) through libheif. The header
// is read on its own, with the orientation and colour profile the file carries, so that a
// picture's size is known and checked against MaxGraphicPixels before any pixel is decoded.
// Errors raise EInvalidGraphic with the reason in TPhotoError; the caller words the message.
#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "colorprofile.h"
#include "platform/graphic.h"

enum class TPhotoFormat : std::uint8_t { Png, Gif, Tiff, WebP, Heif };

/// The format's name in messages ("PNG", "HEIF", ...).
QString PhotoFormatName(TPhotoFormat format);

/// What a photo file says before its pixels are decoded.
struct TPhotoHeader {
    TPhotoFormat Format = TPhotoFormat::Png;
    /// Size of the pixels as decoded, before Orientation is applied. A HEIF image's own
    /// rotation, mirroring and cropping are applied by libheif: for HEIF this is the size seen.
    QSize StoredSize;
    /// The size the decoder makes first: for HEIF, the coded image before cropping and
    /// turning, which may be larger than StoredSize; for the others StoredSize. The limit of
    /// MaxGraphicPixels applies to both.
    QSize CodedSize;
    int Orientation = 1; // EXIF orientation, 1 = upright
    /// The embedded ICC profile; empty when none.
    QByteArray IccProfile;
    /// A HEIF image's colours by numbers, when it has no ICC profile.
    std::optional<TColorPrimaries> Primaries;
    /// The pixels went through a lossy codec (a WebP photo's VP8 data, a HEIF image): stored
    /// again, a JPEG of high quality loses nothing that was there.
    bool Lossy = false;

    /// Size as the picture is seen.
    QSize SeenSize() const;
    /// The larger of StoredSize and CodedSize, by pixels: what the limit is checked on.
    QSize LargestSize() const;
    /// The conversion of the decoded pixels to sRGB; none for sRGB pictures and pictures that
    /// say nothing of their colours.
    TColorConversion Colours() const;
};

/// A photo that cannot be read: what the reader found, in Japanese where it is ours, with the
/// decoder's own words (English) in brackets where it is theirs. Not yet the message for the
/// user, which names the format and the file.
class EPhotoError : public EInvalidGraphic {
  public:
    enum TKind : std::uint8_t { pkNotThisFormat, pkNoReader, pkDamaged, pkOutOfMemory };
    EPhotoError(TKind kind, const QString& reason = {}) : EInvalidGraphic(reason), FKind(kind) {}
    TKind Kind() const { return FKind; }

  private:
    TKind FKind;
};

/// The format of a photo by its first bytes; none when it is none of these.
std::optional<TPhotoFormat> SniffPhotoFormat(const QByteArray& data);

/// Reads the header of a photo of any of these formats, decided by its content; no pixel
/// memory is taken, whatever size the header claims (the caller checks it). Raises EPhotoError
/// (pkNotThisFormat when the content is none of them).
TPhotoHeader ReadPhotoHeader(const QByteArray& data);

/// Decodes the picture as stored: 32-bit RGB (QImage::Format_RGB32) of header.StoredSize,
/// transparent parts laid on white paper, neither turned nor converted to sRGB. Raises
/// EPhotoError, or GraphicTooLarge's error for a header over MaxGraphicPixels.
/// `damaged`, when given, says whether the reader decoded past damaged data (its notes
/// speak of it) instead of refusing the picture.
QImage DecodePhoto(const QByteArray& data, const TPhotoHeader& header, bool* damaged = nullptr);

/// The small picture a photo file carries to show it quickly, for the formats that have one
/// (HEIF's thumbnail), as DecodePhoto's picture would be seen but smaller; null otherwise.
QImage DecodePhotoThumbnail(const QByteArray& data, const TPhotoHeader& header);

// The two families of readers behind the functions above.
TPhotoHeader ReadQtPhotoHeader(const QByteArray& data, TPhotoFormat format);
QImage DecodeQtPhoto(const QByteArray& data, const TPhotoHeader& header, bool* damaged = nullptr);
TPhotoHeader ReadHeifHeader(const QByteArray& data);
QImage DecodeHeif(const QByteArray& data, const TPhotoHeader& header);

/// The thumbnail a HEIF file carries for its primary image, as the decoded picture would be
/// seen (turned, mirrored and cropped as the primary image: of the shape of
/// header.StoredSize), not converted to sRGB; null when the file carries none that is far
/// smaller than the photo, or it cannot be read. Raises nothing: the photo itself tells what
/// is wrong with a file.
QImage DecodeHeifThumbnail(const QByteArray& data, const TPhotoHeader& header);
