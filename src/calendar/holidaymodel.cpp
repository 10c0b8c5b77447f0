// What a date is (Sunday, Saturday, holiday, substitute holiday, special day) and the names it
// carries, by the rule lists, the equinox days and the substitute-holiday law.
#include "holidaymodel.h"

#include "equinoxdays.h"
#include "julius.h"
#include "platform/commatext.h"

namespace {

// Substitute holidays follow 国民の祝日に関する法律 (昭和23年法律第178号), article 3.2:
//  - added by 昭和48年法律第10号, in force from 1973-04-12: a national holiday on a Sunday
//    makes the following Monday a holiday; a Monday that is a holiday itself passes nothing on;
//  - reworded by 平成17年法律第43号, in force from 2007-01-01: the holiday moves on to the
//    nearest following day that is not a national holiday (2008-05-06, 2025-05-06).
// Before 1973-04-12 there were none.
std::int32_t FirstSubstituteJD() {
    static const std::int32_t jd = Julius::YMDToJD(1973, 4, 12);
    return jd;
}

// The equinox days are national holidays by article 2 of the same law, in force from
// 1948-07-20: the vernal equinox day of 1948 (21 March) was not one yet, its autumnal equinox
// day (23 September) was the first.
std::int32_t EquinoxHolidaysJD() {
    static const std::int32_t jd = Julius::YMDToJD(1948, 7, 20);
    return jd;
}

std::int32_t NearestFreeDayRuleJD() {
    static const std::int32_t jd = Julius::YMDToJD(2007, 1, 1);
    return jd;
}

// The day between two national holidays, article 3.3 of the same law:
//  - added by 昭和60年法律第103号, in force from 1985-12-27: 「その前日及び翌日が「国民の祝日」で
//    ある日（日曜日にあたる日及び前項に規定する休日にあたる日を除く。）は、休日とする。」 — not a
//    Sunday, not a substitute holiday (so 4 May from Tuesday to Saturday until 2006);
//  - reworded by 平成17年法律第43号, in force from 2007-01-01: 「（「国民の祝日」でない日に限
//    る。）」 — any day that is not a national holiday itself.
// Only 国民の祝日 count on either side: the holidays of the lists (and the days special laws
// count as such, 2019-05-01 among them) and the equinox days, never a substitute holiday or
// another such day. A day that is both this and a substitute holiday (possible from 2007 only)
// is named a substitute holiday.
std::int32_t FirstKokuminNoKyujitsuJD() {
    static const std::int32_t jd = Julius::YMDToJD(1985, 12, 27);
    return jd;
}

constexpr std::uint8_t Sunday = 1;
constexpr std::uint8_t Monday = 2;
constexpr std::uint8_t Saturday = 7;

bool AnyMatch(const TBinaryDayList& items, std::int32_t y, std::uint8_t m, std::uint8_t d) {
    for (const auto& item : items) {
        if (item->IsMatch(y, m, d))
            return true;
    }
    return false;
}

} // namespace

THolidayModel::THolidayModel() = default;

THolidayModel::~THolidayModel() = default;

void THolidayModel::SetDayLists(const QStringList& holidays, const QStringList& specialDays) {
    // Copies first: either argument may be one of the lists being replaced.
    const QStringList holidayLines = holidays;
    const QStringList specialDayLines = specialDays;
    FHolidayList = holidayLines;
    FSpecialDayList = specialDayLines;
    ParseDayList(FHolidayItems, FHolidayList);
    ParseDayList(FSpecialDayItems, FSpecialDayList);
}

TDayTypes THolidayModel::GetDayTypeFlags(std::int32_t year, std::uint8_t month, std::uint8_t day,
                                         const TClassify& classify) const {
    TDayTypes types = 0;
    if (AnyMatch(FSpecialDayItems, year, month, day))
        types |= dtSpecialDay;
    if (AnyMatch(FHolidayItems, year, month, day))
        types |= dtHoliday;
    const std::int32_t jd = Julius::YMDToJD(year, month, day);
    const std::uint8_t dayOfWeek = Julius::JDDayOfWeek(jd);
    if (dayOfWeek == Sunday)
        types |= dtSunday;
    else if (dayOfWeek == Saturday)
        types |= dtSaturday;
    if (FAutoEquinox && EquinoxOf(year, month, day) != 0)
        types |= dtHoliday;
    if (!(types & dtHoliday) && !FLookingBack) {
        switch (DerivedHoliday(jd, dayOfWeek, classify)) {
        case TDerived::Furikae:
            types |= dtFurikae;
            break;
        case TDerived::KokuminNoKyujitsu:
            types |= dtHoliday;
            break;
        case TDerived::None:
            break;
        }
    }
    return types;
}

THolidayModel::TDerived THolidayModel::DerivedHoliday(std::int32_t jd, std::uint8_t dayOfWeek,
                                                      const TClassify& classify) const {
    if (!FAutoFurikae && !FAutoKokuminNoKyujitsu)
        return TDerived::None;
    // Until 2006 the law itself keeps a substitute holiday from being the day between two
    // holidays, whether or not substitutes are shown.
    const bool furikae = IsFurikae(jd, dayOfWeek, classify);
    if (furikae && FAutoFurikae)
        return TDerived::Furikae;
    if (!FAutoKokuminNoKyujitsu || jd < FirstKokuminNoKyujitsuJD())
        return TDerived::None;
    if (jd < NearestFreeDayRuleJD() && (dayOfWeek == Sunday || furikae))
        return TDerived::None;
    return BetweenHolidays(jd, classify) ? TDerived::KokuminNoKyujitsu : TDerived::None;
}

