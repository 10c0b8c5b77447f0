// The eight title styles of the year and month titles: Western year or Japanese era year, the
// month as a number, with its English or traditional Japanese name, or in English alone. The
// style is the item index of the style list; the indices are stored in the settings slots.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

/// Number of title styles; valid indices are 0 .. TitleStyleCount − 1.
inline constexpr int TitleStyleCount = 8;

/// The style a stored index stands for: the index itself when it is one of the eight, else
/// style 0, so that a slot edited by hand ("zenkaiym=42") still titles the sheet.
inline int StoredTitleStyle(std::int32_t stored) {
    return stored >= 0 && stored < TitleStyleCount ? static_cast<int>(stored) : 0;
}

/// The items of the style list, in index order.
QStringList TitleStyleItems();

/// A Japanese era and the year within it.
struct TEraYear {
    QString Name; // "令和", "平成", "昭和", "大正", "明治"
    std::int32_t Year;
};

/// The era in force on 31 December of `year` and the year within it; nothing before 1873,
/// when Japan took up the Gregorian calendar.
std::optional<TEraYear> EraOf(std::int32_t year);
/// The era of `month` of `year` by the same rule: the one in force on the month's last day
/// (April 2019 is 平成 31, May 2019 令和 1); nothing before 1873.
std::optional<TEraYear> EraOf(std::int32_t year, int month);

/// The year title of the main window and of the printed sheet for `style`; nothing for an
/// index outside 0..7 (the title then stays as it is).
std::optional<QString> YearTitle(int style, std::int32_t year);

/// The year title of a sheet that starts with `startMonth` of `year` and runs for twelve
/// months: YearTitle for a sheet starting in January; else both ends in the style's form:
/// "2027年4月〜2028年3月", "2027 年 4 月 〜 2028 年 3 月 ", "April 2027 – March 2028",
/// "Apr 2027 – Mar 2028", and for the era styles a fiscal year "9 年度 " / "令和 9 年度 " when
/// it starts in April, else "令和 9 年 10 月 〜 令和 10 年 9 月 ". Nothing for a style outside
/// 0..7.
std::optional<QString> SheetYearTitle(int style, std::int32_t year, int startMonth);

/// The month title of the main window (plain digits); nothing for an index outside 0..7.
std::optional<QString> MonthTitle(int style, int month);

/// The month title printed on the sheet (full-width digits); nothing for an index outside
/// 0..7 (the sheet then keeps its design texts).
std::optional<QString> PrintedMonthTitle(int style, int month);

/// Month names by month 1..12 (index 0 unused).
extern const std::array<QString, 13> EnglishMonthNames;
extern const std::array<QString, 13> EnglishMonthAbbreviations;
extern const std::array<QString, 13> TraditionalMonthNames;
