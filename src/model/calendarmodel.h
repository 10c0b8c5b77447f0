// The calendar being made, as one plain value: the year, the photo as it was read and how it is
// framed, the fonts, colours and title style of a settings slot, the paper and the position on
// it, and what the day cells show of the 暦. The windows show and edit it (through
// TCalendarDocument, which makes every change an undo step); the sheet is composed from it alone,
// by the window and by tamurika-export alike.
#pragma once

#include <cstdint>
#include <memory>

#include <QSize>
#include <QString>

#include "days/daysfile.h"
#include "koyomioptions.h"
#include "picturefit.h"
#include "report/lrdocument.h"
#include "settingsslots.h"
#include "sheetshape.h"

class TGraphic;

/// The photo on top of the sheet, as it was read when it was loaded: printing and the PDF use
/// these pixels, never the file again (which may have changed or gone since). Shared and never
/// changed, so that copies of the model and the undo steps that hold them cost nothing.
struct TSheetPhoto {
    /// The file it was read from, as an absolute path; empty when there is no photo.
    QString FileName;
    /// The photo itself: a JPEG, PNG, HEIF... as its bytes, a bitmap as its pixels.
    std::shared_ptr<const TGraphic> Picture;

    bool Empty() const;
    /// Its size in pixels as seen (a phone photo's orientation applied); 0 × 0 without one.
    QSize Size() const;
    /// The same photo: the same file read at the same moment.
    bool operator==(const TSheetPhoto& other) const {
        return FileName == other.FileName && Picture == other.Picture;
    }
};

/// Reads a photo file whole; raises EInvalidGraphic, naming the file, when it cannot.
TSheetPhoto ReadSheetPhoto(const QString& fileName);

/// The picture box is placed as for a picture of this size when there is no photo: so the
/// first version's hidden picture control measured an empty picture.
inline constexpr QSize NoPhotoSize(105, 105);

struct TCalendarModel {
    std::int32_t Year = 0;
    TSheetPhoto Photo;
    /// How the photo takes its box; the mode stays the user's choice without a photo too.
    TPictureFraming Framing;
    /// Fonts (face and style), the eight colours and the title style (0..7).
    TSlotSettings Settings;
    /// The paper printed on; the sheet is scaled onto it.
    TPaperSize Paper = psA4;
    /// How far the sheet is moved right (left when negative) on the paper, −10..10 units.
    int Position = 0;
    /// What the day cells show of the 暦, and in which face and colour.
    TKoyomiOptions Koyomi;
    /// The family's own days as their file holds them (with its comments), sorted by date.
    TDaysFile FamilyDays;
    /// The month the sheet starts with, the weekday its weeks start on, and the family's own
    /// title.
    TSheetShape Shape;

    bool operator==(const TCalendarModel&) const = default;

    /// The size by which the photo is placed: its own, or NoPhotoSize without one.
    QSize PictureSize() const;
    /// The title style as the titles are made by it (a stored index outside 0..7 counts as 0).
    int TitleStyle() const;
    /// The year title of the main window and of the sheet ("2027年", "令和 9 年", ...; for a
    /// sheet starting in another month than January "2027年4月〜2028年3月", "令和 9 年度 ").
    QString YearTitle() const;
    /// The n-th month (1..12) of the sheet.
    TSheetMonth SheetMonth(int n) const;
};

/// The parts of the model, for saying which of them a change touched. A new option of the
/// model gets a part of its own here and a line in Differences.
enum TModelPart : unsigned {
    mpYear = 1u << 0,
    mpPhoto = 1u << 1,
    mpFraming = 1u << 2,
    mpFonts = 1u << 3,
    mpColors = 1u << 4,
    mpTitleStyle = 1u << 5,
    mpPaper = 1u << 6,
    mpPosition = 1u << 7,
    mpKoyomi = 1u << 8,
    mpFamilyDays = 1u << 9,
    mpStartMonth = 1u << 10,
    mpWeekStart = 1u << 11,
    mpOwnTitle = 1u << 12,
};
using TModelParts = unsigned;
/// What a settings slot holds.
inline constexpr TModelParts SlotParts = mpFonts | mpColors | mpTitleStyle;
inline constexpr TModelParts AllModelParts = (mpOwnTitle << 1) - 1;

/// The parts in which `a` and `b` differ.
TModelParts Differences(const TCalendarModel& a, const TCalendarModel& b);
