#include "bitmap.h"

#include <cmath>

QImage::Format ToQImageFormat(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return QImage::Format_Mono;
    case pf4bit:
    case pf8bit:
        return QImage::Format_Indexed8;
    case pf15bit:
        return QImage::Format_RGB555;
    case pf16bit:
        return QImage::Format_RGB16;
    case pf24bit:
        return QImage::Format_RGB888;
    case pfDevice:
    case pf32bit:
        return QImage::Format_RGB32;
    }
    return QImage::Format_RGB32;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : FFormat(format) {
    SetSize(width, height);
}

TBitmap::~TBitmap() = default;

TBitmap::TBitmap(const TBitmap& other)
    : TGraphic(other), FWidth(other.FWidth), FHeight(other.FHeight), FPixelRatio(other.FPixelRatio),
      FPixelsPerInch(other.FPixelsPerInch), FFormat(other.FFormat) {
    const_cast<TBitmap&>(other).ReleaseCanvas();
    FImage = other.FImage;
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        ReleaseCanvas();
        const_cast<TBitmap&>(other).ReleaseCanvas();
        FImage = other.FImage;
        FWidth = other.FWidth;
        FHeight = other.FHeight;
        FPixelRatio = other.FPixelRatio;
        FPixelsPerInch = other.FPixelsPerInch;
        FFormat = other.FFormat;
    }
    return *this;
}

void TBitmap::ReleaseCanvas() {
    if (FCanvas)
        FCanvas->EndPaint();
}

namespace {

// Design lengths and font heights count one bitmap pixel as 1/96 inch. A new QImage takes the
// desktop's resolution instead, which would size text on a 120-per-inch desktop as if the
// bitmap were a printer, so every bitmap is stamped with the screen resolution of the design
// (or with the resolution of the page it is).
void StampResolution(QImage& image, int pixelsPerInch) {
    const int dotsPerMeter = qRound(pixelsPerInch / 0.0254); // 3780 at 96 per inch
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

} // namespace

void TBitmap::SetSize(int width, int height) {
    if (FCanvas)
        FCanvas.reset();
    if (width <= 0 || height <= 0) {
        FImage = QImage();
        return;
    }
    FWidth = width;
    FHeight = height;
    if (FPixelRatio == 1.0) {
        FImage = QImage(width, height, QImage::Format_RGB32);
    } else {
        FImage = QImage(static_cast<int>(std::ceil(width * FPixelRatio)),
                        static_cast<int>(std::ceil(height * FPixelRatio)), QImage::Format_RGB32);
        // A painter on it then works in logical pixels.
        FImage.setDevicePixelRatio(FPixelRatio);
    }
    StampResolution(FImage, FPixelsPerInch);
    FImage.fill(Qt::white);
}

void TBitmap::SetPixelRatio(double ratio) {
    FPixelRatio = std::isfinite(ratio) && ratio > 0 ? ratio : 1.0;
}

void TBitmap::SetPixelsPerInch(int pixelsPerInch) {
    FPixelsPerInch = pixelsPerInch > 0 ? pixelsPerInch : ScreenPixelsPerInch;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    FFormat = format;
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>(FImage.isNull() ? nullptr : &FImage);
    return *FCanvas;
}

const QImage& TBitmap::Image() {
    ReleaseCanvas();
    return FImage;
}

void TBitmap::Assign(const QImage& image) {
    FCanvas.reset();
    FImage = image.convertToFormat(QImage::Format_RGB32);
    FImage.setDevicePixelRatio(1.0);
    FWidth = FImage.width();
    FHeight = FImage.height();
    FPixelRatio = 1.0;
    FPixelsPerInch = ScreenPixelsPerInch;
    StampResolution(FImage, FPixelsPerInch);
}
