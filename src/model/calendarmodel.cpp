#include "calendarmodel.h"

#include <QFileInfo>

#include "photo/picture.h"
#include "titlestyle.h"

bool TSheetPhoto::Empty() const {
    return !Picture || Picture->Empty();
}

QSize TSheetPhoto::Size() const {
    return Empty() ? QSize() : QSize(Picture->Width(), Picture->Height());
}

TSheetPhoto ReadSheetPhoto(const QString& fileName) {
    TSheetPhoto photo;
    photo.Picture = TPicture::ReadFile(fileName);
    photo.FileName = QFileInfo(fileName).absoluteFilePath();
    return photo;
}

QSize TCalendarModel::PictureSize() const {
    return Photo.Empty() ? NoPhotoSize : Photo.Size();
}

int TCalendarModel::TitleStyle() const {
    return StoredTitleStyle(Settings.TitleStyle);
}

QString TCalendarModel::YearTitle() const {
    return *SheetYearTitle(TitleStyle(), Year, Shape.StartMonth);
}

TSheetMonth TCalendarModel::SheetMonth(int n) const {
    return SheetMonthAt(Year, Shape.StartMonth, n);
}

TModelParts Differences(const TCalendarModel& a, const TCalendarModel& b) {
    TModelParts parts = 0;
    if (a.Year != b.Year)
        parts |= mpYear;
    if (!(a.Photo == b.Photo))
        parts |= mpPhoto;
    if (a.Framing != b.Framing)
        parts |= mpFraming;
    if (a.Settings.Fonts != b.Settings.Fonts)
        parts |= mpFonts;
    if (a.Settings.Colors != b.Settings.Colors)
        parts |= mpColors;
    if (a.Settings.TitleStyle != b.Settings.TitleStyle)
        parts |= mpTitleStyle;
    if (a.Paper != b.Paper)
        parts |= mpPaper;
    if (a.Position != b.Position)
        parts |= mpPosition;
    if (a.Koyomi != b.Koyomi)
        parts |= mpKoyomi;
    if (a.FamilyDays != b.FamilyDays)
        parts |= mpFamilyDays;
    if (a.Shape.StartMonth != b.Shape.StartMonth)
        parts |= mpStartMonth;
    if (a.Shape.WeekStart != b.Shape.WeekStart)
        parts |= mpWeekStart;
    if (a.Shape.Title != b.Shape.Title)
        parts |= mpOwnTitle;
    return parts;
}
