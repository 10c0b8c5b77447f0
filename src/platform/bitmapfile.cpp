// TBitmap as a graphic class: reading and writing bitmap files, drawing, copying.
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include "bitmap.h"

void TBitmap::Assign(const TGraphic& source) {
    if (&source == this)
        return;
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        *this = *bitmap;
        return;
    }
    Assign(source.ToImage());
}

void TBitmap::LoadFromBytes(const QByteArray& bytes) {
    QByteArray data = bytes; // QBuffer wants a non-const array; this is a shallow copy
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid())
        throw EInvalidGraphic(QStringLiteral("ビットマップ画像を読み込めません．ファイルが壊れてい"
                                             "るか，ビットマップではありません．"));
    if (static_cast<qint64>(size.width()) * size.height() > MaxGraphicPixels)
        throw GraphicTooLarge(size.width(), size.height());
    // Room for the pixels at 32 bits and one conversion copy.
    reader.setAllocationLimit(static_cast<int>(MaxGraphicPixels * 4 / (1024 * 1024)) * 2);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw EInvalidGraphic(QStringLiteral("ビットマップ画像を読み込めません．ファイルが壊れてい"
                                             "るか，ビットマップではありません．"));
    Assign(image);
}

void TBitmap::SaveToStream(QIODevice& stream) const {
    if (FCanvas)
        FCanvas->EndPaint();
    QImageWriter writer(&stream, "bmp");
    if (FImage.isNull() || !writer.write(FImage))
        throw EInvalidGraphic(QStringLiteral("ビットマップ画像を書き込めません．"));
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    if (Empty() || rect.IsEmpty())
        return;
    canvas.StretchDraw(rect, ToImage());
}

QImage TBitmap::ToImage() const {
    if (FCanvas)
        FCanvas->EndPaint();
    return FImage;
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    return std::make_unique<TBitmap>(*this);
}
