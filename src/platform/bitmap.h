// An off-screen bitmap with a canvas: 32 bits per pixel (xRGB) unless a narrower format is
// asked for. The calendar controls draw into one, the preview renders the page into one.
#pragma once

#include <memory>

#include <QImage>

#include "canvas.h"

enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = pf32bit);
    ~TBitmap();
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    bool Empty() const { return FImage.isNull(); }
    /// New size; the pixels are cleared to white.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return FFormat; }
    /// The format a copy of the pixels into a pixel array asks for. The pixels themselves stay
    /// at 32 bits so that the canvas can always paint on them.
    void SetPixelFormat(TPixelFormat format);

    /// The canvas on the pixels; valid until the bitmap is resized, reassigned or destroyed.
    TCanvas& Canvas();

    /// The pixels, with all drawing so far finished.
    const QImage& Image();
    /// Takes a copy of the image's pixels (converted to 32 bits per pixel).
    void Assign(const QImage& image);

private:
    void ReleaseCanvas();

    QImage FImage;
    TPixelFormat FFormat = pf32bit;
    std::unique_ptr<TCanvas> FCanvas;
};

/// The Qt image format of a pixel format.
QImage::Format ToQImageFormat(TPixelFormat format);
