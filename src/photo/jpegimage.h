// A JPEG picture as the class library keeps one: the compressed bytes as they came from the
// file, decoded by our libjpeg codec when first drawn. Reading a file only reads its header, so
// width and height are known at once; a reduced picture for a small preview can be decoded at
// 1/2, 1/4 or 1/8 scale for a fraction of the work, the full picture for printing.
#pragma once

#include <algorithm>
#include <cstdint>

#include <QByteArray>
#include <QImage>

#include "jpegcodec.h"
#include "platform/graphic.h"

enum TJPEGScale : std::uint8_t { jsFullSize, jsHalf, jsQuarter, jsEighth };

class TJPEGImage : public TGraphic {
  public:
    TJPEGImage() = default;
    TJPEGImage(const TJPEGImage&) = default;
    TJPEGImage& operator=(const TJPEGImage&) = default;

    QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
    /// Size at the current Scale, as the photo is seen (EXIF orientation applied).
    int Width() const override { return FHeader.SeenSize(ScaleNumerator()).width(); }
    int Height() const override { return FHeader.SeenSize(ScaleNumerator()).height(); }
    bool Empty() const override { return FData.isEmpty(); }
    bool LossyFormat() const override { return true; }

    /// Reads and checks the header and keeps the bytes; the pixels are decoded on demand.
    void LoadFromBytes(const QByteArray& bytes) override;
    /// Writes the bytes as they were read (nothing is lost by recompressing).
    void SaveToStream(QIODevice& stream) const override;
    /// The decoded picture at the current Scale; decoded once and kept until the data changes.
    QImage ToImage() const override;
    /// Decodes at the smallest of the scales 1/8, 1/4, 1/2 and 1 that still covers `size` (or
    /// falls short of it by less than an eighth), unless the last decoding already covers it;
    /// either way that decoding is kept.
    QImage ToImageForSize(const QSize& size) const override;
    /// Decodes at the smallest of those scales that leaves twice `limit`, and averages that
    /// down to `limit` while decoding; nothing is kept.
    QImage ToImageWithin(const QSize& limit) const override;
    /// Decodes at the smallest of those scales that gives the part `size` pixels: from the
    /// last decoding when it was made at that very scale, else the part alone
    /// (DecodeJPEGPart); nothing is kept. Either way the pixels are the same.
    TGraphicPart ToImagePart(const QRectF& part, const QSize& size) const override;
    std::unique_ptr<TGraphic> Clone() const override;
    /// From another JPEG image: shares its bytes. From any other graphic: compresses its
    /// pixels with CompressionQuality.
    void Assign(const TGraphic& source) override;

    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale scale);
    /// Quality 1..100 used when a bitmap is assigned; 90 as in the class library.
    int CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(int quality) { FQuality = std::clamp(quality, 1, 100); }

    /// The header facts: stored size, orientation, components.
    const TJPEGHeader& Header() const { return FHeader; }
    /// The compressed bytes.
    const QByteArray& Data() const { return FData; }

    /// The size of a JPEG stream as seen, from its header alone.
    static QSize ReadSize(const QByteArray& bytes);

    /// Decodes at 1/8 where nothing was decoded yet: all the scan data is read.
    void CheckData() const override;

  private:
    int ScaleNumerator() const { return 8 >> FScale; }
    /// Decodes at `num`/8 into FDecoded, noting damage decoded past.
    void Decode(int num) const;
    void NoteDamaged(bool damaged) const;
    /// The smallest numerator of 1, 2, 4 and 8 whose decoding covers `size`, less an eighth
    /// (8 if none).
    int NumeratorCovering(const QSize& size) const;

    QByteArray FData;
    TJPEGHeader FHeader;
    TJPEGScale FScale = jsFullSize;
    int FQuality = 90;
    // The last decoding and the scale it was made at (0: none). Copies share it.
    mutable QImage FDecoded;
    mutable int FDecodedNum = 0;
};
