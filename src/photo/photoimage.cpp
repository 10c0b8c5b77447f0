#include "photoimage.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

#include "exif.h"
#include "platform/areareducer.h"
#include "platform/graphicpart.h"

void TPhotoImage::LoadFromFile(const QString& fileName) {
    Load(ReadGraphicFile(fileName), QFileInfo(fileName).fileName());
}

void TPhotoImage::LoadFromBytes(const QByteArray& bytes) {
    Load(bytes, QString());
}

void TPhotoImage::Load(const QByteArray& bytes, const QString& fileName) {
    const std::optional<TPhotoFormat> sniffed = SniffPhotoFormat(bytes);
    const TPhotoFormat format = sniffed.value_or(FFormat);
    TPhotoHeader header;
    try {
        header = ReadPhotoHeader(bytes);
    } catch (const EInvalidGraphic& e) {
        throw Reworded(e, format, fileName);
    }
    // Before any pixel is decoded: the header's word is all there is yet.
    const QSize largest = header.LargestSize();
    if (qint64(largest.width()) * largest.height() > MaxGraphicPixels)
        throw GraphicTooLarge(largest.width(), largest.height(), fileName);
    FData = bytes;
    FHeader = header;
    FFormat = header.Format;
    FFileName = fileName;
    FDecoded = QImage();
    ClearDamage();
}

void TPhotoImage::CheckData() const {
    // These readers decode the whole picture whatever size is asked for: the smallest keeps
    // least.
    if (!FData.isEmpty() && FDecoded.isNull())
        FDecoded = Render(QSize(1, 1).expandedTo(FHeader.SeenSize() / 64));
}

void TPhotoImage::SaveToStream(QIODevice& stream) const {
    if (FData.isEmpty() || stream.write(FData) != FData.size())
        throw EInvalidGraphic(FormatMessage(QStringLiteral("%sイメージを書き込めません。"),
                                            {PhotoFormatName(FFormat)}));
}

EInvalidGraphic TPhotoImage::Reworded(const EInvalidGraphic& error, TPhotoFormat format,
                                      const QString& fileName) {
    const auto* photo = dynamic_cast<const EPhotoError*>(&error);
    if (photo == nullptr)
        return error; // complete already (a picture too large)
    const QString name = PhotoFormatName(format);
    const QString file =
        fileName.isEmpty() ? QString() : QStringLiteral("「") + fileName + QStringLiteral("」");
    switch (photo->Kind()) {
    case EPhotoError::pkNotThisFormat:
        return EInvalidGraphic(FormatMessage(
            QStringLiteral(
                "%sイメージ%sを読み込めません。ファイルが壊れているか、%sイメージではありません。"),
            {name, file, name}));
    case EPhotoError::pkNoReader: {
        // The reason names the missing package; without one it is Qt's readers.
        const QString part =
            error.Message().isEmpty()
                ? QStringLiteral("Qt の部品（qt6-image-formats-plugins）")
                : QStringLiteral("部品（") + error.Message() + QStringLiteral("）");
        return EInvalidGraphic(FormatMessage(
            QStringLiteral(
                "%sイメージ%sを読み込めません。%sイメージを読むための%sが入っていません。"),
            {name, file, name, part}));
    }
    case EPhotoError::pkOutOfMemory:
        return EInvalidGraphic(FormatMessage(
            QStringLiteral("%sイメージ%sを展開するメモリが足りません。"), {name, file}));
    case EPhotoError::pkDamaged:
        break;
    }
    const QString reason = error.Message().isEmpty()
                               ? QString()
                               : QStringLiteral("（") + error.Message() + QStringLiteral("）");
    return EInvalidGraphic(FormatMessage(
        QStringLiteral("%sイメージ%sが壊れているため読み込めません%s。"), {name, file, reason}));
}

QImage TPhotoImage::Render(const QSize& seen) const {
    QImage stored;
    bool damaged = false;
    try {
        stored = DecodePhoto(FData, FHeader, &damaged);
    } catch (const EInvalidGraphic& e) {
        throw Reworded(e, FFormat, FFileName);
    }
    if (damaged)
        NoteDamage(PhotoFormatName(FFormat) + QStringLiteral("の画像データ"));
    const bool turns = OrientationSwapsAxes(FHeader.Orientation);
    const QSize target = turns ? seen.transposed() : seen;
    if (target.width() < stored.width() || target.height() < stored.height()) {
        // None of these decoders makes a smaller picture for less work (libheif has no scaled
        // decoding; of Qt 6.4's readers only the PNG one takes a scaled size, and it scales
        // the whole picture after decoding it), so the whole picture is reduced here: each
        // pixel the average of the area it covers, as a JPEG image is reduced.
        TAreaReducer reducer(stored.size(), target);
        for (int y = 0; y < stored.height(); ++y)
            reducer.AddRow(reinterpret_cast<const QRgb*>(stored.constScanLine(y)));
        stored = reducer.Result();
        if (stored.isNull())
            throw Reworded(EPhotoError(EPhotoError::pkOutOfMemory), FFormat, FFileName);
    }
    QImage image = ApplyExifOrientation(stored, FHeader.Orientation);
    FHeader.Colours().Convert(image);
    return image;
}

