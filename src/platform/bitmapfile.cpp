// TBitmap as a graphic class: reading and writing bitmap files, drawing, copying.
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include "bitmap.h"

namespace {

quint32 U32At(const QByteArray& b, qsizetype at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}

quint16 U16At(const QByteArray& b, qsizetype at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

// Whether a Windows bitmap file ends before the last of the pixel rows its header promises.
// Qt's reader takes such a file and leaves the missing rows as they happen to be, a picture no
// one wants printed. Compressed rows (RLE) carry their own end and are not measured here.
bool IsCutShortBitmap(const QByteArray& b) {
    if (b.size() < 26 || !b.startsWith("BM"))
        return false;
    const quint32 pixelOffset = U32At(b, 10);
    const quint32 headerSize = U32At(b, 14);
    qint64 width = 0, height = 0, bitCount = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = U16At(b, 18);
        height = U16At(b, 20);
        bitCount = U16At(b, 24);
    } else if (headerSize >= 40 && b.size() >= 54) {
        width = qint32(U32At(b, 18));
        height = qint32(U32At(b, 22));
        bitCount = U16At(b, 28);
        compression = U32At(b, 30);
    } else {
        return false;
    }
    constexpr quint32 Rgb = 0, BitFields = 3, AlphaBitFields = 6;
    if (compression != Rgb && compression != BitFields && compression != AlphaBitFields)
        return false;
    if (width <= 0 || height == 0 || bitCount == 0)
        return false;
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    return b.size() < qint64(pixelOffset) + rowBytes * qAbs(height);
}

} // namespace

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
        throw EInvalidGraphic(QStringLiteral(
            "ビットマップ画像を読み込めません。ファイルが壊れているか、ビットマップではありません。"));
    if (static_cast<qint64>(size.width()) * size.height() > MaxGraphicPixels)
        throw GraphicTooLarge(size.width(), size.height());
    if (IsCutShortBitmap(bytes))
        throw EInvalidGraphic(QStringLiteral(
            "ビットマップ画像のデータが途中で切れています。ファイルが壊れています。"));
    // Room for the pixels at 32 bits and one conversion copy.
    reader.setAllocationLimit(static_cast<int>(MaxGraphicPixels * 4 / (1024 * 1024)) * 2);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw EInvalidGraphic(QStringLiteral(
            "ビットマップ画像を読み込めません。ファイルが壊れているか、ビットマップではありません。"));
    // The size a header states need not be the size the reader makes: a GIF announces the
    // size of its first frame and is drawn on a screen as large as it likes.
    if (static_cast<qint64>(image.width()) * image.height() > MaxGraphicPixels)
        throw GraphicTooLarge(image.width(), image.height());
    Assign(image);
}

void TBitmap::SaveToStream(QIODevice& stream) const {
    if (FCanvas)
        FCanvas->EndPaint();
    QImageWriter writer(&stream, "bmp");
    if (FImage.isNull() || !writer.write(FImage))
        throw EInvalidGraphic(QStringLiteral("ビットマップ画像を書き込めません。"));
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
