// The national holidays of Japan, as rule lines of the general form
//   StartYear,EndYear,Month,Day,DayOfWeek,Week,Name
// (DayOfWeek 1 = Sunday .. 7 = Saturday; an empty field matches anything). Each line is one
// fact of the law, with the years it held; the names are spelled as the law spells them.
//
// Source: 国民の祝日に関する法律 (昭和23年法律第178号, in force 1948-07-20) as amended up to the
// present, and the special laws named beside their lines. Substitute holidays (article 3.2)
// and the equinox days (dates published each year, computed by Julius) are derived by the
// control, not listed.
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
    // Amendment of 1985 (昭和60年法律第103号, in force 1985-12-27): a day between two
    // national holidays is a holiday, but not a Sunday and not a substitute holiday, so 4 May
    // only from Tuesday to Saturday (the first was 1988-05-04). From 2007 4 May is みどりの日.
    u"1986,2006,5,4,3,,国民の休日",
    u"1986,2006,5,4,4,,国民の休日",
    u"1986,2006,5,4,5,,国民の休日",
    u"1986,2006,5,4,6,,国民の休日",
    u"1986,2006,5,4,7,,国民の休日",
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
    // The law of 2018 on the accession day and the enthronement ceremony of 2019; the two days
    // around 1 May fall between national holidays.
    u"2019,2019,5,1,,,天皇の即位の日",
    u"2019,2019,10,22,,,即位礼正殿の儀",
    u"2019,2019,4,30,,,国民の休日",
    u"2019,2019,5,2,,,国民の休日",
};

