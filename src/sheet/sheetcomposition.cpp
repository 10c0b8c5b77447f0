#include "sheetcomposition.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "daycells.h"
#include "model/calendarmodel.h"
#include "model/picturefit.h"
#include "model/titlestyle.h"
#include "platform/bitmap.h"
#include "sheetlayout.h"

namespace {

// The picture is drawn one column and one row larger than its bitmap on each side that the
// bitmap cuts: so the sheet was always made, and it keeps the picture's edge out of the box.
constexpr int StretchWidth = SheetPictureBoxWidth + 2;
constexpr int StretchHeight = SheetPictureBoxHeight + 1;

void SetFace(TLRItem& item, const TSlotFont& font) {
    // Face and style only: each item keeps the size of the sheet's design.
    TFont f = item.Font();
    f.SetName(font.Name);
    f.SetStyle(font.Style);
    item.Font().Assign(f);
}

void Report(const TCompositionProgress& progress, int position, bool monthDone = false) {
    if (progress)
        progress(position, monthDone);
}

} // namespace

QString SheetDocumentTitle(const TCalendarModel& model) {
    const QString year = model.YearTitle().trimmed();
    const TOwnTitle& own = model.Shape.Title;
    if (!own.Shown())
        return year;
    return own.Place == TOwnTitlePlace::Replace ? own.Text : own.Text + u' ' + year;
}

QString DamagedPhotoWarning(const TSheetPhoto& photo) {
    const QString reason = photo.Empty() ? QString() : photo.Picture->DamageNote();
    if (reason.isEmpty())
        return {};
    return QStringLiteral(
               "写真「%1」は一部が壊れています（%2）。帯状に乱れて印刷されることがあります")
        .arg(QFileInfo(photo.FileName).fileName(), reason);
}

QString SheetPrintTitle(const QString& yearTitle) {
    return QStringLiteral("たむりか") + yearTitle;
}

QSize SheetPreviewDecodeSize(const QSize& pictureSize) {
    const TRect drawn = FitPicture(pictureSize.width(), pictureSize.height(), SheetPictureBoxWidth,
                                   SheetPictureBoxHeight);
    return {2 * drawn.Width(), 2 * drawn.Height()};
}

int LowResolutionPixelsPerInch(const QSize& pictureSize, const TPictureFraming& framing) {
    const double ppi =
        SheetPicturePixelsPerInch(pictureSize.width(), pictureSize.height(), framing);
    if (ppi <= 0 || ppi >= SheetMinPixelsPerInch)
        return 0;
    // At least 1: a photo of a few pixels is still worth the warning.
    return std::max(1, static_cast<int>(std::lround(ppi)));
}

QString LowResolutionWarning(const QSize& pictureSize, const TPictureFraming& framing) {
    const int ppi = LowResolutionPixelsPerInch(pictureSize, framing);
    if (ppi == 0)
        return {};
    return QStringLiteral("写真の解像度が低いため、印刷が粗くなります（約 %1 ppi）").arg(ppi);
}

QString LowResolutionLabel(const QSize& pictureSize, const TPictureFraming& framing) {
    const int ppi = LowResolutionPixelsPerInch(pictureSize, framing);
    return ppi == 0 ? QString() : QStringLiteral("解像度不足 約%1ppi").arg(ppi);
}

QImage SheetPreviewPicture(const TGraphic* picture, const TPictureFraming& framing) {
    TBitmap box(SheetPictureBoxWidth, SheetPictureBoxHeight); // white
    if (picture != nullptr && !picture->Empty() && framing.Mode == TFrameMode::Fill) {
        // Twice the box's pixels, as for a fitted picture: for a photo that is the decoding
        // made when it was loaded, as long as the whole photo shows.
        const TGraphicPart part =
            picture->ToImagePart(FillSource(picture->Width(), picture->Height(),
                                            SheetPictureBoxWidth, SheetPictureBoxHeight, framing),
                                 QSize(2 * SheetPictureBoxWidth, 2 * SheetPictureBoxHeight));
        if (!part.Pixels.isNull())
            box.Canvas().StretchDraw({0, 0, SheetPictureBoxWidth, SheetPictureBoxHeight},
                                     part.Pixels, part.Source, true);
    } else if (picture != nullptr && !picture->Empty()) {
        // A photo is decoded at a reduced scale where that still gives twice the pixels drawn.
        const QImage pixels =
            picture->ToImageForSize(SheetPreviewDecodeSize({picture->Width(), picture->Height()}));
        if (!pixels.isNull())
            box.Canvas().StretchDraw({0, 0, StretchWidth, StretchHeight}, pixels, true);
    }
    return box.Image();
}

