// The national holidays of Japan, as rule lines of the general form
//   StartYear,EndYear,Month,Day,DayOfWeek,Week,Name
// (DayOfWeek 1 = Sunday .. 7 = Saturday; an empty field matches anything). Each line is one
// fact of the law, with the years it held; the names are spelled as the law spells them.
//
// Source: 国民の祝日に関する法律 (昭和23年法律第178号, in force 1948-07-20) as amended up to the
// present, and the special laws named beside their lines. Substitute holidays (article 3.2),
// the days between two holidays (article 3.3) and the equinox days (dates published each year;
// equinoxdays.h) are derived by the holiday model, not listed.
#include "holidays.h"

#include <array>

#include "holidaymodel.h"

namespace {

// clang-format off
constexpr std::array FixedRules = {
    // The holidays of the law as enacted, each from its first date after 1948-07-20.
    u"1949,,1,1,,,元日",
    u"1949,1999,1,15,,,成人の日",
    u"1949,1988,4,29,,,天皇誕生日",
    u"1949,,5,3,,,憲法記念日",
    u"1949,,5,5,,,こどもの日",
    u"1948,,11,3,,,文化の日",
    u"1948,,11,23,,,勤労感謝の日",
    // Amendment of 1966: 建国記念の日 (set to 11 February by cabinet order, first kept in
    // 1967), 敬老の日 and 体育の日.
    u"1967,,2,11,,,建国記念の日",
    u"1966,2002,9,15,,,敬老の日",
    u"1966,1999,10,10,,,体育の日",
    // Amendment of 1985 (昭和60年法律第103号, in force 1985-12-27): the day between two
    // national holidays, 4 May among them until 2006, is derived (AutoKokuminNoKyujitsu).
    // Amendment of 1989, on the accession of the Heisei emperor.
    u"1989,2006,4,29,,,みどりの日",
    u"1989,2018,12,23,,,天皇誕生日",
    // Amendment of 1995: 海の日 from 1996.
    u"1996,2002,7,20,,,海の日",
    // Amendment of 1998 ("Happy Monday"): second Mondays from 2000.
    u"2000,,1,,2,2,成人の日",
    u"2000,2019,10,,2,2,体育の日",
    // Amendment of 2001: third Mondays from 2003.
    u"2003,2019,7,,2,3,海の日",
    u"2022,,7,,2,3,海の日",
    u"2003,,9,,2,3,敬老の日",
    // Amendment of 2005 (平成17年法律第43号, in force 2007-01-01).
    u"2007,,4,29,,,昭和の日",
    u"2007,,5,4,,,みどりの日",
    // Amendment of 2014 (平成26年法律第43号): 山の日 from 2016.
    u"2016,2019,8,11,,,山の日",
    u"2022,,8,11,,,山の日",
    // Amendment of 2018: 体育の日 renamed スポーツの日 from 2020.
    u"2022,,10,,2,2,スポーツの日",
    // The Tokyo Olympic special measures law, amended in 2018 and again in 2020, moved three
    // holidays next to the opening and closing days in 2020 and 2021.
    u"2020,2020,7,23,,,海の日",
    u"2020,2020,7,24,,,スポーツの日",
    u"2020,2020,8,10,,,山の日",
    u"2021,2021,7,22,,,海の日",
    u"2021,2021,7,23,,,スポーツの日",
    u"2021,2021,8,8,,,山の日",
    // The Imperial House special law on the abdication of 2019: the emperor's birthday of the
    // Reiwa emperor from 2020; 2019 has none.
    u"2020,,2,23,,,天皇誕生日",
    // Single days made holidays by their own laws.
    u"1959,1959,4,10,,,皇太子明仁親王の結婚の儀",
    u"1989,1989,2,24,,,昭和天皇の大喪の礼",
    u"1990,1990,11,12,,,即位礼正殿の儀",
    u"1993,1993,6,9,,,皇太子徳仁親王の結婚の儀",
    // The law of 2018 on the accession day and the enthronement ceremony of 2019, which counts
    // both as national holidays for articles 3.2 and 3.3: 30 April and 2 May, between two
    // national holidays, were holidays too.
    u"2019,2019,5,1,,,天皇の即位の日",
    u"2019,2019,10,22,,,即位礼正殿の儀",
};

// clang-format on

} // namespace

QStringList DefaultHolidayList() {
    QStringList lines;
    lines.reserve(FixedRules.size());
    for (const char16_t* line : FixedRules)
        lines.append(QString::fromUtf16(line));
    return lines;
}

THolidaySetup ProgramHolidaySetup() {
    return {DefaultHolidayList(), {QString()}, true, true, true};
}

void ApplyProgramHolidays(THolidayModel& holidays) {
    const THolidaySetup setup = ProgramHolidaySetup();
    holidays.SetAutoEquinox(setup.AutoEquinox);
    holidays.SetAutoFurikae(setup.AutoFurikae);
    holidays.SetAutoKokuminNoKyujitsu(setup.AutoKokuminNoKyujitsu);
    holidays.SetDayLists(setup.HolidayList, setup.SpecialDayList);
}
