#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>

namespace {

Qt::PenStyle ToQtPenStyle(TPenStyle style) {
    switch (style) {
    case psSolid:
        return Qt::SolidLine;
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

int ToQtTextFlags(unsigned flags) {
    int qf = 0;
    if (flags & DT_CENTER)
        qf |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        qf |= Qt::AlignRight;
    else
        qf |= Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        qf |= Qt::TextSingleLine;
        if (flags & DT_VCENTER)
            qf |= Qt::AlignVCenter;
        else if (flags & DT_BOTTOM)
            qf |= Qt::AlignBottom;
        else
            qf |= Qt::AlignTop;
    } else {
        qf |= Qt::AlignTop;
        if (flags & DT_WORDBREAK)
            qf |= Qt::TextWordWrap;
    }
    if (!(flags & DT_NOPREFIX))
        qf |= Qt::TextShowMnemonic;
    if (flags & DT_NOCLIP)
        qf |= Qt::TextDontClip;
    if (flags & DT_EXPANDTABS)
        qf |= Qt::TextExpandTabs;
    return qf;
}

// A bitmap or a window resamples a picture into its own pixels as it draws it. A PDF file or a
// print queue (Qt's PDF writer, under both) keeps every pixel it is given instead, compressed
// again as a JPEG image of its own, although the paper shows no more than the device's pixels:
// a 24-million-pixel photo in a picture box 4425 pixels wide at 600 per inch would take twice
// as long to compress and make a PDF twice as large for nothing. Such a device gets the picture
// reduced to the device pixels it covers, resampled as a bitmap of that resolution would draw
// it; it is never enlarged.
QSize KeptSize(QPainter& p, const QRect& dest) {
    const QPaintEngine* engine = p.paintEngine();
    if (engine == nullptr || engine->type() == QPaintEngine::Raster)
        return {};
    return p.worldTransform().mapRect(QRectF(dest)).size().toSize();
}

QImage ReducedForDevice(QPainter& p, const QRect& dest, const QImage& image, bool smooth) {
    const QSize covered = KeptSize(p, dest);
    if (covered.isEmpty())
        return image;
    const QSize size = image.size().boundedTo(covered);
    if (size == image.size() || size.isEmpty())
        return image;
    QImage reduced(size, image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                 : QImage::Format_RGB32);
    reduced.setDotsPerMeterX(image.dotsPerMeterX());
    reduced.setDotsPerMeterY(image.dotsPerMeterY());
    QPainter r(&reduced);
    r.setCompositionMode(QPainter::CompositionMode_Source);
    r.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    r.drawImage(QRect(QPoint(0, 0), size), image);
    return reduced;
}

} // namespace

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QPaintDevice* device) : FDevice(device) {}

TCanvas::TCanvas(QPainter* painter) : FDevice(painter->device()), FExternal(painter) {}

TCanvas::~TCanvas() {
    EndPaint();
}

int TCanvas::PixelsPerInch() const {
    if (FDevice == nullptr)
        return ScreenPixelsPerInch;
    const int dpi = FDevice->logicalDpiY();
    return dpi > 0 ? dpi : ScreenPixelsPerInch;
}

QPainter* TCanvas::Painter() {
    if (FExternal != nullptr)
        return FExternal;
    if (FDevice == nullptr || FBeginFailed)
        return nullptr;
    if (!FOwned) {
        FOwned.emplace();
        if (!FOwned->begin(FDevice)) {
            FOwned.reset();
            FBeginFailed = true;
            return nullptr;
        }
        FOwned->setRenderHint(QPainter::Antialiasing, false);
        FOwned->setRenderHint(QPainter::TextAntialiasing, true);
    }
    return &*FOwned;
}

bool TCanvas::CanDraw() {
    return Painter() != nullptr;
}

void TCanvas::EndPaint() {
    if (FOwned) {
        FOwned->end();
        FOwned.reset();
    }
    FBeginFailed = false;
}

