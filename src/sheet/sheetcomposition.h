// Composing the year sheet from the calendar model: the picture fitted and prepared, the year
// and month titles, the fonts and colours written into the sheet's items, the day table filled
// for the year and the print job titled. The preview window, its printing and "PDFに保存", and
// tamurika-export compose through this one function, so every page is the same sheet.
#pragma once

#include <cstdint>
#include <functional>

#include <QImage>
#include <QSize>
#include <QString>

#include "model/picturefit.h"

class TGraphic;
class TSheetLayout;
struct TCalendarModel;
struct TSheetPhoto;

/// What a sheet is composed for. The preview (the window's, and the PNG at 96 per inch) holds
/// the photo prepared at about the picture box's pixels, quick to draw again at every zoom; a
/// sheet for printing (a print queue, a PDF file, a PNG at another resolution) holds the photo
/// itself, which the printer takes at every pixel it can use and a PDF file as it is.
enum class TSheetUse { Preview, Print };

/// Progress of a composition: the position 5 .. 90, and whether a month of the day table was
/// just finished (the moment to let the window repaint).
using TCompositionProgress = std::function<void(int position, bool monthDone)>;

/// Composes `sheet` from `model` for `use`: the photo placed as framed, the year and month
/// titles of the title style, the fonts and colours, the day table of the year with the
/// national holidays, the position on the paper, the paper, and the print job's name
/// "たむりか" + the year title. Picture errors pass on; the sheet may then be half composed and
/// should be thrown away.
void ComposeSheet(TSheetLayout& sheet, const TCalendarModel& model, TSheetUse use,
                  const TCompositionProgress& progress = {});

/// The title lines alone, as ComposeSheet writes them: the year title of the title style and
/// start month in the year font and colour, and the family's own title above it or in its
/// place. The title dialog's preview draws them from a sheet of its own.
void ComposeTitles(TSheetLayout& sheet, const TCalendarModel& model);

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
/// The pixels per inch the warning names (rounded), or 0 when no warning is due.
int LowResolutionPixelsPerInch(const QSize& pictureSize, const TPictureFraming& framing);
/// The warning said short, for a status-bar panel of its own: "解像度不足 約43ppi"; empty when
/// no warning is due.
QString LowResolutionLabel(const QSize& pictureSize, const TPictureFraming& framing);

/// The title a PDF of the sheet carries: the titles as the sheet prints them ("令和 9 年",
/// "髙橋家のカレンダー 2027年", or the family's own title alone in the year title's place).
QString SheetDocumentTitle(const TCalendarModel& model);

/// What the user is told of a photo whose data a decoding found damaged and decoded past:
/// "写真「NAME」は一部が壊れています（JPEGの圧縮データ）。帯状に乱れて印刷されることがあります";
/// empty when none was found (or the photo was not decoded yet: see TGraphic::CheckData).
QString DamagedPhotoWarning(const TSheetPhoto& photo);

/// The print job's name for a year title.
QString SheetPrintTitle(const QString& yearTitle);
