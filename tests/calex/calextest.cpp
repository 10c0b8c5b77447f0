// The control model: navigation, the setters that ignore dates that do not exist, the order
// and number of notifications, lists and fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/julius.h"
#include "calex/calex.h"
#include "platform/exception.h"

using namespace Qt::StringLiterals;

namespace {

struct Date {
    std::int32_t y;
    int m, d;
    bool operator==(const Date&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Date& date) {
    return os << date.y << '-' << date.m << '-' << date.d;
}

class Control : public ::testing::Test {
  protected:
    void SetUp() override {
        calendar.OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, &calendar);
            events.push_back("change " + std::to_string(calendar.JuliusDay()));
        };
        calendar.OnDayChange = [this](QObject* sender, std::int32_t y, std::uint8_t m,
                                      std::uint8_t d) {
            EXPECT_EQ(sender, &calendar);
            events.push_back("day " + std::to_string(y) + "-" + std::to_string(m) + "-" +
                             std::to_string(d));
        };
    }

    void GoTo(Date date) {
        calendar.SetJuliusDay(Julius::YMDToJD(date.y, static_cast<std::uint8_t>(date.m),
                                              static_cast<std::uint8_t>(date.d)));
        events.clear();
    }

    Date Current() const { return {calendar.Year(), calendar.Month(), calendar.Day()}; }

    int Count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& e : events)
            n += e.rfind(prefix, 0) == 0;
        return n;
    }

    TCalendarEx calendar;
    std::vector<std::string> events;
};

TEST_F(Control, StartsOnTodayWithTheDefaults) {
    TCalendarEx fresh;
    EXPECT_EQ(fresh.JuliusDay(), Julius::TodayJD());
    EXPECT_EQ(fresh.Color(), clWindow);
    EXPECT_TRUE(fresh.AutoEquinox());
    EXPECT_TRUE(fresh.AutoFurikae());
    EXPECT_TRUE(fresh.AutoKokuminNoKyujitsu());
    EXPECT_EQ(fresh.FirstDayOfWeek(), dowSun);
    EXPECT_FALSE(fresh.ShowNeighbor());
    EXPECT_EQ(fresh.NeighborColor(), clSilver);
    EXPECT_TRUE(fresh.AutoResize());
    EXPECT_EQ(fresh.DayOfWeekBkColor(), clNavy);
    EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus); // stops on Tab
}

TEST_F(Control, MonthAndYearStepsShortenTheDay) {
    GoTo({2000, 1, 31});
    calendar.NextMonth();
    EXPECT_EQ(Current(), (Date{2000, 2, 29}));
    calendar.NextYear();
    EXPECT_EQ(Current(), (Date{2001, 2, 28}));
    GoTo({2000, 3, 31});
    calendar.PrevMonth();
    EXPECT_EQ(Current(), (Date{2000, 2, 29}));
    GoTo({1999, 12, 15});
    calendar.NextMonth();
    EXPECT_EQ(Current(), (Date{2000, 1, 15}));
    calendar.PrevMonth();
    EXPECT_EQ(Current(), (Date{1999, 12, 15}));
    GoTo({2004, 2, 29});
    calendar.PrevYear();
    EXPECT_EQ(Current(), (Date{2003, 2, 28}));
    calendar.NextDay();
    EXPECT_EQ(Current(), (Date{2003, 3, 1}));
    calendar.PrevDay();
    EXPECT_EQ(Current(), (Date{2003, 2, 28}));
    calendar.Today();
    EXPECT_EQ(calendar.JuliusDay(), Julius::TodayJD());
}

