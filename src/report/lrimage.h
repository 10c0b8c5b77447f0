// The image item: draws a picture (bitmap, JPEG image or device-independent bitmap) cut to the
// item at one design unit per picture pixel, or stretched to fill it, whole or a part of it.
// The picture is reduced to plain pixels on every drawing, so the preview bitmap and the
// printer get the same path.
#pragma once

#include <QRectF>

#include "lritem.h"
#include "photo/picture.h"

class TLRImage : public TCustomLRItem {
  public:
    TLRImage();

    /// The item's own picture container. What is put in here directly is not tested.
    TPicture& Picture() { return FPicture; }
    const TPicture& Picture() const { return FPicture; }
    /// Copies `picture` into the item's container. Accepted: nullptr, an empty picture, a
    /// bitmap, a JPEG image or a device-independent bitmap; any other graphic raises Exception
    /// "イメージはビットマップかJPEGイメージのみ有効です" and leaves the picture as it was.
    void SetPicture(const TPicture* picture);

    bool Stretch() const { return FStretch; }
    void SetStretch(bool stretch);

    /// With Stretch: the part of the picture stretched into the item, in the picture's pixels
    /// as seen (a photo's orientation applied); an empty rectangle, the default, is the whole
    /// picture. Item bounds and this part together say which part of the picture shows where
    /// on the page: the point (x, y) of the picture as seen lands at
    /// (Left + (x − part.left) × Width / part.width, Top + (y − part.top) × Height / part.height)
    /// of the item, and nothing of the picture outside the part shows. A device that places the
    /// whole picture itself (a PDF embedding the photo's file) draws it that large, clipped to
    /// the item's bounds. The sheet sets this part for a photo that fills its box
    /// (TSheetLayout::PlacePicture, FillSource in picturefit.h).
    const QRectF& SourceRect() const { return FSourceRect; }
    void SetSourceRect(const QRectF& rect);

    void Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale) override;
    void Paint(TCanvas& canvas) override;

  private:
    TPicture FPicture;
    bool FStretch = false;
    QRectF FSourceRect;
};

/// Whether the image item takes a graphic of this class through SetPicture.
bool IsImageItemGraphic(const TGraphic& graphic);
