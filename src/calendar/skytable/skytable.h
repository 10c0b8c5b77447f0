// The instants of the Sun and the Moon for the checked years, made by the build (generate.cpp)
// from the theory: the Sun at each longitude of SunDegrees in each year, and the four phases of
// each lunation, as Julian Days in UT.
#pragma once

#include <array>
#include <span>

namespace Koyomi::SkyTable {

/// A year more on either side of the checked years: the lunar months of a year reach back to
/// 冬至 of the year before and on to 冬至 of the year after.
inline constexpr int FirstYear = 1899;
inline constexpr int LastYear = 2101;

/// The solar terms (0°, 15°, … 345°), then 土用入り, 入梅 and 半夏生.
inline constexpr std::array<double, 30> SunDegrees = {
    0,   15,  30,  45,  60,  75,  90,  105, 120, 135, 150, 165, 180, 195, 210,
    225, 240, 255, 270, 285, 300, 315, 330, 345, 27,  117, 207, 297, 80,  100};

extern const std::array<std::array<double, SunDegrees.size()>, LastYear - FirstYear + 1>
    SunInstants;

/// The lunation of the first row of PhaseInstants; each row holds the new moon, first quarter,
/// full moon and last quarter of one lunation.
extern const int FirstLunation;
extern const std::span<const std::array<double, 4>> PhaseInstants;

} // namespace Koyomi::SkyTable
