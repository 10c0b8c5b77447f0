#include "lrimage.h"

#include "lrdesign.h"
#include "photo/jpegimage.h"
#include "platform/bitmap.h"

bool IsImageItemGraphic(const TGraphic& graphic) {
    // The device-independent bitmap lives in a library of its own, beside this one; its class
    // name is what identifies it here.
    return dynamic_cast<const TBitmap*>(&graphic) != nullptr ||
           dynamic_cast<const TJPEGImage*>(&graphic) != nullptr ||
           graphic.ClassName() == QLatin1String("TVdDIB");
}

TLRImage::TLRImage() {
    FPicture.OnChange = [this] { Invalidate(); };
}

void TLRImage::SetPicture(const TPicture* picture) {
    if (picture != nullptr && picture->Graphic() != nullptr &&
        !IsImageItemGraphic(*picture->Graphic()))
        throw Exception(QStringLiteral("イメージはビットマップかJPEGイメージのみ有効です"));
    FPicture.Assign(picture);
}

void TLRImage::SetStretch(bool stretch) {
    if (stretch == FStretch)
        return;
    FStretch = stretch;
    Invalidate();
}

void TLRImage::SetSourceRect(const QRectF& rect) {
    if (rect == FSourceRect)
        return;
    FSourceRect = rect;
    Invalidate();
}

void TLRImage::Print(TCanvas& canvas, const TRect& rect, TPrintStatus status, double scale) {
    if (status != prsNormal)
        return; // frame-only cells show no pictures
    const TGraphic* graphic = FPicture.Graphic();
    if (graphic == nullptr || graphic->Empty())
        return;
    TRect r = rect;
    if (FStretch && canvas.TakesWholePictures()) {
        // A PDF file keeps the picture itself: nothing is decoded for it, and the part of a
        // filling photo is cut out by the file's own clipping.
        canvas.DrawPicture(ScaleRect(r, scale), *graphic,
                           FSourceRect.isEmpty() ? QRectF(0, 0, graphic->Width(), graphic->Height())
                                                 : FSourceRect);
        return;
    }
    if (FStretch && !FSourceRect.isEmpty()) {
        // Only the part is decoded, at the device pixels it covers or the pixels a device
        // that keeps them can show, whichever the photo has.
        const TRect d = ScaleRect(r, scale);
        const QSize kept = canvas.KeptPictureSize(d);
        const TGraphicPart part =
            graphic->ToImagePart(FSourceRect, kept.isEmpty() ? QSize(d.Width(), d.Height()) : kept);
        if (!part.Pixels.isNull())
            canvas.StretchDraw(d, part.Pixels, part.Source, true);
        return;
    }
    QImage pixels; // a JPEG image decoded, any other format converted
    if (FStretch) {
        // A photo much larger than the device rectangle may be decoded at a reduced scale, as
        // long as that leaves twice the device's pixels: drawn smaller, it looks the same. A
        // PDF file or a print queue keeps no more than its own pixels of it, and those the
        // photo can give while it is decoded, without ever being held whole.
        const TRect d = ScaleRect(r, scale);
        const QSize kept = canvas.KeptPictureSize(d);
        pixels = kept.isEmpty() ? graphic->ToImageForSize(QSize(2 * d.Width(), 2 * d.Height()))
                                : graphic->ToImageWithin(kept);
    } else {
        pixels = graphic->ToImage();
    }
    if (pixels.isNull())
        return;
    if (!FStretch) {
        // One design unit per pixel from the item's top-left corner, cut to the item.
        const int width = std::min(pixels.width(), r.Width());
        const int height = std::min(pixels.height(), r.Height());
        if (width <= 0 || height <= 0)
            return;
        if (width < pixels.width() || height < pixels.height())
            pixels = pixels.copy(0, 0, width, height);
        r.Right = r.Left + width;
        r.Bottom = r.Top + height;
    }
    // The full rectangle on the device: unlike text items, right and bottom stay.
    const TRect d = ScaleRect(r, scale);
    // Enlarged onto a printer's page, a photo looks better interpolated than in blocks.
    canvas.StretchDraw(d, pixels, true);
}

void TLRImage::Paint(TCanvas& canvas) {
    const TGraphic* graphic = FPicture.Graphic();
    if (graphic != nullptr && !graphic->Empty()) {
        if (FStretch && !FSourceRect.isEmpty()) {
            const TGraphicPart part = graphic->ToImagePart(FSourceRect, QSize(Width(), Height()));
            canvas.StretchDraw({0, 0, Width(), Height()}, part.Pixels, part.Source, true);
        } else if (FStretch) {
            graphic->Draw(canvas, {0, 0, Width(), Height()});
        } else {
            graphic->Draw(canvas, {0, 0, graphic->Width(), graphic->Height()});
        }
        return;
    }
    canvas.Font.Assign(Font());
    canvas.Brush.Style = bsClear;
    canvas.TextOut(4, 4, Name());
    DrawDesignFrame(canvas, Width(), Height(), clGreen);
}