QImage TPhotoImage::ToImage() const {
    if (FData.isEmpty())
        return {};
    const QSize seen = FHeader.SeenSize();
    if (FDecoded.size() != seen)
        FDecoded = Render(seen);
    return FDecoded;
}

QSize TPhotoImage::DecodingSize(const QSize& size) const {
    const QSize seen = FHeader.SeenSize();
    // The smallest size of the photo's own shape that covers `size`.
    const double scale =
        std::max(double(size.width()) / seen.width(), double(size.height()) / seen.height());
    if (scale >= 1.0)
        return seen;
    return {std::clamp(int(std::ceil(seen.width() * scale)), 1, seen.width()),
            std::clamp(int(std::ceil(seen.height() * scale)), 1, seen.height())};
}

QImage TPhotoImage::ToImageForSize(const QSize& size) const {
    if (FData.isEmpty())
        return {};
    const QSize wanted = DecodingSize(size);
    if (wanted == FHeader.SeenSize())
        return ToImage();
    // Every decoding decodes the whole photo: one that covers the size is used again.
    if (FDecoded.width() >= wanted.width() && FDecoded.height() >= wanted.height())
        return FDecoded;
    FDecoded = Render(wanted);
    return FDecoded;
}

QImage TPhotoImage::DecodeForSize(const QSize& size) const {
    if (FData.isEmpty())
        return {};
    return Render(DecodingSize(size));
}

bool TPhotoImage::HasDecoding(const QSize& size) const {
    const QSize wanted = DecodingSize(size);
    return !FData.isEmpty() && FDecoded.width() >= wanted.width() &&
           FDecoded.height() >= wanted.height();
}

void TPhotoImage::KeepDecoding(const QImage& decoded) const {
    if (decoded.isNull() || FData.isEmpty())
        return;
    const QSize seen = FHeader.SeenSize();
    if (decoded.width() > seen.width() || decoded.height() > seen.height())
        return; // not a decoding of this photo
    if (FDecoded.width() >= decoded.width() && FDecoded.height() >= decoded.height())
        return;
    FDecoded = decoded;
}

QImage TPhotoImage::Thumbnail() const {
    if (FData.isEmpty())
        return {};
    QImage thumbnail = DecodePhotoThumbnail(FData, FHeader);
    if (thumbnail.isNull())
        return {};
    // As Render treats the photo: turned, then converted to sRGB by the photo's own profile.
    thumbnail = ApplyExifOrientation(thumbnail, FHeader.Orientation);
    FHeader.Colours().Convert(thumbnail);
    return thumbnail;
}

QImage TPhotoImage::ToImageWithin(const QSize& limit) const {
    if (FData.isEmpty())
        return {};
    const QSize seen = FHeader.SeenSize();
    const QSize size = seen.boundedTo(limit).expandedTo(QSize(1, 1));
    if (size == seen)
        return ToImage();
    if (FDecoded.size() == size)
        return FDecoded;
    return Render(size);
}

TGraphicPart TPhotoImage::ToImagePart(const QRectF& part, const QSize& size) const {
    if (FData.isEmpty())
        return {};
    const QSize seen = FHeader.SeenSize();
    const QRectF p = part & QRectF(QPointF(0, 0), QSizeF(seen));
    if (p.isEmpty())
        return {};
    const double scale =
        std::min(1.0, std::max(size.width() / p.width(), size.height() / p.height()));
    const QSize wanted(std::clamp(int(std::ceil(seen.width() * scale)), 1, seen.width()),
                       std::clamp(int(std::ceil(seen.height() * scale)), 1, seen.height()));
    if (FDecoded.size() != wanted)
        FDecoded = Render(wanted);
    const TGraphicPartPlan plan = PlanGraphicPart(QSizeF(seen), wanted, p, size);
    if (plan.Region.isEmpty())
        return {};
    return {ReduceGraphicRegion(FDecoded, plan.Region, plan.Out), plan.Source};
}

std::unique_ptr<TGraphic> TPhotoImage::Clone() const {
    return std::make_unique<TPhotoImage>(*this);
}

void TPhotoImage::Assign(const TGraphic& source) {
    if (&source == this)
        return;
    if (const auto* photo = dynamic_cast<const TPhotoImage*>(&source)) {
        *this = *photo;
        return;
    }
    const QImage pixels = source.ToImage();
    if (pixels.isNull()) {
        FData.clear();
        FHeader = {};
        FDecoded = QImage();
        return;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(pixels.convertToFormat(QImage::Format_RGB32)))
        throw EInvalidGraphic(QStringLiteral("PNGイメージを書き込めません。"));
    LoadFromBytes(buffer.data());
}
