#include "koyomisample.h"

#include <algorithm>

#include <QDate>
#include <QPainter>

#include "calendar/julius.h"
#include "sheet/koyomicell.h"
#include "sheet/sheetlayout.h"

namespace {

const Koyomi::TKoyomiDay Unknown{};

} // namespace

TKoyomiSample::TKoyomiSample() = default;
TKoyomiSample::~TKoyomiSample() = default;

void TKoyomiSample::SetOptions(const TKoyomiOptions& options, const TSlotFont& dayFont) {
    if (FFaces != nullptr && (options.Face != FOptions.Face || !(dayFont == FDayFont)))
        FFaces.reset();
    FOptions = options;
    FDayFont = dayFont;
}

const Koyomi::TKoyomiDay& TKoyomiSample::Day(int year, int month, int day) {
    if (year < Koyomi::FirstYear || year > Koyomi::LastYear)
        return Unknown;
    auto found = FYears.find(year);
    if (found == FYears.end()) {
        // A sample shows a year and the edges of its neighbours; the years paged through
        // before need not stay.
        if (FYears.size() >= 4)
            FYears.clear();
        found = FYears.emplace(year, Koyomi::TKoyomiYear(year)).first;
    }
    return found->second.Day(month, day);
}

void TKoyomiSample::Draw(QPainter& painter, const QRectF& rect, int year, int month, int day,
                         const QString& holidayNames, const QColor& number, const QColor& text) {
    if (FFaces == nullptr) {
        // The number's face as the sheet takes it from its day font.
        QFont numberFont(FDayFont.Name);
        numberFont.setBold((FDayFont.Style & fsBold) != 0);
        numberFont.setItalic((FDayFont.Style & fsItalic) != 0);
        FFaces = std::make_unique<TKoyomiFaces>(numberFont, FOptions.Face);
    }
    // The sheet's cell, in its units, laid out as the sheet lays it out and scaled whole: the
    // sample shows what the paper shows, only larger or smaller.
    const QSizeF cell = TSheetLayout::DayCellInside();
    const QString digits = QString::number(day);
    const TKoyomiCellLayout layout =
        LayoutKoyomiCell(cell, digits, *FFaces,
                         KoyomiEntries(Day(year, month, day), holidayNames, FOptions,
                                       FamilyNames(year, month, day)));
    const double scale = std::min(rect.width() / cell.width(), rect.height() / cell.height());
    if (scale <= 0)
        return;
    painter.save();
    painter.setClipRect(rect);
    painter.translate(rect.left() + (rect.width() - cell.width() * scale) / 2,
                      rect.top() + (rect.height() - cell.height() * scale) / 2);
    painter.scale(scale, scale);
    DrawKoyomiCell(painter, {0, 0}, layout, digits, *FFaces, {number, text});
    painter.restore();
}

QStringList TKoyomiSample::FamilyNames(int year, int month, int day) const {
    QStringList names;
    for (const TFamilyDay& d : FFamilyDays)
        if (OccurrenceIn(d, year) == QDate(year, month, day))
            names << SheetLabel(d, year);
    return names;
}

std::optional<QColor> TKoyomiSample::NumberColor(int year, int month, int day,
                                                 const QColor& holiday) const {
    // As on the sheet: a day's own colour wins over the holiday colour.
    std::optional<QColor> colour;
    for (const TFamilyDay& d : FFamilyDays) {
        if (OccurrenceIn(d, year) != QDate(year, month, day))
            continue;
        if (d.ColorChoice == TFamilyDay::TColorChoice::Own)
            colour = d.Color;
        else if (d.ColorChoice == TFamilyDay::TColorChoice::Holiday && !colour)
            colour = holiday;
    }
    return colour;
}

QString TKoyomiSample::ToolTip(int year, int month, int day, const QString& holidayNames) {
    QStringList lines =
        KoyomiToolTip(year, month, day, Day(year, month, day), holidayNames).split(u'\n');
    // The family's days right under the date, as they come first in the cell.
    lines.insert(1, FamilyNames(year, month, day).join(u'\n'));
    lines.removeAll(QString());
    return lines.join(u'\n');
}