TEST_F(Control, PartSettersIgnoreDatesThatDoNotExist) {
    GoTo({2001, 1, 31});
    calendar.SetMonth(2);
    EXPECT_EQ(Current(), (Date{2001, 1, 31}));
    EXPECT_EQ(Count("day"), 0);
    calendar.SetDay(1);
    calendar.SetMonth(2);
    EXPECT_EQ(Current(), (Date{2001, 2, 1}));
    calendar.SetDay(29);
    calendar.SetMonth(13);
    calendar.SetMonth(0);
    EXPECT_EQ(Current(), (Date{2001, 2, 1}));
    GoTo({2000, 2, 29});
    calendar.SetYear(2001);
    EXPECT_EQ(Current(), (Date{2000, 2, 29}));
    calendar.SetYear(2004);
    EXPECT_EQ(Current(), (Date{2004, 2, 29}));
}

TEST_F(Control, DatesOfThe1582GapRaiseAndChangeNothing) {
    GoTo({1582, 10, 1});
    EXPECT_THROW(calendar.SetDay(10), EJuliusError);
    EXPECT_EQ(Current(), (Date{1582, 10, 1}));
    EXPECT_TRUE(events.empty());
    // Consecutive day numbers cross the gap.
    GoTo({1582, 10, 4});
    calendar.NextDay();
    EXPECT_EQ(Current(), (Date{1582, 10, 15}));
}

TEST_F(Control, DayNumbersBeyondTheCalendarAreIgnored) {
    GoTo({2000, 1, 1});
    calendar.SetJuliusDay(Julius::MinJD - 1);
    calendar.SetJuliusDay(Julius::MaxJD + 1);
    EXPECT_EQ(Current(), (Date{2000, 1, 1}));
    EXPECT_TRUE(events.empty());
}

TEST_F(Control, NewDateRedrawsThenTellsTheDay) {
    GoTo({2000, 1, 1});
    const std::int32_t next = calendar.JuliusDay() + 1;
    calendar.NextDay();
    // OnChange comes from the redraw, with the new date already in place, then OnDayChange.
    EXPECT_EQ(events, (std::vector<std::string>{"change " + std::to_string(next), "day 2000-1-2"}));
}

TEST_F(Control, SameDayNumberTellsNothing) {
    GoTo({2000, 1, 1});
    calendar.SetJuliusDay(calendar.JuliusDay());
    EXPECT_TRUE(events.empty());
}

TEST_F(Control, PartSettersRedrawOnceMore) {
    GoTo({2000, 1, 1});
    calendar.SetDay(2);
    EXPECT_EQ(Count("change"), 2);
    EXPECT_EQ(Count("day"), 1);
    EXPECT_EQ(events.at(1), "day 2000-1-2"); // between the two redraws
    events.clear();
    calendar.SetDay(2);
    EXPECT_EQ(Count("change"), 1);
    EXPECT_EQ(Count("day"), 0);
    events.clear();
    calendar.SetMonth(3);
    calendar.SetYear(2001);
    EXPECT_EQ(Count("change"), 4);
    EXPECT_EQ(Count("day"), 2);
}

TEST_F(Control, DrawingPropertiesRedrawOnlyWhenChanged) {
    calendar.SetColor(clWhite);
    calendar.SetShowNeighbor(true);
    calendar.SetFirstDayOfWeek(dowMon);
    EXPECT_EQ(Count("change"), 3);
    calendar.SetColor(clWhite);
    calendar.SetShowNeighbor(true);
    calendar.SetFirstDayOfWeek(dowMon);
    calendar.SetNeighborJump(true); // stores only
    EXPECT_EQ(Count("change"), 3);
    EXPECT_TRUE(calendar.NeighborJump());
}

TEST_F(Control, ListChangesReparseAndRedraw) {
    GoTo({2024, 6, 3});
    calendar.HolidayList().Add(u",,6,3,,,記念日"_s);
    EXPECT_EQ(Count("change"), 1);
    EXPECT_EQ(calendar.TypeOfDayText(), u"記念日"_s);
    calendar.SpecialDayList().Add(u",,6,3,,,誕生日"_s);
    EXPECT_EQ(calendar.TypeOfDayText(), u"誕生日,記念日"_s);
    // TypeOfDayList is HolidayList itself.
    EXPECT_EQ(&calendar.TypeOfDayList(), &calendar.HolidayList());
    calendar.SetTypeOfDayList({u",,6,4,,,X"_s});
    EXPECT_EQ(calendar.HolidayList().Lines(), QStringList{u",,6,4,,,X"_s});
    EXPECT_EQ(calendar.TypeOfDayText(), u"誕生日"_s);
}

