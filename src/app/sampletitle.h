// What the sample's year title panel shows of the sheet's titles: the year title, or the
// family's own title where the sheet prints it in the year title's place, in a size that fits
// the panel, and the tool tip that says what the panel cannot show.
#pragma once

#include <QFont>
#include <QString>

struct TCalendarModel;

struct TSampleTitle {
    QString Text;
    QFont Font;
    /// Empty: none.
    QString ToolTip;
};

/// The smallest letters the sample sets a title in; a title still too wide is cut with "…".
inline constexpr int SampleTitleMinHeight = 9;

/// The year title panel of the sample for `model`, `width` pixels of text wide, its letters
/// `height` pixels high at most: the year title in the sample's bold face, or an own title that
/// replaces it in the own title's face and style, set smaller where it would not fit and cut
/// only below SampleTitleMinHeight. The panel has no room for a second line, so an own title
/// printed above the year title is named in the tool tip, as is a title that had to be cut and
/// the year title that an own title replaces.
TSampleTitle SampleYearTitle(const TCalendarModel& model, int width, int height);
