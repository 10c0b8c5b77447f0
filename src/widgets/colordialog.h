// The colour dialog of the class library: holds one colour, opens on it and keeps a new one
// only when the user confirms.
#pragma once

#include "platform/tcolor.h"

class QWidget;

class TColorDialog {
  public:
    explicit TColorDialog(TColor color = clBlack) : FColor(color) {}

    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }

    /// Shows the colour chooser modally. True when the user confirmed; the held colour is then
    /// the chosen one. Cancelling leaves it unchanged.
    bool Execute(QWidget* parent);

  private:
    TColor FColor;
};
