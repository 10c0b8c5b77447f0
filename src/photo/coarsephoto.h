// What a window shows of a photo while the photo itself is being decoded: a picture of the
// photo's size drawn from the few pixels at hand (the thumbnail its file carries), or nothing.
// Only a window's picture control holds it; the calendar holds the photo itself, so that the
// preview, the printer and a PDF file never get these pixels.
#pragma once

#include <QImage>
#include <QSize>

#include "platform/graphic.h"

class TCoarsePhoto : public TGraphic {
  public:
    /// A photo seen `size` large, drawn from `pixels` (of about its shape; may be null).
    TCoarsePhoto(const QSize& size, QImage pixels);

    QString ClassName() const override { return QStringLiteral("TCoarsePhoto"); }
    int Width() const override { return FSize.width(); }
    int Height() const override { return FSize.height(); }
    /// True without pixels: there is nothing to draw yet.
    bool Empty() const override { return FPixels.isNull(); }

    /// Refused: it is no file of any kind.
    void LoadFromBytes(const QByteArray& bytes) override;
    void SaveToStream(QIODevice& stream) const override;

    /// The pixels stretched to the photo's size.
    QImage ToImage() const override;
    /// The pixels as they are, however large the size asked for: there are no more.
    QImage ToImageForSize(const QSize& size) const override;
    QImage ToImageWithin(const QSize& limit) const override;
    std::unique_ptr<TGraphic> Clone() const override;

  private:
    QSize FSize;
    QImage FPixels;
};
