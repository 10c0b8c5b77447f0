// What the printed sheet reads from the program while it is drawn and printed: the picture
// file, its size and framing, the three colours of day numbers and letters, the day table and the
// program's folder. The main window provides it; tamurika-export provides its own.
#pragma once

#include <QSize>
#include <QString>

#include "model/picturefit.h"
#include "platform/tcolor.h"

class TDayCells;

class TSheetSource {
  public:
    virtual ~TSheetSource() = default;

    /// The picture file the user chose; empty when none. Printing reads it again at full
    /// resolution.
    virtual QString PictureFileName() const = 0;
    /// The picture's size in pixels, from which its place on the sheet is worked out.
    virtual QSize PictureSize() const = 0;
    /// How the picture takes its box; fitted unless the source says otherwise.
    virtual TPictureFraming PictureFraming() const { return {}; }

    /// Monday to Friday numbers and letters.
    virtual TColor WeekdayColor() const = 0;
    /// Sunday numbers and letter, and every holiday.
    virtual TColor SundayColor() const = 0;
    /// Saturday numbers and letter.
    virtual TColor SaturdayColor() const = 0;

    /// The day table of the last composition.
    virtual const TDayCells& DayCells() const = 0;

    /// The program's folder, with a trailing "/"; the print position is kept in the settings
    /// folder that belongs to it.
    virtual QString AppPath() const = 0;
};
