// Classification of dates by a control's own rule lists: day types, the substitute-holiday
// step in each of its three eras, fonts and names.
#include <gtest/gtest.h>

#include "calendar/julius.h"
#include "calex/calex.h"

using namespace Qt::StringLiterals;

namespace {

struct Date {
    std::int32_t y;
    std::uint8_t m, d;
};

class DayTypes : public ::testing::Test {
  protected:
    TDayTypes Flags(Date date) const { return calendar.GetDayTypeFlags(date.y, date.m, date.d); }
    QString Names(Date date) const { return calendar.GetDayNames(date.y, date.m, date.d); }
    const TFont& Font(Date date) const { return calendar.GetDayFont(date.y, date.m, date.d); }

    TCalendarEx calendar;
};

TEST_F(DayTypes, WeekendAndListedDays) {
    calendar.SetHolidayList({u",,5,5,,,こどもの日"_s});
    calendar.SetSpecialDayList({u",,5,8,,,誕生日"_s});
    EXPECT_EQ(Flags({2024, 5, 4}), dtSaturday);
    EXPECT_EQ(Flags({2024, 5, 5}), dtSunday | dtHoliday);
    EXPECT_EQ(Flags({2024, 5, 6}), dtFurikae);
    EXPECT_EQ(Flags({2024, 5, 7}), 0);
    EXPECT_EQ(Flags({2024, 5, 8}), dtSpecialDay);
}

TEST_F(DayTypes, EquinoxDaysOnlyWithAutoEquinox) {
    calendar.SetAutoEquinox(false);
    EXPECT_EQ(Flags({2000, 3, 20}), 0); // a plain Monday
    EXPECT_EQ(Names({2000, 3, 20}), u""_s);
    calendar.SetAutoEquinox(true);
    EXPECT_EQ(Flags({2000, 3, 20}), dtHoliday);
    EXPECT_EQ(Names({2000, 3, 20}), u"春分の日"_s);
    EXPECT_EQ(Names({2000, 9, 23}), u"秋分の日"_s);
}

TEST_F(DayTypes, NoSubstituteHolidaysBefore1973) {
    calendar.SetHolidayList({u",,4,8,,,A"_s, u",,4,15,,,B"_s});
    // 1973-04-08 and 04-15 are Sundays; the law gave substitutes from 1973-04-12 on.
    EXPECT_EQ(Flags({1973, 4, 9}), 0);
    EXPECT_EQ(Flags({1973, 4, 16}), dtFurikae);
    EXPECT_EQ(Names({1973, 4, 16}), u"振替休日"_s);
    calendar.SetHolidayList({u",,1,1,,,元日"_s});
    EXPECT_EQ(Flags({1967, 1, 2}), 0); // Monday after the Sunday 1967-01-01
}

TEST_F(DayTypes, UntilTheEndOf2006OnlyTheMondayAfter) {
    calendar.SetHolidayList({u",,1,1,,,元日"_s, u",,5,3,,,A"_s, u",,5,4,,,B"_s, u",,5,5,,,C"_s});
    EXPECT_EQ(Flags({2006, 1, 2}), dtFurikae);
    EXPECT_EQ(Names({2006, 1, 2}), u"振替休日"_s);
    // 2003: 4 May a Sunday, 5 May a holiday Monday: nothing moves on to the Tuesday.
    EXPECT_EQ(Flags({2003, 5, 5}), dtHoliday);
    EXPECT_EQ(Flags({2003, 5, 6}), 0);
    EXPECT_EQ(Names({2003, 5, 6}), u""_s);
}

TEST_F(DayTypes, From2007TheNextDayThatIsNoHoliday) {
    calendar.SetHolidayList({u",,5,3,,,A"_s, u",,5,4,,,B"_s, u",,5,5,,,C"_s});
    // 2008: Sunday 4 May, holiday Monday 5 May, so Tuesday 6 May.
    EXPECT_EQ(Flags({2008, 5, 6}), dtFurikae);
    // 2009: Sunday 3 May, then two holidays, so Wednesday 6 May.
    EXPECT_EQ(Flags({2009, 5, 6}), dtFurikae);
    EXPECT_EQ(Flags({2009, 5, 7}), 0);
    // 2007: no holiday on a Sunday (5 May is a Saturday).
    EXPECT_EQ(Flags({2007, 5, 7}), 0);
    // Only one substitute per Sunday, and never for a holiday on a Saturday.
    EXPECT_EQ(Flags({2025, 5, 7}), 0);
    EXPECT_EQ(Flags({2025, 5, 6}), dtFurikae);
}

TEST_F(DayTypes, SpecialDaysAndOffSwitchGiveNoSubstitute) {
    calendar.SetSpecialDayList({u",,6,2,,,記念日"_s}); // 2024-06-02 is a Sunday
    EXPECT_EQ(Flags({2024, 6, 3}), 0);
    calendar.SetHolidayList({u",,6,2,,,祝日"_s});
    EXPECT_EQ(Flags({2024, 6, 3}), dtFurikae);
    calendar.SetAutoFurikae(false);
    EXPECT_EQ(Flags({2024, 6, 3}), 0);
    EXPECT_EQ(Names({2024, 6, 3}), u""_s);
}

TEST_F(DayTypes, MondayAfterAnEquinoxSunday) {
    // 2027-03-21, the vernal equinox day, is a Sunday.
    EXPECT_EQ(Flags({2027, 3, 22}), dtFurikae);
    EXPECT_EQ(Names({2027, 3, 22}), u"振替休日"_s);
    calendar.SetAutoEquinox(false);
    EXPECT_EQ(Flags({2027, 3, 22}), 0);
}

// A subclass may add holidays of its own; the substitute rule sees them.
class CompanyCalendar : public TCalendarEx {
  public:
    TDayTypes GetDayTypeFlags(std::int32_t y, std::uint8_t m, std::uint8_t d) const override {
        TDayTypes types = TCalendarEx::GetDayTypeFlags(y, m, d);
        if (m == 6 && d == 2)
            types |= dtHoliday;
        return types;
    }
};

TEST(DayTypesOverride, SubstituteRuleUsesTheOverride) {
    CompanyCalendar calendar;
    EXPECT_EQ(calendar.GetDayTypeFlags(2024, 6, 3), dtFurikae);
    EXPECT_EQ(calendar.GetDayNames(2024, 6, 3), u"振替休日"_s);
}

TEST_F(DayTypes, FontPrecedence) {
    TCalExFonts& fonts = calendar.Fonts();
    calendar.SetHolidayList({u",,5,4,,,H"_s, u",,5,5,,,H"_s, u",,5,6,,,H"_s});
    calendar.SetSpecialDayList({u",,5,6,,,S"_s});
    EXPECT_EQ(&Font({2024, 5, 1}), &fonts.Weekday());
    EXPECT_EQ(&Font({2024, 5, 11}), &fonts.Saturday());
    EXPECT_EQ(&Font({2024, 5, 12}), &fonts.Sunday());
    EXPECT_EQ(&Font({2024, 5, 4}), &fonts.Holiday()); // a holiday Saturday
    EXPECT_EQ(&Font({2024, 5, 5}), &fonts.Holiday()); // a holiday Sunday
    EXPECT_EQ(&Font({2024, 5, 6}), &fonts.SpecialDay());
    EXPECT_EQ(&Font({2024, 5, 7}), &fonts.Holiday()); // substitute for the 5th
    EXPECT_EQ(Names({2024, 5, 6}), u"S,H"_s);         // special days first
}

TEST_F(DayTypes, NamesAreCommaText) {
    calendar.SetHolidayList(
        {u",,8,1,,,\"A, B\""_s, u",,8,1,,,\"C D\""_s, u",,8,1,,,E"_s, u",,8,2,,,\"\""_s});
    EXPECT_EQ(Names({2024, 8, 1}), u"\"A, B\",\"C D\",E"_s);
    EXPECT_EQ(Names({2024, 8, 2}), u"\"\""_s); // one empty name
    EXPECT_EQ(Names({2024, 8, 3}), u""_s);
}

TEST_F(DayTypes, DefaultFontColours) {
    const TCalExFonts& fonts = calendar.Fonts();
    EXPECT_EQ(fonts.Font(TCalExFonts::fiWeekday).Color(), clBlack);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiSaturday).Color(), clBlue);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiSunday).Color(), clRed);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiDayOfWeek).Color(), clWhite);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiHoliday).Color(), clRed);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiSpecialDay).Color(), clGreen);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiRokuyo).Color(), clBlack);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiRokuyo).Size(), 10);
}

} // namespace
