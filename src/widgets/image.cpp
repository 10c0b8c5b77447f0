#include "image.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {
    FPicture.OnChange = [this] { PictureChanged(); };
}

void TImage::SetStretch(bool on) {
    if (FStretch == on)
        return;
    FStretch = on;
    FShownValid = false;
    update();
}

void TImage::SetCenter(bool on) {
    if (FCenter == on)
        return;
    FCenter = on;
    update();
}

void TImage::SetAutoSize(bool on) {
    FAutoSize = on;
    if (on && !FPicture.Empty())
        resize(FPicture.Width(), FPicture.Height());
}

void TImage::SetSourceRect(const QRectF& rect) {
    if (rect == FSourceRect)
        return;
    FSourceRect = rect;
    update();
}

void TImage::PictureChanged() {
    FShownValid = false;
    FLevels.clear();
    if (FAutoSize && !FPicture.Empty())
        resize(FPicture.Width(), FPicture.Height());
    update();
}

void TImage::resizeEvent(QResizeEvent* event) {
    if (FStretch)
        FShownValid = false;
    QWidget::resizeEvent(event);
}

const QImage& TImage::Shown() {
    // A stretched picture is prepared at the device pixels of the control, so that a screen of
    // a device pixel ratio above 1 shows all of them; it is prepared again when the ratio
    // changes (the window moved to another screen).
    const qreal ratio = devicePixelRatioF();
    if (FShownValid && (!FStretch || ratio == FShownRatio))
        return FShown;
    FShownValid = true;
    FShownRatio = ratio;
    FShown = QImage();
    const TGraphic* graphic = FPicture.Graphic();
    if (graphic == nullptr || graphic->Empty())
        return FShown;
    // Painting must not fail: a picture that cannot be decoded simply shows nothing. (Loading
    // is where a damaged picture is reported.)
    try {
        const QSize pixels = (QSizeF(size()) * ratio).toSize();
        if (FStretch && !pixels.isEmpty()) {
            QImage decoded = graphic->ToImageForSize(pixels);
            if (decoded.size() != pixels)
                decoded = decoded.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            decoded.setDevicePixelRatio(ratio);
            FShown = decoded;
        } else if (!FStretch) {
            // At its own size a picture keeps one pixel per logical pixel, as it always has.
            FShown = graphic->ToImage();
            FShown.setDevicePixelRatio(1.0);
        }
    } catch (const std::exception&) {
        FShown = QImage();
    }
    return FShown;
}

void TImage::PaintPart(QPainter& painter) {
    const TGraphic* graphic = FPicture.Graphic();
    if (graphic == nullptr || graphic->Empty() || size().isEmpty())
        return;
    const double ratio = devicePixelRatioF();
    const QSizeF target = QSizeF(size()) * ratio; // device pixels drawn
    if (FLevelsFor != target.toSize())
        FLevels.clear();
    if (FLevels.empty()) {
        FLevelsFor = target.toSize();
        try {
            const QImage full = graphic->ToImageForSize(target.toSize());
            if (full.isNull())
                return;
            FLevels.push_back(full);
        } catch (const std::exception&) {
            return; // as Shown: painting never fails, loading reports a damaged picture
        }
        for (;;) {
            const QImage& last = FLevels.back();
            const QSize half(last.width() / 2, last.height() / 2);
            if (half.width() < target.width() || half.height() < target.height())
                break;
            FLevels.push_back(last.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
    }
    const auto partOf = [this, graphic](const QImage& level) {
        const double sx = double(level.width()) / graphic->Width();
        const double sy = double(level.height()) / graphic->Height();
        return QRectF(FSourceRect.x() * sx, FSourceRect.y() * sy, FSourceRect.width() * sx,
                      FSourceRect.height() * sy);
    };
    std::size_t k = FLevels.size() - 1;
    while (k > 0 && (partOf(FLevels[k]).width() < target.width() ||
                     partOf(FLevels[k]).height() < target.height()))
        --k;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(rect()), FLevels[k], partOf(FLevels[k]));
}

void TImage::paintEvent(QPaintEvent*) {
    if (FStretch && !FSourceRect.isEmpty()) {
        QPainter painter(this);
        PaintPart(painter);
        return;
    }
    const QImage& image = Shown();
    if (image.isNull())
        return;
    QPainter painter(this);
    if (FStretch) {
        painter.drawImage(rect(), image);
        return;
    }
    QPoint origin(0, 0);
    if (FCenter)
        origin = QPoint((width() - image.width()) / 2, (height() - image.height()) / 2);
    painter.drawImage(origin, image);
}
