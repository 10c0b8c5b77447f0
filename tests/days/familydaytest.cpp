// When a family's day falls and what the sheet writes for it.
#include <gtest/gtest.h>

#include "days/familyday.h"

namespace {

TFamilyDay Yearly(const char16_t* name, int month, int day, int since = 0,
                  TFamilyDay::TKind kind = TFamilyDay::TKind::Other) {
    TFamilyDay d;
    d.Name = QString::fromUtf16(name);
    d.Month = month;
    d.Day = day;
    d.Year = since;
    d.Kind = kind;
    return d;
}

TFamilyDay Rule(int month, int week, int weekday) {
    TFamilyDay d;
    d.Name = QStringLiteral("母の日");
    d.Repeat = TFamilyDay::TRepeat::Weekday;
    d.Month = month;
    d.Week = week;
    d.Weekday = weekday;
    return d;
}

} // namespace

TEST(FamilyDay, ABirthdayOn29FebruaryFallsOn28FebruaryInCommonYears) {
    const TFamilyDay hana = Yearly(u"花", 2, 29, 2008, TFamilyDay::TKind::Birthday);
    EXPECT_EQ(OccurrenceIn(hana, 2027), QDate(2027, 2, 28));
    EXPECT_EQ(OccurrenceIn(hana, 2028), QDate(2028, 2, 29));
    EXPECT_EQ(OccurrenceIn(hana, 2100), QDate(2100, 2, 28)); // not a leap year
    EXPECT_EQ(OccurrenceIn(hana, 2000 + 0), std::nullopt);   // before she was born
    EXPECT_EQ(SheetLabel(hana, 2027), QStringLiteral("花 19歳"));
    EXPECT_EQ(SheetLabel(hana, 2028), QStringLiteral("花 20歳"));
}

TEST(FamilyDay, AgesAndAnniversariesCountFromTheYearTheyBegan) {
    const TFamilyDay taro = Yearly(u"太郎", 5, 5, 2015, TFamilyDay::TKind::Birthday);
    EXPECT_EQ(SheetLabel(taro, 2027), QStringLiteral("太郎 12歳"));
    EXPECT_EQ(SheetLabel(taro, 2015), QStringLiteral("太郎")); // the day he was born
    const TFamilyDay wedding = Yearly(u"結婚", 6, 10, 2017, TFamilyDay::TKind::Anniversary);
    EXPECT_EQ(SheetLabel(wedding, 2027), QStringLiteral("結婚10周年"));
    EXPECT_EQ(SheetLabel(Yearly(u"父の命日", 8, 1, 1990), 2027), QStringLiteral("父の命日"));
    EXPECT_EQ(SheetLabel(Yearly(u"太郎", 5, 5, 0, TFamilyDay::TKind::Birthday), 2027),
              QStringLiteral("太郎")); // no year known: nothing to count
}

TEST(FamilyDay, WeekdayRulesFindTheirDay) {
    EXPECT_EQ(OccurrenceIn(Rule(5, 2, 0), 2027), QDate(2027, 5, 9)); // 第2日曜
    EXPECT_EQ(OccurrenceIn(Rule(5, 2, 0), 2026), QDate(2026, 5, 10));
    EXPECT_EQ(OccurrenceIn(Rule(11, TFamilyDay::LastWeek, 4), 2027), QDate(2027, 11, 25));
    EXPECT_EQ(OccurrenceIn(Rule(2, 5, 1), 2027), std::nullopt); // no fifth Monday
    EXPECT_EQ(OccurrenceIn(Rule(3, 5, 1), 2027), QDate(2027, 3, 29));
    EXPECT_EQ(DateText(Rule(11, TFamilyDay::LastWeek, 4)), QStringLiteral("11月最終木曜"));
}

TEST(FamilyDay, OneOffDaysOnlyInTheirYearAndListsSortByDate) {
    TFamilyDay moving = Yearly(u"引っ越し", 3, 14);
    moving.Repeat = TFamilyDay::TRepeat::Once;
    moving.Year = 2027;
    EXPECT_EQ(OccurrenceIn(moving, 2027), QDate(2027, 3, 14));
    EXPECT_EQ(OccurrenceIn(moving, 2028), std::nullopt);
    EXPECT_TRUE(EarlierInYear(moving, Yearly(u"太郎", 5, 5)));
    EXPECT_TRUE(EarlierInYear(Rule(5, 1, 0), Yearly(u"太郎", 5, 8)));
    EXPECT_FALSE(EarlierInYear(Rule(5, 2, 0), Yearly(u"太郎", 5, 5)));
}

// A sheet from April runs into the next year: each day falls in the year its month has there.
TEST(FamilyDay, DaysOnASheetThatStartsInApril) {
    const TFamilyDay hana = Yearly(u"花", 2, 29, 2008, TFamilyDay::TKind::Birthday);
    EXPECT_EQ(OccurrenceOnSheet(hana, 2027, 4), QDate(2028, 2, 29));
    EXPECT_EQ(OccurrenceOnSheet(hana, 2027, 1), QDate(2027, 2, 28));
    EXPECT_EQ(OccurrenceOnSheet(Yearly(u"太郎", 5, 5), 2027, 4), QDate(2027, 5, 5));
    EXPECT_EQ(OccurrenceOnSheet(Yearly(u"春", 4, 1), 2027, 4), QDate(2027, 4, 1));
    EXPECT_EQ(OccurrenceOnSheet(Yearly(u"末", 3, 31), 2027, 4), QDate(2028, 3, 31));
    EXPECT_EQ(OccurrenceOnSheet(Rule(3, 5, 1), 2027, 4), std::nullopt); // March 2028: no 5th Monday
    TFamilyDay once = Yearly(u"引っ越し", 3, 14, 2027);
    once.Repeat = TFamilyDay::TRepeat::Once;
    EXPECT_EQ(OccurrenceOnSheet(once, 2026, 4), QDate(2027, 3, 14));
    EXPECT_EQ(OccurrenceOnSheet(once, 2027, 4), std::nullopt);
    EXPECT_EQ(SheetSpanText(2027, 4), QStringLiteral("2027年4月〜2028年3月"));
    EXPECT_EQ(SheetSpanText(2027, 1), QStringLiteral("2027年"));
}
