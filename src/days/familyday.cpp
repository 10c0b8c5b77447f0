#include "familyday.h"

#include <array>
#include <tuple>

namespace {

const std::array<QString, 7> WeekdayLetters = {
    QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
    QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};

// The day of the month of the `week`th `weekday` (0 Sunday) of a month; LastWeek counts from the
// end. Nothing when the month has no fifth such weekday.
std::optional<QDate> NthWeekday(int year, int month, int week, int weekday) {
    const QDate first(year, month, 1);
    if (!first.isValid())
        return std::nullopt;
    if (week == TFamilyDay::LastWeek) {
        const QDate last(year, month, first.daysInMonth());
        const int back = (last.dayOfWeek() % 7 - weekday + 7) % 7;
        return last.addDays(-back);
    }
    const int forward = (weekday - first.dayOfWeek() % 7 + 7) % 7;
    const QDate date = first.addDays(forward + 7 * (week - 1));
    if (date.month() != month)
        return std::nullopt;
    return date;
}

} // namespace

std::optional<QDate> OccurrenceIn(const TFamilyDay& day, int year) {
    switch (day.Repeat) {
    case TFamilyDay::TRepeat::Once: {
        if (year != day.Year)
            return std::nullopt;
        const QDate date(day.Year, day.Month, day.Day);
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    case TFamilyDay::TRepeat::Yearly: {
        if (day.Year != 0 && year < day.Year)
            return std::nullopt;
        // Born on 29 February: the day is kept on the 28th in common years, as Japanese law
        // counts a year of age (年齢計算ニ関スル法律) and as most families celebrate.
        const int d = day.Month == 2 && day.Day == 29 && !QDate::isLeapYear(year) ? 28 : day.Day;
        const QDate date(year, day.Month, d);
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    case TFamilyDay::TRepeat::Weekday:
        if (day.Year != 0 && year < day.Year)
            return std::nullopt;
        return NthWeekday(year, day.Month, day.Week, day.Weekday);
    }
    return std::nullopt;
}

QString SheetSpanText(int year, int startMonth) {
    if (startMonth == 1)
        return QStringLiteral("%1年").arg(year);
    return QStringLiteral("%1年%2月〜%3年%4月")
        .arg(year)
        .arg(startMonth)
        .arg(year + 1)
        .arg(startMonth - 1);
}

std::optional<QDate> OccurrenceOnSheet(const TFamilyDay& day, int year, int startMonth) {
    for (int y : {year, year + 1}) {
        const std::optional<QDate> date = OccurrenceIn(day, y);
        // The months of `year` from startMonth on, and those of the next year before it.
        if (date && (date->year() == year) == (date->month() >= startMonth))
            return date;
    }
    return std::nullopt;
}

QString SheetLabel(const TFamilyDay& day, int year) {
    if (day.Repeat == TFamilyDay::TRepeat::Once || day.Year == 0)
        return day.Name;
    const int count = year - day.Year;
    switch (day.Kind) {
    case TFamilyDay::TKind::Birthday:
        return count > 0 ? QStringLiteral("%1 %2歳").arg(day.Name).arg(count) : day.Name;
    case TFamilyDay::TKind::Anniversary:
        return count > 0 ? QStringLiteral("%1%2周年").arg(day.Name).arg(count) : day.Name;
    case TFamilyDay::TKind::Other:
        break;
    }
    return day.Name;
}

QString DateText(const TFamilyDay& day) {
    switch (day.Repeat) {
    case TFamilyDay::TRepeat::Once:
        return QStringLiteral("%1/%2/%3").arg(day.Year).arg(day.Month).arg(day.Day);
    case TFamilyDay::TRepeat::Yearly:
        return QStringLiteral("%1/%2").arg(day.Month).arg(day.Day);
    case TFamilyDay::TRepeat::Weekday: {
        const QString week = day.Week == TFamilyDay::LastWeek
                                 ? QStringLiteral("最終")
                                 : QStringLiteral("第%1").arg(day.Week);
        return QStringLiteral("%1月%2%3曜")
            .arg(day.Month)
            .arg(week)
            .arg(WeekdayLetters.at(static_cast<std::size_t>(day.Weekday)));
    }
    }
    return {};
}

bool EarlierInYear(const TFamilyDay& a, const TFamilyDay& b) {
    const auto key = [](const TFamilyDay& d) {
        int day = d.Day;
        if (d.Repeat == TFamilyDay::TRepeat::Weekday)
            day = d.Week == TFamilyDay::LastWeek ? 29 : 7 * (d.Week - 1) + 1;
        const int year = d.Repeat == TFamilyDay::TRepeat::Once ? d.Year : 0;
        return std::tuple(d.Month, day, year);
    };
    const auto ka = key(a), kb = key(b);
    if (ka != kb)
        return ka < kb;
    return a.Name < b.Name;
}
