// Where a picture goes in its box: scaled to the box's width or height so that it keeps its
// own aspect ratio, and centred. The main window's sample (224 × 168) and the printed sheet
// (708 × 531) use the same rule.
#pragma once

#include "platform/types.h"

/// The rectangle, relative to the box, that a w × h picture takes in a boxWidth × boxHeight
/// box of aspect 4:3. A picture counts as exactly 4:3 when h div 3 = w div 4 and then fills
/// the box; a wider one takes the full width, a taller one the full height, its other side
/// rounded to the nearest integer (halves to even) and centred by integer halving. A picture
/// without pixels fills the box.
TRect FitPicture(int w, int h, int boxWidth, int boxHeight);
