// Composing the year sheet: the picture fitted and prepared, the year and month titles, the
// fonts and colours written into the sheet's items, the day table filled for the year and the
// print job titled. "ﾌﾟﾚﾋﾞｭ-＆印刷" of the main window and tamurika-export compose through this
// one function, so the window's page and the exported one are the same sheet.
#pragma once

#include <cstdint>
#include <functional>

#include <QImage>
#include <QSize>
#include <QString>

#include "model/picturefit.h"
#include "model/settingsslots.h"

class TDayCells;
class TGraphic;
class THolidayModel;
class TSheetLayout;

/// Everything a sheet is composed from besides the calendar.
struct TSheetChoices {
    std::int32_t Year = 0;
    /// The year title as the main window shows it; also the end of the print job's name.
    QString YearTitle;
    /// Fonts (face and style; the sizes are the sheet's), colours and title style.
    TSlotSettings Settings;
    /// The picture as loaded (not owned); nullptr or empty when there is none.
    const TGraphic* Picture = nullptr;
    /// The picture's size in pixels, which decides its place in the picture box.
    QSize PictureSize;
    /// How the picture takes the box.
    TPictureFraming Framing;
};

/// Progress of a composition: the position 5 .. 90, and whether a month of the day table was
/// just finished (the moment to let the window repaint).
using TCompositionProgress = std::function<void(int position, bool monthDone)>;

/// Composes `sheet` from `choices`: fills `cells` with the year's days classified by
/// `holidays` (those of the main window's hidden control), then names the print job
/// "たむりか" + the year title. Picture errors pass on; the sheet may then be half composed
/// and should be thrown away.
void ComposeSheet(TSheetLayout& sheet, const TSheetChoices& choices, const THolidayModel& holidays,
                  TDayCells& cells, const TCompositionProgress& progress = {});

/// The picture of the preview as the sheet holds it: always 708 × 531, on white; white when
/// there is no picture. Fitted: the picture stretched to 710 × 532 with its last two columns
/// and its last row cut off, which LRImage1 stretches back into the picture's own shape.
/// Filling: the part of the picture that shows (FillSource), exactly the box.
QImage SheetPreviewPicture(const TGraphic* picture, const TPictureFraming& framing = {});

/// The size at which SheetPreviewPicture asks a picture of `pictureSize` for its pixels: twice
/// the size at which the sheet shows it (fitted into the 708 × 531 box), so that a photo
/// decoded at a reduced scale still gives two pixels for each one on the page. A picture
/// decoded at this size when it is loaded is not decoded again for the sheet.
QSize SheetPreviewDecodeSize(const QSize& pictureSize);

/// What the user is told when a picture of `pictureSize` prints at fewer than
/// SheetMinPixelsPerInch pixels per inch with `framing`: "写真の解像度が低いため、印刷が粗く
/// なります（約 N ppi）"; empty when it prints finely enough or there is no picture.
QString LowResolutionWarning(const QSize& pictureSize, const TPictureFraming& framing);

/// The print job's name for a year title.
QString SheetPrintTitle(const QString& yearTitle);