void ComposeTitles(TSheetLayout& sheet, const TCalendarModel& model) {
    const TSlotSettings& s = model.Settings;
    sheet.LRItemNen->SetText(model.YearTitle());
    SetFace(*sheet.LRItemNen, s.Fonts[sfYear]);
    sheet.LRItemNen->Font().SetColor(s.Colors[scYear]);
    sheet.SetOwnTitle(model.Shape.Title, s.Colors[scYear]);
}

void ComposeSheet(TSheetLayout& sheet, const TCalendarModel& model, TSheetUse use,
                  const TCompositionProgress& progress) {
    const TSlotSettings& s = model.Settings;
    const TGraphic* photo = model.Photo.Empty() ? nullptr : model.Photo.Picture.get();

    sheet.PlacePicture(model.PictureSize(), model.Framing);
    sheet.LRImage1->Picture().SetGraphic(nullptr);
    if (use == TSheetUse::Preview) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(SheetPreviewPicture(photo, model.Framing));
        sheet.LRImage1->Picture().SetGraphic(std::move(bitmap));
        // The prepared picture is already the part of the photo that shows.
        sheet.LRImage1->SetSourceRect({});
    } else {
        sheet.LRImage1->Picture().SetGraphic(photo);
    }

    for (int n = 1; n <= 12; ++n) {
        sheet.Month(n).LRItemYoubi->SetLineColor(s.Colors[scLine]);
        sheet.Month(n).LRItemCol->SetLineColor(s.Colors[scLine]);
    }
    Report(progress, 5);

    ComposeTitles(sheet, model);

    const TSheetYear sheetYear{model.Year, model.Shape.StartMonth, model.Shape.WeekStart};
    for (int n = 1; n <= 12; ++n)
        sheet.Month(n).LRItemTuki->SetText(
            *PrintedMonthTitle(model.TitleStyle(), model.SheetMonth(n).Month));
    for (int n = 1; n <= 12; ++n) {
        SetFace(*sheet.Month(n).LRItemTuki, s.Fonts[sfMonth]);
        sheet.Month(n).LRItemTuki->Font().SetColor(s.Colors[scMonth]);
    }
    Report(progress, 10);

    for (int n = 1; n <= 12; ++n) {
        SetFace(*sheet.Month(n).LRItemYoubiMoji, s.Fonts[sfDayOfWeek]);
        sheet.Month(n).LRItemYoubi->SetColor(s.Colors[scHeaderBack]);
    }
    Report(progress, 15);

    for (int n = 1; n <= 12; ++n) {
        SetFace(*sheet.Month(n).LRItemHi, s.Fonts[sfDay]);
        sheet.Month(n).LRItemCol->SetColor(s.Colors[scDayBack]);
    }
    sheet.WeekdayColor = s.Colors[scWeekday];
    sheet.SundayColor = s.Colors[scSunday];
    sheet.SaturdayColor = s.Colors[scSaturday];
    Report(progress, 20);
    Report(progress, 25);

    sheet.DayCells.Clear();
    Report(progress, 30);

    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    FillDayCells(holidays, sheetYear, sheet.DayCells,
                 [&progress](int month) { Report(progress, 30 + 5 * month, true); });

    // The family's days are named in their cells whatever else the cells show; the 暦 is
    // worked out only for a sheet that shows it.
    sheet.HasFamilyDays = FillFamilyDays(model.FamilyDays.Days, sheet.DayCells);
    sheet.Koyomi = model.Koyomi;
    if (model.Koyomi.AnyShown())
        FillKoyomiDays(sheet.DayCells);
    sheet.LayOutKoyomi();

    sheet.SetPosition(model.Position);
    sheet.LightRep1->SetPrintPaper(model.Paper);
    sheet.LightRep1->SetTitle(SheetPrintTitle(model.YearTitle()));
    sheet.LightRep1->SetDocumentTitle(SheetDocumentTitle(model));
    sheet.Year = model.Year;
}
