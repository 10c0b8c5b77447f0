// The class library's image control: shows the picture it holds, stretched into its bounds or
// at its own size, optionally centred; with AutoSize it takes the picture's size itself. A
// stretched picture is drawn at the screen's device pixel ratio, one picture pixel per device
// pixel when it has exactly that many.
#pragma once

#include <QImage>
#include <QWidget>

#include "picture.h"

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PictureChanged();
    /// The picture at the device pixels it is drawn on, decoded once per picture, size and
    /// device pixel ratio.
    const QImage& Shown();

    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FAutoSize = false;
    QImage FShown;
    qreal FShownRatio = 1.0;
    bool FShownValid = false;
};
