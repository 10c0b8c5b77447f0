// The national holidays as the program's calendar controls see them (default holiday list,
// equinox days and substitute holidays on), checked against two outside accounts:
//  - for every day of 1970–2050, the articles of the law written out as plain code
//    (tests/common/holidayreference.h);
//  - for 2019–2027, the lists of the Cabinet Office, 内閣府「国民の祝日について」, checked by
//    hand (2019–2025 from the page's yearly lists, 2026 and 2027 from its announcements of
//    February 2025 and February 2026). The Cabinet Office calls substitute days and the days
//    between two holidays simply 「休日」; the calendar names them 振替休日 and 国民の休日, and
//    the special days of 2019 by their laws.
#include <gtest/gtest.h>

#include <map>

#include <QDate>

#include "calendar/equinoxdays.h"
#include "calendar/holidays.h"
#include "calendar/julius.h"
#include "calex/calex.h"
#include "calex/calexdesign.h"
#include "common/holidayreference.h"

using namespace Qt::StringLiterals;

namespace {

class NationalHolidays : public ::testing::Test {
  protected:
    void SetUp() override { ApplyProgramDesign(calendar); }

    QString Names(const QDate& date) const {
        return calendar.GetDayNames(date.year(), static_cast<std::uint8_t>(date.month()),
                                    static_cast<std::uint8_t>(date.day()));
    }