TEST_F(Control, BadRuleLineReachesWhoeverChangedTheList) {
    GoTo({2024, 6, 3});
    calendar.HolidayList().Add(u",,6,3,,,A"_s);
    events.clear();
    EXPECT_THROW(calendar.HolidayList().Add(u",,6,x,,,B"_s), EConvertError);
    EXPECT_EQ(calendar.HolidayList().Count(), 2);  // the change stays made
    EXPECT_EQ(calendar.HolidayItems().size(), 2u); // the bad line's item, partly read
    EXPECT_EQ(Count("change"), 0);
}

TEST_F(Control, CurrentDateProperties) {
    GoTo({2024, 5, 6});
    EXPECT_EQ(calendar.DayOfWeek(), 2); // Monday
    calendar.SetHolidayList({u",,5,5,,,こどもの日"_s});
    EXPECT_EQ(calendar.TypeOfDayText(), u"振替休日"_s);
}

TEST_F(Control, SynchronizedFontsAllTakeTheWrittenFont) {
    TCalExFonts& fonts = calendar.Fonts();
    TFont big;
    big.SetHeight(-20);
    big.SetColor(clFuchsia);
    fonts.SetSynchronize(true);
    fonts.SetHoliday(big);
    for (int i = 0; i < TCalExFonts::Count; ++i)
        EXPECT_EQ(fonts.Font(i), big) << i;
    calendar.SetHolidayColor(clLime);
    EXPECT_EQ(fonts.Holiday().Color(), clLime);
    EXPECT_EQ(fonts.Sunday().Color(), clFuchsia);
    EXPECT_GT(Count("change"), 0);

    fonts.SetSynchronize(false);
    fonts.SetSaturday(TFont());
    EXPECT_EQ(fonts.Saturday(), TFont());
    EXPECT_EQ(fonts.Sunday().Height(), -20);
}

TEST_F(Control, ColourPropertiesAreTheFontColours) {
    calendar.SetWeekdayColor(clGray);
    calendar.SetSaturdayColor(clTeal);
    calendar.SetSundayColor(clMaroon);
    calendar.SetHolidayColor(clOlive);
    calendar.SetSpecialDayColor(clPurple);
    calendar.SetNeighborDayColor(clAqua);
    const TCalExFonts& fonts = calendar.Fonts();
    EXPECT_EQ(fonts.Font(TCalExFonts::fiWeekday).Color(), clGray);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiSaturday).Color(), clTeal);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiSunday).Color(), clMaroon);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiHoliday).Color(), clOlive);
    EXPECT_EQ(fonts.Font(TCalExFonts::fiSpecialDay).Color(), clPurple);
    EXPECT_EQ(calendar.NeighborColor(), clAqua);
    EXPECT_EQ(calendar.WeekdayColor(), clGray);
    EXPECT_EQ(calendar.NeighborDayColor(), clAqua);
}

TEST_F(Control, WritingFontsCopiesAllSeven) {
    TCalendarEx other;
    other.Fonts().Weekday().SetName(u"IPAGothic"_s);
    other.Fonts().Rokuyo().SetHeight(-9);
    calendar.SetFonts(other.Fonts());
    EXPECT_EQ(calendar.Fonts().Weekday().Name(), u"IPAGothic"_s);
    EXPECT_EQ(calendar.Fonts().Rokuyo().Height(), -9);
    EXPECT_EQ(calendar.Fonts().Saturday().Color(), clBlue);
    other.Fonts().Weekday().SetHeight(-30); // a copy, not shared
    EXPECT_NE(calendar.Fonts().Weekday().Height(), -30);
}

} // namespace
