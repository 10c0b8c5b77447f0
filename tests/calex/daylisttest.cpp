// Rule lines: how they parse into items, how a bad line fails, and which dates an item matches.
#include <gtest/gtest.h>

#include <random>

#include "calex/calex.h"
#include "platform/exception.h"

using namespace Qt::StringLiterals;

namespace {

constexpr std::int32_t Open = TBinaryDayListItem::NoYearBound;

TBinaryDayList Parse(const QStringList& lines) {
    TBinaryDayList items;
    ParseDayList(items, lines);
    return items;
}

const TBinaryDayListItem& ParseOne(const QString& line) {
    static TBinaryDayList items;
    items = Parse({line});
    EXPECT_EQ(items.size(), 1u) << line.toStdString();
    return *items.at(0);
}

struct Fields {
    std::int32_t start, end;
    int month, day, dayOfWeek, week;
    const char* name;
};

void ExpectFields(const TBinaryDayListItem& item, const Fields& f) {
    EXPECT_EQ(item.StartYear(), f.start);
    EXPECT_EQ(item.EndYear(), f.end);
    EXPECT_EQ(item.Month(), f.month);
    EXPECT_EQ(item.Day(), f.day);
    EXPECT_EQ(item.DayOfWeek(), f.dayOfWeek);
    EXPECT_EQ(item.Week(), f.week);
    EXPECT_EQ(item.Name(), QString::fromUtf8(f.name));
}

TEST(ParseDayList, EachFieldCountHasItsLayout) {
    ExpectFields(ParseOne(u"5,5,こどもの日"_s), {Open, Open, 5, 5, 0, 0, "こどもの日"});
    // Week before DayOfWeek in the short forms ...
    ExpectFields(ParseOne(u"1,2,2,成人の日"_s), {Open, Open, 1, 0, 2, 2, "成人の日"});
    ExpectFields(ParseOne(u"10,3,4,X"_s), {Open, Open, 10, 0, 4, 3, "X"});
    // ... DayOfWeek before Week in the general form.
    ExpectFields(ParseOne(u"2000,,1,,2,2,成人の日"_s), {2000, Open, 1, 0, 2, 2, "成人の日"});
    ExpectFields(ParseOne(u",,1,1,,,元旦"_s), {Open, Open, 1, 1, 0, 0, "元旦"});
    ExpectFields(ParseOne(u"1,2,3,4,5,6,\"\""_s), {1, 2, 3, 4, 5, 6, ""}); // empty name
    ExpectFields(ParseOne(u"2003,2,7,20,海の日"_s), {2003, Open, 7, 20, 0, 0, "海の日"});
    ExpectFields(ParseOne(u"2003,2,7,3,2,海の日"_s), {2003, Open, 7, 0, 2, 3, "海の日"});
}

TEST(ParseDayList, ModeLimitsTheYears) {
    ExpectFields(ParseOne(u"1990,0,6,1,A"_s), {1990, 1990, 6, 1, 0, 0, "A"});
    ExpectFields(ParseOne(u"1990,1,6,1,A"_s), {Open, 1990, 6, 1, 0, 0, "A"});
    ExpectFields(ParseOne(u"1990,2,6,1,A"_s), {1990, Open, 6, 1, 0, 0, "A"});
    // Any other Mode: no limit, and Year is not even read.
    ExpectFields(ParseOne(u"xyz,3,6,1,A"_s), {Open, Open, 6, 1, 0, 0, "A"});
    ExpectFields(ParseOne(u"1990,00,6,1,A"_s), {Open, Open, 6, 1, 0, 0, "A"});
}

TEST(ParseDayList, SkipsLinesOfOtherFieldCounts) {
    const TBinaryDayList items =
        Parse({u""_s, u"1"_s, u"1,2"_s, u"1,2,3,4,5,6,7,8"_s, u"   "_s, u"5,5,こどもの日"_s});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->Name(), u"こどもの日"_s);
}

TEST(ParseDayList, SplitsByTheCommaTextRule) {
    // A space ends a field: unquoted, a name with a space makes one field more, and the line
    // is read in the wrong layout (Month, Week, DayOfWeek, Name).
    TBinaryDayList unquoted;
    try {
        ParseDayList(unquoted, {u"5,5,Children Day"_s});
        ADD_FAILURE() << "no EConvertError";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'Children' は整数ではありません"_s);
    }
    // A trailing comma gives no empty field, so this is the 6-field form without a name
    // ... read as Year, Mode, Month, Week, DayOfWeek, Name.
    ExpectFields(ParseOne(u"1,2,3,4,5,6,"_s), {1, Open, 3, 0, 5, 4, "6"});
    ExpectFields(ParseOne(u"5,5,\"Children \"\"Day\"\"\""_s),
                 {Open, Open, 5, 5, 0, 0, "Children \"Day\""});
    // Leading blanks are skipped, blanks around commas too; a trailing comma adds nothing.
    ExpectFields(ParseOne(u"  5 , 5,  X,"_s), {Open, Open, 5, 5, 0, 0, "X"});
}

TEST(ParseDayList, ByteFieldsKeepTheLowEightBits) {
    ExpectFields(ParseOne(u"261,-255,X"_s), {Open, Open, 5, 1, 0, 0, "X"});
}