const TCanvas::TDrawnFont& TCanvas::DrawnFont() {
    const QFont asked = Font.ToQFont(PixelsPerInch());
    const auto known = std::find_if(FDrawnFonts.begin(), FDrawnFonts.end(),
                                    [&](const auto& entry) { return entry.first == asked; });
    if (known != FDrawnFonts.end()) {
        std::rotate(FDrawnFonts.begin(), known, known + 1);
        return FDrawnFonts.front().second;
    }
    const TSyntheticStyles synthetic = SyntheticStyles(asked);
    const QFont drawn = WithoutSynthetic(asked, synthetic);
    const QFont onDevice = FDevice == nullptr ? drawn : QFont(drawn, FDevice);
    constexpr std::size_t Kept = 8;
    if (FDrawnFonts.size() == Kept)
        FDrawnFonts.pop_back();
    FDrawnFonts.emplace(FDrawnFonts.begin(), asked,
                        TDrawnFont{onDevice, synthetic, QFontMetrics(onDevice, FDevice)});
    return FDrawnFonts.front().second;
}

void TCanvas::UseFont(QPainter& p, const QFont& font) {
    // Setting a font, even the painter's own, makes Qt look its face up again.
    if (p.font() != font)
        p.setFont(font);
}

void TCanvas::DrawTextIn(QPainter& p, const TDrawnFont& drawn, const QRect& box, int flags,
                         const QString& text, QRect* needed) {
    const QColor color = ToQColor(Font.Color());
    if (drawn.Synthetic.Any()) {
        DrawStyledText(p, drawn.Font, drawn.Synthetic, box, flags, text, color);
        return;
    }
    UseFont(p, drawn.Font);
    p.setPen(color);
    p.drawText(box, flags, text, needed);
}

void TCanvas::FillRect(const TRect& r) {
    QPainter* p = Painter();
    if (p == nullptr || Brush.Style == bsClear || r.IsEmpty())
        return;
    p->fillRect(r.ToQRect(), ToQColor(Brush.Color));
}

void TCanvas::FrameRect(const TRect& r) {
    if (r.IsEmpty())
        return;
    const TPoint start = FPenPos;
    Polyline({{r.Left, r.Top},
              {r.Right - 1, r.Top},
              {r.Right - 1, r.Bottom - 1},
              {r.Left, r.Bottom - 1},
              {r.Left, r.Top}});
    FPenPos = start;
}

void TCanvas::MoveTo(int x, int y) {
    FPenPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    if (QPainter* p = Painter())
        DrawLine(*p, FPenPos, {x, y});
    FPenPos = {x, y};
}

void TCanvas::Polyline(std::initializer_list<TPoint> points) {
    if (points.size() == 0)
        return;
    auto it = points.begin();
    MoveTo(it->X, it->Y);
    for (++it; it != points.end(); ++it)
        LineTo(it->X, it->Y);
}

