// The holiday model on its own, as the day table and the export tool use it: its lists and
// switches, a bad rule line, and the seam through which a control's own classification of
// the days before reaches the substitute-holiday step.
#include <gtest/gtest.h>

#include <type_traits>

#include <QObject>

#include "calendar/holidaymodel.h"
#include "calendar/holidays.h"
#include "platform/exception.h"

using namespace Qt::StringLiterals;

namespace {

static_assert(!std::is_base_of_v<QObject, THolidayModel>, "the model is no widget, no QObject");

TEST(HolidayModel, ListsAndSwitches) {
    THolidayModel model;
    EXPECT_TRUE(model.AutoEquinox());
    EXPECT_TRUE(model.AutoFurikae());
    EXPECT_EQ(model.GetDayNames(2024, 5, 5), u""_s);
    model.SetHolidayList({u",,5,5,,,こどもの日"_s});
    model.SetSpecialDayList({u",,5,5,,,誕生日"_s, u",,5,8,,,@結婚記念日"_s});
    EXPECT_EQ(model.HolidayList(), QStringList{u",,5,5,,,こどもの日"_s});
    EXPECT_EQ(model.SpecialDayItems().size(), 2u);
    // 2024-05-05 is a Sunday: special days first, then holidays; the Monday is its substitute.
    EXPECT_EQ(model.GetDayTypeFlags(2024, 5, 5), dtSunday | dtHoliday | dtSpecialDay);
    EXPECT_EQ(model.GetDayNames(2024, 5, 5), u"誕生日,こどもの日"_s);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 5, 6), dtFurikae);
    EXPECT_EQ(model.GetDayNames(2024, 5, 6), u"振替休日"_s);
    EXPECT_EQ(model.GetDayNames(2024, 5, 8), u"@結婚記念日"_s);
    EXPECT_EQ(model.GetDayNames(2024, 3, 20), u"春分の日"_s);
    model.SetAutoFurikae(false);
    model.SetAutoEquinox(false);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 5, 6), 0);
    EXPECT_EQ(model.GetDayNames(2024, 3, 20), u""_s);
}

TEST(HolidayModel, ABadLineStopsTheParseWhereItStands) {
    THolidayModel model;
    model.SetSpecialDayList({u",,1,2,,,S"_s});
    EXPECT_THROW(model.SetHolidayList({u",,1,1,,,元日"_s, u"x,,2,3"_s, u",,3,3,,,C"_s}),
                 EConvertError);
    // The good line and the bad line's item are there, the line after it is not. The bad
    // item stopped before its first field: it matches every day, with an empty name.
    ASSERT_EQ(model.HolidayItems().size(), 2u);
    EXPECT_EQ(model.HolidayItems()[1]->Month(), 0);
    EXPECT_EQ(model.GetDayNames(2024, 1, 1), u"元日,"_s);
    EXPECT_EQ(model.GetDayNames(2024, 3, 3), u"\"\""_s);
    // The special days were not read again: the old ones still hold.
    EXPECT_EQ(model.SpecialDayItems().size(), 1u);
}

TEST(HolidayModel, TheDaysBeforeAreClassifiedByTheCallersRule) {
    THolidayModel model;
    // A company holiday on Sunday 2 June 2024, known only to the caller's classification,
    // which asks the model with itself for the days before, as a control's override does.
    THolidayModel::TClassify company;
    company = [&model, &company](std::int32_t y, std::uint8_t m, std::uint8_t d) {
        TDayTypes types = model.GetDayTypeFlags(y, m, d, company);
        if (m == 6 && d == 2)
            types |= dtHoliday;
        return types;
    };
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 3), 0);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 3, company), dtFurikae);
    EXPECT_EQ(model.GetDayNames(2024, 6, 3, company), u"振替休日"_s);
    EXPECT_EQ(model.GetDayNames(2024, 6, 3), u""_s);
}

TEST(HolidayModel, TheProgramsHolidays) {
    THolidayModel model;
    ApplyProgramHolidays(model);
    EXPECT_EQ(model.GetDayNames(2026, 9, 22), u"国民の休日"_s);
    EXPECT_EQ(model.GetDayNames(2026, 9, 23), u"秋分の日"_s);
    EXPECT_EQ(model.GetDayNames(2025, 5, 6), u"振替休日"_s);
    EXPECT_TRUE(model.SpecialDayItems().empty()); // one empty line, no item
    EXPECT_TRUE(model.AutoKokuminNoKyujitsu());
}

