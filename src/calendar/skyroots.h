// The instants of the solar terms and the moon phases computed from the theory itself
// (ephemeris.h), each a root found afresh: what skyevents.h serves from its table for the
// checked years, and directly for all others.
#pragma once

#include "skyevents.h"

namespace Koyomi {

/// The mean synodic month in days, and the instant (JDE) of the mean new moon of lunation 0
/// (Meeus, Astronomical Algorithms, eq. 49.1): the first guesses of the phases.
inline constexpr double SynodicMonth = 29.530588861;
inline constexpr double FirstNewMoonOf2000 = 2451550.09766;

/// As SunLongitudeInstant, computed from the theory.
double ComputedSunLongitudeInstant(int year, double degrees);

/// As MoonPhaseInstant, computed from the theory.
double ComputedMoonPhaseInstant(int lunation, TLunarPhase phase);

} // namespace Koyomi
