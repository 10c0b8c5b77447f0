// An off-screen bitmap with a canvas: 32 bits per pixel (xRGB) unless a narrower format is
// asked for. The calendar controls draw into one, the preview renders the page into one. It is
// also the graphic class of ".bmp" picture files. A bitmap for a screen of a device pixel ratio
// above 1 holds that many more pixels each way and is drawn on in logical pixels.
#pragma once

#include <memory>

#include <QImage>

#include "canvas.h"
#include "graphic.h"

enum TPixelFormat : std::uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit
};

class TBitmap : public TGraphic {
  public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = pf32bit);
    ~TBitmap() override;
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);

    QString ClassName() const override { return QStringLiteral("TBitmap"); }
    /// Size in logical pixels (the pixels themselves at a pixel ratio of 1).
    int Width() const override { return FImage.isNull() ? 0 : FWidth; }
    int Height() const override { return FImage.isNull() ? 0 : FHeight; }
    bool Empty() const override { return FImage.isNull(); }
    /// New size in logical pixels; the pixels are cleared to white.
    void SetSize(int width, int height);

    /// Device pixels per logical pixel, for a bitmap shown on a screen of that ratio: it holds
    /// Width × ratio by Height × ratio pixels (rounded up), and its canvas draws in logical
    /// pixels, text and rectangles at the finer resolution, thin lines one device pixel wide.
    /// Applies from the next SetSize.
    double PixelRatio() const { return FPixelRatio; }
    void SetPixelRatio(double ratio);
    /// The resolution the canvas sizes fonts for: 96 per inch, the design's, unless the bitmap
    /// is a page drawn at another scale, as a printer of that resolution draws it. Applies from
    /// the next SetSize.
    void SetPixelsPerInch(int pixelsPerInch);

    TPixelFormat PixelFormat() const { return FFormat; }
    /// The format a copy of the pixels into a pixel array asks for. The pixels themselves stay
    /// at 32 bits so that the canvas can always paint on them.
    void SetPixelFormat(TPixelFormat format);

    /// The canvas on the pixels; valid until the bitmap is resized, reassigned or destroyed.
    TCanvas& Canvas();

    /// The pixels, with all drawing so far finished.
    const QImage& Image();
    /// Takes a copy of the image's pixels (converted to 32 bits per pixel), one logical pixel
    /// each, at 96 per inch.
    void Assign(const QImage& image);
    /// Takes the pixels of any graphic (a JPEG image is decoded at its own size).
    void Assign(const TGraphic& source) override;

    /// Reads a bitmap file (or any picture format Qt reads, decided by content); pictures of
    /// more than MaxGraphicPixels are refused before their pixels are read.
    void LoadFromBytes(const QByteArray& bytes) override;
    /// Writes a Windows bitmap file.
    void SaveToStream(QIODevice& stream) const override;
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> Clone() const override;

  private:
    void ReleaseCanvas();

    QImage FImage;
    int FWidth = 0;
    int FHeight = 0;
    double FPixelRatio = 1.0;
    int FPixelsPerInch = ScreenPixelsPerInch;
    TPixelFormat FFormat = pf32bit;
    std::unique_ptr<TCanvas> FCanvas;
};

/// The Qt image format of a pixel format.
QImage::Format ToQImageFormat(TPixelFormat format);
