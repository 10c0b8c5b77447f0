// The 暦 in the day cells: for every day of a year with everything shown, what is drawn stays
// inside the cell and off the number; what gives way gives way by priority; the sheet composed
// with the 暦 carries it in its cells.
#include <gtest/gtest.h>

#include <QFont>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "sheet/daycells.h"
#include "sheet/koyomicell.h"
#include "sheet/sheetlayout.h"

namespace {

TKoyomiOptions Everything() {
    TKoyomiOptions o;
    o.Rokuyo = o.SolarTerms = o.Zassetsu = o.MoonPhases = o.HolidayNames = o.Taian = true;
    o.Kyureki = TKyurekiMode::EveryDay;
    return o;
}

// Every day of 2027, in the faces a user may well choose, with everything shown: each placed
// rectangle inside the cell's usable inside, none crossing the number's ink nor another, each
// as wide as its text at its size; dropped kinds rank below every placed one of their cell.
TEST(KoyomiCell, EveryDayOf2027StaysInItsCellAndOffTheNumber) {
    THolidayModel holidays;
    ApplyProgramHolidays(holidays);
    TDayCells cells;
    FillDayCells(holidays, 2027, cells);
    FillKoyomiDays(cells);
    const QSizeF inside = TSheetLayout::DayCellInside();
    const QRectF cell(0, 0, inside.width(), inside.height());
    int placedTotal = 0, holidayNamesShown = 0;
    for (const char16_t* face : {u"ＭＳ ゴシック", u"ＭＳ 明朝", u"Noto Sans CJK JP"}) {
        QFont numberFont(QStringLiteral("ＭＳ ゴシック"));
        numberFont.setBold(true);
        const TKoyomiFaces faces(numberFont, QString::fromUtf16(face));
        for (int m = 1; m <= 12; ++m)
            for (int col = 0; col < 7; ++col)
                for (int row = 0; row < 6; ++row) {
                    const Tsenohi& day = cells(m, col, row);
                    if (day.DayText.isEmpty())
                        continue;
                    const auto entries =
                        KoyomiEntries(day.KoyomiDay, HolidayNames(day.Names), Everything());
                    const TKoyomiCellLayout layout =
                        LayoutKoyomiCell(inside, day.DayText, faces, entries);
                    const QString where = QStringLiteral("%1-%2 %3")
                                              .arg(m)
                                              .arg(day.DayText, QString::fromUtf16(face));
                    ASSERT_TRUE(cell.contains(layout.Number)) << where.toStdString();
                    for (std::size_t i = 0; i < layout.Placed.size(); ++i) {
                        const TKoyomiPlaced& p = layout.Placed[i];
                        ASSERT_TRUE(cell.contains(p.Rect)) << where.toStdString();
                        ASSERT_FALSE(p.Rect.intersects(layout.Number)) << where.toStdString();
                        for (std::size_t j = 0; j < i; ++j)
                            ASSERT_FALSE(p.Rect.intersects(layout.Placed[j].Rect))
                                << where.toStdString();
                        if (p.Kind != TKoyomiKind::Moon) {
                            ASSERT_GE(p.Em, KoyomiSizes::SmallestEm - 1e-9);
                            ASSERT_GE(p.Stretch, KoyomiSizes::NarrowestStretch - 1e-9);
                            const double width = faces.TextSize(p.Text, p.Em, p.Emphasis).width();
                            ASSERT_LE(width * p.Stretch, p.Rect.width() + 1e-9)
                                << where.toStdString();
                        }
                        holidayNamesShown += p.Kind == TKoyomiKind::Holiday;
                    }
                    // Each entry is placed (a holiday's name perhaps in two pieces) or dropped.
                    ASSERT_GE(layout.Placed.size() + layout.Dropped.size(), entries.size());
                    // The holiday's name gives way only where nothing else could take its room.
                    for (TKoyomiKind kind : layout.Dropped) {
                        if (kind == TKoyomiKind::Holiday) {
                            ASSERT_TRUE(std::none_of(
                                layout.Placed.begin(), layout.Placed.end(),
                                [](const TKoyomiPlaced& p) { return p.Kind != TKoyomiKind::Moon; }))
                                << where.toStdString();
                        }
                    }
                    placedTotal += static_cast<int>(layout.Placed.size());
                }
    }
    // Most of it shows: a 六曜 and a lunisolar date each day, and the holidays' names.
    EXPECT_GT(placedTotal, 3 * 365 * 2);
    EXPECT_GT(holidayNamesShown, 0);
}

} // namespace
