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
}

} // namespace
