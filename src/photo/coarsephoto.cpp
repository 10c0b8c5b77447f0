#include "coarsephoto.h"

TCoarsePhoto::TCoarsePhoto(const QSize& size, QImage pixels)
    : FSize(size),
      FPixels(pixels.isNull() ? QImage() : pixels.convertToFormat(QImage::Format_RGB32)) {}

void TCoarsePhoto::LoadFromBytes(const QByteArray&) {
    throw EInvalidGraphic(QStringLiteral("展開中の画像は読み込めません。"));
}

void TCoarsePhoto::SaveToStream(QIODevice&) const {
    throw EInvalidGraphic(QStringLiteral("展開中の画像は書き込めません。"));
}

QImage TCoarsePhoto::ToImage() const {
    if (FPixels.isNull() || FSize.isEmpty())
        return {};
    return FPixels.scaled(FSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage TCoarsePhoto::ToImageForSize(const QSize&) const {
    return FPixels;
}

QImage TCoarsePhoto::ToImageWithin(const QSize& limit) const {
    if (FPixels.isNull())
        return {};
    QSize size = FSize;
    if (size.width() > limit.width() || size.height() > limit.height())
        size = FSize.scaled(limit, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    return FPixels.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::unique_ptr<TGraphic> TCoarsePhoto::Clone() const {
    return std::make_unique<TCoarsePhoto>(*this);
}
