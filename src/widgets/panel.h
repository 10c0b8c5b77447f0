// The class library's panel: a rectangle in a colour with an optional caption, a raised or
// lowered bevel or a single sunken border. The main window builds its sample sheet from them.
#pragma once

#include <QString>
#include <QWidget>

#include "platform/tcolor.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public QWidget {
    Q_OBJECT

  public:
    explicit TPanel(QWidget* parent = nullptr);

    /// Background colour (clBtnFace unless set).
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    /// Colour of the caption.
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);
    /// Text drawn centred in the panel.
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);

    /// Outer bevel, one pixel wide (bvRaised unless set).
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel bevel);
    /// A sunken border two pixels wide around everything (off unless set).
    bool BorderSingle() const { return FBorderSingle; }
    void SetBorderSingle(bool on);

    /// Width of border and bevel together: the client area lies this far inside.
    int FrameWidth() const;
    /// The area inside border and bevel, in the panel's coordinates.
    QRect ClientRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    QString FCaption;
    TPanelBevel FBevelOuter = bvRaised;
    bool FBorderSingle = false;
};