// September days between 敬老の日 (third Monday) and 秋分の日, one line for each year from
// 2009 to 3007 in which the autumnal equinox date of Julius falls two days after the third
// Monday. Data, not worked out at run time: later years get no such day.
constexpr std::array SeptemberRules = {
    u"2009,2009,9,22,,,国民の休日", u"2015,2015,9,22,,,国民の休日", u"2026,2026,9,22,,,国民の休日",
    u"2032,2032,9,21,,,国民の休日", u"2037,2037,9,22,,,国民の休日", u"2043,2043,9,22,,,国民の休日",
    u"2049,2049,9,21,,,国民の休日", u"2054,2054,9,22,,,国民の休日", u"2060,2060,9,21,,,国民の休日",
    u"2071,2071,9,22,,,国民の休日", u"2077,2077,9,21,,,国民の休日", u"2088,2088,9,21,,,国民の休日",
    u"2094,2094,9,21,,,国民の休日", u"2099,2099,9,22,,,国民の休日", u"2105,2105,9,22,,,国民の休日",
    u"2111,2111,9,22,,,国民の休日", u"2116,2116,9,22,,,国民の休日", u"2122,2122,9,22,,,国民の休日",
    u"2133,2133,9,22,,,国民の休日", u"2139,2139,9,22,,,国民の休日", u"2150,2150,9,22,,,国民の休日",
    u"2156,2156,9,21,,,国民の休日", u"2161,2161,9,22,,,国民の休日", u"2167,2167,9,22,,,国民の休日",
    u"2173,2173,9,21,,,国民の休日", u"2178,2178,9,22,,,国民の休日", u"2184,2184,9,21,,,国民の休日",
    u"2195,2195,9,22,,,国民の休日", u"2201,2201,9,22,,,国民の休日", u"2212,2212,9,22,,,国民の休日",
    u"2218,2218,9,22,,,国民の休日", u"2229,2229,9,22,,,国民の休日", u"2235,2235,9,22,,,国民の休日",
    u"2240,2240,9,22,,,国民の休日", u"2246,2246,9,22,,,国民の休日", u"2257,2257,9,22,,,国民の休日",
    u"2263,2263,9,22,,,国民の休日", u"2274,2274,9,22,,,国民の休日", u"2280,2280,9,21,,,国民の休日",
    u"2285,2285,9,22,,,国民の休日", u"2291,2291,9,22,,,国民の休日", u"2297,2297,9,21,,,国民の休日",
    u"2308,2308,9,22,,,国民の休日", u"2325,2325,9,22,,,国民の休日", u"2336,2336,9,22,,,国民の休日",
    u"2342,2342,9,22,,,国民の休日", u"2353,2353,9,22,,,国民の休日", u"2359,2359,9,22,,,国民の休日",
    u"2364,2364,9,22,,,国民の休日", u"2370,2370,9,22,,,国民の休日", u"2381,2381,9,22,,,国民の休日",
    u"2387,2387,9,22,,,国民の休日", u"2398,2398,9,22,,,国民の休日", u"2404,2404,9,21,,,国民の休日",
    u"2409,2409,9,22,,,国民の休日", u"2415,2415,9,22,,,国民の休日", u"2426,2426,9,22,,,国民の休日",
    u"2432,2432,9,21,,,国民の休日", u"2443,2443,9,22,,,国民の休日", u"2449,2449,9,21,,,国民の休日",
    u"2460,2460,9,21,,,国民の休日", u"2466,2466,9,21,,,国民の休日", u"2471,2471,9,22,,,国民の休日",
    u"2477,2477,9,21,,,国民の休日", u"2488,2488,9,21,,,国民の休日", u"2494,2494,9,21,,,国民の休日",
    u"2505,2505,9,22,,,国民の休日", u"2511,2511,9,22,,,国民の休日", u"2516,2516,9,22,,,国民の休日",
    u"2522,2522,9,22,,,国民の休日", u"2528,2528,9,21,,,国民の休日", u"2533,2533,9,22,,,国民の休日",
    u"2539,2539,9,22,,,国民の休日", u"2550,2550,9,22,,,国民の休日", u"2556,2556,9,21,,,国民の休日",
    u"2567,2567,9,22,,,国民の休日", u"2573,2573,9,21,,,国民の休日", u"2578,2578,9,22,,,国民の休日",
    u"2584,2584,9,21,,,国民の休日", u"2590,2590,9,21,,,国民の休日", u"2595,2595,9,22,,,国民の休日",
    u"2601,2601,9,22,,,国民の休日", u"2612,2612,9,22,,,国民の休日", u"2618,2618,9,22,,,国民の休日",
    u"2629,2629,9,22,,,国民の休日", u"2635,2635,9,22,,,国民の休日", u"2640,2640,9,22,,,国民の休日",
    u"2646,2646,9,22,,,国民の休日", u"2652,2652,9,21,,,国民の休日", u"2657,2657,9,22,,,国民の休日",
    u"2663,2663,9,22,,,国民の休日", u"2674,2674,9,22,,,国民の休日", u"2680,2680,9,21,,,国民の休日",
    u"2691,2691,9,22,,,国民の休日", u"2697,2697,9,21,,,国民の休日", u"2708,2708,9,22,,,国民の休日",
    u"2714,2714,9,22,,,国民の休日", u"2725,2725,9,22,,,国民の休日", u"2736,2736,9,22,,,国民の休日",
    u"2742,2742,9,22,,,国民の休日", u"2753,2753,9,22,,,国民の休日", u"2759,2759,9,22,,,国民の休日",
    u"2764,2764,9,22,,,国民の休日", u"2770,2770,9,22,,,国民の休日", u"2776,2776,9,21,,,国民の休日",
    u"2781,2781,9,22,,,国民の休日", u"2787,2787,9,22,,,国民の休日", u"2798,2798,9,22,,,国民の休日",
    u"2804,2804,9,21,,,国民の休日", u"2815,2815,9,22,,,国民の休日", u"2821,2821,9,21,,,国民の休日",
    u"2826,2826,9,22,,,国民の休日", u"2832,2832,9,21,,,国民の休日", u"2838,2838,9,21,,,国民の休日",
    u"2843,2843,9,22,,,国民の休日", u"2849,2849,9,21,,,国民の休日", u"2860,2860,9,21,,,国民の休日",
    u"2866,2866,9,21,,,国民の休日", u"2877,2877,9,21,,,国民の休日", u"2883,2883,9,21,,,国民の休日",
    u"2888,2888,9,21,,,国民の休日", u"2894,2894,9,21,,,国民の休日", u"2900,2900,9,21,,,国民の休日",
    u"2905,2905,9,22,,,国民の休日", u"2911,2911,9,22,,,国民の休日", u"2922,2922,9,22,,,国民の休日",
    u"2928,2928,9,21,,,国民の休日", u"2939,2939,9,22,,,国民の休日", u"2945,2945,9,21,,,国民の休日",
    u"2950,2950,9,22,,,国民の休日", u"2956,2956,9,21,,,国民の休日", u"2962,2962,9,21,,,国民の休日",
    u"2967,2967,9,22,,,国民の休日", u"2973,2973,9,21,,,国民の休日", u"2984,2984,9,21,,,国民の休日",
    u"2990,2990,9,21,,,国民の休日", u"3001,3001,9,22,,,国民の休日", u"3007,3007,9,22,,,国民の休日",
};
// clang-format on

} // namespace

QStringList DefaultHolidayList() {
    QStringList lines;
    lines.reserve(FixedRules.size() + SeptemberRules.size());
    for (const char16_t* line : FixedRules)
        lines.append(QString::fromUtf16(line));
    for (const char16_t* line : SeptemberRules)
        lines.append(QString::fromUtf16(line));
    return lines;
}

THolidaySetup ProgramHolidaySetup() {
    return {DefaultHolidayList(), {QString()}, true, true};
}

void ApplyProgramHolidays(THolidayModel& holidays) {
    const THolidaySetup setup = ProgramHolidaySetup();
    holidays.SetAutoEquinox(setup.AutoEquinox);
    holidays.SetAutoFurikae(setup.AutoFurikae);
    holidays.SetDayLists(setup.HolidayList, setup.SpecialDayList);
}
