// The instants a Japanese calendar is made of: the Sun reaching a longitude (the 24 solar
// terms, the 土用 and the other seasonal days) and the Moon's phases. Instants are Julian
// Days in Universal Time; JstDay turns one into the civil day in Japan (UTC+9).
#pragma once

#include <cstdint>

namespace Koyomi {

/// The day number (as Julius counts days) of the civil date in Japan at an instant in UT.
std::int32_t JstDay(double jdUt);

/// The instant in UT at which the Sun's apparent longitude is `degrees` (0 ≤ degrees < 360)
/// during the Gregorian `year`: the crossing between about 1 January of `year` and 1 January
/// of the next (longitudes from 281° on are taken in January of `year`, not in December).
double SunLongitudeInstant(int year, double degrees);

/// The four principal phases: the Moon's apparent longitude less the Sun's is 0°, 90°, 180°,
/// 270°.
enum class TLunarPhase : std::uint8_t { NewMoon = 0, FirstQuarter, FullMoon, LastQuarter };

/// The instant in UT of lunation `lunation` (0 is the new moon of 2000-01-06; negative before)
/// at `phase`.
double MoonPhaseInstant(int lunation, TLunarPhase phase);

/// The number of the lunation whose new moon is the last one at or before the instant `jdUt`.
int LunationAt(double jdUt);

} // namespace Koyomi
