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

void TImage::PictureChanged() {
    FShownValid = false;
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
    if (FShownValid)
        return FShown;
    FShownValid = true;
    FShown = QImage();
    const TGraphic* graphic = FPicture.Graphic();
    if (graphic == nullptr || graphic->Empty())
        return FShown;
    // Painting must not fail: a picture that cannot be decoded simply shows nothing. (Loading
    // is where a damaged picture is reported.)
    try {
        if (FStretch && !size().isEmpty()) {
            const QImage decoded = graphic->ToImageForSize(size());
            FShown = decoded.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        } else if (!FStretch) {
            FShown = graphic->ToImage();
        }
    } catch (const std::exception&) {
        FShown = QImage();
    }
    return FShown;
}

void TImage::paintEvent(QPaintEvent*) {
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
