#include "photocodec.h"

#include "exif.h"

QString PhotoFormatName(TPhotoFormat format) {
    switch (format) {
    case TPhotoFormat::Png:
        return QStringLiteral("PNG");
    case TPhotoFormat::Gif:
        return QStringLiteral("GIF");
    case TPhotoFormat::Tiff:
        return QStringLiteral("TIFF");
    case TPhotoFormat::WebP:
        return QStringLiteral("WebP");
    case TPhotoFormat::Heif:
        return QStringLiteral("HEIF");
    }
    return {};
}

QSize TPhotoHeader::SeenSize() const {
    return OrientationSwapsAxes(Orientation) ? StoredSize.transposed() : StoredSize;
}

QSize TPhotoHeader::LargestSize() const {
    const auto pixels = [](const QSize& s) { return qint64(s.width()) * s.height(); };
    return pixels(CodedSize) > pixels(StoredSize) ? CodedSize : StoredSize;
}

TColorConversion TPhotoHeader::Colours() const {
    if (!IccProfile.isEmpty()) {
        // The decoded pixels are RGB; a grey picture has all three alike and may carry a grey
        // profile. A profile for other pixels (the CMYK profile of a CMYK TIFF file, which
        // Qt's reader has already made RGB) is of no use any more.
        TColorConversion rgb = TColorConversion::FromIcc(IccProfile, TProfileInput::Rgb);
        if (rgb.Active())
            return rgb;
        return TColorConversion::FromIcc(IccProfile, TProfileInput::Grey);
    }
    if (Primaries)
        return TColorConversion::FromPrimaries(*Primaries);
    return {};
}

std::optional<TPhotoFormat> SniffPhotoFormat(const QByteArray& data) {
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return TPhotoFormat::Png;
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return TPhotoFormat::Gif;
    if (data.startsWith(QByteArray("II*\0", 4)) || data.startsWith(QByteArray("MM\0*", 4)) ||
        data.startsWith(QByteArray("II+\0", 4)) || data.startsWith(QByteArray("MM\0+", 4)))
        return TPhotoFormat::Tiff;
    if (data.size() >= 12 && data.startsWith("RIFF") && data.mid(8, 4) == "WEBP")
        return TPhotoFormat::WebP;
    // An ISO media file: HEIF, or any other kind that libheif will tell apart.
    if (data.size() >= 12 && data.mid(4, 4) == "ftyp")
        return TPhotoFormat::Heif;
    return std::nullopt;
}

TPhotoHeader ReadPhotoHeader(const QByteArray& data) {
    const std::optional<TPhotoFormat> format = SniffPhotoFormat(data);
    if (!format)
        throw EPhotoError(EPhotoError::pkNotThisFormat);
    return *format == TPhotoFormat::Heif ? ReadHeifHeader(data) : ReadQtPhotoHeader(data, *format);
}

QImage DecodePhoto(const QByteArray& data, const TPhotoHeader& header, bool* damaged) {
    const QSize largest = header.LargestSize();
    if (qint64(largest.width()) * largest.height() > MaxGraphicPixels)
        throw GraphicTooLarge(largest.width(), largest.height());
    if (header.StoredSize.isEmpty())
        throw EPhotoError(EPhotoError::pkDamaged);
    return header.Format == TPhotoFormat::Heif ? DecodeHeif(data, header)
                                               : DecodeQtPhoto(data, header, damaged);
}

QImage DecodePhotoThumbnail(const QByteArray& data, const TPhotoHeader& header) {
    return header.Format == TPhotoFormat::Heif ? DecodeHeifThumbnail(data, header) : QImage();
}