TEST(ParseDayList, BadFieldLeavesThePartItemAndStops) {
    TBinaryDayList items;
    const QStringList lines = {u"1,1,元日"_s, u"2000,,1,x,2,2,成人の日"_s, u"5,5,こどもの日"_s};
    try {
        ParseDayList(items, lines);
        FAIL() << "no EConvertError";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'x' は整数ではありません"_s);
    }
    // The bad line's item is there with the fields read before the bad one; the line after
    // it was never read.
    ASSERT_EQ(items.size(), 2u);
    ExpectFields(*items[1], {2000, Open, 1, 0, 0, 0, ""});
}

TEST(ParseDayList, EmptyNumberInAShortFormIsAnError) {
    TBinaryDayList items;
    EXPECT_THROW(ParseDayList(items, {u"5,,X"_s}), EConvertError);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->Month(), 5);
    // Year must be a number only where Mode reads it.
    EXPECT_THROW(ParseDayList(items, {u"y,0,5,5,X"_s}), EConvertError);
    EXPECT_NO_THROW(ParseDayList(items, {u"y,9,5,5,X"_s}));
}

TEST(ParseDayList, ReplacesTheItemsItHad) {
    TBinaryDayList items = Parse({u"1,1,A"_s, u"2,2,B"_s});
    ParseDayList(items, {u"3,3,C"_s});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->Name(), u"C"_s);
}

TEST(TBinaryDayListItem, FixedDateEveryYear) {
    const TBinaryDayListItem& item = ParseOne(u",,1,1,,,元旦"_s);
    EXPECT_TRUE(item.IsMatch(1, 1, 1));
    EXPECT_TRUE(item.IsMatch(2024, 1, 1));
    EXPECT_FALSE(item.IsMatch(2024, 1, 2));
    EXPECT_FALSE(item.IsMatch(2024, 2, 1));
}

TEST(TBinaryDayListItem, NthWeekdayWithYearBounds) {
    const TBinaryDayListItem& from2000 = ParseOne(u"2000,,1,,2,2,成人の日"_s);
    EXPECT_TRUE(from2000.IsMatch(2000, 1, 10));  // second Monday
    EXPECT_FALSE(from2000.IsMatch(2000, 1, 3));  // first Monday
    EXPECT_FALSE(from2000.IsMatch(2000, 1, 17)); // third Monday
    EXPECT_FALSE(from2000.IsMatch(1999, 1, 11)); // second Monday, too early
    EXPECT_TRUE(from2000.IsMatch(2024, 1, 8));

    const TBinaryDayListItem& upTo1999 = ParseOne(u",1999,1,15,,,成人の日"_s);
    EXPECT_TRUE(upTo1999.IsMatch(1999, 1, 15));
    EXPECT_FALSE(upTo1999.IsMatch(2000, 1, 15));
}

TEST(TBinaryDayListItem, EndBeforeStartWrapsAround) {
    const TBinaryDayListItem& item = ParseOne(u"2010,2000,5,1,,,X"_s);
    EXPECT_TRUE(item.IsMatch(1990, 5, 1));
    EXPECT_TRUE(item.IsMatch(2000, 5, 1));
    EXPECT_FALSE(item.IsMatch(2005, 5, 1));
    EXPECT_TRUE(item.IsMatch(2010, 5, 1));
    EXPECT_TRUE(item.IsMatch(2020, 5, 1));
}

TEST(TBinaryDayListItem, WeekWithoutDayOfWeekHasNoEffect) {
    const TBinaryDayListItem& item = ParseOne(u",,6,,,3,X"_s);
    EXPECT_TRUE(item.IsMatch(2024, 6, 1));
    EXPECT_TRUE(item.IsMatch(2024, 6, 30));
    // Every Friday of any month, in the fifth week only.
    const TBinaryDayListItem& fifthFriday = ParseOne(u",,,,6,5,X"_s);
    EXPECT_TRUE(fifthFriday.IsMatch(2024, 5, 31));
    EXPECT_FALSE(fifthFriday.IsMatch(2024, 5, 24));
    EXPECT_FALSE(fifthFriday.IsMatch(2024, 5, 30));
}

// Arbitrary lines either parse or raise the conversion error; nothing else happens, and every
// item parsed matches or not without failing.
TEST(ParseDayList, ArbitraryLinesParseOrRaiseTheConversionError) {
    const QString alphabet = u"0123456789,,,,\"  -+x祝\t"_s;
    std::mt19937 random(20240101);
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
    int parsed = 0;
    int refused = 0;
    for (int i = 0; i < 20000; ++i) {
        QString line;
        for (int n = length(random); n > 0; --n)
            line += alphabet[pick(random)];
        TBinaryDayList items;
        try {
            ParseDayList(items, {line});
            parsed += !items.empty();
        } catch (const EConvertError&) {
            ++refused;
            EXPECT_EQ(items.size(), 1u);
        }
        for (const auto& item : items) {
            for (std::int32_t year : {1, 2000, 1000000})
                item->IsMatch(year, 2, 29);
        }
    }
    // The lines reach both ends: rules that parse and rules that are refused.
    EXPECT_GT(parsed, 100);
    EXPECT_GT(refused, 100);
}

} // namespace
