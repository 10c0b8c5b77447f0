#include "jpegimage.h"

#include <QIODevice>

#include "platform/graphicpart.h"

void TJPEGImage::LoadFromBytes(const QByteArray& bytes) {
    const TJPEGHeader header = ReadJPEGHeader(bytes); // throws before anything changes
    FData = bytes;
    FHeader = header;
    FDecoded = QImage();
    FDecodedNum = 0;
    ClearDamage();
}

void TJPEGImage::SaveToStream(QIODevice& stream) const {
    if (FData.isEmpty() || stream.write(FData) != FData.size())
        throw EInvalidGraphic(QStringLiteral("JPEGイメージを書き込めません。"));
}

QImage TJPEGImage::ToImage() const {
    if (FData.isEmpty())
        return {};
    const int num = ScaleNumerator();
    if (FDecodedNum != num)
        Decode(num);
    return FDecoded;
}

void TJPEGImage::Decode(int num) const {
    bool damaged = false;
    try {
        FDecoded = DecodeJPEG(FData, num, &damaged);
    } catch (...) {
        NoteDamaged(damaged);
        throw;
    }
    FDecodedNum = num;
    NoteDamaged(damaged);
}

void TJPEGImage::NoteDamaged(bool damaged) const {
    if (damaged)
        NoteDamage(JPEGDamageReason());
}

void TJPEGImage::CheckData() const {
    // The smallest decoding reads all the scan data, which is what damage is found in.
    if (!FData.isEmpty() && FDecodedNum == 0)
        Decode(1);
}

QImage TJPEGImage::ToImageForSize(const QSize& size) const {
    if (FData.isEmpty())
        return {};
    const int num = NumeratorCovering(size);
    // Every decoding reads the whole compressed stream, whatever its scale: that, not the
    // pixels made, is most of its cost. So a decoding that already covers the size is used
    // again, also one larger than asked for.
    if (FDecodedNum >= num)
        return FDecoded;
    Decode(num);
    return FDecoded;
}

QImage TJPEGImage::ToImageWithin(const QSize& limit) const {
    if (FData.isEmpty())
        return {};
    const QSize seen = FHeader.SeenSize();
    const QSize size = seen.boundedTo(limit).expandedTo(QSize(1, 1));
    if (size == seen)
        return ToImageForSize(seen);
    bool damaged = false;
    QImage reduced = DecodeJPEGReduced(FData, NumeratorCovering(2 * size), size, &damaged);
    NoteDamaged(damaged);
    return reduced;
}

TGraphicPart TJPEGImage::ToImagePart(const QRectF& part, const QSize& size) const {
    if (FData.isEmpty())
        return {};
    const QSizeF seen(Width(), Height());
    const QRectF p = part & QRectF(QPointF(0, 0), seen);
    if (p.isEmpty())
        return {};
    const auto covers = [&](int num) {
        const QSize decoded = FHeader.SeenSize(num);
        return p.width() * decoded.width() / seen.width() >= size.width() &&
               p.height() * decoded.height() / seen.height() >= size.height();
    };
    int num = 1;
    while (num < ScaleNumerator() && !covers(num))
        num *= 2;
    const TGraphicPartPlan plan = PlanGraphicPart(seen, FHeader.SeenSize(num), p, size);
    if (plan.Region.isEmpty())
        return {};
    // Only a decoding at this very scale has the pixels the part decodes to; one at another
    // scale would make the part depend on what was drawn before.
    if (FDecodedNum == num)
        return {ReduceGraphicRegion(FDecoded, plan.Region, plan.Out), plan.Source};
    bool damaged = false;
    QImage pixels = DecodeJPEGPart(FData, num, plan.Region, plan.Out, &damaged);
    NoteDamaged(damaged);
    return {pixels, plan.Source};
}

int TJPEGImage::NumeratorCovering(const QSize& size) const {
    // Halves only: libjpeg-turbo has fast inverse transforms for 1/8, 1/4 and 1/2, while 3/8,
    // 5/8, 6/8 and 7/8 go through plain ones that make a 3/8 decoding as slow as a full one.
    // A halving that falls short of the size by less than an eighth covers it: callers ask
    // for twice the pixels they draw, and 1.75 times as many look the same once drawn, while
    // the next larger halving costs a tenth more to decode and holds four times the pixels.
    const auto covers = [this, &size](int num) {
        const QSize seen = FHeader.SeenSize(num);
        return 8 * qint64(seen.width()) >= 7 * qint64(size.width()) &&
               8 * qint64(seen.height()) >= 7 * qint64(size.height());
    };
    int num = 1;
    while (num < 8 && !covers(num))
        num *= 2;
    return num;
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
    return std::make_unique<TJPEGImage>(*this);
}

void TJPEGImage::Assign(const TGraphic& source) {
    if (&source == this)
        return;
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        *this = *jpeg;
        return;
    }
    const QImage pixels = source.ToImage();
    if (pixels.isNull()) {
        FData.clear();
        FHeader = {};
        FDecoded = QImage();
        FDecodedNum = 0;
        return;
    }
    LoadFromBytes(EncodeJPEG(pixels, FQuality));
}

void TJPEGImage::SetScale(TJPEGScale scale) {
    if (scale > jsEighth)
        return;
    FScale = scale;
}

QSize TJPEGImage::ReadSize(const QByteArray& bytes) {
    return ReadJPEGHeader(bytes).SeenSize();
}
