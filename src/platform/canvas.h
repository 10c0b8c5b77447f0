// A drawing surface with the class library's semantics, over QPainter. The same canvas class
// serves the 96-per-inch preview bitmap, a calendar control's buffer and the printer's page:
//  - a line includes its start point and excludes its end point;
//  - a filled rectangle excludes its right and bottom edges;
//  - pen width 0 (and 1) is one device pixel, also on a bitmap of a device pixel ratio above 1,
//    where coordinates, text and rectangles are in logical pixels;
//  - text in a rectangle: single line or word break, left / right / centre, optional vertical
//    centring of a single line, clipping unless told not to, measuring; "&" marks a mnemonic;
//  - a bold or italic that the face lacks is drawn by one rule on every device (styledtext.h);
//  - shapes and lines are never smoothed; picture stretching is smoothed only when asked.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include "font.h"
#include "styledtext.h"
#include "tcolor.h"
#include "types.h"

class TGraphic;

/// A device that keeps pictures whole (a PDF file) takes them here while a page is drawn: it is
/// handed the part of a picture that goes into a place and gives back the small picture that
/// stands for it on the page until the file is finished.
class TWholePictures {
  public:
    virtual ~TWholePictures() = default;
    /// Takes the part `source` of `graphic` (in its pixels as seen); returns the picture to
    /// draw in its place, or a null image to draw nothing.
    virtual QImage Add(const TGraphic& graphic, const QRectF& source) = 0;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Flags of DrawText, with the values of the platform the layouts were made on.
enum TTextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4, // with DT_SINGLELINE only
    DT_BOTTOM = 0x8,  // with DT_SINGLELINE only
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
};

class TCanvas {
  public:
    /// A canvas that swallows every drawing (the discard canvas of a page range); text is still
    /// measured, at 96 per inch.
    TCanvas();
    /// Draws on `device`, which must outlive the canvas; the painter is begun on first use and
    /// ended by EndPaint or the destructor.
    explicit TCanvas(QPaintDevice* device);
    /// Draws through a painter that someone else has begun and will end (a print job's page).
    explicit TCanvas(QPainter* painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;

    /// Vertical resolution of the device; the font heights and the print scale depend on it.
    int PixelsPerInch() const;
    /// Device pixels per coordinate unit: above 1 on a bitmap for a finer screen, where the
    /// canvas draws in logical pixels and thin lines stay one device pixel wide.
    double PixelRatio() const;
    /// False for the discard canvas and for devices that cannot be painted on.
    bool CanDraw();

    /// Fills (r.Left..r.Right−1, r.Top..r.Bottom−1) with the brush; nothing with a clear brush.
    void FillRect(const TRect& r);
    /// A pen-coloured one-pixel frame around the rectangle's outer pixels.
    void FrameRect(const TRect& r);
    void MoveTo(int x, int y);
    /// Line from the pen position to (x, y), the end point excluded; the pen moves there.
    void LineTo(int x, int y);
    /// Lines through the points in turn, each excluding its end point (so the last point).
    void Polyline(std::initializer_list<TPoint> points);
    TPoint PenPos() const { return FPenPos; }

    /// One line of text with its top-left corner at (x, y); with a solid brush its box is
    /// filled first.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);

    /// Text laid out in `r` by the DT_* flags. Returns the height of the laid-out text. With
    /// DT_CALCRECT nothing is drawn and `r` takes the size the text needs (its right and
    /// bottom edges move).
    int DrawText(TRect& r, const QString& text, unsigned flags);

    /// The most pixels a picture stretched into `dest` keeps on this device: the device pixels
    /// `dest` covers where the device keeps every pixel it is given (a PDF file, a print
    /// queue); an empty size where it resamples pictures into pixels of its own (a bitmap, a
    /// window) or cannot be drawn on.
    QSize KeptPictureSize(const TRect& dest);
    /// Copies `image` into `dest`, replacing the pixels there; scaled smoothly only if asked.
    void StretchDraw(const TRect& dest, const QImage& image, bool smooth = false);
    /// Copies the part `source` of `image` (in its pixels, edges anywhere) into `dest`. A
    /// device that keeps every pixel it is given gets that part alone, no larger than it keeps.
    void StretchDraw(const TRect& dest, const QImage& image, const QRectF& source, bool smooth);

    /// Pictures drawn with DrawPicture go to `pictures` as they are (not owned; nullptr: none).
    /// Set by a printer whose job is written into a PDF file.
    void SetWholePictures(TWholePictures* pictures) { FWholePictures = pictures; }
    /// True when the device keeps a picture as it is, so that nothing need be decoded for it.
    bool TakesWholePictures() const { return FWholePictures != nullptr; }
    /// Draws the part `source` of `graphic` (in its pixels as seen) into `dest`, stretched to
    /// fill it, keeping the picture itself; only where TakesWholePictures().
    void DrawPicture(const TRect& dest, const TGraphic& graphic, const QRectF& source);

    /// Ends the painter this canvas began, so that its device can be read or resized.
    void EndPaint();

    /// The painter, begun if needed; nullptr for the discard canvas.
    QPainter* Painter();

  private:
    /// The font as drawn on this device: without the styles its face lacks, which DrawStyledText
    /// adds.
    /// Font and metrics are made for this device once: Qt finds the face of a font made for
    /// another resolution again each time it is used.
    struct TDrawnFont {
        QFont Font;
        TSyntheticStyles Synthetic;
        QFontMetrics Metrics;
    };
    const TDrawnFont& DrawnFont();
    static void UseFont(QPainter& p, const QFont& font);
    /// Draws `text` in `box`; `needed`, when given, hears the space Qt's layout took (not
    /// for a font with styles added, which is measured beforehand).
    void DrawTextIn(QPainter& p, const TDrawnFont& drawn, const QRect& box, int flags,
                    const QString& text, QRect* needed = nullptr);

    void ApplyPen(QPainter& p);
    void DrawLine(QPainter& p, TPoint from, TPoint to);
    /// A line of one pixel of the painter's coordinates, by the class library's rule.
    void DrawThinLine(QPainter& p, TPoint from, TPoint to);

    QPaintDevice* FDevice = nullptr;
    QPainter* FExternal = nullptr;
    std::optional<QPainter> FOwned;
    bool FBeginFailed = false;
    TPoint FPenPos;
    // The fonts drawn with so far, the last first: a sheet's cells take turns with a few fonts,
    // and the font database is asked once per font, not per text.
    std::vector<std::pair<QFont, TDrawnFont>> FDrawnFonts;
    TWholePictures* FWholePictures = nullptr; // not owned
};
