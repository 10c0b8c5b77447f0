// The 暦 of a Japanese calendar, day by day: the lunisolar date (旧暦) and its 六曜, the solar
// term, the Moon's phase and the seasonal days (雑節) of each date of a year, computed from the
// instants of the Sun and the Moon (skyevents.h) by the rules of the Japanese calendar.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include "skyevents.h"

namespace Koyomi {

/// The years whose 暦 the engine computes: the theories hold far wider, but before 1700 and
/// after 2300 ΔT, and with it the day of an instant near midnight, is too uncertain.
inline constexpr int FirstYear = 1700;
inline constexpr int LastYear = 2300;
/// The years checked day by day against an outside reference (the tests); outside them the
/// results are computed the same way but said to be unverified.
inline constexpr int FirstVerifiedYear = 1900;
inline constexpr int LastVerifiedYear = 2100;

/// The 六曜, numbered as (lunar month + lunar day) mod 6 gives them.
enum class TRokuyo : std::uint8_t { Taian = 0, Shakku, Sensho, Tomobiki, Senbu, Butsumetsu };

/// The seasonal days, as bits of TKoyomiDay::Zassetsu (a day may have two: a 社日 can fall on
/// the first or last day of 彼岸).
enum TZassetsu : std::uint16_t {
    zsSetsubun = 1 << 0,       // 節分
    zsHiganStart = 1 << 1,     // 彼岸入り
    zsHiganEnd = 1 << 2,       // 彼岸明け
    zsShanichi = 1 << 3,       // 社日
    zsDoyoStart = 1 << 4,      // 土用入り
    zsHachijuHachiya = 1 << 5, // 八十八夜
    zsNyubai = 1 << 6,         // 入梅
    zsHangesho = 1 << 7,       // 半夏生
    zsNihyakuToka = 1 << 8,    // 二百十日
    zsNihyakuHatsuka = 1 << 9, // 二百二十日
};

/// What the 暦 says of one civil date.
struct TKoyomiDay {
    std::uint8_t LunarMonth = 0; // 1..12; 0 when the year is outside FirstYear..LastYear
    bool LeapMonth = false;      // the month repeats LunarMonth (閏)
    std::uint8_t LunarDay = 0;   // 1..30
    TRokuyo Rokuyo = TRokuyo::Taian;
    std::int8_t SolarTerm = -1; // index into Julius::SolarTermNames (0 春分, 15° apart), or -1
    std::int8_t MoonPhase = -1; // a TLunarPhase whose instant falls on this day, or -1
    std::uint16_t Zassetsu = 0; // TZassetsu bits

    bool Known() const { return LunarMonth != 0; }
    bool operator==(const TKoyomiDay&) const = default;
};

/// "大安", "赤口", "先勝", "友引", "先負", "仏滅".
QString RokuyoName(TRokuyo rokuyo);
/// "新月", "上弦", "満月", "下弦".
QString MoonPhaseName(TLunarPhase phase);
/// The names of the seasonal days in `zassetsu`, in the order of TZassetsu.
QStringList ZassetsuNames(std::uint16_t zassetsu);
/// "旧M月D日", or "旧閏M月D日" in a leap month; empty for a day not Known.
QString LunarDateText(const TKoyomiDay& day);
/// The day's solar term, moon phase and seasonal days, in that order (each name once).
QStringList DayNames(const TKoyomiDay& day);

/// One lunar month: the day number of its first day, its number and whether it is a leap month.
struct TLunarMonth {
    std::int32_t FirstDay = 0;
    std::uint8_t Month = 0;
    bool Leap = false;
};

/// The lunar months whose first days lie between the months holding 冬至 of `year` − 1 and of
/// `year` + 1 (both included), numbered by the rules of the Japanese calendar.
std::vector<TLunarMonth> LunarMonthsAround(int year);

/// The 暦 of every date of one Gregorian year, computed at construction (a few tens of
/// milliseconds); a year outside FirstYear..LastYear holds only days not Known.
class TKoyomiYear {
  public:
    explicit TKoyomiYear(int year);

    int Year() const { return FYear; }
    bool Known() const { return FYear >= FirstYear && FYear <= LastYear; }
    bool Verified() const { return FYear >= FirstVerifiedYear && FYear <= LastVerifiedYear; }

    /// The 暦 of a date of this year; month 1..12, day 1..31 (a date that does not exist raises
    /// std::out_of_range).
    const TKoyomiDay& Day(int month, int day) const;

  private:
    int FYear;
    std::int32_t FFirstDay = 0; // day number of 1 January
    std::vector<TKoyomiDay> FDays;
};

} // namespace Koyomi