bool THolidayModel::BetweenHolidays(std::int32_t jd, const TClassify& classify) const {
    if (jd <= Julius::MinJD || jd >= Julius::MaxJD)
        return false;
    return IsOwnHoliday(jd - 1, classify) && IsOwnHoliday(jd + 1, classify);
}

bool THolidayModel::IsOwnHoliday(std::int32_t jd, const TClassify& classify) const {
    // With the look back switched off: only the day's own holidays count, not one derived from
    // its neighbours (which would recurse).
    const bool before = FLookingBack;
    FLookingBack = true;
    struct Reset {
        bool& flag;
        bool value;
        ~Reset() { flag = value; }
    } reset{FLookingBack, before};
    std::int32_t y;
    std::uint8_t m, d;
    Julius::JDToYMD(jd, y, m, d);
    const TDayTypes types = classify ? classify(y, m, d) : GetDayTypeFlags(y, m, d);
    return (types & dtHoliday) != 0;
}

int THolidayModel::EquinoxOf(std::int32_t year, std::uint8_t month, std::uint8_t day) const {
    if (year < 1949 && Julius::YMDToJD(year, month, day) < EquinoxHolidaysJD())
        return 0;
    // As Julius's IsVernalEquinoxDay and IsAutumnalEquinoxDay: month and day of the year's
    // equinox dates are compared, not the year of the converted date.
    const TEquinoxDates& e = EquinoxDatesOf(year);
    if (month == e.VernalMonth && day == e.VernalDay)
        return 1;
    if (month == e.AutumnalMonth && day == e.AutumnalDay)
        return 2;
    return 0;
}

const THolidayModel::TEquinoxDates& THolidayModel::EquinoxDatesOf(std::int32_t year) const {
    for (const TEquinoxDates& e : FEquinoxDates) {
        if (e.Year == year)
            return e;
    }
    TEquinoxDates& e = FEquinoxDates[FOlderEquinoxDates];
    FOlderEquinoxDates = (FOlderEquinoxDates + 1) % FEquinoxDates.size();
    std::int32_t y;
    Julius::JDToYMD(EquinoxDays::VernalJD(year), y, e.VernalMonth, e.VernalDay);
    Julius::JDToYMD(EquinoxDays::AutumnalJD(year), y, e.AutumnalMonth, e.AutumnalDay);
    e.Year = year;
    return e;
}

bool THolidayModel::IsFurikae(std::int32_t jd, std::uint8_t dayOfWeek,
                              const TClassify& classify) const {
    if (jd < FirstSubstituteJD())
        return false;
    // The days before are classified by `classify` (a control's subclass may add holidays),
    // with the look back switched off there: only their own holidays count.
    const auto isHoliday = [this, &classify](std::int32_t earlier) {
        return IsOwnHoliday(earlier, classify);
    };

    if (jd < NearestFreeDayRuleJD())
        return dayOfWeek == Monday && isHoliday(jd - 1);
    // Back over the run of holidays just before the date; it earns the substitute when the run
    // starts at (or passes) a Sunday. Seven days always hold a Sunday, so this ends within a
    // week whatever the rule lists say.
    for (std::int32_t earlier = jd - 1; earlier >= Julius::MinJD; --earlier) {
        if (!isHoliday(earlier))
            return false;
        if (Julius::JDDayOfWeek(earlier) == Sunday)
            return true;
    }
    return false;
}

QString THolidayModel::GetDayNames(std::int32_t year, std::uint8_t month, std::uint8_t day,
                                   const TClassify& classify) const {
    QStringList names;
    for (const auto& item : FSpecialDayItems) {
        if (item->IsMatch(year, month, day))
            names.append(item->Name());
    }
    const qsizetype specialDays = names.size();
    for (const auto& item : FHolidayItems) {
        if (item->IsMatch(year, month, day))
            names.append(item->Name());
    }
    bool ownHoliday = names.size() > specialDays;
    if (FAutoEquinox) {
        const int equinox = EquinoxOf(year, month, day);
        if (equinox == 1)
            names.append(QStringLiteral("春分の日"));
        else if (equinox == 2)
            names.append(QStringLiteral("秋分の日"));
        ownHoliday = ownHoliday || equinox != 0;
    }
    if (FAutoKokuminNoKyujitsu && !ownHoliday) {
        const std::int32_t jd = Julius::YMDToJD(year, month, day);
        if (DerivedHoliday(jd, Julius::JDDayOfWeek(jd), classify) == TDerived::KokuminNoKyujitsu)
            names.append(QStringLiteral("国民の休日"));
    }
    if (FAutoFurikae) {
        const TDayTypes types =
            classify ? classify(year, month, day) : GetDayTypeFlags(year, month, day);
        if (types & dtFurikae)
            names.append(QStringLiteral("振替休日"));
    }
    return JoinCommaText(names);
}