// The day between two holidays (article 3.3 of the holiday law) on lists of the test's own.
TEST(HolidayModel, TheDayBetweenTwoHolidays) {
    THolidayModel model;
    EXPECT_TRUE(model.AutoKokuminNoKyujitsu());
    model.SetAutoEquinox(false);
    // Tuesday 11 June 2024 between two listed holidays.
    model.SetHolidayList({u",,6,10,,,A"_s, u",,6,12,,,B"_s});
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 11), dtHoliday);
    EXPECT_EQ(model.GetDayNames(2024, 6, 11), u"国民の休日"_s);
    EXPECT_EQ(model.GetDayNames(2024, 6, 13), u""_s);
    model.SetAutoKokuminNoKyujitsu(false);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 11), 0);
    EXPECT_EQ(model.GetDayNames(2024, 6, 11), u""_s);
    model.SetAutoKokuminNoKyujitsu(true);
    // Not before the amendment of 1985-12-27 came into force.
    EXPECT_EQ(model.GetDayNames(1985, 6, 11), u""_s);
    EXPECT_EQ(model.GetDayNames(1986, 6, 11), u"国民の休日"_s);
    // From 2007 a Sunday between two holidays is one as well: Sunday 9 June 2024.
    model.SetHolidayList({u",,6,8,,,A"_s, u",,6,10,,,B"_s});
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 9), dtSunday | dtHoliday);
    EXPECT_EQ(model.GetDayNames(2024, 6, 9), u"国民の休日"_s);
    // A special day in between changes nothing; it is named first.
    model.SetSpecialDayList({u",,6,9,,,S"_s});
    EXPECT_EQ(model.GetDayNames(2024, 6, 9), u"S,国民の休日"_s);
}

TEST(HolidayModel, TheDayBetweenTwoHolidaysUntil2006) {
    THolidayModel model;
    model.SetAutoEquinox(false);
    model.SetHolidayList({u",,5,3,,,A"_s, u",,5,5,,,C"_s});
    // Not a Sunday: 1997-05-04.
    EXPECT_EQ(model.GetDayTypeFlags(1997, 5, 4), dtSunday);
    EXPECT_EQ(model.GetDayNames(1997, 5, 4), u""_s);
    // Not a substitute holiday: Monday 1998-05-04 after Sunday 3 May, even when substitutes
    // are not shown.
    EXPECT_EQ(model.GetDayNames(1998, 5, 4), u"振替休日"_s);
    model.SetAutoFurikae(false);
    EXPECT_EQ(model.GetDayTypeFlags(1998, 5, 4), 0);
    model.SetAutoFurikae(true);
    // Tuesday to Saturday it is: 1988-05-04 (Wednesday), 1991-05-04 (Saturday).
    EXPECT_EQ(model.GetDayNames(1988, 5, 4), u"国民の休日"_s);
    EXPECT_EQ(model.GetDayTypeFlags(1991, 5, 4), dtSaturday | dtHoliday);
    // From 2007 a Sunday 4 May between the two would be one: 2008-05-04.
    EXPECT_EQ(model.GetDayNames(2008, 5, 4), u"国民の休日"_s);
}

TEST(HolidayModel, OnlyTheLawsHolidaysCountOnEitherSide) {
    THolidayModel model;
    model.SetAutoEquinox(false);
    // Sunday 22 September 2024 and Wednesday 25: Monday 23 is the substitute holiday, and
    // Tuesday 24 lies between a substitute and a holiday, which is no day between holidays.
    model.SetHolidayList({u",,9,22,,,A"_s, u",,9,25,,,B"_s});
    EXPECT_EQ(model.GetDayNames(2024, 9, 23), u"振替休日"_s);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 9, 24), 0);
    // Sunday 22, Monday 23, Wednesday 25: the substitute moves to Tuesday 24, which is also
    // between two holidays and is named the substitute; Thursday 26 is nothing.
    model.SetHolidayList({u",,9,22,,,A"_s, u",,9,23,,,B"_s, u",,9,25,,,C"_s});
    EXPECT_EQ(model.GetDayTypeFlags(2024, 9, 24), dtFurikae);
    EXPECT_EQ(model.GetDayNames(2024, 9, 24), u"振替休日"_s);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 9, 26), 0);
    // Two days between (a holiday, two free days, a holiday) are none.
    model.SetHolidayList({u",,6,10,,,A"_s, u",,6,13,,,B"_s});
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 11), 0);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 12), 0);
    // An equinox day counts: Monday 2026-09-21 (listed) and the equinox day, Wednesday 23.
    model.SetAutoEquinox(true);
    model.SetHolidayList({u"2026,2026,9,21,,,敬老の日"_s});
    EXPECT_EQ(model.GetDayNames(2026, 9, 22), u"国民の休日"_s);
    // Across New Year: 31 December 2024 between two listed holidays.
    model.SetHolidayList({u",,12,30,,,A"_s, u",,1,1,,,B"_s});
    EXPECT_EQ(model.GetDayNames(2024, 12, 31), u"国民の休日"_s);
}

TEST(HolidayModel, TheNeighboursAreClassifiedByTheCallersRule) {
    THolidayModel model;
    model.SetAutoEquinox(false);
    model.SetHolidayList({u",,6,12,,,B"_s});
    THolidayModel::TClassify withMonday;
    withMonday = [&model, &withMonday](std::int32_t y, std::uint8_t m, std::uint8_t d) {
        TDayTypes types = model.GetDayTypeFlags(y, m, d, withMonday);
        if (m == 6 && d == 10)
            types |= dtHoliday;
        return types;
    };
    EXPECT_EQ(model.GetDayNames(2024, 6, 11), u""_s);
    EXPECT_EQ(model.GetDayNames(2024, 6, 11, withMonday), u"国民の休日"_s);
    EXPECT_EQ(model.GetDayTypeFlags(2024, 6, 11, withMonday), dtHoliday);
}

} // namespace
