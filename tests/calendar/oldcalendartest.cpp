#include <gtest/gtest.h>

#include <QFile>

#include "calendar/julius.h"
#include "platform/resources.h"

using namespace Julius;

namespace {

std::int32_t JD(int y, int m, int d) {
    return YMDToJD(y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d));
}

struct Old {
    int month, day;
};

Old OldDate(std::int32_t jd) {
    std::uint8_t m = 0, d = 0;
    JDToOldDate(jd, m, d);
    return {m, d};
}

TEST(OldCalendarTable, IsTheEmbeddedTextByteForByte) {
    const QByteArray raw = LoadRawResource(QStringLiteral("JDOLDCAL"));
    EXPECT_EQ(raw.size(), 2939);
    EXPECT_TRUE(raw.startsWith("2447889,12\r\n2447919,1\r\n2447948,2\r\n"));
    EXPECT_TRUE(raw.endsWith("2455507,10\r\n2455537,11\r\n"));
    EXPECT_EQ(raw.count("\r\n"), 260);
    EXPECT_EQ(raw.count('\n'), 260);
}

TEST(OldCalendarTable, LoadsAscendingMonthsOf29Or30Days) {
    const auto& table = OldMonthList();
    ASSERT_EQ(table.size(), 260u);
    EXPECT_EQ(table.front().JulianDay, 2447889);
    EXPECT_EQ(table.front().Month, 12);
    EXPECT_EQ(table.back().JulianDay, 2455537);
    EXPECT_EQ(table.back().Month, 11);
    for (std::size_t i = 1; i < table.size(); ++i) {
        const int length = table[i].JulianDay - table[i - 1].JulianDay;
        EXPECT_TRUE(length == 29 || length == 30) << i;
    }
    // The eight leap months and the dates they begin.
    struct Leap {
        int month, y, m, d;
    };
    const Leap leaps[] = {{105, 1990, 6, 23}, {103, 1993, 4, 22}, {108, 1995, 9, 25},
                          {105, 1998, 6, 24}, {104, 2001, 5, 23}, {102, 2004, 3, 21},
                          {107, 2006, 8, 24}, {105, 2009, 6, 23}};
    std::vector<TJDOldMonth> found;
    for (const TJDOldMonth& month : table)
        if (month.Month > 100)
            found.push_back(month);
    ASSERT_EQ(found.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(found[i].Month, leaps[i].month);
        EXPECT_EQ(found[i].JulianDay, JD(leaps[i].y, leaps[i].m, leaps[i].d)) << leaps[i].month;
    }
}

TEST(OldCalendarTable, ADamagedCopyRaisesTheConversionError) {
    QByteArray raw = LoadRawResource(QStringLiteral("JDOLDCAL"));
    raw.replace("2448007,4", "2448007,x");
    try {
        ParseOldMonthTable(raw);
        ADD_FAILURE() << "damaged table accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'x' は整数ではありません"));
    }
    EXPECT_THROW(ParseOldMonthTable("2447889\r\n"), EConvertError);        // one field
    EXPECT_THROW(ParseOldMonthTable("2447889,12\r\n\r\n"), EConvertError); // empty line
    EXPECT_EQ(ParseOldMonthTable("1,2\n3,4").size(), 2u);                  // LF and no end
}

TEST(OldCalendar, OldDatesOfTheTable) {
    const auto expect = [](std::int32_t jd, Old old) {
        const Old got = OldDate(jd);
        EXPECT_EQ(got.month, old.month) << jd;
        EXPECT_EQ(got.day, old.day) << jd;
    };
    expect(2447889, {12, 1});
    expect(2447918, {12, 30});
    expect(2447919, {1, 1});
    expect(2448066, {105, 1});
    expect(2448065, {5, 30});
    expect(2455536, {10, 30}); // last day inside the table
    expect(2447888, {0, 0});   // before the table
    expect(2455537, {0, 0});   // the last line only closes the table
    expect(0, {0, 0});
    // 2009-01-26 was the first day of the first month (旧正月).
    expect(JD(2009, 1, 26), {1, 1});
}

TEST(OldCalendar, Rokuyo) {
    EXPECT_EQ(JDRokuyo(2447919), 1); // first day of month 1: 先勝
    EXPECT_EQ(RokuyoNames[JDRokuyo(2447919)], QStringLiteral("先勝"));
    EXPECT_EQ(JDRokuyo(2447948), 2); // first day of month 2: 友引
    EXPECT_EQ(JDRokuyo(2448066), 5); // leap 5th month counts as the 5th: 大安
    EXPECT_EQ(RokuyoNames[5], QStringLiteral("大安"));
    EXPECT_EQ(JDRokuyo(2447888), 0);
    EXPECT_EQ(JDRokuyo(2455537), 0);
    EXPECT_EQ(RokuyoNames[0], QStringLiteral("不明"));
    // Within a month the cycle runs on by one a day.
    for (int i = 1; i < 29; ++i)
        EXPECT_EQ(JDRokuyo(2447919 + i), (i % 6) + 1);
    // 2000-01-01 was the 25th day of the 11th old month and 2010-01-01 the 17th of the 11th.
    // The almanacs' rule, (month + day) mod 6 with 0 for 大安, gives 大安 and 先負.
    EXPECT_EQ(OldDate(JD(2000, 1, 1)).month, 11);
    EXPECT_EQ(OldDate(JD(2000, 1, 1)).day, 25);
    EXPECT_EQ(OldDate(JD(2010, 1, 1)).day, 17);
    EXPECT_EQ(RokuyoNames[JDRokuyo(JD(2000, 1, 1))], QStringLiteral("大安"));
    EXPECT_EQ(RokuyoNames[JDRokuyo(JD(2010, 1, 1))], QStringLiteral("先負"));
    // The same rule over the whole table.
    const QString byRule[6] = {QStringLiteral("大安"), QStringLiteral("赤口"),
                               QStringLiteral("先勝"), QStringLiteral("友引"),
                               QStringLiteral("先負"), QStringLiteral("仏滅")};
    for (std::int32_t jd = 2447889; jd < 2455537; ++jd) {
        const Old old = OldDate(jd);
        const int month = old.month > 100 ? old.month - 100 : old.month;
        ASSERT_EQ(RokuyoNames[JDRokuyo(jd)], byRule[(month + old.day) % 6]) << jd;
    }
}

} // namespace