    TCalendarEx calendar;
};

TEST_F(NationalHolidays, AgreeWithTheLawEveryDayFrom1970To2050) {
    int mismatches = 0;
    for (QDate date(1970, 1, 1); date <= QDate(2050, 12, 31); date = date.addDays(1)) {
        const QString expected = HolidayReference::HolidayName(date);
        const QString actual = Names(date);
        if (actual != expected && ++mismatches <= 20) {
            ADD_FAILURE() << date.toString(Qt::ISODate).toStdString() << ": calendar \""
                          << actual.toStdString() << "\", law \"" << expected.toStdString() << "\"";
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// 内閣府「国民の祝日について」, every named date of the years 2019–2027.
const std::map<QDate, const char*>& CabinetOfficeList() {
    // clang-format off
    static const std::map<QDate, const char*> list = {
        // 2019 (平成31年・令和元年)
        {{2019, 1, 1}, "元日"}, {{2019, 1, 14}, "成人の日"}, {{2019, 2, 11}, "建国記念の日"},
        {{2019, 3, 21}, "春分の日"}, {{2019, 4, 29}, "昭和の日"}, {{2019, 4, 30}, "国民の休日"},
        {{2019, 5, 1}, "天皇の即位の日"}, {{2019, 5, 2}, "国民の休日"},
        {{2019, 5, 3}, "憲法記念日"}, {{2019, 5, 4}, "みどりの日"}, {{2019, 5, 5}, "こどもの日"},
        {{2019, 5, 6}, "振替休日"}, {{2019, 7, 15}, "海の日"}, {{2019, 8, 11}, "山の日"},
        {{2019, 8, 12}, "振替休日"}, {{2019, 9, 16}, "敬老の日"}, {{2019, 9, 23}, "秋分の日"},
        {{2019, 10, 14}, "体育の日"}, {{2019, 10, 22}, "即位礼正殿の儀"},
        {{2019, 11, 3}, "文化の日"}, {{2019, 11, 4}, "振替休日"},
        {{2019, 11, 23}, "勤労感謝の日"},
        // 2020 (令和2年), with the Olympic moves
        {{2020, 1, 1}, "元日"}, {{2020, 1, 13}, "成人の日"}, {{2020, 2, 11}, "建国記念の日"},
        {{2020, 2, 23}, "天皇誕生日"}, {{2020, 2, 24}, "振替休日"}, {{2020, 3, 20}, "春分の日"},
        {{2020, 4, 29}, "昭和の日"}, {{2020, 5, 3}, "憲法記念日"}, {{2020, 5, 4}, "みどりの日"},
        {{2020, 5, 5}, "こどもの日"}, {{2020, 5, 6}, "振替休日"}, {{2020, 7, 23}, "海の日"},
        {{2020, 7, 24}, "スポーツの日"}, {{2020, 8, 10}, "山の日"}, {{2020, 9, 21}, "敬老の日"},
        {{2020, 9, 22}, "秋分の日"}, {{2020, 11, 3}, "文化の日"},
        {{2020, 11, 23}, "勤労感謝の日"},
        // 2021 (令和3年), with the Olympic moves
        {{2021, 1, 1}, "元日"}, {{2021, 1, 11}, "成人の日"}, {{2021, 2, 11}, "建国記念の日"},
        {{2021, 2, 23}, "天皇誕生日"}, {{2021, 3, 20}, "春分の日"}, {{2021, 4, 29}, "昭和の日"},
        {{2021, 5, 3}, "憲法記念日"}, {{2021, 5, 4}, "みどりの日"}, {{2021, 5, 5}, "こどもの日"},
        {{2021, 7, 22}, "海の日"}, {{2021, 7, 23}, "スポーツの日"}, {{2021, 8, 8}, "山の日"},
        {{2021, 8, 9}, "振替休日"}, {{2021, 9, 20}, "敬老の日"}, {{2021, 9, 23}, "秋分の日"},
        {{2021, 11, 3}, "文化の日"}, {{2021, 11, 23}, "勤労感謝の日"},
        // 2022 (令和4年)
        {{2022, 1, 1}, "元日"}, {{2022, 1, 10}, "成人の日"}, {{2022, 2, 11}, "建国記念の日"},
        {{2022, 2, 23}, "天皇誕生日"}, {{2022, 3, 21}, "春分の日"}, {{2022, 4, 29}, "昭和の日"},
        {{2022, 5, 3}, "憲法記念日"}, {{2022, 5, 4}, "みどりの日"}, {{2022, 5, 5}, "こどもの日"},
        {{2022, 7, 18}, "海の日"}, {{2022, 8, 11}, "山の日"}, {{2022, 9, 19}, "敬老の日"},
        {{2022, 9, 23}, "秋分の日"}, {{2022, 10, 10}, "スポーツの日"},
        {{2022, 11, 3}, "文化の日"}, {{2022, 11, 23}, "勤労感謝の日"},
        // 2023 (令和5年)
        {{2023, 1, 1}, "元日"}, {{2023, 1, 2}, "振替休日"}, {{2023, 1, 9}, "成人の日"},
        {{2023, 2, 11}, "建国記念の日"}, {{2023, 2, 23}, "天皇誕生日"},
        {{2023, 3, 21}, "春分の日"}, {{2023, 4, 29}, "昭和の日"}, {{2023, 5, 3}, "憲法記念日"},
        {{2023, 5, 4}, "みどりの日"}, {{2023, 5, 5}, "こどもの日"}, {{2023, 7, 17}, "海の日"},
        {{2023, 8, 11}, "山の日"}, {{2023, 9, 18}, "敬老の日"}, {{2023, 9, 23}, "秋分の日"},
        {{2023, 10, 9}, "スポーツの日"}, {{2023, 11, 3}, "文化の日"},
        {{2023, 11, 23}, "勤労感謝の日"},
        // 2024 (令和6年)
        {{2024, 1, 1}, "元日"}, {{2024, 1, 8}, "成人の日"}, {{2024, 2, 11}, "建国記念の日"},
        {{2024, 2, 12}, "振替休日"}, {{2024, 2, 23}, "天皇誕生日"}, {{2024, 3, 20}, "春分の日"},
        {{2024, 4, 29}, "昭和の日"}, {{2024, 5, 3}, "憲法記念日"}, {{2024, 5, 4}, "みどりの日"},
        {{2024, 5, 5}, "こどもの日"}, {{2024, 5, 6}, "振替休日"}, {{2024, 7, 15}, "海の日"},
        {{2024, 8, 11}, "山の日"}, {{2024, 8, 12}, "振替休日"}, {{2024, 9, 16}, "敬老の日"},
        {{2024, 9, 22}, "秋分の日"}, {{2024, 9, 23}, "振替休日"},
        {{2024, 10, 14}, "スポーツの日"}, {{2024, 11, 3}, "文化の日"},
        {{2024, 11, 4}, "振替休日"}, {{2024, 11, 23}, "勤労感謝の日"},
        // 2025 (令和7年)
        {{2025, 1, 1}, "元日"}, {{2025, 1, 13}, "成人の日"}, {{2025, 2, 11}, "建国記念の日"},
        {{2025, 2, 23}, "天皇誕生日"}, {{2025, 2, 24}, "振替休日"}, {{2025, 3, 20}, "春分の日"},
        {{2025, 4, 29}, "昭和の日"}, {{2025, 5, 3}, "憲法記念日"}, {{2025, 5, 4}, "みどりの日"},
        {{2025, 5, 5}, "こどもの日"}, {{2025, 5, 6}, "振替休日"}, {{2025, 7, 21}, "海の日"},
        {{2025, 8, 11}, "山の日"}, {{2025, 9, 15}, "敬老の日"}, {{2025, 9, 23}, "秋分の日"},
        {{2025, 10, 13}, "スポーツの日"}, {{2025, 11, 3}, "文化の日"},
        {{2025, 11, 23}, "勤労感謝の日"}, {{2025, 11, 24}, "振替休日"},
        // 2026 (令和8年)
        {{2026, 1, 1}, "元日"}, {{2026, 1, 12}, "成人の日"}, {{2026, 2, 11}, "建国記念の日"},
        {{2026, 2, 23}, "天皇誕生日"}, {{2026, 3, 20}, "春分の日"}, {{2026, 4, 29}, "昭和の日"},
        {{2026, 5, 3}, "憲法記念日"}, {{2026, 5, 4}, "みどりの日"}, {{2026, 5, 5}, "こどもの日"},
        {{2026, 5, 6}, "振替休日"}, {{2026, 7, 20}, "海の日"}, {{2026, 8, 11}, "山の日"},
        {{2026, 9, 21}, "敬老の日"}, {{2026, 9, 22}, "国民の休日"}, {{2026, 9, 23}, "秋分の日"},
        {{2026, 10, 12}, "スポーツの日"}, {{2026, 11, 3}, "文化の日"},
        {{2026, 11, 23}, "勤労感謝の日"},
        // 2027 (令和9年)
        {{2027, 1, 1}, "元日"}, {{2027, 1, 11}, "成人の日"}, {{2027, 2, 11}, "建国記念の日"},
        {{2027, 2, 23}, "天皇誕生日"}, {{2027, 3, 21}, "春分の日"}, {{2027, 3, 22}, "振替休日"},
        {{2027, 4, 29}, "昭和の日"}, {{2027, 5, 3}, "憲法記念日"}, {{2027, 5, 4}, "みどりの日"},
        {{2027, 5, 5}, "こどもの日"}, {{2027, 7, 19}, "海の日"}, {{2027, 8, 11}, "山の日"},
        {{2027, 9, 20}, "敬老の日"}, {{2027, 9, 23}, "秋分の日"},
        {{2027, 10, 11}, "スポーツの日"}, {{2027, 11, 3}, "文化の日"},
        {{2027, 11, 23}, "勤労感謝の日"},
    };
    // clang-format on
    return list;
}

TEST_F(NationalHolidays, MatchTheCabinetOfficeListsFor2019To2027) {
    const auto& list = CabinetOfficeList();
    for (QDate date(2019, 1, 1); date <= QDate(2027, 12, 31); date = date.addDays(1)) {
        const auto entry = list.find(date);
        const QString expected = entry == list.end() ? QString() : QString::fromUtf8(entry->second);
        EXPECT_EQ(Names(date), expected) << date.toString(Qt::ISODate).toStdString();
    }
}

TEST_F(NationalHolidays, FaultsOfTheOldListAreGone) {
    EXPECT_EQ(Names({2027, 12, 23}), u""_s);        // no longer the emperor's birthday
    EXPECT_EQ(Names({2024, 4, 29}), u"昭和の日"_s); // not みどりの日
    EXPECT_EQ(Names({2024, 8, 11}), u"山の日"_s);
    EXPECT_EQ(Names({2024, 2, 11}), u"建国記念の日"_s); // the law's name
    EXPECT_EQ(Names({2008, 5, 6}), u"振替休日"_s);
    EXPECT_EQ(Names({2014, 5, 6}), u"振替休日"_s);
    EXPECT_EQ(Names({2025, 5, 6}), u"振替休日"_s);
    EXPECT_EQ(Names({2019, 12, 23}), u""_s);
    EXPECT_EQ(Names({2019, 2, 23}), u""_s);
    // The Golden Week rules before 2007: 4 May between two holidays, but a Monday 4 May is
    // the substitute for 3 May and a Sunday 4 May is nothing.
    EXPECT_EQ(Names({1988, 5, 4}), u"国民の休日"_s);
    EXPECT_EQ(Names({1998, 5, 4}), u"振替休日"_s);
    EXPECT_EQ(Names({1997, 5, 4}), u""_s);
}

TEST_F(NationalHolidays, EquinoxDaysFromTheLawOf1948) {
    // 国民の祝日に関する法律 took effect on 1948-07-20: the autumnal equinox day of 1948 was
    // the first equinox holiday, the vernal one of that year and all before were none.
    EXPECT_EQ(Names({1947, 3, 21}), u""_s);
    EXPECT_EQ(Names({1947, 9, 24}), u""_s);
    EXPECT_EQ(Names({1948, 3, 21}), u""_s);
    EXPECT_EQ(calendar.GetDayTypeFlags(1948, 3, 21), dtSunday); // drawn as any Sunday
    EXPECT_EQ(calendar.GetDayTypeFlags(1947, 3, 21), 0);
    EXPECT_EQ(Names({1948, 9, 23}), u"秋分の日"_s);
    EXPECT_EQ(calendar.GetDayTypeFlags(1948, 9, 23), dtHoliday);
    // The other holidays of 1948 are the two November days of the law; 1949 has them all.
    int named1948 = 0;
    for (QDate date(1948, 1, 1); date.year() == 1948; date = date.addDays(1))
        named1948 += !Names(date).isEmpty();
    EXPECT_EQ(named1948, 3);
    EXPECT_EQ(Names({1948, 11, 3}), u"文化の日"_s);
    EXPECT_EQ(Names({1948, 11, 23}), u"勤労感謝の日"_s);
    EXPECT_EQ(Names({1949, 3, 21}), u"春分の日"_s);
    EXPECT_EQ(Names({1949, 1, 1}), u"元日"_s);
}

TEST_F(NationalHolidays, TheDefaultListIsData) {
    const QStringList lines = DefaultHolidayList();
    // Only the law's own holidays are lines; days between two of them are worked out.
    EXPECT_FALSE(lines.join(u'\n').contains(u"国民の休日"_s));
    EXPECT_TRUE(calendar.AutoKokuminNoKyujitsu());
    TBinaryDayList items;
    ASSERT_NO_THROW(ParseDayList(items, lines));
    EXPECT_EQ(items.size(), static_cast<std::size_t>(lines.size()));
    EXPECT_EQ(calendar.TypeOfDayList().Lines(), lines);
    EXPECT_EQ(calendar.SpecialDayItems().size(), 0u); // one empty line, no item
}

// The September days between 敬老の日 and 秋分の日 are worked out for every year: each is a
// year where the equinox falls two days after the third Monday, and none is missing, neither
// up to 3007, where a table of them used to end, nor after it.
TEST_F(NationalHolidays, SeptemberDaysBetweenHolidaysEveryYear) {
    int named = 0;
    int after3007 = 0;
    for (std::int32_t year = 2003; year <= 3100; ++year) {
        const std::int32_t first = Julius::YMDToJD(year, 9, 1);
        const std::int32_t thirdMonday = first + (9 - Julius::JDDayOfWeek(first)) % 7 + 14;
        const bool between = EquinoxDays::AutumnalJD(year) == thirdMonday + 2;
        std::int32_t y;
        std::uint8_t m, d;
        Julius::JDToYMD(thirdMonday + 1, y, m, d);
        const bool isNamed = calendar.GetDayNames(y, m, d) == u"国民の休日"_s;
        EXPECT_EQ(isNamed, between) << year;
        if (isNamed) {
            ++named;
            after3007 += year > 3007;
            EXPECT_EQ(calendar.GetDayTypeFlags(y, m, d), dtHoliday) << year;
        }
    }
    EXPECT_GT(after3007, 10);
    EXPECT_GT(named, 138 + 10);
    EXPECT_EQ(Names({2032, 9, 21}), u"国民の休日"_s);
    EXPECT_EQ(Names({3007, 9, 22}), u"国民の休日"_s);
    EXPECT_EQ(Names({3018, 9, 22}), u"国民の休日"_s);
}

} // namespace
