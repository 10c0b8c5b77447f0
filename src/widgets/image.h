// The class library's image control: shows the picture it holds, stretched into its bounds or
// at its own size, optionally centred; with AutoSize it takes the picture's size itself. A
// stretched picture is drawn at the screen's device pixel ratio, one picture pixel per device
// pixel when it has exactly that many.
#pragma once

#include <vector>

#include <QImage>
#include <QRectF>
#include <QWidget>

#include "photo/picture.h"

class TImage : public QWidget {
    Q_OBJECT

  public:
    explicit TImage(QWidget* parent = nullptr);

    /// The picture shown, owned by the control. Every change of it repaints the control.
    TPicture& Picture() { return FPicture; }
    const TPicture& Picture() const { return FPicture; }

    /// Draws the picture scaled to the control's bounds (aspect ratio not kept).
    bool Stretch() const { return FStretch; }
    void SetStretch(bool on);
    /// Without Stretch: the picture's centre at the control's centre instead of its top left.
    bool Center() const { return FCenter; }
    void SetCenter(bool on);
    /// The control takes the picture's width and height whenever the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    /// With Stretch: the part of the picture shown, in its pixels as seen; an empty rectangle
    /// shows the whole picture. The part is drawn from the pixels the picture gives for the
    /// control's size (a photo decoded at a larger size before gives those), made ready once
    /// per picture, so that a new part only repaints the control and decodes nothing.
    const QRectF& SourceRect() const { return FSourceRect; }
    void SetSourceRect(const QRectF& rect);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PictureChanged();
    /// The picture at the device pixels it is drawn on, decoded once per picture, size and
    /// device pixel ratio.
    const QImage& Shown();
    /// Draws SourceRect of the picture over the whole control.
    void PaintPart(QPainter& painter);

    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FAutoSize = false;
    QImage FShown;
    qreal FShownRatio = 1.0;
    bool FShownValid = false;
    QRectF FSourceRect;
    // The pixels SourceRect is drawn from, halved again and again down to about the control's
    // size: each part is drawn from the smallest that still has a pixel for each one drawn.
    std::vector<QImage> FLevels;
    QSize FLevelsFor; // the device pixels they were made for
};