void TCanvas::ApplyPen(QPainter& p) {
    QPen pen(ToQColor(Pen.Color));
    pen.setStyle(ToQtPenStyle(Pen.Style));
    if (Pen.Width <= 1) {
        pen.setWidth(0); // cosmetic: one device pixel whatever the transformation
        pen.setCapStyle(Qt::FlatCap);
    } else {
        // Wide pens of the old platform were geometric pens with round ends and joins.
        pen.setWidth(Pen.Width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

double TCanvas::PixelRatio() const {
    return FDevice == nullptr ? 1.0 : FDevice->devicePixelRatio();
}

void TCanvas::DrawLine(QPainter& p, TPoint from, TPoint to) {
    if (from == to || Pen.Style == psClear)
        return;
    if (Pen.Width > 1) {
        ApplyPen(p);
        p.drawLine(QPoint(from.X, from.Y), QPoint(to.X, to.Y));
        return;
    }
    const double ratio = PixelRatio();
    if (ratio == 1.0) {
        DrawThinLine(p, from, to);
        return;
    }
    // On a bitmap for a finer screen a thin line stays one device pixel wide: it runs on the
    // device's grid from the start point's device pixel to the end point's, which it excludes.
    const auto onDevice = [ratio](TPoint q) {
        return TPoint{static_cast<int>(std::floor(q.X * ratio)),
                      static_cast<int>(std::floor(q.Y * ratio))};
    };
    p.save();
    p.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio), true);
    DrawThinLine(p, onDevice(from), onDevice(to));
    p.restore();
}

void TCanvas::DrawThinLine(QPainter& p, TPoint from, TPoint to) {
    if (from == to)
        return;
    const int dx = to.X - from.X;
    const int dy = to.Y - from.Y;
    // A thin solid horizontal or vertical line is exactly a one-pixel-wide rectangle.
    if (Pen.Style == psSolid && (dx == 0 || dy == 0)) {
        const int left = dx >= 0 ? from.X : to.X + 1;
        const int top = dy >= 0 ? from.Y : to.Y + 1;
        p.fillRect(QRect(left, top, std::max(1, std::abs(dx)), std::max(1, std::abs(dy))),
                   ToQColor(Pen.Color));
        return;
    }
    // Otherwise Bresenham's pixels from the start up to, not including, the end point, thinned
    // out by the pen's dash pattern (on, off, on, off, ... in pixels).
    static constexpr int Dash[] = {6, 2};
    static constexpr int Dot[] = {1, 1};
    static constexpr int DashDot[] = {6, 2, 1, 2};
    static constexpr int DashDotDot[] = {6, 2, 1, 2, 1, 2};
    std::span<const int> pattern;
    switch (Pen.Style) {
    case psDash:
        pattern = Dash;
        break;
    case psDot:
        pattern = Dot;
        break;
    case psDashDot:
        pattern = DashDot;
        break;
    case psDashDotDot:
        pattern = DashDotDot;
        break;
    default:
        break;
    }
    QPolygon pixels;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    pixels.reserve(steps);
    const int sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
    const int sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    int x = from.X;
    int y = from.Y;
    int err = ax - ay;
    std::size_t segment = 0;
    int left = pattern.empty() ? 0 : pattern[0];
    for (int i = 0; i < steps; ++i) {
        if (pattern.empty() || segment % 2 == 0)
            pixels.append(QPoint(x, y));
        if (!pattern.empty() && --left == 0) {
            segment = (segment + 1) % pattern.size();
            left = pattern[segment];
        }
        const int e2 = 2 * err;
        if (e2 > -ay) {
            err -= ay;
            x += sx;
        }
        if (e2 < ax) {
            err += ax;
            y += sy;
        }
    }
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(0);
    p.setPen(pen);
    p.drawPoints(pixels);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    QPainter* p = Painter();
    if (p == nullptr)
        return;
    const TDrawnFont& drawn = DrawnFont();
    const QFontMetrics& fm = drawn.Metrics;
    const QRect box(x, y, fm.horizontalAdvance(text), fm.height());
    if (Brush.Style == bsSolid)
        p->fillRect(box, ToQColor(Brush.Color));
    if (drawn.Synthetic.Any()) {
        // One line from the top left, the ampersand plain, as at the baseline below.
        DrawStyledText(*p, drawn.Font, drawn.Synthetic, box,
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text,
                       ToQColor(Font.Color()));
        return;
    }
    UseFont(*p, drawn.Font);
    p->setPen(ToQColor(Font.Color()));
    p->drawText(QPoint(x, y + fm.ascent()), text);
}

int TCanvas::TextWidth(const QString& text) {
    return DrawnFont().Metrics.horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString&) {
    // The class library measures the line height of the font, whatever the text.
    return DrawnFont().Metrics.height();
}

int TCanvas::DrawText(TRect& r, const QString& text, unsigned flags) {
    const TDrawnFont& drawn = DrawnFont();
    const QFontMetrics& fm = drawn.Metrics;
    const int qf = ToQtTextFlags(flags);
    const QRect box = r.ToQRect();
    // One line measures the font's height (ascent and descent, no leading), as it did on the
    // platform the layouts were made on; several lines measure what Qt lays out.
    const auto height = [&](const QRect& needed) {
        const bool oneLine = (flags & DT_SINGLELINE) || needed.height() < 2 * fm.height();
        return oneLine ? fm.height() : needed.height();
    };
    QPainter* p = (flags & DT_CALCRECT) ? nullptr : Painter();
    if (p != nullptr && Brush.Style != bsSolid && !drawn.Synthetic.Any()) {
        // Nothing to fill behind the text: Qt lays it out once, draws it and tells the space
        // it took, where measuring first would lay it out twice (a sheet has hundreds).
        QRect needed;
        DrawTextIn(*p, drawn, box, qf, text, &needed);
        return height(needed);
    }
    const QRect needed = fm.boundingRect(box, qf, text);
    if (flags & DT_CALCRECT) {
        r.Right = r.Left + needed.width();
        r.Bottom = r.Top + height(needed);
        return height(needed);
    }
    if (p == nullptr)
        return height(needed);
    if (Brush.Style == bsSolid) {
        const QRect back = (flags & DT_NOCLIP) ? needed : needed.intersected(box);
        p->fillRect(back, ToQColor(Brush.Color));
    }
    DrawTextIn(*p, drawn, box, qf, text);
    return height(needed);
}

QSize TCanvas::KeptPictureSize(const TRect& dest) {
    QPainter* p = Painter();
    return p == nullptr ? QSize() : KeptSize(*p, dest.ToQRect());
}

void TCanvas::DrawPicture(const TRect& dest, const TGraphic& graphic, const QRectF& source) {
    QPainter* p = Painter();
    if (p == nullptr || FWholePictures == nullptr || dest.IsEmpty() || source.isEmpty())
        return;
    const QImage marker = FWholePictures->Add(graphic, source);
    if (marker.isNull())
        return;
    // Stored exactly (never as a JPEG of Qt's), so that the marker can be found again.
    const bool wasLossless = p->testRenderHint(QPainter::LosslessImageRendering);
    p->setRenderHint(QPainter::LosslessImageRendering, true);
    p->drawImage(dest.ToQRect(), marker);
    p->setRenderHint(QPainter::LosslessImageRendering, wasLossless);
}

void TCanvas::StretchDraw(const TRect& dest, const QImage& image, bool smooth) {
    QPainter* p = Painter();
    if (p == nullptr || image.isNull() || dest.IsEmpty())
        return;
    const bool wasSmooth = p->testRenderHint(QPainter::SmoothPixmapTransform);
    p->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p->drawImage(dest.ToQRect(), ReducedForDevice(*p, dest.ToQRect(), image, smooth));
    p->setRenderHint(QPainter::SmoothPixmapTransform, wasSmooth);
}

void TCanvas::StretchDraw(const TRect& dest, const QImage& image, const QRectF& source,
                          bool smooth) {
    if (source == QRectF(image.rect())) {
        StretchDraw(dest, image, smooth);
        return;
    }
    QPainter* p = Painter();
    if (p == nullptr || image.isNull() || dest.IsEmpty() || source.isEmpty())
        return;
    const bool wasSmooth = p->testRenderHint(QPainter::SmoothPixmapTransform);
    p->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    const QSize covered = KeptSize(*p, dest.ToQRect());
    if (covered.isEmpty()) {
        p->drawImage(QRectF(dest.ToQRect()), image, source);
    } else {
        // Such a device would round the part's edges to whole pixels and keep the rest of the
        // image too: it gets exactly the part, resampled here.
        const QSize size =
            QSize(int(std::ceil(source.width() - 1e-6)), int(std::ceil(source.height() - 1e-6)))
                .boundedTo(covered)
                .expandedTo(QSize(1, 1));
        QImage part(size, QImage::Format_RGB32);
        part.fill(Qt::white);
        {
            QPainter r(&part);
            r.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
            r.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), image, source);
        }
        p->drawImage(dest.ToQRect(), part);
    }
    p->setRenderHint(QPainter::SmoothPixmapTransform, wasSmooth);
}
