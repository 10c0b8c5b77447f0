// An independent account of Japan's holidays for checking the rule lines and the substitute
// step of the calendar controls: the articles of 国民の祝日に関する法律 and the special laws
// written out as plain code over QDate, day by day, in the order the law states them. It
// shares nothing with the program's rule engine; the equinox days come from the published
// approximation of the National Astronomical Observatory's dates (below), not from Julius.
#pragma once

#include <QDate>
#include <QString>

namespace HolidayReference {

// 春分日 and 秋分日 by the widely published approximation fitted to the dates of the National
// Astronomical Observatory of Japan; valid 1900–2099. The inner division truncates toward
// zero, as the formula is meant (it gives 1970-03-21 and 1970-09-23).
inline int VernalEquinoxDay(int year) {
    if (year < 1980)
        return int(20.8357 + 0.242194 * (year - 1980) - (year - 1983) / 4);
    return int(20.8431 + 0.242194 * (year - 1980) - (year - 1980) / 4);
}

inline int AutumnalEquinoxDay(int year) {
    if (year < 1980)
        return int(23.2588 + 0.242194 * (year - 1980) - (year - 1983) / 4);
    return int(23.2488 + 0.242194 * (year - 1980) - (year - 1980) / 4);
}

// The n-th Monday of the date's month ("第n月曜日").
inline bool IsNthMonday(const QDate& date, int n) {
    return date.dayOfWeek() == Qt::Monday && (date.day() - 1) / 7 + 1 == n;
}

/// Name of the 国民の祝日 on the date (article 2 in the wording in force on that date), or of a
/// day that a special law made a holiday and counted as one; empty on other days. From 1949.
inline QString NationalHoliday(const QDate& date) {
    const int y = date.year();
    const int d = date.day();
    switch (date.month()) {
    case 1:
        if (d == 1)
            return QStringLiteral("元日");
        if (y < 2000 ? d == 15 : IsNthMonday(date, 2))
            return QStringLiteral("成人の日");
        break;
    case 2:
        if (d == 11 && y >= 1967)
            return QStringLiteral("建国記念の日");
        if (d == 23 && y >= 2020)
            return QStringLiteral("天皇誕生日");
        if (y == 1989 && d == 24)
            return QStringLiteral("昭和天皇の大喪の礼");
        break;
    case 3:
        if (d == VernalEquinoxDay(y))
            return QStringLiteral("春分の日");
        break;
    case 4:
        if (d == 29) {
            if (y <= 1988)
                return QStringLiteral("天皇誕生日");
            return y <= 2006 ? QStringLiteral("みどりの日") : QStringLiteral("昭和の日");
        }
        if (y == 1959 && d == 10)
            return QStringLiteral("皇太子明仁親王の結婚の儀");
        break;
    case 5:
        if (y == 2019 && d == 1)
            return QStringLiteral("天皇の即位の日");
        if (d == 3)
            return QStringLiteral("憲法記念日");
        if (d == 4 && y >= 2007)
            return QStringLiteral("みどりの日");
        if (d == 5)
            return QStringLiteral("こどもの日");
        break;
    case 6:
        if (y == 1993 && d == 9)
            return QStringLiteral("皇太子徳仁親王の結婚の儀");
        break;
    case 7:
        if (y == 2020)
            return d == 23   ? QStringLiteral("海の日")
                   : d == 24 ? QStringLiteral("スポーツの日")
                             : QString();
        if (y == 2021)
            return d == 22   ? QStringLiteral("海の日")
                   : d == 23 ? QStringLiteral("スポーツの日")
                             : QString();
        if ((y >= 1996 && y <= 2002 && d == 20) || (y >= 2003 && IsNthMonday(date, 3)))
            return QStringLiteral("海の日");
        break;
    case 8:
        if ((y == 2020 && d == 10) || (y == 2021 && d == 8) ||
            (y >= 2016 && y != 2020 && y != 2021 && d == 11))
            return QStringLiteral("山の日");
        break;
    case 9:
        if (y >= 1966 && (y <= 2002 ? d == 15 : IsNthMonday(date, 3)))
            return QStringLiteral("敬老の日");
        if (d == AutumnalEquinoxDay(y))
            return QStringLiteral("秋分の日");
        break;
    case 10:
        if (y >= 1966 && y <= 1999 && d == 10)
            return QStringLiteral("体育の日");
        if (y >= 2000 && y <= 2019 && IsNthMonday(date, 2))
            return QStringLiteral("体育の日");
        if (y >= 2022 && IsNthMonday(date, 2))
            return QStringLiteral("スポーツの日");
        if (y == 2019 && d == 22)
            return QStringLiteral("即位礼正殿の儀");
        break;
    case 11:
        if (d == 3)
            return QStringLiteral("文化の日");
        if (d == 23)
            return QStringLiteral("勤労感謝の日");
        if (y == 1990 && d == 12)
            return QStringLiteral("即位礼正殿の儀");
        break;
    case 12:
        if (d == 23 && y >= 1989 && y <= 2018)
            return QStringLiteral("天皇誕生日");
        break;
    }
    return {};
}

inline bool IsNationalHoliday(const QDate& date) {
    return !NationalHoliday(date).isEmpty();
}

/// Article 3.2: from 1973-04-12 the Monday after a 国民の祝日 on a Sunday; from 2007 the
/// nearest day after it that is no 国民の祝日.
inline bool IsSubstituteHoliday(const QDate& date) {
    if (date < QDate(1973, 4, 12) || IsNationalHoliday(date))
        return false;
    if (date.year() < 2007)
        return date.dayOfWeek() == Qt::Monday && IsNationalHoliday(date.addDays(-1));
    for (QDate day = date.addDays(-1); IsNationalHoliday(day); day = day.addDays(-1)) {
        if (day.dayOfWeek() == Qt::Sunday)
            return true;
    }
    return false;
}

/// Article 3.3: from 1985-12-27 a day whose day before and day after are 国民の祝日; until
/// 2006 not a Sunday and not a substitute holiday.
inline bool IsRestDayBetweenHolidays(const QDate& date) {
    if (date < QDate(1985, 12, 27) || IsNationalHoliday(date))
        return false;
    if (!IsNationalHoliday(date.addDays(-1)) || !IsNationalHoliday(date.addDays(1)))
        return false;
    if (date.year() < 2007 && (date.dayOfWeek() == Qt::Sunday || IsSubstituteHoliday(date)))
        return false;
    return true;
}

/// What a calendar prints for the date: the holiday's name, "振替休日", "国民の休日", or
/// nothing.
inline QString HolidayName(const QDate& date) {
    const QString name = NationalHoliday(date);
    if (!name.isEmpty())
        return name;
    if (IsSubstituteHoliday(date))
        return QStringLiteral("振替休日");
    if (IsRestDayBetweenHolidays(date))
        return QStringLiteral("国民の休日");
    return {};
}

} // namespace HolidayReference
